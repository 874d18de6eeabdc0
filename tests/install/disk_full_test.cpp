// Writes that fail for want of space, on a small filesystem that ctest
// mounts as C:\TEMP here and fills to the point each case needs: a payload
// write ends the install with the framework's file-error message and leaves
// no part of the file; at start-up the program carries on without its files.
#include "app_core/app_state.h"
#include "app/setup_app.h"
#include "framework/file_exception.h"
#include "install_test_support.h"
#include "spooler_support.h"
#include "test_support.h"
#include <gtest/gtest.h>
#include <algorithm>

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
        EmptyTemp("C:\\TEMP");
        lstrcpyA(g_PrinterName, "KRX");
        g_OSVersion = 10;
        g_LanguageIndex = 1;
    }
    void EmptyTemp(const std::string& folder) {
        for (const std::string& name : test::ListFolder(folder)) {
            std::string path = folder + "\\" + name;
            if (test::FolderExists(path)) {
                EmptyTemp(path);
                RemoveDirectoryA(path.c_str());
            } else {
                DeleteFileA(path.c_str());
            }
        }
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
    // Runs the install as the window procedure would, reporting a file
    // exception that it leaves pending; the exception is returned.
    CFileException Install() {
        test::MessageBoxCloser closer;
        CFileException failure(CFileException::none, 0, "");
        theApp.InstallDriver();
        if (CFileException::TakePending(&failure)) AfxReportHandlerException(failure);
        boxes = closer.Boxes();
        test::TakeQuitMessages(nullptr);
        return failure;
    }
    void ExpectOnlyTheFileError(const CFileException& failure, const char* path) {
        EXPECT_EQ(failure.m_cause, CFileException::diskFull);
        EXPECT_STREQ(failure.m_strFileName, path);
        char expected[1024];
        CFileException(CFileException::diskFull, ERROR_DISK_FULL, path).GetErrorMessage(expected, sizeof expected);
        ASSERT_EQ(boxes.size(), 1u) << "the error only, no success message";
        EXPECT_EQ(boxes[0].text, expected);
        EXPECT_FALSE(test::FileExists(path)) << "a part of the file stayed";
        EXPECT_EQ(test::TakeQuitMessages(nullptr), 0);
    }

    std::string driverDir = test::PrinterDriverDirectory();
    std::vector<test::MessageBoxCloser::Box> boxes;
};

// Room for what comes before the Unidrv core, not for UNIDRV.DLL: the
// install stops there, and nothing after it runs.
TEST_F(DiskFull, FailedPayloadWriteEndsTheInstallWithTheFileError) {
    ASSERT_TRUE(test::AddEarlierInstall("KRX"));
    size_t before = 0;
    for (unsigned id : {255u, 256u, 186u, 187u, 187u, 188u, 188u, 189u, 189u, 189u, 154u})
        before += Pages(test::EmbeddedPayload(id).size());
    FillLeaving(before + 16 * kPage);
    ExpectOnlyTheFileError(Install(), "C:\\TEMP\\UNIDRV.DLL");

    for (const char* name : {"uninstallKRX.exe", "KRX.INF", "STDNAMES.GPD", "KRX.GPD", "KRX.INI", "KRXD.dll", "ZIKU.UFM"})
        EXPECT_TRUE(test::FileExists(std::string("C:\\TEMP\\") + name)) << name;
    for (const char* name : {"UNIDRV.HLP", "UNIDRVUI.DLL", "UNIRES.DLL", "KRXF.dll", "KRXRES.DLL"})
        EXPECT_FALSE(test::FileExists(std::string("C:\\TEMP\\") + name)) << name;
    EXPECT_TRUE(test::FileExists(driverDir + "\\uninstallKRX.exe"));
    for (const char* name : {"KRX.GPD", "KRX.INI", "STDNAMES.GPD", "ZIKU.UFM", "KRXD.dll"})
        EXPECT_FALSE(test::FileExists(driverDir + "\\" + name)) << name;
    EXPECT_TRUE(test::WaitUntilNoneRuns("rundll32.exe", 10000));   // nothing more can log
    EXPECT_TRUE(test::PrintUiCommands().empty());
}

// Room for the scratch copy of the GPD but not for its rewritten lines: a
// truncated GPD is neither left in C:\TEMP nor copied on.
TEST_F(DiskFull, RewrittenGpdThatDoesNotFitIsReportedAndNeverShips) {
    size_t before = 0;
    for (unsigned id : {255u, 256u, 186u, 187u}) before += Pages(test::EmbeddedPayload(id).size());
    FillLeaving(before + 2 * kPage);
    ExpectOnlyTheFileError(Install(), "C:\\TEMP\\KRX.GPD");
    EXPECT_FALSE(test::FileExists(driverDir + "\\KRX.GPD"));
    EXPECT_TRUE(test::PrintUiCommands().empty());
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
