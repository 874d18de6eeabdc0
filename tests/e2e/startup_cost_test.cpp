// What setup.exe loads before its first page: not the spooler's client DLL,
// which brings up the printing system when it loads (under Wine it loads
// CUPS, a tenth of the time to the first page), nor the common controls,
// which only the install page's progress bar needs (under Wine a tenth
// again). The install loads the one, the install page the other.
#include "test_support.h"
#include "ui_driver.h"
#include <gtest/gtest.h>
#include <psapi.h>
#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace {

std::vector<std::string> LoadedModules(HANDLE process) {
    std::vector<std::string> names;
    HMODULE modules[512];
    DWORD bytes = 0;
    if (!EnumProcessModules(process, modules, sizeof modules, &bytes)) return names;
    for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < 512; ++i) {
        char name[MAX_PATH] = "";
        GetModuleBaseNameA(process, modules[i], name, sizeof name);
        std::string upper = name;
        std::transform(upper.begin(), upper.end(), upper.begin(),
                       [](unsigned char c) { return static_cast<char>(toupper(c)); });
        names.push_back(upper);
    }
    return names;
}

bool Has(const std::vector<std::string>& names, const char* name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

TEST(StartupCost, TheWelcomePageShowsBeforeTheSpoolerClientOrCommonControlsLoad) {
    std::string folder = test::MakeTempFolder("startup_cost");
    std::string exe = folder + "\\setup.exe";
    ASSERT_TRUE(CopyFileA(test::BuildPath("setup.exe").c_str(), exe.c_str(), FALSE));
    test::Program setup("\"" + exe + "\"");
    HWND wizard = ui::WaitForWizard(setup);
    ASSERT_NE(wizard, nullptr);
    ASSERT_NE(ui::WaitForPage(wizard, ui::kWelcomePage), nullptr);
    std::vector<std::string> modules = LoadedModules(setup.Handle());
    ASSERT_TRUE(Has(modules, "USER32.DLL"));  // the list is real
    EXPECT_FALSE(Has(modules, "WINSPOOL.DRV"));
    EXPECT_FALSE(Has(modules, "COMCTL32.DLL"));
    ui::Click(wizard, 1061);
    EXPECT_EQ(setup.WaitForExit(), 0u);
}

}  // namespace
