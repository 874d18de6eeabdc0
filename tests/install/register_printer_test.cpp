// The printer registration and how the wizard tells its outcome: the
// printer installer's commands, the wait for the printer, the messages and
// the quit, with the printer-installer
// stand-in of the test prefix and Wine's real spooler.
#include "app_core/app_state.h"
#include "app/setup_app.h"
#include "framework/wnd.h"
#include "install/register_printer.h"
#include "payload/install_plan.h"
#include "payload/payload_resource.h"
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
        lstrcpyA(g_PrinterName, "KRX");
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
        ASSERT_TRUE(theApp.ExtractPayload(256, "C:\\TEMP\\KRX.INF", kReplaceModelName));
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
    // The wait is cut to a sixth of its bound here (5 s).
    DWORD Run() {
        test::MessageBoxCloser closer;
        DWORD start = GetTickCount();
        static InstallPlan plan;
        EXPECT_TRUE(BuildInstallPlan(10, kSystemLanguage, g_LanguageIndex, g_PrinterName, "", plan));
        InstallOutcome outcome;
        outcome.result = RegisterPrinter(plan, g_SetDefaultPrinter, kPrinterWaitAttempts / 6) == PrinterWaitOutcome::Found
                             ? InstallResult::Installed
                             : InstallResult::PrinterNotCreated;
        ShowInstallOutcome(outcome, {g_PrinterName, 10, kSystemLanguage, g_LanguageIndex, g_SetDefaultPrinter});
        DWORD elapsed = GetTickCount() - start;
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
    test::WaitUntil([&] { return test::DefaultPrinter() == name; }, timeoutMs);
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
              (std::vector<std::string>{test::InstallCommand("KRX"), test::DefaultCommand("KRX")}));
    EXPECT_EQ(WaitForDefaultPrinter("KRX", 10000), "KRX");
    EXPECT_EQ(CurrentDirectory(), "C:\\");   // the program's own stays; the installer starts in the system folder
}

TEST_F(RegisterPrinterTest, DefaultPrinterLeftAloneWhenNotWanted) {
    StageDriver();
    g_SetDefaultPrinter = false;
    Run();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(test::TakeQuitMessages(main.m_hWnd), 1);
    // Once the printer installer has ended, no second command can follow.
    EXPECT_TRUE(test::WaitUntilNoneRuns("rundll32.exe", 10000));
    EXPECT_EQ(test::PrintUiCommands(), std::vector<std::string>{test::InstallCommand("KRX")});
    EXPECT_EQ(test::DefaultPrinter(), "Office Laser");
}

// What the wait counts: exactly the printer name, on the driver of that
// name. A printer of an earlier install of this driver counts at once,
// whatever the installer does; names that merely hold the printer name,
// and the name on another driver, do not.
TEST_F(RegisterPrinterTest, OnlyThePrinterOfThatNameOnItsDriverCounts) {
    const struct {
        const char* printer;
        const char* driver;
        bool found;
    } cases[] = {{"KRX", "KRX", true},    {"krx", "KRX", true},    {"xKRXy", "KRX", false},
                 {"KRX 2", "KRX", false}, {"KRX", "Office Laser Driver", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.printer) + " on " + c.driver);
        ASSERT_TRUE(test::AddTestPrinter(c.printer, c.driver));
        DWORD start = GetTickCount();
        EXPECT_EQ(PrinterWait("KRX", 5) == PrinterWaitOutcome::Found, c.found);
        EXPECT_LT(GetTickCount() - start, c.found ? 400u : 2000u);
        test::DeleteTestPrinter(c.printer);
    }
    // The earlier install's printer: both commands go out, the message is told.
    ASSERT_TRUE(test::AddTestPrinter("KRX", "KRX"));
    EXPECT_LT(Run(), 1000u);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, kEnglish);
    EXPECT_EQ(test::TakeQuitMessages(main.m_hWnd), 1);
    EXPECT_EQ(test::WaitForPrintUiCommands(2, 10000),
              (std::vector<std::string>{test::InstallCommand("KRX"), test::DefaultCommand("KRX")}));
}

// No local printer at all: the wait gives up at once, and says so.
TEST_F(RegisterPrinterTest, NoLocalPrintersEndsTheWaitAtOnce) {
    test::DeleteAllPrinters();
    DWORD elapsed = Run();
    EXPECT_LT(elapsed, 1000u);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text.find("The printer KRX could not be created."), 0u) << boxes[0].text;
    EXPECT_EQ(test::TakeQuitMessages(main.m_hWnd), 0);
    EXPECT_EQ(test::WaitForPrintUiCommands(1, 10000), std::vector<std::string>{test::InstallCommand("KRX")});
}

// Language choice English (or none) gives English; Chinese gives GBK on
// 0x0804 and Big5 on every other system language. The bytes come back
// from the message box unchanged, the Big5 0x5C included.
TEST_F(RegisterPrinterTest, SuccessMessageInTheChosenLanguage) {
    ASSERT_TRUE(test::AddTestPrinter("KRX", "KRX"));
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

// A printer that never appears (no INF to install from): the wait runs to
// its bound, then the user is told in the chosen language, and the wizard
// is not asked to end.
TEST_F(RegisterPrinterTest, NeverAppearingPrinterIsToldAfterTheWait) {
    const std::string chinese =
        kSystemLanguage == 0x0804
            ? "\xCE\xDE\xB7\xA8\xB4\xB4\xBD\xA8\xB4\xF2\xD3\xA1\xBB\xFA KRX\xA1\xA3"   // GBK: 无法创建打印机 KRX。
            : "\xB5L\xAAk\xAB\xD8\xA5\xDF\xA6L\xAA\xED\xBE\xF7 KRX\xA1" "C";         // Big5: 無法建立印表機 KRX。
    for (short index : {1, 0}) {
        g_LanguageIndex = index;
        DWORD elapsed = Run();
        EXPECT_GE(elapsed, 5000u);
        EXPECT_LT(elapsed, 10000u);
        ASSERT_EQ(boxes.size(), 1u) << index;
        if (index == 0) EXPECT_EQ(boxes[0].text.substr(0, chinese.size()), chinese);
        else EXPECT_EQ(boxes[0].text.find("The printer KRX could not be created. Check that"), 0u) << boxes[0].text;
        EXPECT_EQ(boxes[0].caption, AfxGetAppName());
        EXPECT_EQ(test::TakeQuitMessages(main.m_hWnd), 0);
    }
    EXPECT_EQ(test::PrintUiCommands(), (std::vector<std::string>{test::InstallCommand("KRX"), test::InstallCommand("KRX")}));
    EXPECT_EQ(test::DefaultPrinter(), "Office Laser");
}

}  // namespace
