// Single paths through the wizard, each run by its own ctest entry (each in
// a fresh prefix): leaving it every way there is, going back and forth, the
// language choice against the system language, the default-printer box,
// Back and Finish before the install starts, a printer that never appears,
// a read-only program folder, the about box, and setup.exe /S on every
// exit code, the ports and their test receipts among its rows.
#include <winsock2.h>   // before windows.h, which the others bring
#include "e2e_support.h"
#include "page_checks.h"
#include "spooler_support.h"
#include "test_support.h"
#include "wizard/install_progress_page.h"
#include <gtest/gtest.h>
#include <aclapi.h>
#include <sddl.h>
#include <algorithm>
#include <atomic>
#include <functional>
#include <iostream>
#include <memory>
#include <regex>
#include <set>
#include <thread>

namespace {

using namespace e2e;

const int kBack = 12323, kNext = 12324, kFinish = 12325, kCancel = 1061;

// A started program with its wizard on the welcome page.
struct WizardRun {
    explicit WizardRun(const std::string& exe) : program(Quoted(exe)) {
        wizard = ui::WaitForWizard(program);
        if (wizard) ui::WaitForPage(wizard, ui::kWelcomePage);
    }
    // Next until the page shows; selects the series on the way when asked.
    HWND NextTo(int pageId, bool selectSeries = true) {
        while (wizard && ui::ShownPageId(wizard) != pageId) {
            int shown = ui::ShownPageId(wizard);
            if (shown == ui::kSeriesPage && selectSeries) {
                ui::SelectListRow(ui::ShownPage(wizard), 1006, 0);
                ui::Settle(wizard);
            }
            ClickAndSettle(wizard, kNext);
            if (ui::ShownPageId(wizard) == shown) return nullptr;  // Next did nothing
        }
        return wizard ? ui::ShownPage(wizard) : nullptr;
    }
    test::Program program;
    HWND wizard = nullptr;
};

// Runs the wizard to the completion message and closes it with OK.
void FinishInstall(WizardRun& run, const std::string& expectedMessage) {
    HWND box = run.program.WaitForMessageBox(60000);
    ASSERT_NE(box, nullptr) << "no completion message";
    EXPECT_EQ(ui::ControlText(box, 0xFFFF), expectedMessage);
    EXPECT_EQ(ui::Text(box), "setup");
    ui::Click(box, IDOK);
    EXPECT_EQ(run.program.WaitForExit(), 0u);
}

// Starts and cancels the program once, so that the next run shows the
// system's language (a first run writes the language files and shows English).
void FirstRun(const std::string& exe) {
    WizardRun run(exe);
    ASSERT_NE(run.wizard, nullptr);
    ui::Click(run.wizard, kCancel);
    ASSERT_EQ(run.program.WaitForExit(), 0u);
}

TEST(Leave, CancelCloseBoxAndEscEndTheWizardWithoutInstalling) {
    const std::string exe = CopyProgram("setup.exe", "leave");
    struct Way {
        const char* name;
        int page;
    };
    const Way ways[] = {{"cancel", ui::kWelcomePage},      {"cancel", ui::kSystemLanguagePage},
                        {"cancel", ui::kSeriesPage},       {"cancel", ui::kInstallPage},
                        {"close box", ui::kSystemLanguagePage}, {"Esc", ui::kWelcomePage},
                        {"Esc", ui::kSeriesPage}};
    for (const Way& way : ways) {
        SCOPED_TRACE(std::string(way.name) + " on page " + std::to_string(way.page));
        WizardRun run(exe);
        ASSERT_NE(run.wizard, nullptr);
        ASSERT_NE(run.NextTo(way.page), nullptr);
        // On the install page this comes before its timer can start the install.
        if (std::string(way.name) == "cancel")
            ui::Click(run.wizard, kCancel);
        else if (std::string(way.name) == "close box")
            ui::PostSystemCommand(run.wizard, SC_CLOSE);
        else
            ui::PressKey(ui::Control(run.wizard, kCancel), VK_ESCAPE);  // focus on a frame button
        EXPECT_EQ(run.program.WaitForExit(), 0u);
    }
    ExpectNoInstall();
}

TEST(Leave, CancelCommandReachingAPageDoesNotEndTheWizard) {
    const std::string exe = CopyProgram("setup.exe", "esc_page");
    WizardRun run(exe);
    HWND page = run.NextTo(ui::kSeriesPage, false);
    ASSERT_NE(page, nullptr);
    // IDCANCEL that reaches the page itself does nothing: once the wizard
    // has handled it, a wizard it ended would be gone.
    ui::PostCommand(page, IDCANCEL);
    EXPECT_TRUE(ui::Settle(run.wizard));
    EXPECT_TRUE(IsWindow(run.wizard));
    EXPECT_FALSE(run.program.HasEnded());
    EXPECT_EQ(ui::ShownPageId(run.wizard), ui::kSeriesPage);
    ui::Click(run.wizard, kCancel);
    EXPECT_EQ(run.program.WaitForExit(), 0u);
}

TEST(Navigate, BackAndNextAcrossEveryPageThenBackBeforeTheTimerThenInstall) {
    const std::string exe = CopyProgram("setup_standin.exe", "navigate");
    WizardRun run(exe);
    ASSERT_NE(run.wizard, nullptr);
    HWND w = run.wizard;

    // Forward to the series page without choosing a series, and back.
    ASSERT_NE(run.NextTo(ui::kSeriesPage, false), nullptr);
    EXPECT_EQ(ButtonStates(w), "Back:1 Next:0 Finish:0 Cancel:1");
    ClickAndSettle(w, kBack);
    EXPECT_EQ(ui::ShownPageId(w), ui::kSystemLanguagePage);
    EXPECT_EQ(ButtonStates(w), "Back:1 Next:1 Finish:0 Cancel:1");
    ClickAndSettle(w, kBack);
    EXPECT_EQ(ui::ShownPageId(w), ui::kWelcomePage);
    EXPECT_EQ(ButtonStates(w), "Back:0 Next:1 Finish:0 Cancel:1");
    ClickAndSettle(w, kBack);  // nothing before the first page
    EXPECT_EQ(ui::ShownPageId(w), ui::kWelcomePage);

    // Back on the series page without a selection: Next is enabled there
    // now and leads on to the install page.
    ClickAndSettle(w, kNext);
    ClickAndSettle(w, kNext);
    HWND series = ui::ShownPage(w);
    ASSERT_EQ(ui::PageId(series), ui::kSeriesPage);
    EXPECT_EQ(ui::ListSelection(series, 1006), LB_ERR);
    EXPECT_EQ(ui::ListRows(series, 1006).size(), 1u);  // the row is added once
    EXPECT_EQ(ButtonStates(w), "Back:1 Next:1 Finish:0 Cancel:1");
    ClickAndSettle(w, kNext);
    const DWORD shownAt = GetTickCount();   // the page's timer runs from before now
    ASSERT_EQ(ui::ShownPageId(w), ui::kInstallPage);
    EXPECT_EQ(ButtonStates(w), "Back:1 Next:0 Finish:1 Cancel:1");

    // Back before the timer fires: no install, now or later. Once the timer
    // would have fired, the wizard answers twice: a timer still alive would
    // have started the install in between, and the install writes its files
    // before it answers again.
    ClickAndSettle(w, kBack);
    EXPECT_EQ(ui::ShownPageId(w), ui::kSeriesPage);
    EXPECT_EQ(ButtonStates(w), "Back:1 Next:1 Finish:1 Cancel:1");
    test::WaitUntil([&] { return GetTickCount() - shownAt > InstallProgressPage::kInstallDelayMs; }, 5000);
    ui::Settle(w);
    ui::Settle(w);
    EXPECT_FALSE(run.program.HasEnded());
    EXPECT_EQ(run.program.Window("#32770", test::IsMessageBox), nullptr);
    ExpectNoInstall();

    // Finish stays enabled on the way back until the first page.
    ClickAndSettle(w, kBack);
    EXPECT_EQ(ui::ShownPageId(w), ui::kSystemLanguagePage);
    EXPECT_EQ(ButtonStates(w), "Back:1 Next:1 Finish:1 Cancel:1");
    ClickAndSettle(w, kBack);
    EXPECT_EQ(ui::ShownPageId(w), ui::kWelcomePage);
    EXPECT_EQ(ButtonStates(w), "Back:0 Next:1 Finish:0 Cancel:1");
    ClickAndSettle(w, kNext);
    ClickAndSettle(w, kNext);
    EXPECT_EQ(ui::ShownPageId(w), ui::kSeriesPage);

    // Next again: the install runs once and the program ends.
    ClickAndSettle(w, kNext);
    EXPECT_EQ(ui::ShownPageId(w), ui::kInstallPage);
    FinishInstall(run, CompletionMessage(EnglishSystem() ? 1 : ChineseSystem() ? 0 : -1));
    EXPECT_TRUE(UninstallKeyExists("KRX"));
}

TEST(Navigate, FinishWithinTheFirstHalfSecondEndsWithoutInstalling) {
    const std::string exe = CopyProgram("setup_standin.exe", "finish_early");
    {
        WizardRun run(exe);
        ASSERT_NE(run.NextTo(ui::kInstallPage), nullptr);
        ui::Click(run.wizard, kFinish);
        EXPECT_EQ(run.program.WaitForExit(), 0u);   // ended: nothing of it can install now
    }
    ExpectNoInstall();
    // Back from the install page before it starts, then Finish on the series page.
    WizardRun run(exe);
    ASSERT_NE(run.NextTo(ui::kInstallPage), nullptr);
    ClickAndSettle(run.wizard, kBack);
    ASSERT_EQ(ui::ShownPageId(run.wizard), ui::kSeriesPage);
    ui::Click(run.wizard, kFinish);
    EXPECT_EQ(run.program.WaitForExit(), 0u);
    ExpectNoInstall();
}

// English chosen on a Chinese system: the pages stay Chinese; the message
// and the plug-ins are English. (ctest runs it with LC_ALL=zh_CN.)
TEST(Language, EnglishChosenOnAChineseSystem) {
    ASSERT_TRUE(ChineseSystem());
    const std::string exe = CopyProgram("setup_standin.exe", "english_choice");
    FirstRun(exe);
    WizardRun run(exe);
    HWND page = run.NextTo(ui::kSystemLanguagePage);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(ui::CheckState(page, 1037), BST_CHECKED);
    ui::Click(page, 1038);
    ui::Settle(run.wizard);
    EXPECT_EQ(ui::CheckState(page, 1038), BST_CHECKED);
    EXPECT_EQ(ui::CheckState(page, 1037), BST_UNCHECKED);
    ExpectFrameButtonTexts(run.wizard);  // still the system's language
    ASSERT_NE(run.NextTo(ui::kInstallPage), nullptr);
    FinishInstall(run, CompletionMessage(1));
    ExpectInstalled(exe, OsCode(WindowsVersion()), 1, "KRX");
}

// Chinese chosen on an English system: Traditional Chinese plug-ins and the
// Big5 message, as only 0x0804 gets the Simplified ones. (LC_ALL=en_US.)
TEST(Language, ChineseChosenOnAnEnglishSystem) {
    ASSERT_TRUE(EnglishSystem());
    const std::string exe = CopyProgram("setup_standin.exe", "chinese_choice");
    WizardRun run(exe);
    HWND page = run.NextTo(ui::kSystemLanguagePage);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(ui::CheckState(page, 1038), BST_CHECKED);
    ui::Click(page, 1037);
    ui::Settle(run.wizard);
    EXPECT_EQ(ui::CheckState(page, 1037), BST_CHECKED);
    EXPECT_EQ(ui::ControlText(run.wizard, kNext), "&Next");
    ASSERT_NE(run.NextTo(ui::kInstallPage), nullptr);
    FinishInstall(run, CompletionMessage(0));
    ExpectInstalled(exe, OsCode(WindowsVersion()), 0, "KRX");
}

TEST(DefaultPrinter, ClearedCheckBoxInstallsWithoutTheDefaultPrinterCommand) {
    const std::string before = test::DefaultPrinter();
    const std::string exe = CopyProgram("setup_standin.exe", "no_default");
    WizardRun run(exe);
    HWND page = run.NextTo(ui::kSeriesPage, false);
    ASSERT_NE(page, nullptr);
    // Clearing the box before choosing the series does not count: the
    // selection puts the stored flag back.
    ui::Click(page, 1039);
    ui::Settle(run.wizard);
    EXPECT_EQ(ui::CheckState(page, 1039), BST_UNCHECKED);
    ui::SelectListRow(page, 1006, 0);
    ui::Settle(run.wizard);
    EXPECT_EQ(ui::CheckState(page, 1039), BST_CHECKED);
    ui::Click(page, 1039);
    ui::Settle(run.wizard);
    EXPECT_EQ(ui::CheckState(page, 1039), BST_UNCHECKED);
    ASSERT_NE(run.NextTo(ui::kInstallPage, false), nullptr);
    FinishInstall(run, CompletionMessage(EnglishSystem() ? 1 : ChineseSystem() ? 0 : -1));

    std::string log = PrinterInstallerLog();
    EXPECT_NE(log.find(test::InstallCommand("KRX")), std::string::npos) << log;
    EXPECT_EQ(log.find("/y"), std::string::npos) << log;
    // The printer installer has ended: nothing is left to change the default printer.
    EXPECT_TRUE(test::WaitUntilNoneRuns("rundll32.exe", 15000));
    EXPECT_EQ(test::DefaultPrinter(), before);
    std::vector<std::string> printers = test::ListPrinters();
    EXPECT_NE(std::find(printers.begin(), printers.end(), "KRX"), printers.end());
}

// A settings file naming MERLO: the files, the INF, the printer and its
// driver all carry that name. The first time the printer installer does
// not finish within the wait: the wizard keeps painting with its buttons
// disabled, then says so and stays on the install page. Back and Next try
// again, and this time the MERLO printer appears and becomes the default.
TEST(Install, RebrandedPrinterThatAppearsOnlyOnTheSecondTry) {
    const std::string exe = CopyProgram("setup_standin.exe", "merlo");
    ASSERT_TRUE(test::WriteFileBytes(FolderOf(exe) + "\\setting.dll", "[Setting]\r\nPrinterName=MERLO\r\n"));
    test::SetPrintUiDelay(600000);
    WizardRun run(exe);
    HWND page = run.NextTo(ui::kInstallPage);
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(test::WaitUntil([&] { return ui::ProgressPosition(page, 1035) == 50; }, 10000));
    EXPECT_EQ(ButtonStates(run.wizard), "Back:0 Next:0 Finish:0 Cancel:0");
    DWORD_PTR answer;
    EXPECT_TRUE(SendMessageTimeoutA(run.wizard, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &answer))
        << "the wizard does not answer while it waits";
    ui::PostSystemCommand(run.wizard, SC_CLOSE);   // no way out while the install runs

    int languageIndex = EnglishSystem() ? 1 : ChineseSystem() ? 0 : -1;
    HWND box = run.program.WaitForMessageBox(60000);
    ASSERT_NE(box, nullptr) << "the printer that never appeared is not told";
    EXPECT_EQ(ui::ControlText(box, 0xFFFF), PrinterNotCreatedMessage(languageIndex, "MERLO"));
    EXPECT_FALSE(UninstallKeyExists("MERLO")) << "a failed first install leaves no entry";
    Screenshot(box, RunName("printer_never_appears"));
    ui::Click(box, IDOK);
    ASSERT_TRUE(test::WaitUntil([&] { return ui::ProgressPosition(page, 1035) == 100; }, 10000));
    EXPECT_FALSE(run.program.HasEnded());
    EXPECT_EQ(ui::ShownPageId(run.wizard), ui::kInstallPage);
    EXPECT_EQ(ButtonStates(run.wizard), "Back:1 Next:0 Finish:1 Cancel:1");
    EXPECT_EQ(PrinterInstallerLog(), test::InstallCommand("MERLO") + "\n");

    test::SetPrintUiDelay(0);
    ClickAndSettle(run.wizard, kBack);
    EXPECT_EQ(ui::ShownPageId(run.wizard), ui::kSeriesPage);
    ClickAndSettle(run.wizard, kNext);
    FinishInstall(run, CompletionMessage(languageIndex));
    ExpectInstalled(exe, OsCode(WindowsVersion()), languageIndex, "MERLO");
    EXPECT_FALSE(UninstallKeyExists("KRX"));
    EXPECT_FALSE(test::FileExists("C:\\TEMP\\KRX.INF"));
    EXPECT_TRUE(test::WaitUntil([] { return test::DefaultPrinter() == "MERLO"; }, 15000)) << test::DefaultPrinter();
}

// A program folder nobody may write to: no settings or language files, so
// the printer name comes from the embedded default settings (KRX) and the
// pages keep their template texts. The folder is made immutable from Linux (chattr), as root could
// write into a merely read-only one.
TEST(Install, ReadOnlyProgramFolder) {
    std::string unixBuild = getenv("SETUP_BUILD_DIR") ? getenv("SETUP_BUILD_DIR") : "";
    // Outside the prefix, where chattr can reach it; process ids repeat
    // from prefix to prefix, the clock does not.
    std::string name, folder;
    for (int i = 0; folder.empty() && i < 100; ++i) {
        name = "readonly_" + std::to_string(GetTickCount()) + "_" + std::to_string(i);
        if (CreateDirectoryA(test::BuildPath(name).c_str(), nullptr)) folder = test::BuildPath(name);
    }
    ASSERT_FALSE(folder.empty());
    std::string exe = folder + "\\setup.exe";
    ASSERT_TRUE(CopyFileA(test::BuildPath("setup_standin.exe").c_str(), exe.c_str(), FALSE));
    test::SetWindowsVersion("setup.exe", WindowsVersion());
    std::string chattr = "Z:\\usr\\bin\\chattr ", unixFolder = unixBuild + "/" + name;
    std::string probe = folder + "\\probe.txt";
    auto writable = [&] {
        if (!test::WriteFileBytes(probe, "x")) return false;
        DeleteFileA(probe.c_str());
        return true;
    };
    struct Unlock {
        std::function<void()> undo;
        ~Unlock() { undo(); }
    } unlock{[&] {
        // Wine reports a deletion done before it unlinks the file, so wait
        // for the folder to take writes again before deleting.
        test::Program unlock(chattr + "-i " + unixFolder);
        EXPECT_TRUE(test::WaitUntil(writable, 10000));
        DeleteFileA(exe.c_str());
        EXPECT_TRUE(RemoveDirectoryA(folder.c_str()));
    }};
    test::Program lock(chattr + "+i " + unixFolder);
    if (!test::WaitUntil([&] { return !writable(); }, 5000)) GTEST_SKIP() << "the folder could not be made read-only here";

    WizardRun wizard(exe);
    ASSERT_NE(wizard.wizard, nullptr);
    EXPECT_EQ(test::ListFolder(folder), std::vector<std::string>{"setup.exe"});
    ASSERT_NE(wizard.NextTo(ui::kInstallPage), nullptr);
    int languageIndex = EnglishSystem() ? 1 : ChineseSystem() ? 0 : -1;
    FinishInstall(wizard, CompletionMessage(languageIndex));
    ExpectInstalled(exe, OsCode(WindowsVersion()), languageIndex, "KRX");
}

TEST(About, SystemMenuEntryOpensTheAboutBoxWhichOkAndEscClose) {
    const std::string exe = CopyProgram("setup.exe", "about");
    WizardRun run(exe);
    ASSERT_NE(run.wizard, nullptr);
    std::vector<ui::MenuItem> menu = ui::SystemMenu(run.wizard);
    ASSERT_GE(menu.size(), 2u);
    EXPECT_TRUE(menu[menu.size() - 2].separator);
    EXPECT_EQ(menu.back().id, 0x10u);
    EXPECT_EQ(menu.back().text, Ansi(u8"关于 安装向导(&A)..."));

    for (const char* close : {"OK", "Esc"}) {
        SCOPED_TRACE(close);
        ui::PostSystemCommand(run.wizard, 0x10);
        HWND about = ui::WaitForDialogWith(run.program, 1062, 5000);
        ASSERT_NE(about, nullptr);
        EXPECT_EQ(ui::Text(about), Ansi(u8"关于 驱动安装向导"));
        EXPECT_EQ(ui::ControlText(about, 1062), Ansi(u8"驱动安装向导 1.0 版"));
        EXPECT_FALSE(ui::ControlText(about, 1063).empty());
        EXPECT_EQ(GetWindow(about, GW_OWNER), run.wizard);
        ExpectFonts(about);
        Screenshot(about, RunName(std::string("about_") + close));
        if (std::string(close) == "OK")
            ui::Click(about, IDOK);
        else
            ui::PressKey(ui::Control(about, IDOK), VK_ESCAPE);
        EXPECT_TRUE(test::WaitUntil([&] { return !IsWindow(about); }, 5000));
        EXPECT_FALSE(run.program.HasEnded());
        EXPECT_EQ(ui::ShownPageId(run.wizard), ui::kWelcomePage);
    }
    ui::Click(run.wizard, kCancel);
    EXPECT_EQ(run.program.WaitForExit(), 0u);
    ExpectNoInstall();
}

// --- What another user of the machine could have prepared ------------------
// Each scenario plants something before the install, runs the wizard as an
// administrator would, and checks that nothing planted ran or was written
// through, and that the install still works or is refused with a message.

// The refusal of a name at start-up, naming it and the rule it breaks.
std::string NameRefused(const std::string& name, const std::string& rule) {
    return "The printer name \"" + name + "\" set by PrinterName in the settings file setting.dll cannot be used: it " +
           rule + " Correct it and run the setup again.";
}
const char kDeviceRule[] = "is a device name (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, with or without an "
                           "extension).";
const char kSharedRule[] = "would give a driver file the name of a file shared with the driver core (UNI, STDNAMES).";

// Starts setup.exe and returns the message it shows before any page (no
// wizard owns its box), once it has ended with exit code 2.
std::string StartMessage(const std::string& exe) {
    test::Program program(Quoted(exe));
    HWND box = program.WaitForMessageBox(30000);
    if (!box) return "<no message>";
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
    const std::string text = ui::ControlText(box, 0xFFFF);
    ui::Click(box, IDOK);
    EXPECT_EQ(program.WaitForExit(), 2u);
    return text;
}

void NamePrinter(const std::string& exe, const std::string& name) {
    ASSERT_TRUE(test::WriteFileBytes(FolderOf(exe) + "\\setting.dll", "[Setting]\r\nPrinterName=" + name + "\r\n"));
}

// Runs the wizard to its install and returns the message it shows there,
// leaving it open (a refusal) or ended (the install's success).
std::string InstallMessage(WizardRun& run) {
    if (!run.NextTo(ui::kInstallPage)) return "<no install page>";
    HWND box = run.program.WaitForMessageBox(60000);
    if (!box) return "<no message>";
    std::string text = ui::ControlText(box, 0xFFFF);
    ui::Click(box, IDOK);
    return text;
}

// Cancels the wizard; it ends with the exit code of the last install's
// outcome (0 when none ran).
void CancelWizard(WizardRun& run, DWORD exitCode = 0) {
    ASSERT_TRUE(test::WaitUntil([&] { return ui::IsEnabled(run.wizard, kCancel); }, 10000));
    ui::Click(run.wizard, kCancel);
    EXPECT_EQ(run.program.WaitForExit(), exitCode);
}

void Plant(const std::string& builtFile, const std::string& path) {
    ASSERT_TRUE(CopyFileA(test::BuildPath(builtFile).c_str(), path.c_str(), FALSE)) << path;
}

// A rundll32.exe beside the program and in C:\TEMP (the current folder of
// the install), and a spooler client, common-controls and version DLL
// beside the program. Wine takes its own DLLs before a file of that name;
// the override makes it look first where Windows does. (Not for version.dll:
// Wine's own DLLs load it while the process starts, before any program code.)
TEST(Attack, PlantedProgramsAndDllsNeverRun) {
    const std::string exe = CopyProgram("setup_standin.exe", "planted"), folder = FolderOf(exe);
    CreateDirectoryA("C:\\TEMP", nullptr);
    for (const std::string& path : {folder + "\\rundll32.exe", std::string("C:\\TEMP\\rundll32.exe")})
        Plant("planted\\planted.exe", path);
    for (const char* dll : {"winspool.drv", "comctl32.dll", "version.dll"}) Plant("planted\\planted.dll", folder + "\\" + dll);
    SetEnvironmentVariableA("WINEDLLOVERRIDES", "mscoree,mshtml=;winspool.drv,comctl32=n,b");

    WizardRun run(exe);
    EXPECT_EQ(InstallMessage(run), CompletionMessage(1));
    EXPECT_EQ(run.program.WaitForExit(), 0u);
    EXPECT_FALSE(test::FileExists("C:\\planted.log")) << test::ReadFileBytes("C:\\planted.log");
    ExpectInstalled(exe, OsCode(WindowsVersion()), 1, "KRX");
}

// Names in the staging folders made beforehand as hard links to a file
// elsewhere, among them names the install writes without deleting first.
TEST(Attack, HardLinksInTheStagingFoldersAreReplacedNotWrittenThrough) {
    const std::string exe = CopyProgram("setup_standin.exe", "hard_links");
    const std::string victim = test::MakeTempFolder("outside") + "\\victim.bin";
    ASSERT_TRUE(test::WriteFileBytes(victim, "someone else's"));
    for (const char* folder : {"C:\\TEMP", "C:\\TEMP\\I386", "C:\\TEMP\\x86"}) CreateDirectoryA(folder, nullptr);
    for (const char* link : {"C:\\TEMP\\uninstallKRX.exe", "C:\\TEMP\\KRX.INF", "c:\\temp\\temp.txt",
                             "C:\\TEMP\\KRX.GPD", "C:\\TEMP\\I386\\KRXRES.DLL", "C:\\TEMP\\x86\\KRXD.dll"})
        ASSERT_TRUE(CreateHardLinkA(link, victim.c_str(), nullptr)) << link;

    WizardRun run(exe);
    EXPECT_EQ(InstallMessage(run), CompletionMessage(1));
    EXPECT_EQ(run.program.WaitForExit(), 0u);
    EXPECT_EQ(test::ReadFileBytes(victim), "someone else's");
    ExpectInstalled(exe, OsCode(WindowsVersion()), 1, "KRX");
}

// The staging folder the printer installer reads the model DLLs from: x86,
// or amd64 on 64-bit Windows; and the first the install writes one to.
std::string ArchitectureFolder() { return test::OnWindows64() ? "C:\\TEMP\\amd64" : "C:\\TEMP\\x86"; }
std::string FirstDllFolder() { return test::OnWindows64() ? "C:\\TEMP\\amd64" : "C:\\TEMP\\I386"; }

// C:\TEMP, then its x86 folder (amd64 on 64-bit Windows), made a symbolic
// link (from the Linux side, as Wine's own link call does nothing) to a
// folder holding files of the names the install deletes and writes:
// refused before anything is touched.
TEST(Attack, LinkedStagingFolderIsRefusedAndNothingIsTouched) {
    const std::string exe = CopyProgram("setup_standin.exe", "linked_temp");
    const std::string elsewhere = test::MakeTempFolder("elsewhere");
    for (const std::string& linked : {std::string("C:\\TEMP"), ArchitectureFolder()}) {
        SCOPED_TRACE(linked);
        if (linked != "C:\\TEMP") CreateDirectoryA("C:\\TEMP", nullptr);
        for (const char* name : {"KRX.GPD", "KRXD.dll", "temp.txt"})
            ASSERT_TRUE(test::WriteFileBytes(elsewhere + "\\" + name, "someone else's"));
        ASSERT_TRUE(test::MakeUnixLink(linked, elsewhere));

        WizardRun run(exe);
        const std::string expected = "The folder " + linked + " is a link to another place (a junction or symbolic "
                                     "link). The setup writes no driver files through it. Remove the link and run "
                                     "the setup again.";
        EXPECT_EQ(InstallMessage(run), expected);
        EXPECT_EQ(ui::ShownPageId(run.wizard), ui::kInstallPage);
        CancelWizard(run, 3);
        for (const char* name : {"KRX.GPD", "KRXD.dll", "temp.txt"})
            EXPECT_EQ(test::ReadFileBytes(elsewhere + "\\" + name), "someone else's") << name;
        EXPECT_EQ(test::ListFolder(elsewhere).size(), 3u);
        EXPECT_FALSE(UninstallKeyExists("KRX"));
        EXPECT_EQ(PrinterInstallerLog(), "");
        test::RemoveUnixLink(linked);
    }
}

// Another driver uses UNIRES.DLL, TTYRES.dll and TTY.GPD in the driver
// folder's version folder 3. CON and UNI are refused at start-up, before
// anything is touched. TTY's install (a printer TTY on its driver stands for an earlier
// install) puts aside the earlier install's file that nobody else uses,
// never the other driver's; the installer stand-in is held back beyond the
// wait, so the install is undone and the earlier file comes back.
TEST(Attack, PrinterNamesThatWouldReachOtherFiles) {
    const std::string exe = CopyProgram("setup_standin.exe", "names");
    const std::string v3 = DriverDirectory() + "\\3";
    const std::vector<std::string> others = {"OTHER.DLL", "OTHER.GPD", "OTHERUI.DLL", "OTHER.HLP",
                                             "UNIRES.DLL", "TTYRES.dll", "TTY.GPD"};
    ASSERT_TRUE(test::AddDriverUsing("Other Driver", others));
    auto contents = [&] {
        std::string all;
        for (const std::string& f : others) all += test::ReadFileBytes(v3 + "\\" + f) + "|";
        return all;
    };
    const std::string before = contents();
    for (const auto& [name, rule] : {std::pair{"CON", kDeviceRule}, {"UNI", kSharedRule}}) {
        SCOPED_TRACE(name);
        NamePrinter(exe, name);
        EXPECT_EQ(StartMessage(exe), NameRefused(name, rule));
        ExpectNoInstall();
        EXPECT_FALSE(UninstallKeyExists(name));
    }

    NamePrinter(exe, "TTY");
    ASSERT_TRUE(test::AddDriverUsing("TTY", {"TTYD.dll", "TTY.GPD", "TTYF.dll", "TTY.HLP", "TTYRES.dll"}));
    ASSERT_TRUE(test::AddEarlierInstall("TTY"));   // this setup's, as its uninstall entry tells
    const std::string earlierTtyf = test::ReadFileBytes(v3 + "\\TTYF.dll");
    test::SetPrintUiDelay(600000);
    WizardRun run(exe);
    EXPECT_EQ(InstallMessage(run), PrinterNotCreatedMessage(1, "TTY", true));
    // The earlier install's file that nobody else uses was put aside, and
    // is back now that the install could not complete.
    CancelWizard(run, 1);
    EXPECT_EQ(contents(), before);
    EXPECT_EQ(test::ReadFileBytes(v3 + "\\TTYF.dll"), earlierTtyf);
}

// --- Races: what another user prepares or does while the programs run -----
// Each row plants what an ordinary user could, runs the attacker (a Windows
// program in the same prefix, so sharing rules apply to it) where it races
// the install or the uninstaller, and checks what they installed,
// registered or deleted.

const char kVictim[] = "C:\\victim", kAttackerLog[] = "C:\\attacker.log";
const char kSecret[] = "C:\\secret\\admin.ini", kSecretMarker[] = "ADMINS-ONLY-7731";

void VictimFiles(const std::string&) {
    for (const char* name : {"KRX.GPD", "KRX.INI", "KRXD.dll", "KRXF.dll", "STDNAMES.GPD", "temp.txt"})
        ASSERT_TRUE(test::WriteFileBytes(std::string(kVictim) + "\\" + name, "someone else's"));
}

// C:\TEMP made beforehand with an owner and DACL (SDDL). Wine keeps no
// descriptor it is given: it maps the DACL's rights of the owner and of
// Everyone to the Unix mode, and shows both back from it.
void TempWith(const char* sddl) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    ASSERT_TRUE(CreateDirectoryA("C:\\TEMP", nullptr));
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &sd, nullptr));
    SECURITY_INFORMATION what = OWNER_SECURITY_INFORMATION | (strstr(sddl, "D:") ? DACL_SECURITY_INFORMATION : 0);
    EXPECT_TRUE(SetFileSecurityA("C:\\TEMP", what, sd));
    LocalFree(sd);
}

std::string SidText(PSID sid) {
    char* text = nullptr;
    if (!sid || !ConvertSidToStringSidA(sid, &text)) return "<none>";
    std::string result = text;
    LocalFree(text);
    return result;
}

std::string OwnerOf(const std::string& path) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    PSID owner = nullptr;
    if (GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                              nullptr, &sd) != ERROR_SUCCESS)
        return "<unreadable>";
    std::string text = SidText(owner);
    LocalFree(sd);
    return text;
}

std::string RunningUser() {
    HANDLE token;
    BYTE buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    DWORD size = 0;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return "<none>";
    const bool got = GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size);
    CloseHandle(token);
    return got ? SidText(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid) : "<none>";
}

// C:\TEMP owned by Users. Wine shows the Unix owner instead, any but the
// running user as Anonymous Logon: there the folder goes to another Unix
// user, which only root may do.
void TempOwnedByOthers() {
    TempWith("O:BU");
    if (OwnerOf("C:\\TEMP") == "S-1-5-32-545") return;
    test::Program chown("Z:\\bin\\chown 65534 " + test::LinuxPath("C:\\TEMP"));
    if (!test::WaitUntil([] { return OwnerOf("C:\\TEMP") == "S-1-5-7"; }, 5000))
        GTEST_SKIP() << "this Wine shows another owner only for a folder of another Unix user, and this user "
                        "may not give one away (run the tests as root)";
}

// Who may change or delete a file or folder (SIDs of its allowing ACEs with
// write, delete or permission rights), after "protected" when it inherits nothing.
std::string WhoMayChange(const std::string& path) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    PACL dacl = nullptr;
    if (GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                              nullptr, &sd) != ERROR_SUCCESS)
        return "<unreadable>";
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision;
    GetSecurityDescriptorControl(sd, &control, &revision);
    std::set<std::string> sids;
    const DWORD change = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA | FILE_WRITE_ATTRIBUTES |
                         FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;
    for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        if (GetAce(dacl, i, reinterpret_cast<void**>(&ace)) && ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE &&
            (ace->Mask & change))
            sids.insert(SidText(&ace->SidStart));
    }
    LocalFree(sd);
    std::string text = control & SE_DACL_PROTECTED ? "protected" : "inherits";
    for (const std::string& sid : sids) text += " " + sid;
    return text;
}

void ExpectTempRefused(const std::string&, const std::string& message) {
    EXPECT_NE(message.find("C:\\TEMP"), std::string::npos) << message;
    EXPECT_EQ(test::ListFolder("C:\\TEMP"), std::vector<std::string>{});
    EXPECT_FALSE(UninstallKeyExists("KRX"));
}

void ExpectVictimUntouched(const std::string&, const std::string&) {
    EXPECT_TRUE(test::FolderExists(kVictim));
    for (const std::string& name : test::ListFolder(kVictim))
        EXPECT_TRUE(test::ReadFileBytes(std::string(kVictim) + "\\" + name) == "someone else's") << name;
}

// The rewritten GPD and INI of a folder hold none of the secret's lines.
void ExpectNoSecretIn(const std::string& folder) {
    EXPECT_NE(test::ReadFileBytes(folder + "\\KRX.GPD").find("*ModelName: \"KRX\""), std::string::npos) << folder;
    for (const char* name : {"\\KRX.GPD", "\\KRX.INI"})
        EXPECT_EQ(test::ReadFileBytes(folder + name).find(kSecretMarker), std::string::npos) << folder + name;
}

// Every file the English install of KRX puts in the driver folder is
// there, with the program's bytes.
void ExpectDriverFolderWritten(const std::string& exe) {
    std::vector<PayloadFile> files;
    for (const PayloadFile& f : ExpectedPayload(OsCode(WindowsVersion()), SystemLanguage(), 1, "KRX"))
        if (f.path.find(DriverDirectory()) == 0) files.push_back(f);
    ExpectPayloadWritten(exe, files);
}

// The driver folder's files hold the program's own bytes.
void ExpectOwnDriverFiles(const std::string& exe, const std::string& message) {
    EXPECT_EQ(message, CompletionMessage(1));
    ExpectDriverFolderWritten(exe);
    const std::string uninstaller = DriverDirectory() + "\\uninstallKRX.exe";
    EXPECT_TRUE(test::ReadFileBytes(uninstaller) == ResourceBytes(exe, 255));
    EXPECT_EQ(test::ReadRegistryString(HKEY_LOCAL_MACHINE, UninstallKey("KRX"), "UninstallString"), uninstaller);
    ExpectNoSecretIn(DriverDirectory());
}

std::string g_otherDriver;   // the files of the driver "Other" before the run

void OthersDriverAndPrinter(const std::string&) {
    ASSERT_TRUE(test::AddTestDriver("Other"));
    ASSERT_TRUE(test::AddTestPrinter("User Printer", "Other"));
    g_otherDriver = test::DriverFiles("Other");
}

void ExpectOthersDriverAndPrinter(const std::string&, const std::string&) {
    EXPECT_EQ(test::DriverOfPrinter("User Printer"), "Other");
    EXPECT_EQ(test::DriverFiles("Other"), g_otherDriver);
}

// An install as the one a re-install repairs, with the staged INF gone
// when `withoutInf`, so that the attacker waits for the new one.
void EarlierInstall(const std::string& exe, bool withoutInf) {
    ASSERT_EQ(test::Program(Quoted(exe) + " /S").WaitForExit(120000), 0u);
    test::WaitUntilNoneRuns("rundll32.exe", 20000);
    if (withoutInf) {
        ASSERT_TRUE(DeleteFileA("C:\\TEMP\\KRX.INF"));
    }
}

// A re-install that failed says the earlier install is as it was, and it
// is: its printer on its driver, every driver file of it there.
void ExpectEarlierInstallKept(const std::string& exe, const std::string& message) {
    const std::string kept = AfterAFailedInstall(1, true);
    EXPECT_TRUE(message.size() > kept.size() && message.compare(message.size() - kept.size(), kept.size(), kept) == 0)
        << message;
    EXPECT_EQ(test::DriverOfPrinter("KRX"), "KRX");
    ExpectDriverFolderWritten(exe);
    EXPECT_TRUE(UninstallKeyExists("KRX"));
}

enum class Run { Install, Uninstall, InstallThenUninstall, Start };

struct RaceRow {
    const char* name;
    const char* printer;   // PrinterName of setting.dll
    Run run;
    void (*prepare)(const std::string& exe);
    // Attackers started before the program they race, each WHEN WATCHED
    // DO PATH FROM; <planted> and <drivers> stand for the build's planted
    // program and the driver folder.
    std::vector<std::string> attacks;
    void (*check)(const std::string& exe, const std::string& message);
};

const RaceRow kRaceRows[] = {
    {"staged_uninstaller_swapped", "KRX", Run::Install, nullptr,
     {"written C:\\TEMP\\uninstallKRX.exe copy C:\\TEMP\\uninstallKRX.exe <planted>"}, ExpectOwnDriverFiles},
    {"staged_driver_files_swapped", "KRX", Run::Install, nullptr,
     {"written C:\\TEMP\\UNIDRV.DLL copy C:\\TEMP\\UNIDRV.DLL <planted>",
      "written C:\\TEMP\\KRX.GPD copy C:\\TEMP\\KRX.GPD C:\\secret\\admin.ini"}, ExpectOwnDriverFiles},
    {"scratch_file_hard_linked", "KRX", Run::Install, nullptr,
     {"written C:\\TEMP\\temp.txt link C:\\TEMP\\temp.txt C:\\secret\\admin.ini"},
     [](const std::string& exe, const std::string& message) {
         ExpectOwnDriverFiles(exe, message);
         ExpectNoSecretIn("C:\\TEMP");
     }},
    {"x86_swapped_for_link", "KRX", Run::Install, nullptr,
     {"written C:\\TEMP\\KRX.INF swap C:\\TEMP\\x86 C:\\victim"}, ExpectVictimUntouched},
    {"temp_swapped_for_link_while_uninstalling", "KRX", Run::InstallThenUninstall, VictimFiles,
     {"gone <drivers>\\3\\KRX.GPD swap C:\\TEMP C:\\victim"},
     [](const std::string& exe, const std::string& message) {
         EXPECT_EQ(test::ListFolder(kVictim).size(), 6u);
         ExpectVictimUntouched(exe, message);
     }},
    {"staged_file_linked", "KRX", Run::Uninstall,
     [](const std::string& exe) {
         VictimFiles(exe);
         CreateDirectoryA("C:\\TEMP", nullptr);
         ASSERT_TRUE(test::MakeUnixLink("C:\\TEMP\\KRX.GPD", std::string(kVictim) + "\\KRX.GPD"));
     },
     {}, [](const std::string& exe, const std::string& message) {
         EXPECT_FALSE(test::FileExists("C:\\TEMP\\KRX.GPD"));
         EXPECT_EQ(test::ListFolder(kVictim).size(), 6u);
         ExpectVictimUntouched(exe, message);
     }},
    {"language_file_linked", "KRX", Run::Start,
     [](const std::string& exe) {
         VictimFiles(exe);
         ASSERT_TRUE(CreateDirectoryA((FolderOf(exe) + "\\Language").c_str(), nullptr));
         ASSERT_TRUE(test::MakeUnixLink(FolderOf(exe) + "\\Language\\Multi_eng.dll", std::string(kVictim) + "\\KRX.INI"));
     },
     {}, [](const std::string& exe, const std::string& message) {
         EXPECT_EQ(test::ListFolder(kVictim).size(), 6u);
         ExpectVictimUntouched(exe, message);
         EXPECT_EQ(test::ReadFileBytes(FolderOf(exe) + "\\Language\\Multi_eng.dll"), ResourceBytes(exe, 147));
     }},
    // Linux ignores the sharing that holds x86: the files go where the held
    // folder is, never through the link.
    {"x86_swapped_by_linux", "KRX", Run::Install, VictimFiles,
     {"written C:\\TEMP\\uninstallKRX.exe lswap C:\\TEMP\\x86 C:\\victim"},
     [](const std::string& exe, const std::string& message) {
         EXPECT_EQ(test::ListFolder(kVictim).size(), 6u);
         ExpectVictimUntouched(exe, message);
     }},
    // A user holds a staged file of the earlier install (which any user
    // may read) without delete sharing, before the repair install starts.
    {"held_staged_file_on_reinstall", "KRX", Run::Install,
     [](const std::string& exe) { EarlierInstall(exe, false); },
     {"written C:\\TEMP\\uninstallKRX.exe hold C:\\TEMP\\uninstallKRX.exe -"},
     [](const std::string& exe, const std::string& message) {
         EXPECT_NE(message.find("C:\\TEMP\\uninstallKRX.exe"), std::string::npos) << message;
         ExpectEarlierInstallKept(exe, message);
     }},
    // ...or holds the new INF the moment the setup closed it, so that the
    // printer installer cannot read it: the earlier printer is no success.
    {"inf_held_from_printer_installer", "KRX", Run::Install,
     [](const std::string& exe) { EarlierInstall(exe, true); },
     {"written C:\\TEMP\\KRX.INF hold C:\\TEMP\\KRX.INF -"},
     [](const std::string& exe, const std::string& message) {
         EXPECT_NE(message.find("could not be created"), std::string::npos) << message;
         ExpectEarlierInstallKept(exe, message);
     }},
    {"language_folder_linked", "KRX", Run::Start,
     [](const std::string& exe) {
         ASSERT_TRUE(test::MakeUnixLink(FolderOf(exe) + "\\Language", kVictim));
     },
     {}, [](const std::string&, const std::string&) { EXPECT_EQ(test::ListFolder(kVictim), std::vector<std::string>{}); }},
    {"inf_path_with_a_blank", "POS 80", Run::Install,
     [](const std::string&) {
         CreateDirectoryA("C:\\TEMP", nullptr);
         ASSERT_TRUE(test::WriteFileBytes("C:\\TEMP\\POS", "[Version]\r\nSignature=\"$Windows NT$\"\r\n"));
     },
     {}, [](const std::string&, const std::string& message) {
         EXPECT_EQ(message, CompletionMessage(1));
         EXPECT_NE(PrinterInstallerLog().find(test::InstallCommand("POS 80")), std::string::npos) << PrinterInstallerLog();
         EXPECT_EQ(test::DriverOfPrinter("POS 80"), "POS 80");
     }},
    {"printer_name_of_another_driver", "Other", Run::Install, OthersDriverAndPrinter, {},
     [](const std::string& exe, const std::string& message) {
         EXPECT_EQ(message, NameRefused("Other", "names a printer driver that another program installed."));
         ExpectOthersDriverAndPrinter(exe, message);
         EXPECT_EQ(test::DriverOfPrinter("Other"), "");
     }},
    {"uninstaller_keeps_another_driver", "Other", Run::Uninstall, OthersDriverAndPrinter, {},
     ExpectOthersDriverAndPrinter},
    {"read_only_file_hard_linked", "KRX", Run::Uninstall,
     [](const std::string&) {
         CreateDirectoryA("C:\\TEMP", nullptr);
         ASSERT_TRUE(test::WriteFileBytes("C:\\secret\\ro.txt", "read-only"));
         ASSERT_TRUE(SetFileAttributesA("C:\\secret\\ro.txt", FILE_ATTRIBUTE_READONLY));
         ASSERT_TRUE(CreateHardLinkA("C:\\TEMP\\KRX.INI", "C:\\secret\\ro.txt", nullptr));
     },
     {}, [](const std::string&, const std::string&) {
         DWORD attributes = GetFileAttributesA("C:\\secret\\ro.txt");
         EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES);
         EXPECT_TRUE(attributes & FILE_ATTRIBUTE_READONLY);
     }},
    {"installer_current_folder", "KRX", Run::Install, nullptr, {},
     [](const std::string&, const std::string& message) {
         EXPECT_EQ(message, CompletionMessage(1));
         char system[MAX_PATH];
         GetSystemDirectoryA(system, sizeof system);
         std::string folders = test::ReadFileBytes("C:\\printui.cwd");
         EXPECT_FALSE(folders.empty());
         for (size_t at = 0, end; (end = folders.find('\n', at)) != std::string::npos; at = end + 1)
             EXPECT_EQ(folders.substr(at, end - at), system);
     }},
    // A payload file that cannot be made (a folder holds its name) is told
    // in the wizard's language, and the install takes back what it wrote.
    {"unwritable_file_told_in_english", "KRX", Run::Install,
     [](const std::string&) {
         for (const std::string& folder : {std::string("C:\\TEMP"), FirstDllFolder(), FirstDllFolder() + "\\KRXD.dll"})
             CreateDirectoryA(folder.c_str(), nullptr);
     },
     {}, [](const std::string&, const std::string& message) {
         EXPECT_EQ(message, "Access to " + FirstDllFolder() + "\\KRXD.dll was denied." + AfterAFailedInstall(1, false));
         EXPECT_EQ(test::ListFolder("C:\\TEMP"), std::vector<std::string>{FirstDllFolder().substr(8)});
         EXPECT_EQ(test::ListFolder(FirstDllFolder()), std::vector<std::string>{"KRXD.dll"});
         EXPECT_FALSE(UninstallKeyExists("KRX"));
     }},
    {"temp_owned_by_users", "KRX", Run::Install, [](const std::string&) { TempOwnedByOthers(); }, {},
     ExpectTempRefused},
    {"temp_others_may_delete_in", "KRX", Run::Install,
     [](const std::string&) { TempWith("O:BAD:(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;;FA;;;WD)"); }, {},
     ExpectTempRefused},
    {"temp_with_default_permissions", "KRX", Run::Install,
     [](const std::string&) {
         TempWith("O:BAD:(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)(A;OICI;0x1301bf;;;AU)");
     },
     {}, [](const std::string&, const std::string& message) {
         EXPECT_EQ(message, CompletionMessage(1));
         // Where the system keeps descriptors (C:\TEMP shows the Authenticated
         // Users it was given) the staged ones are exactly the program's; under
         // Wine only the Unix mode shows, with the running user as owner.
         const bool kept = WhoMayChange("C:\\TEMP").find("S-1-5-11") != std::string::npos;
         for (const std::string& staged : {std::string("C:\\TEMP\\uninstallKRX.exe"), std::string("C:\\TEMP\\KRX.INF"),
                                           std::string("C:\\TEMP\\KRX.GPD"), FirstDllFolder(),
                                           FirstDllFolder() + "\\KRXD.dll", ArchitectureFolder()})
             EXPECT_EQ(WhoMayChange(staged), kept ? "protected S-1-5-18 S-1-5-32-544"
                                                  : "inherits S-1-5-18 " + RunningUser()) << staged;
     }},
};

std::string Expand(std::string text) {
    for (const auto& place : {std::make_pair(std::string("<planted>"), test::BuildPath("planted\\planted.exe")),
                              std::make_pair(std::string("<drivers>"), DriverDirectory())})
        for (size_t at; (at = text.find(place.first)) != std::string::npos;) text.replace(at, place.first.size(), place.second);
    return text;
}

class Race : public ::testing::TestWithParam<RaceRow> {};

TEST_P(Race, NothingPreparedOrRacedChangesWhatIsInstalledOrDeleted) {
    const RaceRow& row = GetParam();
    const std::string exe = CopyProgram("setup_standin.exe", row.name);
    if (std::string(row.printer) != "KRX") NamePrinter(exe, row.printer);
    for (const char* folder : {kVictim, "C:\\secret"}) CreateDirectoryA(folder, nullptr);
    ASSERT_TRUE(test::WriteFileBytes(kSecret, std::string("*ModelName: \"SECRET\"\r\n") + kSecretMarker + "\r\n"));
    if (row.prepare) row.prepare(exe);
    ASSERT_FALSE(HasFatalFailure());
    if (IsSkipped()) return;

    std::vector<std::unique_ptr<test::Program>> attackers;
    auto attack = [&] {
        for (const std::string& args : row.attacks)
            attackers.push_back(std::make_unique<test::Program>(Quoted(test::BuildPath("attacker\\attacker.exe")) +
                                                                " " + kAttackerLog + " " + Expand(args)));
        auto watching = [] {
            std::string log = test::ReadFileBytes(kAttackerLog);
            size_t count = 0;
            for (size_t at = 0; (at = log.find("watching", at)) != std::string::npos; ++at) ++count;
            return count;
        };
        ASSERT_TRUE(test::WaitUntil([&] { return watching() == row.attacks.size(); }, 20000));
    };
    std::string message;
    if (row.run == Run::Install) attack();
    if (row.run == Run::Install || row.run == Run::InstallThenUninstall) {
        WizardRun run(exe);
        message = InstallMessage(run);
        if (!test::WaitUntil([&] { return run.program.HasEnded(); }, 5000)) {
            ui::Click(run.wizard, kCancel);   // a refusal's code, whichever
            run.program.WaitForExit();
        }
        test::WaitUntilNoneRuns("rundll32.exe", 20000);
    }
    if (row.run == Run::InstallThenUninstall) attack();
    if (row.run == Run::Uninstall || row.run == Run::InstallThenUninstall) {
        const std::string uninstaller = DriverDirectory() + "\\uninstall" + row.printer + ".exe";
        if (!test::FileExists(uninstaller)) {
            ASSERT_TRUE(test::WriteFileBytes(uninstaller, ResourceBytes(exe, 255)));
        }
        test::Program(Quoted(uninstaller) + " /S").WaitForExit(120000);
    }
    if (row.run == Run::Start) test::RunSetupAndCancel(Quoted(exe));
    // The attacker notices by polling: where the program is quick, it may
    // act only just after the program ended.
    const bool acted = !row.attacks.empty() && test::WaitUntil([] {
        return test::ReadFileBytes(kAttackerLog).find(": ") != std::string::npos;
    }, 10000);
    row.check(exe, message);
    if (!row.attacks.empty()) {
        EXPECT_TRUE(acted) << "the attacker never acted";
    }
    if (HasFailure()) std::cout << "attacker: " << test::ReadFileBytes(kAttackerLog);
}

INSTANTIATE_TEST_SUITE_P(Attack, Race, ::testing::ValuesIn(kRaceRows),
                         [](const ::testing::TestParamInfo<RaceRow>& row) { return std::string(row.param.name); });

// --- setup.exe /S, and one setup or uninstaller at a time -----------------

// The lines of a log, without their line ends.
std::vector<std::string> LogLines(const std::string& path) {
    std::vector<std::string> lines;
    const std::string text = test::ReadFileBytes(path);
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// The start, the install's start (unless start-up refused the run) and
// the outcome, each line with its time.
void ExpectLog(const std::string& path, const std::string& printer, const std::string& outcome, bool installed) {
    const std::vector<std::string> lines = LogLines(path);
    std::string beside;
    for (const std::string& name : test::ListFolder(FolderOf(path))) beside += name + "|";
    ASSERT_EQ(lines.size(), installed ? 3u : 2u) << test::ReadFileBytes(path) << " beside: " << beside;
    for (const std::string& line : lines)
        EXPECT_TRUE(std::regex_match(line, std::regex("20\\d\\d-[01]\\d-[0-3]\\d [0-2]\\d:[0-5]\\d:[0-5]\\d \\S.*")))
            << line;
    EXPECT_NE(lines[0].find(".exe /S started: Windows "), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find("system language 0x0409, printer " + printer), std::string::npos) << lines[0];
    if (installed) {
        // On 64-bit Windows the line names the set.
        const std::string set = test::OnWindows64() ? "the 64-bit driver (x64 set), " : "";
        EXPECT_NE(lines[1].find("install started: " + set + "language choice 1"), std::string::npos) << lines[1];
    }
    EXPECT_NE(lines.back().find(outcome), std::string::npos) << lines.back();
}

std::string TempFolder() {
    char path[MAX_PATH];
    const DWORD length = GetTempPathA(sizeof path, path);
    return length && length < sizeof path ? path : "<none>";
}

bool Windows64() { return test::OnWindows64(); }

// Takes embedded file `id` out of a program file: its entry goes from the
// resource directory of OWNER_DATA, the later ones moving up (Wine's
// UpdateResource does not delete).
bool RemoveEmbeddedFile(const std::string& exe, WORD id) {
    std::string bytes = test::ReadFileBytes(exe);
    if (bytes.size() < sizeof(IMAGE_DOS_HEADER)) return false;
    auto* base = reinterpret_cast<BYTE*>(&bytes[0]);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS32*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const bool pe64 = nt->OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC;
    const DWORD rva = pe64 ? reinterpret_cast<IMAGE_NT_HEADERS64*>(nt)->OptionalHeader.DataDirectory[2].VirtualAddress
                           : nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_RESOURCE].VirtualAddress;
    BYTE* resources = nullptr;
    auto* section = IMAGE_FIRST_SECTION(nt);
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section)
        if (rva >= section->VirtualAddress && rva < section->VirtualAddress + section->SizeOfRawData)
            resources = base + section->PointerToRawData + (rva - section->VirtualAddress);
    if (!resources) return false;
    auto entries = [](BYTE* directory) { return reinterpret_cast<IMAGE_RESOURCE_DIRECTORY_ENTRY*>(directory + 16); };
    auto* root = reinterpret_cast<IMAGE_RESOURCE_DIRECTORY*>(resources);
    for (WORD i = 0; i < root->NumberOfNamedEntries; ++i) {
        const IMAGE_RESOURCE_DIRECTORY_ENTRY& type = entries(resources)[i];
        auto* name = reinterpret_cast<IMAGE_RESOURCE_DIR_STRING_U*>(resources + type.NameOffset);
        if (std::wstring(name->NameString, name->Length) != L"OWNER_DATA") continue;
        BYTE* ids = resources + type.OffsetToDirectory;
        auto* directory = reinterpret_cast<IMAGE_RESOURCE_DIRECTORY*>(ids);
        const WORD count = directory->NumberOfNamedEntries + directory->NumberOfIdEntries;
        for (WORD k = directory->NumberOfNamedEntries; k < count; ++k) {
            if (entries(ids)[k].Id != id) continue;
            memmove(&entries(ids)[k], &entries(ids)[k + 1], (count - k - 1) * sizeof(IMAGE_RESOURCE_DIRECTORY_ENTRY));
            --directory->NumberOfIdEntries;
            return test::WriteFileBytes(exe, bytes);
        }
    }
    return false;
}

// A copy of the program as a build without the x64 set makes it (option
// PAYLOAD_X64 off): the set's INF is what the program looks for.
void LeaveOutTheX64Set(const std::string& exe) {
    ASSERT_TRUE(RemoveEmbeddedFile(exe, 266));
    ASSERT_EQ(ResourceBytes(exe, 266), "");
    ASSERT_NE(ResourceBytes(exe, 265), "");
}

std::string X86DriverFolder() {
    char folder[MAX_PATH] = {};
    DWORD needed = 0;
    GetPrinterDriverDirectoryA(nullptr, const_cast<char*>("Windows NT x86"), 1, reinterpret_cast<BYTE*>(folder),
                               sizeof folder, &needed);
    return folder;
}

const char* const kModelFiles[] = {"KRX.GPD", "KRX.INI", "KRXD.dll", "KRXF.dll", "KRXRES.DLL"};

// The earlier install's model files in the x64 driver's folder 3, and
// files of those names in the 32-bit driver's, which no install on 64-bit
// Windows touches.
void PlantEarlierModelFiles() {
    for (const std::string& folder : {DriverDirectory() + "\\3", X86DriverFolder() + "\\3"}) {
        CreateDirectoryA(folder.c_str(), nullptr);
        for (const char* name : kModelFiles) ASSERT_TRUE(test::WriteFileBytes(folder + "\\" + name, "earlier"));
    }
}

// What the /S row left on 64-bit Windows: the x64 set, the earlier model
// files replaced, nothing of the 32-bit driver's folders touched, the
// system's Unidrv core as it was, the entry where 32-bit Windows programs'
// go; then the uninstaller takes it all and leaves the system's core.
void ExpectX64InstallThenUninstall(const std::string& exe) {
    const std::string v3 = DriverDirectory() + "\\3", x86v3 = X86DriverFolder() + "\\3";
    ExpectInstalled(exe, 4, 1, "KRX");
    for (const char* name : kModelFiles) {
        EXPECT_NE(test::ReadFileBytes(v3 + "\\" + name), "earlier") << name;
        EXPECT_EQ(test::ReadFileBytes(x86v3 + "\\" + name), "earlier") << name;
    }
    for (const std::string& folder : {v3, DriverDirectory(), std::string("C:\\TEMP"), std::string("C:\\TEMP\\amd64")})
        for (const std::string& name : test::ListFolder(folder)) EXPECT_NE(name.back(), '~') << folder << name;
    for (const std::string& name : test::ListFolder(X86DriverFolder()))
        EXPECT_EQ(name.find("KRX"), std::string::npos) << name;
    EXPECT_FALSE(test::FolderExists("C:\\TEMP\\x86"));
    const std::string core = "SYSTEM UNIDRV CORE STAND-IN: UNIDRV.DLL\r\n";
    EXPECT_EQ(test::ReadFileBytes(v3 + "\\UNIDRV.DLL"), core);
#ifndef _WIN64
    HKEY key;
    const std::string wow64Key = "SOFTWARE\\Wow6432Node" + UninstallKey("KRX").substr(std::string("SOFTWARE").size());
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, wow64Key.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key), ERROR_SUCCESS)
        << wow64Key;
    RegCloseKey(key);
#endif
    EXPECT_TRUE(test::WaitUntil([] { return test::DefaultPrinter() == "KRX"; }, 15000)) << test::DefaultPrinter();

    const std::string uninstaller = test::ReadRegistryString(HKEY_LOCAL_MACHINE, UninstallKey("KRX"), "UninstallString");
    ASSERT_EQ(uninstaller, DriverDirectory() + "\\uninstallKRX.exe");
    EXPECT_EQ(test::Program(Quoted(uninstaller) + " /S").WaitForExit(120000), 0u);
    EXPECT_EQ(test::DriverOfPrinter("KRX"), "");
    const std::vector<std::string> drivers = test::ListDrivers();
    EXPECT_EQ(std::find(drivers.begin(), drivers.end(), "KRX"), drivers.end());
    for (const PayloadFile& f : ExpectedPayload(4, SystemLanguage(), 1, "KRX"))
        if (f.path != uninstaller) {
            EXPECT_FALSE(test::FileExists(f.path)) << f.path;
        }
    for (const char* name : kModelFiles) {
        EXPECT_FALSE(test::FileExists(v3 + "\\" + name)) << name;
        EXPECT_EQ(test::ReadFileBytes(x86v3 + "\\" + name), "earlier") << name;
    }
    EXPECT_FALSE(test::FolderExists("C:\\TEMP\\amd64"));
    EXPECT_FALSE(UninstallKeyExists("KRX"));
    for (const char* name : {"UNIDRV.DLL", "UNIDRVUI.DLL", "UNIDRV.HLP", "UNIRES.DLL", "STDNAMES.GPD"})
        EXPECT_TRUE(test::FileExists(v3 + "\\" + name)) << name;
    EXPECT_EQ(test::ReadFileBytes(v3 + "\\UNIDRV.DLL"), core);
}

// Receives the bytes of one connection to 127.0.0.1, on a port of its own.
class TcpReceiver {
public:
    TcpReceiver() {
        WSADATA wsa;
        WSAStartup(MAKEWORD(2, 2), &wsa);
        listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in at = {};
        at.sin_family = AF_INET;
        at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int size = sizeof at;
        if (bind(listener_, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0 && listen(listener_, 1) == 0 &&
            getsockname(listener_, reinterpret_cast<sockaddr*>(&at), &size) == 0)
            port_ = ntohs(at.sin_port);
        thread_ = std::thread([this] { Receive(); });
    }
    ~TcpReceiver() {
        stop_ = true;
        thread_.join();
        closesocket(listener_);
        WSACleanup();
    }
    unsigned short Port() const { return port_; }
    // The bytes of a connection that has ended; "" when none did in time.
    std::string Received(DWORD timeoutMs) {
        test::WaitUntil([this] { return done_.load(); }, timeoutMs);
        return done_ ? bytes_ : "";
    }

private:
    void Receive() {
        while (!stop_) {
            fd_set ready;
            FD_ZERO(&ready);
            FD_SET(listener_, &ready);
            timeval tick = {0, 100000};
            if (select(0, &ready, nullptr, nullptr, &tick) != 1) continue;
            SOCKET connection = accept(listener_, nullptr, nullptr);
            char buffer[4096];
            for (int n; (n = recv(connection, buffer, sizeof buffer, 0)) > 0;) bytes_.append(buffer, n);
            closesocket(connection);
            done_ = true;
            return;
        }
    }
    SOCKET listener_ = INVALID_SOCKET;
    unsigned short port_ = 0;
    std::atomic<bool> stop_{false}, done_{false};
    std::string bytes_;
    std::thread thread_;
};

// The English test receipt for a printer on a port, byte for byte, its
// time (which it must hold, as digits) aside.
void ExpectReceipt(std::string bytes, const std::string& printer, const std::string& port) {
    const std::string kPrinted = "\nPrinted: ";
    const size_t at = bytes.find(kPrinted);
    ASSERT_NE(at, std::string::npos) << bytes;
    const std::string time = bytes.substr(at + kPrinted.size(), 19);
    EXPECT_TRUE(std::regex_match(time, std::regex("20\\d\\d-[01]\\d-[0-3]\\d [0-2]\\d:[0-5]\\d:[0-5]\\d"))) << time;
    bytes.replace(at + kPrinted.size(), time.size(), "<time>");
    static const char kHead[] = "\x1B@\x1B" "a\x01\x1B" "E\x01" "TEST RECEIPT\n\x1B" "E\x00\x1B" "a\x00";
    const std::string expected = std::string(kHead, sizeof kHead - 1) +
                                 "\nPrinter: " + printer + "\nPort: " + port +
                                 "\nPrinted: <time>\nDriver version: 1.0.0.0\n\nThe printer driver is installed.\n"
                                 "This printer prints what programs send it.\n\x1B" "d\x05\x1D" "V\x01";
    EXPECT_EQ(bytes, expected);
}

void SetRegistryValue(HKEY root, const char* key, const char* name, DWORD type, const void* data, DWORD size) {
    HKEY h;
    ASSERT_EQ(RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(h, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    RegCloseKey(h);
}
void SetRegistryText(HKEY root, const char* key, const char* name, const std::string& text) {
    SetRegistryValue(root, key, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}
void SetRegistryDword(HKEY root, const char* key, const char* name, DWORD value) {
    SetRegistryValue(root, key, name, REG_DWORD, &value, sizeof value);
}
// A REG_DWORD value; -1 when there is none of that type.
long long RegistryDword(const std::string& key, const char* name) {
    DWORD value = 0, size = sizeof value, type = 0;
    const bool read = RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), name, RRF_RT_ANY, &type, &value, &size) == ERROR_SUCCESS;
    return read && type == REG_DWORD ? value : -1;
}
const char kEveryUserKey[] = "SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\KRX printer";

// Every exit code of setup.exe /S, and the uninstaller's while another
// runs, each from a run of a fresh copy; the 64-bit Windows rows run in the
// 64-bit prefix (code 5 from a copy without the x64 set, and 0 installing
// the x64 driver, then its uninstaller), the others in the 32-bit one. A
// row with a message has no /S: the program shows it, and ends with the
// same code. Code 5, busy runs without /S and /S /? write nothing: the
// copy's folder keeps the program alone, and no log.
TEST(Unattended, EveryExitCodeFromARealRun) {
    std::unique_ptr<WizardRun> first;   // the setup already running, for code 6
    HANDLE heldSettings = INVALID_HANDLE_VALUE;
    std::unique_ptr<test::Program> squatter;   // an event of the lock's name
    const std::string elsewhere = test::MakeTempFolder("elsewhere");
    const std::string logs = test::MakeTempFolder("log folder");
    // Receipts: a USB port of the spooler's list that Wine's local port
    // monitor writes to a file, and the network port's over TCP.
    const std::string usbCapture = test::MakeTempFolder("usb") + "\\receipt.bin";
    TcpReceiver network;
    const std::string networkPort = "IP_127.0.0.1_" + std::to_string(network.Port());
    const char* kPorts = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Ports";
    const std::string anotherRuns = "Another setup or uninstaller of this printer driver is running. Wait until it "
                                    "has ended, then start this program again.";
    const std::string heldByOther =
        "Another program, which is no setup or uninstaller of this printer driver, holds the name that setups and "
        "uninstallers of this driver use to run one at a time, so this program cannot tell whether one of them is "
        "running. Nothing has been changed. Ask an administrator to end that program or restart the computer, then "
        "start this program again.";
    const struct Row {
        int code;
        bool windows64;
        const char* printer;
        std::function<void(const std::string& exe)> prepare;   // once the copy is there
        const char* program;   // "setup.exe", "uninstallKRX.exe"
        bool silent;
        std::string message;   // with no /S
        const char* outcome;   // the log's last line; none when empty
        std::string arguments = "";
        bool logNameTaken = false;   // a folder someone made at the log's name
        std::function<void(const std::string& log)> check = {};   // after the run
        const char* quiet = "/S";   // the switch of a silent row
        int answer = IDOK;          // the button the message box of a row with no /S gets
    } rows[] = {
        // A name that cannot be installed is refused at start-up, by its rule.
        {2, false, "CON", [](const std::string&) {}, "setup.exe", true, "",
         "outcome 2: the printer name \"CON\" of setting.dll cannot be used: it is a device name"},
        {2, false, "COM\xB9", [](const std::string&) {}, "setup.exe", true, "",   // COM and a superscript one
         "outcome 2: the printer name \"COM\xB9\" of setting.dll cannot be used: it is a device name"},
        {2, false, "STDNAMES", [](const std::string&) {}, "setup.exe", false, NameRefused("STDNAMES", kSharedRule), "",
         "", false,
         [](const std::string&) {
             EXPECT_FALSE(UninstallKeyExists("STDNAMES"));
             EXPECT_EQ(PrinterInstallerLog().find("STDNAMES"), std::string::npos);
         }},
        {3, false, "KRX",
         [&](const std::string& exe) { ASSERT_TRUE(test::MakeUnixLink(FolderOf(exe) + "\\Language", elsewhere)); },
         "setup.exe", true, "", "\\Language is refused: it leads elsewhere"},
        {3, false, "KRX", [&](const std::string&) { ASSERT_TRUE(test::MakeUnixLink("C:\\TEMP", elsewhere)); }, "setup.exe", true, "",
         "outcome 3: the folder C:\\TEMP is refused: it leads elsewhere"},
        {4, false, "KRX",
         [&](const std::string&) {
             test::RemoveUnixLink("C:\\TEMP");
             EXPECT_TRUE(test::ListFolder(elsewhere).empty());
             TempWith("O:BAD:(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)(A;OICI;0x1301bf;;;AU)");
             ASSERT_TRUE(CreateDirectoryA("C:\\TEMP\\uninstallKRX.exe", nullptr));
         },
         "setup.exe", true, "", "outcome 4: the file C:\\TEMP\\uninstallKRX.exe could not be written"},
        {1, false, "MERLO", [](const std::string&) { test::SetPrintUiDelay(600000); }, "setup.exe", true, "",
         "outcome 1: the printer MERLO did not appear within 5 s"},
        // A setting.dll someone holds open never lets the embedded default
        // choose the printer.
        {2, false, "KRX",
         [&](const std::string& exe) {
             heldSettings = CreateFileA((FolderOf(exe) + "\\setting.dll").c_str(), GENERIC_READ, 0, nullptr,
                                        OPEN_ALWAYS, 0, nullptr);
             ASSERT_NE(heldSettings, INVALID_HANDLE_VALUE);
         },
         "setup.exe", true, "", "\\setting.dll cannot be read"},
        {0, false, "KRX",
         [&](const std::string&) {
             CloseHandle(heldSettings);
             test::SetPrintUiDelay(0);
             ASSERT_TRUE(RemoveDirectoryA("C:\\TEMP\\uninstallKRX.exe"));
         },
         "setup.exe", true, "",
         "outcome 0: installed, the printer KRX exists on its driver", "", true,
         // Without a USB port the printer goes on LPT1:, with the command line of before.
         [](const std::string& log) {
             EXPECT_NE(test::ReadFileBytes(log).find("the printer made this user's default, on port LPT1:\r\n"),
                       std::string::npos);
             EXPECT_NE(PrinterInstallerLog().find(test::InstallCommand("KRX")), std::string::npos);
             EXPECT_TRUE(test::WaitUntil([] { return test::DefaultPrinter() == "KRX"; }, 15000)) << test::DefaultPrinter();
         }},
        // Over a newer version only with /FORCE, which writes what tools
        // detect the install by.
        {8, false, "KRX",
         [](const std::string&) { SetRegistryText(HKEY_LOCAL_MACHINE, UninstallKey("KRX").c_str(), "DisplayVersion", "1.10.0.0"); },
         "setup.exe", true, "", "outcome 8: version 1.10.0.0 of the driver is installed, newer than this setup's"},
        // The wizard asks first; No keeps the newer driver.
        {8, false, "KRX", [](const std::string&) {}, "setup.exe", false,
         "Version 1.10.0.0 of this printer driver is installed, which is newer than this setup's version 1.0.0.0. "
         "Install the older version over it?",
         "", "", false,
         [](const std::string&) {
             EXPECT_EQ(test::ReadRegistryString(HKEY_LOCAL_MACHINE, UninstallKey("KRX"), "DisplayVersion"), "1.10.0.0");
         },
         "/S", IDNO},
        {0, false, "KRX", [](const std::string&) {}, "setup.exe", true, "",
         "outcome 0: installed, the printer KRX exists on its driver", "/FORCE", false,
         [](const std::string&) {
             const std::string key = UninstallKey("KRX");
             EXPECT_EQ(test::ReadRegistryString(HKEY_LOCAL_MACHINE, key, "DisplayVersion"), "1.0.0.0");
             SYSTEMTIME today;
             GetLocalTime(&today);
             char date[16];
             snprintf(date, sizeof date, "%04u%02u%02u", today.wYear, today.wMonth, today.wDay);
             EXPECT_EQ(test::ReadRegistryString(HKEY_LOCAL_MACHINE, key, "InstallDate"), date);
             // At least the files staged in C:\TEMP; at most twice them and the driver folder's copies.
             long long staged = 0;
             for (const char* folder : {"C:\\TEMP", "C:\\TEMP\\I386", "C:\\TEMP\\x86"})
                 for (const std::string& name : test::ListFolder(folder))
                     if (!test::FolderExists(std::string(folder) + "\\" + name))
                         staged += test::ReadFileBytes(std::string(folder) + "\\" + name).size();
             const long long size = RegistryDword(key, "EstimatedSize");
             EXPECT_GE(size * 1024, staged);
             EXPECT_LE(size * 1024, 2 * staged + 1024);
             EXPECT_EQ(RegistryDword(key, "NoModify"), 1);
             EXPECT_EQ(RegistryDword(key, "NoRepair"), 1);
             EXPECT_EQ(test::ReadRegistryString(HKEY_LOCAL_MACHINE, key, "URLInfoAbout"), "<missing>");
             EXPECT_EQ(test::ReadRegistryString(HKEY_LOCAL_MACHINE, kEveryUserKey, "StubPath"), "<missing>");
         }},
        // /NODEFAULT leaves the default printer another printer.
        {0, false, "KRX",
         [](const std::string&) {
             for (const std::string& printer : test::ListPrinters())
                 if (printer != "KRX") ASSERT_TRUE(test::SetDefaultPrinterName(printer));
             ASSERT_NE(test::DefaultPrinter(), "KRX");
         },
         "setup.exe", true, "", "outcome 0: installed", "/NODEFAULT", false,
         [](const std::string& log) {
             EXPECT_NE(test::ReadFileBytes(log).find(", no user's default printer changed, "), std::string::npos);
             Sleep(1000);
             EXPECT_NE(test::DefaultPrinter(), "KRX");
         }},
        // /ALLUSERS: every user's default at their next logon through Active
        // Setup (as under SYSTEM), which the uninstaller removes; its log.
        {0, false, "KRX", [](const std::string&) {}, "setup.exe", true, "", "outcome 0: installed", "/allusers", false,
         [&](const std::string& log) {
             EXPECT_NE(test::ReadFileBytes(log).find(", the printer made this user's default now and every user's at "
                                                     "their next logon (Active Setup), "),
                       std::string::npos);
             EXPECT_EQ(test::ReadRegistryString(HKEY_LOCAL_MACHINE, kEveryUserKey, "StubPath"),
                       "C:\\windows\\system32\\rundll32.exe printui.dll,PrintUIEntry /y /n \"KRX\"");
             EXPECT_EQ(test::ReadRegistryString(HKEY_LOCAL_MACHINE, kEveryUserKey, "Version"), "1,0,0,0");
             EXPECT_EQ(RegistryDword(kEveryUserKey, "IsInstalled"), 1);
             EXPECT_TRUE(test::WaitUntil([] { return test::DefaultPrinter() == "KRX"; }, 15000));
             const std::string uninstallLog = logs + "\\uninstall.log";
             test::Program uninstall(Quoted(DriverDirectory() + "\\uninstallKRX.exe") + " /S /LOG=" + Quoted(uninstallLog));
             EXPECT_EQ(uninstall.WaitForExit(), 0u);
             EXPECT_EQ(test::ReadRegistryString(HKEY_LOCAL_MACHINE, kEveryUserKey, "StubPath"), "<missing>");
             EXPECT_FALSE(UninstallKeyExists("KRX"));
             const std::vector<std::string> lines = LogLines(uninstallLog);
             ASSERT_EQ(lines.size(), 2u) << test::ReadFileBytes(uninstallLog);
             EXPECT_NE(lines[0].find(" uninstallKRX.exe /S started: Windows "), std::string::npos) << lines[0];
             EXPECT_NE(lines[1].find(" outcome 0: removed, nothing of the driver remains"), std::string::npos) << lines[1];
         }},
        // A tool's quiet switch installs with no window: a wizard would
        // never end. A switch the setup does not know ends it at once.
        {0, false, "KRX", [](const std::string&) {}, "setup.exe", true, "", "outcome 0: installed", "", false, {},
         "/quiet"},
        {1639, false, "KRX", [](const std::string&) {}, "setup.exe", true, "", "outcome 1639: the switch /bogus is unknown",
         "/bogus"},
        // A port that cannot be used ends the run before anything is written.
        {7, false, "KRX", [](const std::string&) {}, "setup.exe", true, "",
         "outcome 7: the port \"USB009\" is not one the spooler lists that can be used", "/PORT=USB009"},
        {7, false, "KRX", [](const std::string&) {}, "setup.exe", true, "",
         "outcome 7: the address \"300.1.1.1\" is no IPv4 address or host name with an optional :port",
         "/IP=300.1.1.1"},
        {7, false, "KRX",
         [](const std::string&) {
             SetRegistryDword(HKEY_CURRENT_USER, "Software\\TcpMonStandIn", "RefuseAddPort", ERROR_ACCESS_DENIED);
         },
         "setup.exe", true, "", "outcome 7: the network port IP_10.0.0.5 could not be made (error 5)", "/IP=10.0.0.5"},
        // The first USB port the spooler lists, its receipt captured as the port writes it.
        {0, false, "TILL",
         [&](const std::string&) {
             RegDeleteKeyValueA(HKEY_CURRENT_USER, "Software\\TcpMonStandIn", "RefuseAddPort");
             SetRegistryText(HKEY_LOCAL_MACHINE, kPorts, "USB001", "");
             ASSERT_TRUE(test::WriteFileBytes(usbCapture, ""));
             SetRegistryText(HKEY_CURRENT_USER, "Software\\Wine\\Printing\\Spooler", "USB001", test::LinuxPath(usbCapture));
         },
         "setup.exe", true, "", "outcome 0: installed, the printer TILL exists on its driver; a test receipt was sent to USB001",
         "/TESTPRINT", false,
         [&](const std::string&) {
             EXPECT_NE(PrinterInstallerLog().find(" /r \"USB001\" /b \"TILL\" "), std::string::npos);
             ExpectReceipt(test::ReadFileBytes(usbCapture), "TILL", "USB001");
         }},
        // A network printer: the port made through the monitor, its receipt
        // over TCP; the uninstaller deletes the port the setup made.
        {0, false, "NET", [](const std::string&) {}, "setup.exe", true, "",
         "; a test receipt was sent to IP_127.0.0.1_", "/IP=127.0.0.1:" + std::to_string(network.Port()) + " /TESTPRINT",
         false,
         [&](const std::string& log) {
             EXPECT_NE(test::ReadFileBytes(log).find("on port " + networkPort + " (network: 127.0.0.1, TCP port " +
                                                     std::to_string(network.Port()) + "), with a test receipt"),
                       std::string::npos);
             ExpectReceipt(network.Received(10000), "NET", networkPort);
             const std::string monitorLog = test::ReadFileBytes("C:\\tcpmon.log");
             EXPECT_NE(monitorLog.find("AddPort " + networkPort + " host=127.0.0.1 port=" + std::to_string(network.Port()) +
                                       " protocol=1 snmp=0 version=1 size=964\n"),
                       std::string::npos) << monitorLog;
             EXPECT_EQ(test::ReadRegistryString(HKEY_LOCAL_MACHINE, UninstallKey("NET"), "SetupMadePort"), networkPort);
             test::Program uninstall(Quoted(DriverDirectory() + "\\uninstallNET.exe") + " /S");
             EXPECT_EQ(uninstall.WaitForExit(), 0u);
             EXPECT_NE(test::ReadFileBytes("C:\\tcpmon.log").find("DeletePort " + networkPort + "\n"), std::string::npos);
             EXPECT_EQ(test::ReadRegistryString(HKEY_LOCAL_MACHINE,
                                                "System\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP "
                                                "Port\\Ports\\" + networkPort, "HostName"),
                       "<missing>");
         }},
        // A /LOG= that cannot be made: nothing is written, a log beside it says why.
        {3, false, "KRX", [](const std::string&) {}, "setup.exe", true, "", "outcome 3: the log ", "", true},
        // With /S no window ever shows, the usage neither.
        {0, false, "KRX", [](const std::string&) {}, "setup.exe", true, "", "", "/?"},
        // An event of the lock's name, which any user may make, keeps both busy.
        {1618, false, "KRX",
         [&](const std::string&) {
             squatter.reset(new test::Program(Quoted(test::BuildPath("attacker\\attacker.exe")) +
                                              " C:\\squatter.log event \"Global\\Thermal receipt printer driver setup\""));
             ASSERT_TRUE(test::WaitUntil([] { return test::ReadFileBytes("C:\\squatter.log").find("holding") == 0; },
                                         20000)) << test::ReadFileBytes("C:\\squatter.log");
         },
         "setup.exe", true, "", "outcome 1618: the run lock's name is held by a program that is no setup or uninstaller"},
        {1618, false, "KRX", [](const std::string&) {}, "uninstallKRX.exe", true, "",
         "outcome 1618: another setup or uninstaller is running, or another program holds the name of their lock"},
        {1618, false, "KRX", [](const std::string&) {}, "uninstallKRX.exe", false, heldByOther, ""},
        {1618, false, "KRX",
         [&](const std::string&) {
             squatter.reset();
             first.reset(new WizardRun(CopyProgram("setup_standin.exe", "first")));
             ASSERT_NE(first->wizard, nullptr);
         },
         "setup.exe", true, "", "outcome 1618: another setup or uninstaller is running"},
        {1618, false, "KRX", [](const std::string&) {}, "setup.exe", false, anotherRuns, ""},
        {1618, false, "KRX", [](const std::string&) {}, "uninstallKRX.exe", true, "",
         "outcome 1618: another setup or uninstaller is running, or another program holds the name of their lock"},
        {1618, false, "KRX", [](const std::string&) {}, "uninstallKRX.exe", false, anotherRuns, ""},
        // 64-bit Windows: code 5 where the program lacks the x64 set, else
        // the x64 driver installed on top of an earlier install's model files.
        {5, true, "KRX", LeaveOutTheX64Set, "setup.exe", true, "", ""},
        {5, true, "KRX", LeaveOutTheX64Set, "setup.exe", false,
         "This setup carries no printer driver for Windows on x64 processors, which this computer runs. The setup "
         "has changed nothing.", ""},
        {0, true, "KRX", [](const std::string&) { PlantEarlierModelFiles(); }, "setup.exe", true, "",
         "outcome 0: installed, the printer KRX exists on its driver"},
    };
    std::string installed;   // the program of the 64-bit Windows install
    int row = 0;
    for (const Row& r : rows) {
        SCOPED_TRACE("row " + std::to_string(row++) + ": " + r.program + " exits " + std::to_string(r.code));
        if (r.windows64 != Windows64()) continue;
        const bool setup = std::string(r.program) == "setup.exe";
        const std::string exe = setup ? CopyProgram("setup_standin.exe", "row")
                                      : test::MakeTempFolder("row") + "\\" + r.program;
        if (!setup) {
            ASSERT_TRUE(CopyFileA(test::BuildPath("uninstaller\\uninstall.exe").c_str(), exe.c_str(), FALSE));
        }
        if (setup && r.printer != std::string("KRX")) NamePrinter(exe, r.printer);
        r.prepare(exe);
        // Row 0 keeps the default log; the others name theirs, in a folder with a blank.
        const bool defaultLog = r.code == 0 && !r.arguments[0] && r.quiet == std::string("/S");
        const std::string log = defaultLog ? TempFolder() + r.printer + " printer setup.log"
                                            : logs + "\\row " + std::to_string(row) + ".log";
        if (r.logNameTaken) {
            ASSERT_TRUE(CreateDirectoryA(log.c_str(), nullptr));
        }
        std::string command = Quoted(exe);
        if (r.silent) command += std::string(" ") + r.quiet;
        if (r.arguments[0]) command += std::string(" ") + r.arguments;
        if (r.silent && !defaultLog) command += " /LOG=" + Quoted(log);
        test::Program program(command);
        if (!r.silent) {
            EXPECT_EQ(program.AnswerMessageBox(r.answer).text, r.message);
        }
        EXPECT_EQ(program.WaitForExit(), static_cast<DWORD>(r.code));
        if (r.windows64 && r.code == 0) installed = exe;
        if (r.outcome[0]) {
            const std::string outcome = r.outcome;
            // Taken, the log goes to a fresh name beside it: "<log without .log> <number>.log".
            std::string written = log;
            for (const std::string& name : test::ListFolder(FolderOf(log)))
                if (r.logNameTaken && FolderOf(log) + "\\" + name != log &&
                    name.find(log.substr(FolderOf(log).size() + 1, log.size() - FolderOf(log).size() - 5) + " ") == 0)
                    written = FolderOf(log) + "\\" + name;
            EXPECT_TRUE(!r.logNameTaken || written != log) << "no log beside the taken name";
            // Refusals before the install log no start of one.
            ExpectLog(written, r.printer, outcome,
                      r.code != 1618 && r.code != 1639 && !(r.code == 3 && r.logNameTaken) &&
                          outcome.find("\\Language") == std::string::npos &&
                          outcome.find("setting.dll cannot be read") == std::string::npos &&
                          outcome.find("setting.dll cannot be used") == std::string::npos &&
                          !(r.code == 7 && outcome.find("could not be made") == std::string::npos));
            if (r.check) r.check(written);
        } else if (r.check) {
            EXPECT_FALSE(test::FileExists(log)) << "a refused run wrote its log";
            r.check("");
        } else {
            EXPECT_FALSE(test::FileExists(log)) << "a refused run wrote its log";
            EXPECT_EQ(test::ListFolder(FolderOf(exe)), std::vector<std::string>{r.program});
        }
    }
    if (Windows64()) {
        ASSERT_FALSE(installed.empty());
        ExpectX64InstallThenUninstall(installed);
        return;
    }
    EXPECT_TRUE(test::WaitUntil([] { return test::DefaultPrinter() == "KRX"; }, 15000)) << test::DefaultPrinter();
    EXPECT_TRUE(UninstallKeyExists("KRX"));
    CancelWizard(*first);
}

}  // namespace
