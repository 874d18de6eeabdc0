// The install with the shipped payload, in which the files that only the
// printer maker can supply are absent: each absent identifier is skipped
// and the sequence goes on to the printer registration.
#include "app_core/app_state.h"
#include "app/setup_app.h"
#include "install_test_support.h"
#include "spooler_support.h"
#include "test_support.h"
#include <gtest/gtest.h>

namespace {

bool Embedded(unsigned id) { return FindResourceA(nullptr, MAKEINTRESOURCEA(id), "OWNER_DATA") != nullptr; }

TEST(InstallReleasePayload, AbsentIdentifiersAreSkipped) {
    ASSERT_TRUE(test::AddEarlierInstall("KRX"));   // an earlier install's
    test::SetPrintUiDelay(600000);
    lstrcpyA(g_PrinterName, "KRX");
    g_OSVersion = 10;
    g_LanguageIndex = 1;
    {
        test::MessageBoxCloser closer;
        theApp.InstallDriver();
        EXPECT_EQ(closer.Boxes().size(), 1u);
    }
    test::TakeQuitMessages(nullptr);

    // General set, non-Chinese system, English (the test runs under C).
    const std::pair<const char*, unsigned> files[] = {
        {"uninstallKRX.exe", 255}, {"KRX.INF", 256},     {"STDNAMES.GPD", 186}, {"KRX.GPD", 187},
        {"KRX.INI", 188},          {"KRXD.dll", 189},    {"ZIKU.UFM", 154},     {"UNIDRV.DLL", 196},
        {"UNIDRV.HLP", 197},       {"UNIDRVUI.DLL", 198}, {"UNIRES.DLL", 199},  {"KRXF.dll", 200},
        {"KRXRES.DLL", 201}};
    int absent = 0;
    std::string driverDir = test::PrinterDriverDirectory();
    for (const auto& f : files) {
        absent += !Embedded(f.second);
        EXPECT_EQ(test::FileExists(std::string("C:\\TEMP\\") + f.first), Embedded(f.second)) << f.first;
        if (f.second != 256) {
            EXPECT_EQ(test::FileExists(driverDir + "\\" + f.first), Embedded(f.second)) << f.first;
        }
    }
    EXPECT_GT(absent, 0) << "the release payload of this build lacks nothing";
    EXPECT_EQ(test::WaitForPrintUiCommands(2, 10000),
              (std::vector<std::string>{test::InstallCommand("KRX"), test::DefaultCommand("KRX")}));
}

}  // namespace
