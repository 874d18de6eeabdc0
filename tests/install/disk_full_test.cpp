// A payload write that fails for want of space ends the install with the
// framework's file-error message; nothing after it runs. C:\TEMP lies on a
// 400 KB filesystem here, which the Unidrv core no longer fits.
#include "app/app_state.h"
#include "app/setup_app.h"
#include "framework/file_exception.h"
#include "install_test_support.h"
#include "spooler_support.h"
#include "test_support.h"
#include <gtest/gtest.h>

namespace {

TEST(InstallDiskFull, FailedPayloadWriteEndsTheInstallWithTheFileError) {
    ULARGE_INTEGER available = {}, total = {};
    ASSERT_TRUE(CreateDirectoryA("C:\\TEMP", nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(GetDiskFreeSpaceExA("C:\\TEMP\\", &available, &total, nullptr));
    ASSERT_LT(total.QuadPart, 1024u * 1024u) << "C:\\TEMP is not the tiny filesystem";

    ASSERT_TRUE(test::AddTestPrinter("xKRXy"));
    lstrcpyA(g_PrinterName, "KRX");
    g_OSVersion = 10;
    g_LanguageIndex = 1;
    std::string driverDir = test::PrinterDriverDirectory();

    test::MessageBoxCloser closer;
    bool thrown = false;
    try {
        theApp.InstallDriver();
    } catch (const CFileException& e) {
        thrown = true;
        EXPECT_EQ(e.m_cause, CFileException::diskFull);
        EXPECT_STREQ(e.m_strFileName, "C:\\TEMP\\UNIDRV.DLL");
        // As the window procedure does with an exception from a handler.
        AfxReportHandlerException(e);
    }
    Sleep(200);
    ASSERT_TRUE(thrown);
    char expected[1024];
    CFileException(CFileException::diskFull, ERROR_DISK_FULL, "C:\\TEMP\\UNIDRV.DLL").GetErrorMessage(expected,
                                                                                                       sizeof expected);
    auto boxes = closer.Boxes();
    ASSERT_EQ(boxes.size(), 1u) << "the error only, no success message";
    EXPECT_EQ(boxes[0].text, expected);
    EXPECT_NE(boxes[0].text.find("C:\\TEMP\\UNIDRV.DLL"), std::string::npos);

    // What came before the failing write is there; nothing after it ran.
    for (const char* name : {"uninstallKRX.exe", "KRX.INF", "STDNAMES.GPD", "KRX.GPD", "KRX.INI", "KRXD.dll", "ZIKU.UFM"})
        EXPECT_TRUE(test::FileExists(std::string("C:\\TEMP\\") + name)) << name;
    for (const char* name : {"UNIDRV.HLP", "UNIDRVUI.DLL", "UNIRES.DLL", "KRXF.dll", "KRXRES.DLL"})
        EXPECT_FALSE(test::FileExists(std::string("C:\\TEMP\\") + name)) << name;
    EXPECT_TRUE(test::FileExists(driverDir + "\\uninstallKRX.exe"));
    for (const char* name : {"KRX.GPD", "KRX.INI", "STDNAMES.GPD", "ZIKU.UFM", "KRXD.dll"})
        EXPECT_FALSE(test::FileExists(driverDir + "\\" + name)) << name;
    Sleep(500);
    EXPECT_TRUE(test::PrintUiCommands().empty());
    EXPECT_EQ(test::TakeQuitMessages(nullptr), 0);
}

}  // namespace
