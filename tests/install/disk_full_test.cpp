// Writes that fail for want of space, on a small filesystem that ctest
// mounts as C:\TEMP here and fills to the point each case needs: a payload
// write ends the install with the file's error, and the install leaves
// nothing of itself; at start-up the program carries on without its files.
#include "app_core/app_state.h"
#include "app/setup_app.h"
#include "install/install_runner.h"
#include "install_test_support.h"
#include "spooler_support.h"
#include "test_support.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <vector>

namespace {

const DWORD kPage = 4096;
DWORD Pages(size_t bytes) { return static_cast<DWORD>((bytes + kPage - 1) / kPage * kPage); }

class DiskFull : public ::testing::Test {
protected:
    void SetUp() override {
        ULARGE_INTEGER available = {}, total = {};
        CreateDirectoryA("C:\\TEMP", nullptr);
        ASSERT_TRUE(GetDiskFreeSpaceExA("C:\\TEMP\\", &available, &total, nullptr));
        ASSERT_LT(total.QuadPart, 8u * 1024u * 1024u) << "C:\\TEMP is not the small filesystem";
        test::EmptyFolder("C:\\TEMP");
        choices = PreselectedChoices("KRX");
        choices.osCode = 10;
        choices.languageIndex = 1;
    }
    // A filler file that leaves `bytes` free.
    void FillLeaving(ULONGLONG bytes) {
        ULARGE_INTEGER available = {};
        ASSERT_TRUE(GetDiskFreeSpaceExA("C:\\TEMP\\", &available, nullptr, nullptr));
        ASSERT_GE(available.QuadPart, bytes);
        HANDLE filler = CreateFileA("C:\\TEMP\\filler", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(filler, INVALID_HANDLE_VALUE);
        std::string chunk(64 * kPage, 'f');
        for (ULONGLONG left = available.QuadPart - bytes; left > 0;) {
            DWORD size = static_cast<DWORD>(std::min<ULONGLONG>(left, chunk.size())), written = 0;
            if (!WriteFile(filler, chunk.data(), size, &written, nullptr) || written == 0) break;
            left -= written;
        }
        CloseHandle(filler);
    }
    // The install fails at `path` for want of space, and leaves nothing
    // of itself: no file, no entry, no printer-installer command.
    void ExpectTheFileErrorAndNothingLeft(const char* path) {
        const InstallOutcome outcome = RunInstall(choices);
        EXPECT_EQ(outcome.result, InstallResult::FileNotWritten);
        EXPECT_STREQ(outcome.subject, path);
        EXPECT_TRUE(outcome.error == ERROR_DISK_FULL || outcome.error == ERROR_HANDLE_DISK_FULL) << outcome.error;
        EXPECT_EQ(outcome.rollback, Rollback::NothingLeft);
        EXPECT_EQ(test::ListFolder("C:\\TEMP"), std::vector<std::string>{"filler"});
        for (const char* name : {"uninstallKRX.exe", "KRX.GPD", "KRX.INI", "STDNAMES.GPD", "ZIKU.UFM", "KRXD.dll"})
            EXPECT_FALSE(test::FileExists(driverDir + "\\" + name)) << name;
        EXPECT_FALSE(test::UninstallKeyExists("KRX"));
        EXPECT_TRUE(test::PrintUiCommands().empty());
    }

    InstallChoices choices;
    std::string driverDir = test::PrinterDriverDirectory();
};

// A first install with room for what comes before the Unidrv core, not for
// UNIDRV.DLL: the install stops there and takes back what it wrote. On
// 64-bit Windows, which has no Unidrv core of the install's, the large
// file is the x64 rendering plug-in in amd64.
TEST_F(DiskFull, FailedPayloadWriteEndsTheInstallAndLeavesNothing) {
    const bool x64 = test::OnWindows64();
    size_t before = 0;
    for (unsigned id : x64 ? std::vector<unsigned>{255, 266, 264, 264, 265, 265}
                           : std::vector<unsigned>{255, 256, 186, 187, 187, 188, 188, 189, 189, 189, 154})
        before += Pages(test::EmbeddedPayload(id).size());
    FillLeaving(before + 16 * kPage);
    ExpectTheFileErrorAndNothingLeft(x64 ? "C:\\TEMP\\amd64\\KRXD.dll" : "C:\\TEMP\\UNIDRV.DLL");
}

// Room for the scratch copy of the GPD but not for its rewritten lines: a
// truncated GPD is neither left in C:\TEMP nor copied on.
TEST_F(DiskFull, RewrittenGpdThatDoesNotFitIsReportedAndNeverShips) {
    const bool x64 = test::OnWindows64();
    size_t before = 0;
    // The uninstaller, the INF, STDNAMES.GPD (none on x64) and the scratch copy.
    for (unsigned id : x64 ? std::vector<unsigned>{255, 266, 264} : std::vector<unsigned>{255, 256, 186, 187})
        before += Pages(test::EmbeddedPayload(id).size());
    FillLeaving(before + 2 * kPage);
    ExpectTheFileErrorAndNothingLeft("C:\\TEMP\\KRX.GPD");
}

// The program itself on a full disk: it cannot write its language or
// settings files, and still shows its wizard.
TEST_F(DiskFull, StartupOnAFullDiskStillShowsTheWizard) {
    CreateDirectoryA("C:\\TEMP\\program", nullptr);
    ASSERT_TRUE(CopyFileA(test::BuildPath("setup.exe").c_str(), "C:\\TEMP\\program\\setup.exe", FALSE));
    FillLeaving(0);
    bool shown = false;
    EXPECT_EQ(test::RunSetupAndCancel("C:\\TEMP\\program\\setup.exe", 60000, &shown), 0u);
    EXPECT_TRUE(shown);
    EXPECT_FALSE(test::FileExists("C:\\TEMP\\program\\setting.dll"));
    EXPECT_FALSE(test::FileExists("C:\\TEMP\\program\\Language\\Multi_eng.dll"));
}

}  // namespace
