// The whole wizard on one Windows version and one system language (set by
// ctest through E2E_WINDOWS_VERSION and LC_ALL): a first run, cancelled;
// then a second run walked page by page with every default, checking texts,
// fonts, preselections and buttons, through the install to the completion
// message and the end of the process; then what the install left.
#include "e2e_support.h"
#include "page_checks.h"
#include "spooler_support.h"
#include "test_support.h"
#include <gtest/gtest.h>
#include <algorithm>

namespace {

using namespace e2e;

TEST(Wizard, FirstRunCancelledThenSecondRunInstallsWithEveryDefault) {
    const int os = OsCode(WindowsVersion());
    const std::string exe = CopyProgram("setup_standin.exe", "wizard");
    const std::string folder = FolderOf(exe);

    // First run: the language files are written now, so even a Chinese
    // system sees English; Cancel ends it without installing.
    {
        test::Program setup(Quoted(exe));
        HWND wizard = ui::WaitForWizard(setup);
        ASSERT_NE(wizard, nullptr);
        HWND welcome = ui::WaitForPage(wizard, ui::kWelcomePage);
        ASSERT_NE(welcome, nullptr);
        EXPECT_EQ(ui::ControlText(welcome, 1042), "Welcome to the Printer Driver Setup Wizard");
        EXPECT_EQ(ui::ControlText(wizard, 12324), "&Next");
        ui::Click(wizard, 1061);
        EXPECT_EQ(setup.WaitForExit(), 0u);
    }
    ExpectNoInstall();

    // Second run, in the system's language.
    const std::string language = LanguageFileFor(folder);
    ASSERT_TRUE(test::FileExists(language));
    test::Program setup(Quoted(exe));
    HWND wizard = ui::WaitForWizard(setup);
    ASSERT_NE(wizard, nullptr);
    EXPECT_EQ(ui::Text(wizard), "");  // no title in the template or the language file
    ExpectFrameButtonTexts(wizard);
    ExpectTextsFromLanguageFile(wizard, 102, language);
    ExpectFonts(wizard);

    HWND page = ui::WaitForPage(wizard, ui::kWelcomePage);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(ButtonStates(wizard), "Back:0 Next:1 Finish:0 Cancel:1");
    ExpectTextsFromLanguageFile(page, 138, language);
    ExpectFonts(page);
    Screenshot(wizard, RunName("1_welcome"));

    ClickAndSettle(wizard, 12324);
    page = ui::WaitForPage(wizard, ui::kSystemLanguagePage);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(ButtonStates(wizard), "Back:1 Next:1 Finish:0 Cancel:1");
    ExpectTextsFromLanguageFile(page, 137, language);
    ExpectFonts(page);
    ExpectHeaderBand(wizard, page);
    EXPECT_FALSE(ui::IsShown(page, 1052));
    // The language of the system is preselected; a German system has neither.
    EXPECT_EQ(ui::CheckState(page, 1037), ChineseSystem() ? BST_CHECKED : BST_UNCHECKED);
    EXPECT_EQ(ui::CheckState(page, 1038), EnglishSystem() ? BST_CHECKED : BST_UNCHECKED);
    ExpectSystemPreselected(page, os);
    Screenshot(wizard, RunName("2_system_language"));

    ClickAndSettle(wizard, 12324);
    page = ui::WaitForPage(wizard, ui::kSeriesPage);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(ButtonStates(wizard), "Back:1 Next:0 Finish:0 Cancel:1");
    ExpectTextsFromLanguageFile(page, 143, language);
    ExpectFonts(page);
    EXPECT_EQ(ui::ListRows(page, 1006), std::vector<std::string>{"80mm series"});
    EXPECT_EQ(ui::ListSelection(page, 1006), LB_ERR);
    EXPECT_EQ(ui::CheckState(page, 1039), BST_CHECKED);
    EXPECT_EQ(ui::ControlText(page, 1019), "");
    ui::SelectListRow(page, 1006, 0);
    ui::Settle(wizard);
    EXPECT_EQ(ui::ListSelection(page, 1006), 0);
    EXPECT_EQ(ui::ControlText(page, 1019), "80mm series");
    EXPECT_EQ(ButtonStates(wizard), "Back:1 Next:1 Finish:0 Cancel:1");
    Screenshot(wizard, RunName("3_series"));

    // The install page: the bar stands at 0 until the timer starts the install.
    ClickAndSettle(wizard, 12324);
    page = ui::WaitForPage(wizard, ui::kInstallPage);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(ui::ProgressPosition(page, 1035), 0);
    EXPECT_EQ(ButtonStates(wizard), "Back:1 Next:0 Finish:1 Cancel:1");
    EXPECT_FALSE(ui::IsShown(page, 1059));
    Screenshot(wizard, RunName("4_install"));

    HWND box = setup.WaitForMessageBox(60000);
    ASSERT_NE(box, nullptr) << "no completion message";
    int languageIndex = ChineseSystem() ? 0 : EnglishSystem() ? 1 : -1;
    EXPECT_EQ(ui::ControlText(box, 0xFFFF), CompletionMessage(languageIndex));
    EXPECT_EQ(ui::Text(box), "setup");  // the program file's name
    // The install is still inside its timer handler: the bar shows 50.
    EXPECT_EQ(ui::ProgressPosition(page, 1035), 50);
    Screenshot(box, RunName("5_message"));
    ui::Click(box, IDOK);
    EXPECT_EQ(setup.WaitForExit(), 0u);

    ExpectInstalled(exe, os, languageIndex, "KRX");
    EXPECT_NE(PrinterInstallerLog().find(test::DefaultCommand("KRX")), std::string::npos);
    EXPECT_TRUE(test::WaitUntil([] { return test::DefaultPrinter() == "KRX"; }, 15000)) << test::DefaultPrinter();
}

}  // namespace
