// The printer registration: the printer installer's commands, the wait for
// the printer, the success message and the quit, with the printer-installer
// stand-in of the test prefix and Wine's real spooler.
#include "app/app_state.h"
#include "app/setup_app.h"
#include "framework/wnd.h"
#include "install/register_printer.h"
#include "install_test_support.h"
#include "spooler_support.h"
#include "test_support.h"
#include <gtest/gtest.h>

namespace {

const LANGID kSystemLanguage = GetSystemDefaultLangID();
const std::string kEnglish = "The Printer Driver has been installed successfully!";
const std::string kGbk = "\xB4\xF2\xD3\xA1\xBB\xFA\xC7\xFD\xB6\xAF\xB3\xCC\xD0\xF2\xB0\xB2\xD7\xB0\xB3\xC9\xB9\xA6\x21";
const std::string kBig5 = "\xA5\xB4\xA6\x4C\xBE\xF7\xC5\x58\xB0\xCA\xB5\x7B\xA7\xC7\xA6\x77\xB8\xCB\xA6\xA8\xA5\x5C\x21";

class RegisterPrinterTest : public ::testing::Test {
protected:
    void SetUp() override {
        CreateDirectoryA("C:\\TEMP", nullptr);
        CreateDirectoryA("C:\\TEMP\\x86", nullptr);
        DeleteFileA("C:\\printui.log");
        DeleteFileA("C:\\TEMP\\KRX.INF");
        test::DeleteAllPrinters();
        ASSERT_TRUE(test::AddTestPrinter("Office Laser", "Office Laser Driver"));
        test::SetDefaultPrinterName("Office Laser");
        test::SetPrintUiDelay(0);
        g_LanguageIndex = 1;
        g_SetDefaultPrinter = true;
        SetCurrentDirectoryA("C:\\");
        main.m_hWnd = CreateWindowA("STATIC", "main", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        theApp.m_pMainWnd = &main;
    }
    void TearDown() override {
        test::TakeQuitMessages(main.m_hWnd);
        theApp.m_pMainWnd = nullptr;
        DestroyWindow(main.m_hWnd);
    }

    // What the install sequence leaves for the printer installer: the INF
    // and the model files in C:\TEMP, the Unidrv core and the model files
    // in the driver folder.
    void StageDriver() {
        ASSERT_TRUE(theApp.ExtractPayload(256, "C:\\TEMP\\KRX.INF", 0));
        std::string driverDir = test::PrinterDriverDirectory();
        for (const char* name : {"KRX.GPD", "KRX.INI", "KRXRES.DLL", "ZIKU.UFM"}) {
            test::WriteFileBytes(std::string("C:\\TEMP\\") + name, name);
            test::WriteFileBytes(driverDir + "\\" + name, name);
        }
        for (const char* name : {"KRXD.DLL", "KRXF.DLL"}) {
            test::WriteFileBytes(std::string("C:\\TEMP\\x86\\") + name, name);
            test::WriteFileBytes(driverDir + "\\" + name, name);
        }
        for (const char* name : {"UNIDRV.DLL", "UNIDRVUI.DLL", "UNIDRV.HLP", "UNIRES.DLL", "STDNAMES.GPD"})
            test::WriteFileBytes(driverDir + "\\" + name, name);
    }

    // Runs the registration, timing it, while a user closes the messages.
    DWORD Run() {
        test::MessageBoxCloser closer;
        DWORD start = GetTickCount();
        RegisterPrinter(kSystemLanguage);
        DWORD elapsed = GetTickCount() - start;
        Sleep(300);   // a box shown late would be seen now
        boxes = closer.Boxes();
        return elapsed;
    }

    CWnd main;
    std::vector<test::MessageBoxCloser::Box> boxes;
};

std::string CurrentDirectory() {
    char dir[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof dir, dir);
    return dir;
}

std::string WaitForDefaultPrinter(const std::string& name, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    while (test::DefaultPrinter() != name && GetTickCount() - start < timeoutMs) Sleep(50);
    return test::DefaultPrinter();
}

TEST_F(RegisterPrinterTest, PrinterAppearingLaterIsFoundMadeDefaultAndReported) {
    StageDriver();
    test::SetPrintUiDelay(1500);
    DWORD elapsed = Run();
    EXPECT_GE(elapsed, 1500u);
    EXPECT_LT(elapsed, 15000u);
    EXPECT_NE(std::find(test::ListPrinters().begin(), test::ListPrinters().end(), "KRX"), test::ListPrinters().end());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, kEnglish);
    EXPECT_EQ(test::TakeQuitMessages(main.m_hWnd), 1);
    EXPECT_EQ(test::TakeQuitMessages(nullptr), 0);
    EXPECT_EQ(test::WaitForPrintUiCommands(2, 10000),
              (std::vector<std::string>{test::kInstallCommand, test::kDefaultCommand}));
    EXPECT_EQ(WaitForDefaultPrinter("KRX", 10000), "KRX");
    EXPECT_EQ(CurrentDirectory(), "C:\\TEMP");
}

TEST_F(RegisterPrinterTest, DefaultPrinterLeftAloneWhenNotWanted) {
    StageDriver();
    g_SetDefaultPrinter = false;
    Run();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(test::TakeQuitMessages(main.m_hWnd), 1);
    Sleep(1500);
    EXPECT_EQ(test::PrintUiCommands(), std::vector<std::string>{test::kInstallCommand});
    EXPECT_EQ(test::DefaultPrinter(), "Office Laser");
}

TEST_F(RegisterPrinterTest, PrinterHoldingTheModelNameIsFoundInTheFirstAttempt) {
    ASSERT_TRUE(test::AddTestPrinter("xKRXy"));
    DWORD elapsed = Run();
    EXPECT_GE(elapsed, 100u);
    EXPECT_LT(elapsed, 1000u);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(test::TakeQuitMessages(main.m_hWnd), 1);
    // No INF to install from, yet both commands went out.
    EXPECT_EQ(test::WaitForPrintUiCommands(2, 10000),
              (std::vector<std::string>{test::kInstallCommand, test::kDefaultCommand}));
}

TEST_F(RegisterPrinterTest, NoLocalPrintersEndsTheWaitAtOnce) {
    test::DeleteAllPrinters();
    DWORD elapsed = Run();
    EXPECT_LT(elapsed, 1000u);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(test::TakeQuitMessages(main.m_hWnd), 0);
    EXPECT_EQ(test::WaitForPrintUiCommands(1, 10000), std::vector<std::string>{test::kInstallCommand});
}

// Language choice English (or none) gives English; Chinese gives GBK on
// 0x0804 and Big5 on every other system language. The bytes come back
// from the message box unchanged, the Big5 0x5C included.
TEST_F(RegisterPrinterTest, SuccessMessageInTheChosenLanguage) {
    ASSERT_TRUE(test::AddTestPrinter("xKRXy"));
    const std::string chinese = kSystemLanguage == 0x0804 ? kGbk : kBig5;
    for (short index : {1, -1, 0}) {
        g_LanguageIndex = index;
        Run();
        ASSERT_EQ(boxes.size(), 1u) << index;
        EXPECT_EQ(boxes[0].text, index == 0 ? chinese : kEnglish) << index;
        EXPECT_EQ(boxes[0].caption, AfxGetAppName());
        EXPECT_EQ(test::TakeQuitMessages(main.m_hWnd), 1);
    }
}

// The one slow test: a printer that never appears (no INF to install from;
// a lower-case "krx" printer does not count) is waited for 300 times 100 ms,
// then the registration returns without a word.
TEST_F(RegisterPrinterTest, NeverAppearingPrinterGivesUpSilentlyAfterThirtySeconds) {
    ASSERT_TRUE(test::AddTestPrinter("my krx printer"));
    DWORD elapsed = Run();
    EXPECT_GE(elapsed, 30000u);
    EXPECT_LT(elapsed, 40000u);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(test::TakeQuitMessages(main.m_hWnd), 0);
    EXPECT_EQ(test::PrintUiCommands(), std::vector<std::string>{test::kInstallCommand});
    EXPECT_EQ(test::DefaultPrinter(), "Office Laser");
}

}  // namespace
