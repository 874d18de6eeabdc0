// The uninstaller's decisions: the printer name from its file name, the
// command line (setup.exe's too), the files it looks for, and its texts.
#include "framework/afx.h"
#include "app_core/command_line.h"
#include "uninstaller/command_line.h"
#include "uninstaller/messages.h"
#include "uninstaller/removal.h"
#include "payload/install_plan.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <string>

namespace {

std::string NameFrom(const std::string& path, size_t size = MAX_PATH) {
    char name[MAX_PATH] = "unchanged";
    if (!PrinterNameFromProgramPath(path.c_str(), name, size)) return name[0] ? "<not cleared>" : "<none>";
    return name;
}

TEST(ProgramName, IsTheFileNameBetweenUninstallAndExe) {
    const struct {
        const char* path;
        const char* name;
    } cases[] = {
        {"C:\\windows\\system32\\spool\\drivers\\w32x86\\uninstallKRX.exe", "KRX"},
        {"C:\\TEMP\\UNINSTALLMERLO.EXE", "MERLO"},
        {"uninstallKRX.exe", "KRX"},
        {"C:/tests/uninstallK R X.exe", "K R X"},
        {"C:\\a.b\\uninstallK.R.X.exe", "K.R.X"},
        {"C:\\x\\uninstall%s%n.exe", "%s%n"},
        {"C:\\x\\uninstallKRX.exe.exe", "KRX.exe"},
        {"C:\\uninstallKRX\\setup.exe", "<none>"},
        {"C:\\x\\uninstall.exe", "<none>"},
        {"C:\\x\\uninstallKRX", "<none>"},
        {"C:\\x\\uninstalKRX.exe", "<none>"},
        {"C:\\x\\myuninstallKRX.exe", "<none>"},
        {"C:\\x\\", "<none>"},
        {"", "<none>"},
    };
    for (const auto& c : cases) EXPECT_EQ(NameFrom(c.path), c.name) << c.path;
}

TEST(ProgramName, ATrailByteThatIsABackslashIsNoSeparator) {
    // GBK 0x815C (and Big5 characters alike) end in the backslash code.
    if (GetACP() != 936 && GetACP() != 950) GTEST_SKIP() << "needs a Chinese code page";
    EXPECT_EQ(NameFrom("C:\\x\\uninstallA\x81\x5C" "B.exe"), "A\x81\x5C" "B");
}

TEST(ProgramName, TooLongForTheBufferIsRefusedNotCut) {
    std::string name(200, 'N');
    EXPECT_EQ(NameFrom("C:\\uninstall" + name + ".exe"), name);
    EXPECT_EQ(NameFrom("C:\\uninstall" + name + ".exe", 200), "<none>");
    EXPECT_EQ(NameFrom("C:\\uninstall" + name + ".exe", 201), name);
}

// One parser for both programs: /S (and the quiet switches of management
// tools), /? and /LOG=<path> after the program's own name, in any letter
// case; the first word it does not know is kept, cut to its buffer.
TEST(CommandLine, SwitchesAreWordsAfterTheProgramName) {
    const std::string longPath = "C:\\" + std::string(MAX_PATH, 'x') + ".log";
    const struct {
        std::string line;
        bool silent;
        bool usage;
        const char* log;
        std::string unknown = "";
    } cases[] = {
        {"uninstallKRX.exe /S", true, false, ""},
        {"uninstallKRX.exe /s", true, false, ""},
        {"\"C:\\Program Files\\uninstallKRX.exe\" /S", true, false, ""},
        {"\"C:\\a\\uninstallKRX.exe\"/S", true, false, ""},
        {"uninstallKRX.exe   /S   ", true, false, ""},
        {"uninstallKRX.exe /X /S", true, false, "", "/X"},
        {"uninstallKRX.exe\t/S", true, false, ""},
        {"uninstallKRX.exe", false, false, ""},
        {"uninstallKRX.exe /Silent", true, false, ""},
        {"setup.exe /quiet", true, false, ""},
        {"setup.exe /QN /verysilent", true, false, ""},
        {"setup.exe /q /quieter", false, false, "", "/q"},
        {"setup.exe /ALLUSERS /nodefault /Force /S", true, false, ""},
        {"setup.exe /S \"\"", true, false, "", "\"\""},
        {"uninstallKRX.exe S", false, false, "", "S"},
        {"uninstallKRX.exe -S", false, false, "", "-S"},
        {"\"C:\\dir /S\\uninstallKRX.exe\"", false, false, ""},
        {"C:\\dir/S\\uninstallKRX.exe", false, false, ""},
        {"\"C:\\unclosed /S", false, false, ""},
        {"setup.exe /S /bogus /other", true, false, "", "/bogus"},
        {"setup.exe /S /" + std::string(100, 'b'), true, false, "", "/" + std::string(62, 'b')},
        {"", false, false, ""},
        {"setup.exe /? /s", true, true, ""},
        {"setup.exe /S /LOG=C:\\x.log", true, false, "C:\\x.log"},
        {"setup.exe /log=c:\\x.log /s", true, false, "c:\\x.log"},
        {"setup.exe /S /LOG=\"C:\\a b\\x.log\"", true, false, "C:\\a b\\x.log"},
        {"setup.exe \"/LOG=C:\\a b\\x.log\" /S", true, false, "C:\\a b\\x.log"},
        {"setup.exe /LOG=\"C:\\a b\\x.log /S", false, false, "C:\\a b\\x.log /S"},
        {"setup.exe /LOG= /S", true, false, "", "/LOG="},
        {"setup.exe /LOG /LOGFILE=x /S\"\"", true, false, "", "/LOG"},
        {"setup.exe /LOG=a.log /LOG=b.log", false, false, "b.log"},
        // A path too long is no path cut short.
        {"setup.exe /LOG=" + longPath + " /S", true, false, "", ("/LOG=" + longPath).substr(0, 63)},
        {"setup.exe \"" + longPath + "\" /S", true, false, "", longPath.substr(0, 63)},
    };
    for (const auto& c : cases) {
        const CommandLineSwitches switches = ParseCommandLine(c.line.c_str());
        EXPECT_EQ(switches.silent, c.silent) << c.line;
        EXPECT_EQ(switches.usage, c.usage) << c.line;
        EXPECT_STREQ(switches.logPath, c.log) << c.line;
        EXPECT_EQ(switches.unknown, c.unknown) << c.line;
    }
}

// The paths the uninstaller looks at, as it forms them in its folders (a
// path that does not fit is left out), the shared ones marked with a "*".
std::vector<std::string> Paths(const char* name, const char* driverDir, Machine machine = Machine::X86) {
    std::vector<std::string> out;
    PlannedFile files[kMaxInstalledFiles];
    for (size_t i = 0, count = FilesOfAnyInstall(name, machine, files); i < count; ++i) {
        char folder[MAX_PATH], path[MAX_PATH];
        if (PlaceFolder(files[i].place, driverDir, folder) && AfxFormat(path, "%s\\%s", folder, files[i].name))
            out.push_back((files[i].shared ? "*" : "") + std::string(path));
    }
    std::sort(out.begin(), out.end());
    return out;
}

TEST(InstalledFiles, AreTheStagedTheCopiedAndTheVersion3Files) {
    const char* d = "C:\\windows\\system32\\spool\\drivers\\w32x86";
    // "*": a shared name, which every install writes.
    std::vector<std::string> expected = {
        "C:\\TEMP\\uninstallMERLO.exe", "C:\\TEMP\\MERLO.INF", "*C:\\TEMP\\STDNAMES.GPD", "C:\\TEMP\\MERLO.GPD",
        "C:\\TEMP\\MERLO.INI", "*C:\\TEMP\\ZIKU.UFM", "*C:\\TEMP\\UNIDRV.DLL", "*C:\\TEMP\\UNIDRV.HLP",
        "*C:\\TEMP\\UNIDRVUI.DLL", "*C:\\TEMP\\UNIRES.DLL", "C:\\TEMP\\MERLOD.dll", "C:\\TEMP\\MERLOF.dll",
        "C:\\TEMP\\MERLORES.DLL", "*C:\\TEMP\\temp.txt",
        "C:\\TEMP\\I386\\MERLOD.dll", "C:\\TEMP\\I386\\MERLOF.dll", "C:\\TEMP\\I386\\MERLORES.DLL",
        "C:\\TEMP\\x86\\MERLOD.dll", "C:\\TEMP\\x86\\MERLOF.dll", "C:\\TEMP\\x86\\MERLORES.DLL",
    };
    for (const char* f : {"uninstallMERLO.exe", "MERLO.GPD", "MERLO.INI", "MERLORES.DLL", "MERLOD.dll", "MERLOF.dll"})
        expected.push_back(std::string(d) + "\\" + f);
    for (const char* f : {"UNIDRV.DLL", "UNIDRVUI.DLL", "UNIDRV.HLP", "UNIRES.DLL", "STDNAMES.GPD", "ZIKU.UFM"})
        expected.push_back("*" + std::string(d) + "\\" + f);
    for (const char* f : {"MERLO.GPD", "MERLO.INI", "MERLOD.dll", "MERLOF.dll", "MERLORES.DLL"})
        expected.push_back(std::string(d) + "\\3\\" + f);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Paths("MERLO", d), expected);
}

// On 64-bit Windows the x64 set's: no Unidrv core and no STDNAMES.GPD
// (the system's), the model DLLs in amd64 alone, the maker's catalog.
TEST(InstalledFiles, OnX64AreTheX64SetsOnly) {
    const char* d = "C:\\windows\\system32\\spool\\drivers\\x64";
    std::vector<std::string> expected = {
        "C:\\TEMP\\uninstallKRX.exe", "C:\\TEMP\\KRX.INF", "C:\\TEMP\\KRX.GPD", "C:\\TEMP\\KRX.INI",
        "*C:\\TEMP\\ZIKU.UFM", "C:\\TEMP\\KRX.cat", "*C:\\TEMP\\temp.txt",
        "C:\\TEMP\\amd64\\KRXD.dll", "C:\\TEMP\\amd64\\KRXF.dll", "C:\\TEMP\\amd64\\KRXRES.DLL",
    };
    for (const char* f : {"uninstallKRX.exe", "KRX.GPD", "KRX.INI", "KRXRES.dll", "KRXD.dll", "KRXF.dll"})
        expected.push_back(std::string(d) + "\\" + f);
    expected.push_back("*" + std::string(d) + "\\ZIKU.UFM");
    for (const char* f : {"KRX.GPD", "KRX.INI", "KRXD.dll", "KRXF.dll", "KRXRES.DLL"})
        expected.push_back(std::string(d) + "\\3\\" + f);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(Paths("KRX", d, Machine::X64), expected);
    EXPECT_FALSE(SetBringsUnidrvCore(Machine::X64));
    EXPECT_TRUE(SetBringsUnidrvCore(Machine::X86));
}

TEST(InstalledFiles, WithoutADriverFolderOnlyTheStagedFiles) {
    for (const std::string& p : Paths("KRX", "")) EXPECT_EQ(p.find("C:\\TEMP\\"), p[0] == '*' ? 1u : 0u) << p;
    EXPECT_EQ(Paths("KRX", "").size(), 20u);
}

TEST(InstalledFiles, PathsThatWouldNotFitAreLeftOutNeverCut) {
    std::string dir = "C:\\" + std::string(200, 'd');
    for (size_t length : {1u, 30u, 45u, 50u, 60u, 250u}) {
        std::string name(length, 'n');
        std::vector<std::string> paths = Paths(name.c_str(), dir.c_str());
        for (std::string p : paths) {
            if (p[0] == '*') p.erase(0, 1);
            EXPECT_LT(p.size(), size_t(MAX_PATH));
            // Whole paths only: every one ends in a whole file name.
            bool whole = false;
            for (const char* end : {".exe", ".INF", ".GPD", ".INI", ".UFM", ".DLL", ".dll", ".HLP", ".txt"})
                whole = whole || p.compare(p.size() - 4, 4, end) == 0;
            EXPECT_TRUE(whole) << p;
        }
        if (length == 1) {
            EXPECT_EQ(paths.size(), 37u);
        }
        if (length == 250) {   // no install can have had the name: only the scratch file is left
            EXPECT_EQ(paths, std::vector<std::string>{"*C:\\TEMP\\temp.txt"});
        }
    }
}

TEST(UninstallKey, IsTheInstallsKeyAndRefusesNamesThatDoNotFit) {
    char key[MAX_PATH];
    ASSERT_TRUE(UninstallKeyFor("KRX", key));
    EXPECT_STREQ(key, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KRX printer");
    EXPECT_TRUE(UninstallKeyFor(std::string(199, 'n').c_str(), key));
    EXPECT_FALSE(UninstallKeyFor(std::string(200, 'n').c_str(), key));
    EXPECT_STREQ(key, "");
}

TEST(Texts, FollowTheSystemLanguage) {
    EXPECT_EQ(LanguageOfSystem(0x0804), TextLanguage::Simplified);
    for (LANGID id : {0x0404, 0x0C04, 0x1004, 0x1404, 0x7C04}) EXPECT_EQ(LanguageOfSystem(id), TextLanguage::Traditional) << id;
    for (LANGID id : {0x0409, 0x0407, 0x0411, 0x0412, 0x0000}) EXPECT_EQ(LanguageOfSystem(id), TextLanguage::English) << id;
}

TEST(Texts, ChineseTextsAreGbkAndBig5Bytes) {
    // "%s 打印机驱动程序已删除。" in GBK and "%s 打印機驅動程序已刪除。" in Big5.
    EXPECT_STREQ(kUninstallTexts.removed.simplified,
                 "%s \xB4\xF2\xD3\xA1\xBB\xFA\xC7\xFD\xB6\xAF\xB3\xCC\xD0\xF2\xD2\xD1\xC9\xBE\xB3\xFD\xA1\xA3");
    EXPECT_STREQ(kUninstallTexts.removed.traditional,
                 "%s \xA5\xB4\xA6\x4C\xBE\xF7\xC5\x58\xB0\xCA\xB5\x7B\xA7\xC7\xA4\x77\xA7\x52\xB0\xA3\xA1\x43");
    // Every text converts cleanly from its code page, and each takes exactly
    // the one argument it is given.
    for (auto [language, codePage] : {std::pair{TextLanguage::Simplified, 936u}, {TextLanguage::Traditional, 950u},
                                      {TextLanguage::English, 1252u}}) {
        const UninstallTexts& t = kUninstallTexts;
        for (const LocalizedText* each : {&t.confirm, &t.removed, &t.incomplete, &t.restart, &t.notInstalled,
                                          &t.badProgramName, &t.more, &t.printer, &t.driver, &t.file, &t.registryKey, &t.inUse,
                                          &t.accessDenied, &t.otherError}) {
            const char* s = TextIn(*each, language);
            wchar_t wide[512];
            EXPECT_GT(MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, s, -1, wide, 512), 0) << s;
            std::string text = s;
            size_t percents = std::count(text.begin(), text.end(), '%');
            bool takesArgument = each == &t.confirm || each == &t.removed || each == &t.incomplete || each == &t.restart ||
                                 each == &t.notInstalled || each == &t.more || each == &t.otherError;
            EXPECT_EQ(percents, takesArgument ? 1u : 0u) << s;
        }
    }
}

TEST(Outcome, ListsEveryRemainingItemWithItsReason) {
    const TextLanguage t = TextLanguage::English;
    RemovalReport report;
    char text[4096];
    ASSERT_TRUE(ComposeOutcome(t, "KRX", report, text, sizeof text));
    EXPECT_STREQ(text, "The KRX printer driver has been removed.");

    // Files that go at the restart: removed, once the computer restarts.
    report.AddAtRestart(ItemKind::File, "C:\\TEMP\\KRX.INF", ERROR_SHARING_VIOLATION);
    report.AddAtRestart(ItemKind::File, "C:\\TEMP\\x86\\KRXD.dll", ERROR_ACCESS_DENIED);
    EXPECT_TRUE(report.Complete());
    ASSERT_TRUE(ComposeOutcome(t, "KRX", report, text, sizeof text));
    EXPECT_STREQ(text,
                 "The KRX printer driver has been removed. Restart the computer to finish: Windows then deletes "
                 "these files, which are still in use:\r\n"
                 "File: C:\\TEMP\\KRX.INF (in use)\r\n"
                 "File: C:\\TEMP\\x86\\KRXD.dll (access denied)");

    // With anything that stays, only that is listed.
    report.Add(ItemKind::Printer, "KRX (Copy 1)", ERROR_ACCESS_DENIED);
    report.Add(ItemKind::Driver, "KRX", ERROR_PRINTER_DRIVER_IN_USE);
    report.Add(ItemKind::File, "C:\\TEMP\\KRX.GPD", ERROR_SHARING_VIOLATION);
    report.Add(ItemKind::RegistryKey, "SOFTWARE\\X\\KRX printer", 1234);
    ASSERT_TRUE(ComposeOutcome(t, "KRX", report, text, sizeof text));
    EXPECT_STREQ(text,
                 "The KRX printer driver could not be removed completely. These items remain:\r\n"
                 "Printer: KRX (Copy 1) (access denied)\r\n"
                 "Driver: KRX (in use)\r\n"
                 "File: C:\\TEMP\\KRX.GPD (in use)\r\n"
                 "Registry key: HKEY_LOCAL_MACHINE\\SOFTWARE\\X\\KRX printer (error 1234)");
}

TEST(Outcome, AListTooLongForTheMessageEndsWithTheCountOfTheRest) {
    const TextLanguage t = TextLanguage::English;
    RemovalReport report;
    for (int i = 0; i < 100; ++i)
        report.Add(ItemKind::File, ("C:\\" + std::string(200, 'f') + std::to_string(i)).c_str(), 5);
    char text[4096];
    ASSERT_TRUE(ComposeOutcome(t, "%s%n", report, text, sizeof text));
    std::string s = text;
    EXPECT_EQ(s.rfind("The %s%n printer driver could not", 0), 0u);
    size_t lines = std::count(s.begin(), s.end(), '\n');
    ASSERT_GT(lines, 2u);
    // All listed lines are whole, and the last one counts the others.
    EXPECT_NE(s.find("f" + std::to_string(lines - 2) + " (access denied)\r\n"), std::string::npos);
    EXPECT_EQ(s.substr(s.rfind('\n') + 1), "...and " + std::to_string(100 - (lines - 1)) + " more.");

    // More items than the report keeps, each with the shortest line there
    // can be: the message is cut by its size alone, and counts every item.
    RemovalReport many;
    for (int i = 0; i < 1000; ++i) many.Add(ItemKind::File, "f", ERROR_BUSY);
    EXPECT_FALSE(many.Complete());
    EXPECT_EQ(many.ListedCount(), kMaxListedItems);
    ASSERT_TRUE(ComposeOutcome(t, "KRX", many, text, sizeof text));
    s = text;
    const size_t listed = std::count(s.begin(), s.end(), '\n') - 1;
    EXPECT_LT(listed, kMaxListedItems);
    EXPECT_GT(s.size() + 64 + 18, sizeof text) << "room left for another line";
    EXPECT_EQ(s.substr(s.rfind('\n') + 1), "...and " + std::to_string(1000 - listed) + " more.");

    // A buffer that holds only the first line still gives a message.
    char small[120];
    ASSERT_TRUE(ComposeOutcome(t, "KRX", report, small, sizeof small));
    EXPECT_STREQ(small, "The KRX printer driver could not be removed completely. These items remain:");
    char tiny[20];
    EXPECT_FALSE(ComposeOutcome(t, "KRX", report, tiny, sizeof tiny));
}

}  // namespace
