// The install's end with the printer installer stand-in of the test prefix
// and Wine's real spooler: the printer installer is waited for, and only
// the printer on the driver of its name, with the files the install wrote,
// counts; otherwise everything is undone.
#include "app/setup_app.h"
#include "install/install_runner.h"
#include "install_test_support.h"
#include "spooler_support.h"
#include "test_support.h"
#include <gtest/gtest.h>
#include <atomic>
#include <memory>
#include <thread>

namespace {

std::string CurrentDirectory() {
    char dir[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof dir, dir);
    return dir;
}

// Holds the new INF open with no sharing as soon as the install has
// written it, as another user might: the printer installer cannot read it.
class InfHolder {
public:
    InfHolder() : thread_([this] {
        while (!stop_ && file_ == INVALID_HANDLE_VALUE) {
            file_ = CreateFileA("C:\\TEMP\\KRX.INF", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
            if (file_ != INVALID_HANDLE_VALUE) {
                DWORD size = GetFileSize(file_, nullptr);
                if (size == 0 || size == INVALID_FILE_SIZE) {   // still being written
                    CloseHandle(file_);
                    file_ = INVALID_HANDLE_VALUE;
                }
            }
            Sleep(1);
        }
    }) {}
    ~InfHolder() {
        stop_ = true;
        thread_.join();
        if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
    }
    bool Held() const { return file_ != INVALID_HANDLE_VALUE; }

private:
    std::atomic<bool> stop_{false};
    HANDLE file_ = INVALID_HANDLE_VALUE;
    std::thread thread_;
};

struct Row {
    const char* name;
    DWORD installerDelayMs;
    bool setDefault;
    bool earlierInstall;   // a printer KRX on a driver KRX, with the setup's entry
    bool holdInf;
    InstallResult result;
    Rollback rollback;
    bool withDefaultCommand;
    const char* defaultPrinter;   // afterwards
};

TEST(PrinterInstaller, EachWayItEnds) {
    const Row rows[] = {
        // Slow: the install waits for its end, then finds the printer.
        {"slow installer", 1500, true, false, false, InstallResult::Installed, Rollback::None, true, "KRX"},
        {"no default wanted", 0, false, false, false, InstallResult::Installed, Rollback::None, false, "Office Laser"},
        // It never ends within the wait (5 s here): ended, and undone.
        {"installer outlasts the wait", 600000, true, false, false, InstallResult::InstallerTimedOut,
         Rollback::NothingLeft, false, "Office Laser"},
        // The earlier install's printer does not count by itself: the
        // installer could not read the INF, so its driver files are not the
        // ones written, and the earlier install stays as it was.
        {"INF held from the installer", 0, true, true, true, InstallResult::PrinterNotCreated, Rollback::EarlierKept,
         false, "Office Laser"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        // What the row before left goes.
        test::DeleteAllPrinters();
        test::DeleteTestDriver("KRX");
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KRX printer");
        test::EmptyFolder("C:\\TEMP");
        ASSERT_TRUE(test::AddTestPrinter("Office Laser", "Office Laser Driver"));
        test::SetDefaultPrinterName("Office Laser");
        DeleteFileA("C:\\printui.log");
        test::SetPrintUiDelay(row.installerDelayMs);
        if (row.earlierInstall) {
            ASSERT_TRUE(test::AddEarlierInstall("KRX"));
        }
        const std::string earlierDriver = test::DriverFiles("KRX");
        SetCurrentDirectoryA("C:\\");
        InstallChoices choices = PreselectedChoices("KRX");
        choices.setDefaultPrinter = row.setDefault;
        std::unique_ptr<InfHolder> holder(row.holdInf ? new InfHolder : nullptr);
        const DWORD start = GetTickCount();
        // The full wait, but where the row waits it out (a sixth of it, 5 s).
        const bool outlasts = row.installerDelayMs > 60000;
        const InstallOutcome outcome = RunInstall(choices, outlasts ? kPrinterWaitAttempts / 6 : kPrinterWaitAttempts);
        const DWORD elapsed = GetTickCount() - start;
        if (holder) {
            EXPECT_TRUE(holder->Held());
        }
        holder.reset();
        EXPECT_EQ(outcome.result, row.result);
        EXPECT_EQ(outcome.rollback, row.rollback);
        if (row.installerDelayMs == 1500) {
            EXPECT_GE(elapsed, 1500u);
        }
        if (outlasts) {
            EXPECT_LT(elapsed, 15000u);
        }
        std::vector<std::string> commands = {test::InstallCommand("KRX")};
        if (row.withDefaultCommand) commands.push_back(test::DefaultCommand("KRX"));
        EXPECT_TRUE(test::WaitUntilNoneRuns("rundll32.exe", 10000));
        EXPECT_EQ(test::PrintUiCommands(), commands);
        EXPECT_EQ(test::DefaultPrinter(), row.defaultPrinter);
        // The program's own folder stays; the installer starts in the system folder.
        EXPECT_EQ(CurrentDirectory(), "C:\\");
        const bool installed = row.result == InstallResult::Installed;
        EXPECT_EQ(test::DriverOfPrinter("KRX"), installed || row.earlierInstall ? "KRX" : "");
        EXPECT_EQ(test::UninstallKeyExists("KRX"), installed || row.earlierInstall);
        if (row.rollback == Rollback::EarlierKept) {
            EXPECT_EQ(test::DriverFiles("KRX"), earlierDriver);
        }
        if (row.rollback == Rollback::NothingLeft) {
            EXPECT_EQ(test::ListFolder("C:\\TEMP"), std::vector<std::string>{}) << "the install's files stay";
            EXPECT_EQ(test::DriverFiles("KRX"), "") << "the installer's driver stays";
        }
    }
}

}  // namespace
