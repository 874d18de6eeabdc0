// The uninstall entry and the paper form an install leaves, against Wine's
// real spooler and registry, with the printer-installer stand-in.
#include "install/install_runner.h"
#include "spooler_support.h"
#include "test_support.h"
#include <gtest/gtest.h>
#include <cstdlib>

namespace {

const std::string kUninstallRoot = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// One registry value: type, size (with the NUL) and bytes.
struct RegValue {
    DWORD type = 0;
    std::string bytes;
    bool operator==(const RegValue& o) const { return type == o.type && bytes == o.bytes; }
};
RegValue ReadValue(const std::string& key, const char* name) {
    RegValue v;
    HKEY h;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return v;
    char data[2048];
    DWORD size = sizeof data;
    if (RegQueryValueExA(h, name, nullptr, &v.type, reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS)
        v.bytes.assign(data, size);
    RegCloseKey(h);
    return v;
}
RegValue Sz(const std::string& text) { return {REG_SZ, text + '\0'}; }
DWORD ValueCount(const std::string& key) {
    HKEY h;
    DWORD count = 0;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return 0;
    RegQueryInfoKeyA(h, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                     nullptr);
    RegCloseKey(h);
    return count;
}
int UninstallKeysContaining(const std::string& text) {
    HKEY h;
    int n = 0;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallRoot.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return 0;
    char name[512];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(h, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        if (std::string(name).find(text) != std::string::npos) ++n;
    }
    RegCloseKey(h);
    return n;
}

void ExpectEntry(const std::string& printer, const std::string& driverDir) {
    std::string key = kUninstallRoot + printer + " printer";
    std::string uninstaller = driverDir + "\\uninstall" + printer + ".exe";
    EXPECT_EQ(ReadValue(key, "DisplayName"), Sz(printer + " printer driver uninstall"));
    EXPECT_EQ(ReadValue(key, "UninstallString"), Sz(uninstaller));
    EXPECT_EQ(ReadValue(key, "DisplayIcon"), Sz(uninstaller + ",-0"));
    EXPECT_EQ(ReadValue(key, "Publisher"), Sz(printer + " printer"));
}

// Four text values with their NUL, and the five that deployment tools read
// (DisplayVersion, InstallDate, EstimatedSize, NoModify, NoRepair), written
// anew by every install: a second install keeps one entry, and values of
// others under the key.
TEST(UninstallEntry, EachInstallWritesItsValues) {
    const std::string driverDir = test::PrinterDriverDirectory();
    test::SetPrintUiDelay(0);
    ASSERT_EQ(RunInstall(PreselectedChoices("KRX")).result, InstallResult::Installed);
    ExpectEntry("KRX", driverDir);
    EXPECT_EQ(ReadValue(kUninstallRoot + "KRX printer", "UninstallString").bytes,
              std::string("C:\\windows\\system32\\spool\\drivers\\w32x86\\uninstallKRX.exe") + '\0');
    EXPECT_EQ(ValueCount(kUninstallRoot + "KRX printer"), 9u);

    HKEY h;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, (kUninstallRoot + "KRX printer").c_str(), 0, KEY_ALL_ACCESS, &h),
              ERROR_SUCCESS);
    RegSetValueExA(h, "Comments", 0, REG_SZ, reinterpret_cast<const BYTE*>("kept"), 5);
    RegSetValueExA(h, "DisplayName", 0, REG_SZ, reinterpret_cast<const BYTE*>("stale"), 6);
    RegCloseKey(h);
    ASSERT_EQ(RunInstall(PreselectedChoices("KRX")).result, InstallResult::Installed);
    ExpectEntry("KRX", driverDir);
    EXPECT_EQ(ReadValue(kUninstallRoot + "KRX printer", "Comments"), Sz("kept"));
    EXPECT_EQ(ValueCount(kUninstallRoot + "KRX printer"), 10u);
    EXPECT_EQ(UninstallKeysContaining("KRX"), 1);
}

// Wine's AddFormA and DeleteFormA are stubs that succeed and forms cannot
// be listed back, so the call itself is what can be seen: ctest runs this
// with Wine's winspool trace on and looks for the DeleteFormA call (test
// uninstall_paper_form).
TEST(PaperForm, DeletedByTheInstall) {
    if (!getenv("PAPER_FORM_TRACE")) GTEST_SKIP() << "run by uninstall_paper_form with the winspool trace";
    ASSERT_EQ(test::ListPrinters(), std::vector<std::string>{"Office Laser"});
    test::SetPrintUiDelay(0);
    EXPECT_EQ(RunInstall(PreselectedChoices("KRX")).result, InstallResult::Installed);
}

}  // namespace
