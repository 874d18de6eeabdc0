// The real install (the setup program's own install sequence, with the
// printer installer's stand-in creating the printer) followed by the
// uninstaller it wrote into the driver folder.
#include "app_core/app_state.h"
#include "app/setup_app.h"
#include "install_state.h"
#include "install_test_support.h"
#include "spooler_support.h"
#include "test_support.h"
#include <gtest/gtest.h>

using namespace uninstall_test;

namespace {

// Installs as the install page does; the outcome.
InstallResult Install(const char* printerName, int os) {
    InstallChoices choices = PreselectedChoices(printerName);
    choices.osCode = os;
    choices.languageIndex = 1;
    return theApp.InstallDriver(choices).result;
}

std::string Uninstaller(const std::string& printerName) { return DriverDir() + "\\uninstall" + printerName + ".exe"; }

DWORD UninstallSilently(const std::string& printerName) {
    return test::Program("\"" + Uninstaller(printerName) + "\" /S").WaitForExit();
}

// Every payload set (their plug-ins differ in letter case), installed and
// uninstalled in turn on one machine.
TEST(InstallThenUninstall, EachPayloadSetGoesWithoutATraceAndCanBeInstalledAgain) {
    CreateUnrelatedThings();
    MachineState before = Snapshot();
    std::set<std::string> own = {Upper(Uninstaller("KRX"))};
    for (int os : {7, 6, 10}) {
        SCOPED_TRACE("os " + std::to_string(os));
        ASSERT_EQ(Install("KRX", os), InstallResult::Installed);
        MachineState installed = Snapshot();
        ASSERT_EQ(Minus(installed.printers, before.printers), std::set<std::string>{"KRX|KRX"});
        ASSERT_EQ(Minus(installed.drivers, before.drivers), std::set<std::string>{"KRX"});
        ASSERT_EQ(Minus(installed.uninstallKeys, before.uninstallKeys), std::set<std::string>{"KRX printer"});
        EXPECT_GT(Minus(installed.files, before.files).size(), test::OnWindows64() ? 20u : 35u);

        EXPECT_EQ(UninstallSilently("KRX"), 0u);
        MachineState after = Snapshot();
        EXPECT_EQ(after.printers, before.printers);
        EXPECT_EQ(after.drivers, before.drivers);
        EXPECT_EQ(after.uninstallKeys, before.uninstallKeys);
        EXPECT_EQ(Minus(after.files, before.files), own);
        EXPECT_EQ(Minus(before.files, after.files), std::set<std::string>{});
        EXPECT_EQ(PendingDeletions(), own);
    }
    MachineState after = Snapshot();
    EXPECT_EQ(UninstallSilently("KRX"), 0u);
    EXPECT_TRUE(Snapshot() == after);
}

// A second printer name's install writes uninstallMERLO.exe; that file
// removes MERLO's things and leaves KRX's installation working.
TEST(InstallThenUninstall, TheUninstallerOfAnotherPrinterNameRemovesOnlyThatOne) {
    MachineState before = Snapshot();
    ASSERT_EQ(Install("KRX", 10), InstallResult::Installed);
    MachineState krx = Snapshot();
    // The installer names KRX whatever the printer name; the KRX printer
    // ends MERLO's wait at once.
    ASSERT_EQ(Install("MERLO", 10), InstallResult::Installed);
    MachineState both = Snapshot();
    ASSERT_EQ(both.uninstallKeys.count("MERLO printer"), 1u);
    ASSERT_TRUE(test::FileExists(Uninstaller("MERLO")));

    EXPECT_EQ(UninstallSilently("MERLO"), 0u);
    MachineState after = Snapshot();
    EXPECT_EQ(after.printers, krx.printers);
    EXPECT_EQ(after.drivers, krx.drivers);
    EXPECT_EQ(after.uninstallKeys, krx.uninstallKeys);
    for (const std::string& f : after.files)
        if (f.find("MERLO") != std::string::npos) {
            EXPECT_EQ(f, Upper(Uninstaller("MERLO")));
        }
    for (const std::string& f : krx.files)
        if (f.find("KRX") != std::string::npos || f.find("\\3\\") != std::string::npos) {
            EXPECT_EQ(after.files.count(f), 1u) << f;
        }

    EXPECT_EQ(UninstallSilently("KRX"), 0u);
    MachineState end = Snapshot();
    EXPECT_EQ(end.printers, before.printers);
    EXPECT_EQ(end.drivers, before.drivers);
    EXPECT_EQ(end.uninstallKeys, before.uninstallKeys);
    // Only the two uninstallers stay (one may be pending from an earlier test).
    std::set<std::string> own = {Upper(Uninstaller("KRX")), Upper(Uninstaller("MERLO"))};
    EXPECT_EQ(Minus(end.files, before.files), Minus(own, before.files));
    EXPECT_EQ(PendingDeletions(), own);
}

}  // namespace
