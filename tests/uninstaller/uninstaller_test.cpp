// The real uninstaller program against an install state made in this
// prefix: what goes, what stays, its messages and its exit codes.
#include "install_state.h"
#include "spooler_support.h"
#include "test_support.h"
#include "uninstaller/messages.h"
#include "uninstaller/uninstall_app.h"
#include <gtest/gtest.h>
#include <shellapi.h>

using namespace uninstall_test;

namespace {

// A text of the uninstaller in the system's language.
const char* SystemText(const LocalizedText& text) { return TextIn(text, LanguageOfSystem(GetSystemDefaultLangID())); }

std::string Format(const char* format, const std::string& name) {
    char text[4096];
    return AfxFormat(text, format, name.c_str()) ? text : "<does not fit>";
}

DWORD RunSilently(const std::string& program) { return test::Program("\"" + program + "\" /S").WaitForExit(); }

// Runs the program with its window, answers its message boxes with the
// buttons given in turn and returns their texts and the exit code.
struct GuiRun {
    std::vector<std::string> texts;
    DWORD exitCode;
};
GuiRun RunAnswering(const std::string& program, std::vector<int> buttons) {
    GuiRun run;
    test::Program uninstaller("\"" + program + "\"");
    for (int button : buttons) {
        test::MessageBoxSeen box = uninstaller.AnswerMessageBox(button);
        if (!box.seen) break;
        run.texts.push_back(box.text);
    }
    run.exitCode = uninstaller.WaitForExit(30000);
    return run;
}

// The paths the install leaves for a printer name, upper-cased: on 64-bit
// Windows the x64 set's, in C:\TEMP, amd64, the x64 driver folder and its 3.
std::set<std::string> InstallFiles(const std::string& n) {
    std::string t = "C:\\TEMP\\", d = DriverDir() + "\\";
    std::set<std::string> files;
    if (test::OnWindows64()) {
        for (const std::string& f : {"uninstall" + n + ".exe", n + ".INF", n + ".GPD", n + ".INI",
                                     std::string("ZIKU.UFM"), n + ".cat", std::string("temp.txt")})
            files.insert(Upper(t + f));
        for (const std::string& f : {n + "D.dll", n + "F.dll", n + "RES.DLL"}) files.insert(Upper(t + "amd64\\" + f));
        files.insert(Upper(d + "uninstall" + n + ".exe"));
        for (const std::string& f : X64DriverFiles(n)) {
            files.insert(Upper(d + f));
            files.insert(Upper(d + "3\\" + f));
        }
        return files;
    }
    for (const std::string& f : {"uninstall" + n + ".exe", n + ".INF", std::string("STDNAMES.GPD"), n + ".GPD",
                                 n + ".INI", std::string("ZIKU.UFM"), std::string("UNIDRV.DLL"),
                                 std::string("UNIDRV.HLP"), std::string("UNIDRVUI.DLL"), std::string("UNIRES.DLL"),
                                 n + "D.dll", n + "F.dll", n + "RES.DLL", std::string("temp.txt")})
        files.insert(Upper(t + f));
    for (const char* platform : {"I386\\", "x86\\"})
        for (const std::string& f : {n + "D.dll", n + "F.dll", n + "RES.DLL"}) files.insert(Upper(t + platform + f));
    for (const std::string& f : {"uninstall" + n + ".exe", std::string("UNIDRV.DLL"), n + ".GPD",
                                 std::string("UNIDRVUI.DLL"), std::string("UNIDRV.HLP"), std::string("UNIRES.DLL"),
                                 std::string("STDNAMES.GPD"), std::string("ZIKU.UFM"), n + ".INI", n + "RES.dll",
                                 n + "D.dll", n + "F.dll"}) {
        files.insert(Upper(d + f));
        if (f.find("uninstall") != 0) files.insert(Upper(d + "3\\" + f));
    }
    return files;
}

TEST(Uninstaller, RemovesTheInstallationAndNothingElseAndASecondRunIsHarmless) {
    CreateDirectoryA("C:\\TEMP", nullptr);
    CreateUnrelatedThings();
    MachineState before = Snapshot();
    CreateInstall("KRX", "KRX", {"KRX"});
    MachineState installed = Snapshot();
    ASSERT_EQ(Minus(installed.printers, before.printers), std::set<std::string>{"KRX|KRX"});
    ASSERT_EQ(Minus(installed.drivers, before.drivers), std::set<std::string>{"KRX"});

    // Run as the installed programs list runs it: the copy in the driver folder.
    std::string program = DriverDir() + "\\uninstallKRX.exe";
    EXPECT_EQ(RunSilently(program), 0u);

    MachineState after = Snapshot();
    EXPECT_EQ(after.printers, before.printers);
    EXPECT_EQ(after.drivers, before.drivers);
    EXPECT_EQ(after.uninstallKeys, before.uninstallKeys);
    // Only the running program stays, until the restart that deletes it.
    std::set<std::string> own = {Upper(program)};
    EXPECT_EQ(Minus(after.files, before.files), own);
    EXPECT_EQ(PendingDeletions(), own);
    EXPECT_TRUE(Minus(InstallFiles("KRX"), own).size() > (test::OnWindows64() ? 20u : 40u));
    for (const std::string& f : InstallFiles("KRX"))
        if (f != Upper(program)) {
            EXPECT_EQ(after.files.count(f), 0u) << f;
        }

    // Again: nothing left to do, nothing changes.
    EXPECT_EQ(RunSilently(program), 0u);
    EXPECT_TRUE(Snapshot() == after);
    GuiRun run = RunAnswering(program, {IDOK});
    EXPECT_EQ(run.texts, std::vector<std::string>{Format(SystemText(kUninstallTexts.notInstalled), "KRX")});
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_TRUE(Snapshot() == after);
}

// Files of the names every install writes, but nothing of this printer's
// own: a user's scratch file and another install's Unidrv copies stay.
TEST(Uninstaller, WithNothingInstalledSaysSoAndChangesNothing) {
    CreateUnrelatedThings();
    for (const char* name : {"temp.txt", "UNIDRV.DLL", "STDNAMES.GPD"})
        ASSERT_TRUE(test::WriteFileBytes(std::string("C:\\TEMP\\") + name, "a user's own"));
    ASSERT_TRUE(test::WriteFileBytes(DriverDir() + "\\ZIKU.UFM", "another install's"));
    std::string folder = test::MakeTempFolder("nothing");
    std::string program = CopyUninstaller(folder + "\\uninstallKRX.exe");
    MachineState before = Snapshot();
    GuiRun run = RunAnswering(program, {IDOK});
    EXPECT_EQ(run.texts, std::vector<std::string>{Format(SystemText(kUninstallTexts.notInstalled), "KRX")});
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(RunSilently(program), 0u);
    EXPECT_TRUE(Snapshot() == before);
    EXPECT_TRUE(PendingDeletions().empty());
}

TEST(Uninstaller, ConfirmsInTheSystemLanguageAndNoKeepsEverything) {
    CreateInstall("KRX", "KRX", {"KRX"});
    MachineState installed = Snapshot();
    std::string program = DriverDir() + "\\uninstallKRX.exe";

    GuiRun no = RunAnswering(program, {IDNO});
    EXPECT_EQ(no.texts, std::vector<std::string>{Format(SystemText(kUninstallTexts.confirm), "KRX")});
    EXPECT_EQ(no.exitCode, static_cast<DWORD>(kExitCancelled));
    EXPECT_TRUE(Snapshot() == installed);

    GuiRun yes = RunAnswering(program, {IDYES, IDOK});
    ASSERT_EQ(yes.texts.size(), 2u);
    EXPECT_EQ(yes.texts[1], Format(SystemText(kUninstallTexts.removed), "KRX"));
    EXPECT_EQ(yes.exitCode, 0u);
    EXPECT_EQ(Snapshot().drivers.count("KRX"), 0u);
}

TEST(Uninstaller, RemovesEveryPrinterOnTheDriverAndKeepsPrintersOfOtherDrivers) {
    CreateUnrelatedThings();
    MachineState before = Snapshot();
    CreateInstall("KRX", "KRX", {"KRX", "KRX (Copy 1)", "Front desk"});
    std::string folder = test::MakeTempFolder("printers");
    EXPECT_EQ(RunSilently(CopyUninstaller(folder + "\\uninstallKRX.exe")), 0u);
    MachineState after = Snapshot();
    EXPECT_EQ(after.printers, before.printers);
    EXPECT_EQ(after.printers.count("My KRX printer|Other Driver"), 1u);
    EXPECT_EQ(after.drivers, before.drivers);
    // Run from elsewhere, it deletes both installed copies at once.
    EXPECT_EQ(after.files, before.files);
    EXPECT_TRUE(PendingDeletions().empty());
}

TEST(Uninstaller, KeepsUnidrvFilesThatAnotherDriverStillLists) {
    // Another Unidrv-based driver shares the core files in folder 3.
    ASSERT_TRUE(test::AddDriverUsing("Other Unidrv", {"UNIDRV.DLL", "OTHER.GPD", "UNIDRVUI.DLL", "UNIDRV.HLP",
                                           "UNIRES.DLL", "STDNAMES.GPD"}));
    CreateInstall("KRX", "KRX", {"KRX"});
    std::string folder = test::MakeTempFolder("shared");
    EXPECT_EQ(RunSilently(CopyUninstaller(folder + "\\uninstallKRX.exe")), 0u);

    std::string v3 = DriverDir() + "\\3\\";
    for (const char* f : {"UNIDRV.DLL", "UNIDRVUI.DLL", "UNIDRV.HLP", "UNIRES.DLL", "STDNAMES.GPD", "OTHER.GPD"})
        EXPECT_TRUE(test::FileExists(v3 + f)) << f;
    for (const char* f : {"KRX.GPD", "KRX.INI", "KRXD.dll", "KRXF.dll", "KRXRES.dll", "ZIKU.UFM"})
        EXPECT_FALSE(test::FileExists(v3 + f)) << f;
    // The install's own copies in the driver folder are listed by no driver.
    EXPECT_FALSE(test::FileExists(DriverDir() + "\\UNIDRV.DLL"));
    EXPECT_EQ(Snapshot().drivers.count("Other Unidrv"), 1u);
}

TEST(Uninstaller, RenamedFileNamesThePrinterAndLeavesOtherInstallsAlone) {
    CreateInstall("KRX", "KRX", {"KRX"});
    MachineState krx = Snapshot();
    CreateInstall("MERLO", "MERLO", {"MERLO"});
    std::string folder = test::MakeTempFolder("merlo");
    EXPECT_EQ(RunSilently(CopyUninstaller(folder + "\\uninstallMERLO.exe")), 0u);
    MachineState after = Snapshot();
    EXPECT_EQ(after.printers, krx.printers);
    EXPECT_EQ(after.drivers, krx.drivers);
    EXPECT_EQ(after.uninstallKeys, krx.uninstallKeys);
    for (const std::string& f : after.files) EXPECT_EQ(f.find("MERLO"), std::string::npos) << f;
    // KRX's model files, its folder 3 and its uninstallers are untouched;
    // the Unidrv copies staged under common names go with either install.
    for (const std::string& f : krx.files)
        if (f.find("KRX") != std::string::npos || f.find("\\3\\") != std::string::npos) {
            EXPECT_EQ(after.files.count(f), 1u) << f;
        }
}

// An incomplete removal keeps the entry in the installed programs and the
// program itself, so the user can run it again from there. A staged
// leftover held open goes at the restart and keeps nothing back; a file of
// the driver folders that cannot even be renamed aside stays.
TEST(Uninstaller, NamesWhatCouldNotBeRemovedAndAnotherRunFinishes) {
    CreateInstall("KRX", "KRX", {"KRX"});
    std::string program = DriverDir() + "\\uninstallKRX.exe";
    const std::string key = std::string(kUninstallKey) + "\\KRX printer";
    // Held open without sharing, as a program that uses them would.
    const std::string leftover = "C:\\TEMP\\KRX.INF", busy = DriverDir() + "\\3\\KRX.GPD";
    HANDLE held = CreateFileA(leftover.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    HANDLE file = CreateFileA(busy.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);

    EXPECT_EQ(RunSilently(program), static_cast<DWORD>(kExitIncomplete));
    EXPECT_TRUE(test::FileExists(busy));
    EXPECT_FALSE(test::FileExists("C:\\TEMP\\KRX.INI"));
    EXPECT_NE(test::ReadRegistryString(HKEY_LOCAL_MACHINE, key, "UninstallString"), "<missing>");
    EXPECT_EQ(PendingDeletions(), std::set<std::string>{Upper(leftover)});

    GuiRun run = RunAnswering(program, {IDYES, IDOK});
    ASSERT_EQ(run.texts.size(), 2u);
    const UninstallTexts& t = kUninstallTexts;
    EXPECT_EQ(run.texts[1], Format(SystemText(t.incomplete), "KRX") + "\r\n" + SystemText(t.file) + busy +
                                SystemText(t.inUse));
    EXPECT_EQ(run.exitCode, static_cast<DWORD>(kExitIncomplete));

    CloseHandle(file);
    EXPECT_EQ(RunSilently(program), static_cast<DWORD>(kExitRestartNeeded));
    EXPECT_FALSE(test::FileExists(busy));
    EXPECT_EQ(test::ReadRegistryString(HKEY_LOCAL_MACHINE, key, "UninstallString"), "<missing>");
    EXPECT_EQ(PendingDeletions(), (std::set<std::string>{Upper(leftover), Upper(program)}));
    run = RunAnswering(program, {IDYES, IDOK});
    ASSERT_EQ(run.texts.size(), 2u);
    EXPECT_EQ(run.texts[1], Format(SystemText(t.restart), "KRX") + "\r\n" + SystemText(t.file) + leftover +
                                SystemText(t.inUse));
    EXPECT_EQ(run.exitCode, static_cast<DWORD>(kExitRestartNeeded));
    CloseHandle(held);
    EXPECT_EQ(RunSilently(program), 0u);
    EXPECT_FALSE(test::FileExists(leftover));
}

TEST(Uninstaller, RunFromTheStagingFolderItSchedulesThatCopyAndRemovesReadOnlyFiles) {
    CreateInstall("KRX", "KRX", {"KRX"});
    SetFileAttributesA("C:\\TEMP\\KRX.INI", FILE_ATTRIBUTE_READONLY);
    SetFileAttributesA((DriverDir() + "\\3\\KRX.GPD").c_str(), FILE_ATTRIBUTE_READONLY);
    std::string program = "C:\\TEMP\\uninstallKRX.exe";
    EXPECT_EQ(RunSilently(program), 0u);
    EXPECT_FALSE(test::FileExists("C:\\TEMP\\KRX.INI"));
    EXPECT_FALSE(test::FileExists(DriverDir() + "\\3\\KRX.GPD"));
    EXPECT_FALSE(test::FileExists(DriverDir() + "\\uninstallKRX.exe"));
    EXPECT_EQ(PendingDeletions(), std::set<std::string>{Upper(program)});
}

TEST(Uninstaller, AFileNameThatNamesNoPrinterDoesNothing) {
    CreateInstall("KRX", "KRX", {"KRX"});
    MachineState installed = Snapshot();
    std::string folder = test::MakeTempFolder("bad_name");
    for (const char* name : {"uninstall.exe", "setup.exe", "uninstal KRX.exe"}) {
        std::string program = CopyUninstaller(folder + "\\" + name);
        EXPECT_EQ(RunSilently(program), static_cast<DWORD>(kExitBadProgramName)) << name;
        GuiRun run = RunAnswering(program, {IDOK});
        EXPECT_EQ(run.texts, std::vector<std::string>{SystemText(kUninstallTexts.badProgramName)}) << name;
        EXPECT_EQ(run.exitCode, static_cast<DWORD>(kExitBadProgramName));
    }
    EXPECT_TRUE(Snapshot() == installed);
}

TEST(Uninstaller, OddAndVeryLongPrinterNamesAreSafe) {
    // A name with format directives and blanks, fully installed.
    const std::string odd = "K%s%n R;X";
    CreateInstall(odd, odd, {odd});
    MachineState before = Snapshot();
    std::string folder = test::MakeTempFolder("odd");
    std::string program = CopyUninstaller(folder + "\\uninstall" + odd + ".exe");
    GuiRun run = RunAnswering(program, {IDYES, IDOK});
    ASSERT_EQ(run.texts.size(), 2u);
    EXPECT_EQ(run.texts[0], Format(SystemText(kUninstallTexts.confirm), odd));
    EXPECT_EQ(run.texts[1], Format(SystemText(kUninstallTexts.removed), odd));
    EXPECT_EQ(run.exitCode, 0u);
    MachineState after = Snapshot();
    EXPECT_EQ(after.drivers.count(odd), 0u);
    EXPECT_EQ(after.uninstallKeys.count(odd + " printer"), 0u);
    for (const std::string& f : after.files) EXPECT_EQ(f.find(Upper(odd)), std::string::npos) << f;

    // Names up to the longest file name Windows allows (in C:\ the path is
    // then 258 characters): nothing can be installed under them, and
    // nothing overflows.
    for (size_t length : {190u, 200u, 242u}) {
        std::string name(length, 'N');
        std::string program = CopyUninstaller("C:\\uninstall" + name + ".exe");
        ASSERT_TRUE(test::FileExists(program)) << length;
        EXPECT_EQ(RunSilently(program), 0u) << length;
        GuiRun run = RunAnswering(program, {IDOK});
        EXPECT_EQ(run.texts, std::vector<std::string>{Format(SystemText(kUninstallTexts.notInstalled), name)}) << length;
    }
    MachineState end = Snapshot();
    EXPECT_EQ(end.printers, after.printers);
    EXPECT_EQ(end.drivers, after.drivers);
    EXPECT_EQ(end.uninstallKeys, after.uninstallKeys);
}

// A C:\TEMP that another user made a link to a folder elsewhere: nothing
// there is deleted through it, whatever its files are called.
TEST(Uninstaller, DeletesNothingThroughALinkedStagingFolder) {
    const std::string elsewhere = test::MakeTempFolder("elsewhere");
    ASSERT_TRUE(test::MakeUnixLink("C:\\TEMP", elsewhere));
    CreateInstall("KRX", "KRX", {"KRX"});
    std::vector<std::string> before = test::ListFolder(elsewhere);
    ASSERT_GT(before.size(), test::OnWindows64() ? 7u : 10u);
    EXPECT_EQ(RunSilently(DriverDir() + "\\uninstallKRX.exe"), 0u);
    EXPECT_EQ(test::ListFolder(elsewhere), before);
    EXPECT_EQ(Snapshot().drivers.count("KRX"), 0u);
}

// 許 and 功 end in 0x5C in Big5, the byte of a backslash: the printer name
// and the message boxes' caption (the program's name) are found by
// characters, not bytes.
TEST(Uninstaller, Big5FolderAndProgramNamesWithBackslashTrailBytes) {
    if (GetACP() != 950) GTEST_SKIP() << "needs the Big5 code page";
    std::string folder = test::MakeTempFolder("big5") + "\\\xB3\x5C";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string name = "\xA5\x5C";
    std::string program = CopyUninstaller(folder + "\\uninstall" + name + ".exe");
    test::Program uninstaller("\"" + program + "\"");
    test::MessageBoxSeen box = uninstaller.AnswerMessageBox(IDOK);
    EXPECT_EQ(box.text, Format(SystemText(kUninstallTexts.notInstalled), name));
    EXPECT_EQ(box.caption, "uninstall" + name);
    EXPECT_EQ(uninstaller.WaitForExit(30000), 0u);
}

}  // namespace

namespace {

std::string Resource(const std::string& program, const char* type, unsigned id) {
    HMODULE module = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC r = module ? FindResourceA(module, MAKEINTRESOURCEA(id), type) : nullptr;
    std::string bytes;
    if (r) bytes.assign(static_cast<const char*>(LockResource(LoadResource(module, r))), SizeofResource(module, r));
    if (module) FreeLibrary(module);
    return bytes;
}

TEST(UninstallerProgram, TravelsInsideSetupAsPayload255AndAsksForAdministratorRights) {
    std::string uninstaller = test::ReadFileBytes(test::BuildPath("uninstaller\\uninstall.exe"));
    ASSERT_GT(uninstaller.size(), 10000u);
    for (const char* setup : {"setup.exe", "setup_standin.exe"})
        EXPECT_EQ(Resource(test::BuildPath(setup), "OWNER_DATA", 255), uninstaller) << setup;
    std::string manifest = Resource(test::BuildPath("uninstaller\\uninstall.exe"), RT_MANIFEST, 1);
    EXPECT_NE(manifest.find("level=\"requireAdministrator\""), std::string::npos) << manifest;
    // The uninstall entry's DisplayIcon names the program's first icon.
    HICON icon = ExtractIconA(GetModuleHandleA(nullptr), test::BuildPath("uninstaller\\uninstall.exe").c_str(), 0);
    EXPECT_GT(reinterpret_cast<UINT_PTR>(icon), 1u);
    if (icon) DestroyIcon(icon);
}

}  // namespace

namespace {

// The uninstaller after the printer installer (its stand-in in the test
// prefix) has created the printer and driver from the install's own INF.
TEST(InstallThenUninstall, ThePrinterInstallersPrinterAndDriverGoWithEverythingElse) {
    CreateUnrelatedThings();
    MachineState before = Snapshot();
    StageInstallFiles("KRX");
    // The INF of the machine's set, read by its printer installer: on
    // 64-bit Windows the x64 one, through Sysnative from a 32-bit program.
    const bool x64 = test::OnWindows64();
    ASSERT_TRUE(test::WriteFileBytes("C:\\TEMP\\KRX.INF",
                                     Resource(test::BuildPath("setup_standin.exe"), "OWNER_DATA", x64 ? 266 : 256)));
    std::string rundll32 = "rundll32.exe";
    if (x64 && sizeof(void*) == 4) rundll32 = "C:\\windows\\Sysnative\\rundll32.exe";
    SetCurrentDirectoryA("C:\\TEMP");
    test::Program(rundll32 + " printui.dll,PrintUIEntry /if /f C:\\TEMP\\KRX.INF /r \"LPT1:\" /b \"KRX\" /m \"KRX\" ").WaitForExit();
    SetCurrentDirectoryA("C:\\");
    MachineState installed = Snapshot();
    ASSERT_EQ(Minus(installed.printers, before.printers), std::set<std::string>{"KRX|KRX"});
    ASSERT_EQ(Minus(installed.drivers, before.drivers), std::set<std::string>{"KRX"});
    std::string v3 = Upper(DriverDir() + "\\3\\");
    for (const char* f : {"KRX.GPD", "KRX.INI", "KRXD.DLL", "KRXF.DLL", "KRXRES.DLL"})
        EXPECT_EQ(installed.files.count(v3 + f), 1u) << f;

    std::string program = DriverDir() + "\\uninstallKRX.exe";
    EXPECT_EQ(RunSilently(program), 0u);
    MachineState after = Snapshot();
    EXPECT_EQ(after.printers, before.printers);
    EXPECT_EQ(after.drivers, before.drivers);
    EXPECT_EQ(after.uninstallKeys, before.uninstallKeys);
    std::set<std::string> own = {Upper(program)};
    EXPECT_EQ(Minus(after.files, before.files), own);
    EXPECT_EQ(Minus(before.files, after.files), std::set<std::string>{});
    EXPECT_EQ(PendingDeletions(), own);

    EXPECT_EQ(RunSilently(program), 0u);
    EXPECT_TRUE(Snapshot() == after);
}

}  // namespace
