// The install plan for every system, system language, language choice and
// printer name, checked against ids, names, command lines and registry
// values written out here.
#include "payload/install_plan.h"
#include "payload/payload_resource.h"
#include "payload/test_receipt.h"
#include "framework/system_files.h"
#include <gtest/gtest.h>
#include <string>
#include <algorithm>
#include <vector>

namespace {

const char* const kDriverFolder = "D:\\drivers";

// The ids of one payload set, written out by hand: variants in the order
// Chinese / non-Chinese core, Simplified / Traditional / English plug-ins,
// and the letter case of its model DLLs' copies; 0 for a file the set has
// not.
struct SetIds {
    unsigned short stdnames, gpd, ini, render, ufm;
    unsigned short chineseCore[4], otherCore[4];   // DLL, HLP, UI, RES
    unsigned short uiPlugin[3], resourceDll[3];    // Simplified, Traditional, English
    const char* copies[3];                         // resource DLL, rendering and user-interface plug-in
    unsigned short inf, catalog;
};
const SetIds kXp = {153, 155, 159, 156, 154, {149, 152, 150, 151}, {163, 164, 165, 166},
                    {157, 249, 161}, {158, 254, 162}, {"RES.DLL", "D.dll", "F.dll"}, 256, 0};
const SetIds kWin2000 = {168, 169, 170, 171, 154, {172, 173, 174, 175}, {176, 177, 178, 179},
                         {184, 250, 182}, {185, 252, 183}, {"RES.DLL", "D.DLL", "F.DLL"}, 256, 0};
const SetIds kGeneral = {186, 187, 188, 189, 154, {190, 191, 192, 193}, {196, 197, 198, 199},
                         {194, 251, 200}, {195, 253, 201}, {"RES.dll", "D.dll", "F.dll"}, 256, 0};
// 64-bit Windows: no Unidrv core and no standard names (the system's).
const SetIds kX64 = {0, 264, 265, 257, 154, {}, {}, {258, 259, 260}, {261, 262, 263}, {"RES.dll", "D.dll", "F.dll"},
                     266, 267};

InstallChoices Choices(int os, LANGID language, short choice, const std::string& printer, bool setDefault = true,
                       Machine machine = Machine::X86) {
    InstallChoices choices = {};
    choices.machine = machine;
    lstrcpynA(choices.printerName, printer.c_str(), sizeof choices.printerName);
    choices.osCode = os;
    choices.systemLanguage = language;
    choices.languageIndex = choice;
    choices.setDefaultPrinter = setDefault;
    ListedPortChoice("LPT1:", choices.port);
    return choices;
}

bool Builds(int os, LANGID language, short choice, const std::string& printer, const char* driverFolder) {
    static InstallPlan plan;
    return BuildInstallPlan(Choices(os, language, choice, printer), driverFolder, plan);
}

const InstallPlan& Plan(const InstallChoices& choices, const char* driverFolder = kDriverFolder) {
    static InstallPlan plan;
    plan = InstallPlan();
    EXPECT_TRUE(BuildInstallPlan(choices, driverFolder, plan)) << choices.printerName;
    return plan;
}
const InstallPlan& Plan(int os, LANGID language, short choice, const std::string& printer,
                        const char* driverFolder = kDriverFolder) {
    return Plan(Choices(os, language, choice, printer), driverFolder);
}

std::string Path(const PlannedFile& file) {
    char folder[MAX_PATH];
    return PlaceFolder(file.place, kDriverFolder, folder) ? std::string(folder) + "\\" + file.name : "<no folder>";
}

// Every step as a line: "write 153 ... (2)", "remove ...", "run ...",
// "set DisplayName = ...".
std::vector<std::string> Steps(const InstallPlan& plan) {
    std::vector<std::string> lines;
    for (size_t i = 0; i < plan.stepCount; ++i) {
        const InstallStep& s = plan.steps[i];
        switch (s.kind) {
        case StepKind::MakePort: lines.push_back(std::string("make port ") + s.text); break;
        case StepKind::HoldFolders: lines.push_back("hold folders"); break;
        case StepKind::WriteFile:
            lines.push_back("write " + std::to_string(s.id) + " " + Path(s.file) +
                            (s.rewrite != kWriteUnchanged ? " (" + std::to_string(s.rewrite) + ")" : ""));
            break;
        case StepKind::RemoveFile: lines.push_back("remove " + Path(s.file)); break;
        case StepKind::DeleteForm: lines.push_back(std::string("delete form ") + s.text); break;
        case StepKind::RunInstaller: lines.push_back(std::string("run ") + s.text); break;
        case StepKind::CheckPrinter: lines.push_back(std::string("check printer ") + s.text); break;
        case StepKind::SetValue:
            lines.push_back(std::string(s.key == EntryKey::ActiveSetup ? "set every user's " : "set ") + s.value + " = " +
                            (s.isNumber ? "dword " + std::to_string(s.number) : s.text) +
                            (s.onlyIfPortMade ? " (if made)" : ""));
            break;
        case StepKind::SetDefault: lines.push_back(std::string("default ") + s.text); break;
        case StepKind::PrintReceipt: lines.push_back(std::string("receipt to ") + s.text); break;
        }
    }
    return lines;
}

// The printer installer's input: the INF's path, quoted when it holds a blank.
std::string Inf(const std::string& p) {
    const std::string inf = "C:\\TEMP\\" + p + ".INF";
    return p.find(' ') == std::string::npos ? inf : "\"" + inf + "\"";
}

std::vector<std::string> Expected(const SetIds& s, bool chineseCore, int plugin, const std::string& p,
                                  bool setDefault = true) {
    const unsigned short* core = chineseCore ? s.chineseCore : s.otherCore;
    const std::string t = "C:\\TEMP", d = kDriverFolder;
    std::vector<std::string> steps = {"hold folders"};
    // Everything new first; the driver folder's copies are written from the
    // program's bytes; a rewritten file's scratch copy goes to the staging
    // folder just before it.
    steps.push_back("write 255 " + t + "\\uninstall" + p + ".exe");
    steps.push_back("write " + std::to_string(s.inf) + " " + t + "\\" + p + ".INF (2)");
    steps.push_back("write 255 " + d + "\\uninstall" + p + ".exe");
    // The model DLLs: three places on x86, amd64 alone on x64.
    const std::vector<const char*> dllFolders =
        s.catalog ? std::vector<const char*>{"\\amd64"} : std::vector<const char*>{"", "\\I386", "\\x86"};
    auto write = [&](unsigned short id, const std::string& name, bool dll, const char* rewrite = "") {
        if (!id) return;
        if (*rewrite) steps.push_back("write " + std::to_string(id) + " " + t + "\\temp.txt");
        for (const char* folder : dll ? dllFolders : std::vector<const char*>{""})
            steps.push_back("write " + std::to_string(id) + " " + t + folder + "\\" + name + rewrite);
    };
    auto copy = [&](unsigned short id, const std::string& name, const char* rewrite = "") {
        if (id) steps.push_back("write " + std::to_string(id) + " " + d + "\\" + name + rewrite);
    };
    write(s.stdnames, "STDNAMES.GPD", false);
    write(s.gpd, p + ".GPD", false, " (1)");
    write(s.ini, p + ".INI", false, " (1)");
    write(s.render, p + "D.dll", true);
    write(s.ufm, "ZIKU.UFM", false);
    write(core[0], "UNIDRV.DLL", false);
    write(core[1], "UNIDRV.HLP", false);
    write(core[2], "UNIDRVUI.DLL", false);
    write(core[3], "UNIRES.DLL", false);
    write(s.uiPlugin[plugin], p + "F.dll", true);
    write(s.resourceDll[plugin], p + "RES.DLL", true);
    write(s.catalog, p + ".cat", false);
    copy(core[0], "UNIDRV.DLL");
    copy(s.gpd, p + ".GPD", " (1)");
    copy(core[2], "UNIDRVUI.DLL");
    copy(core[1], "UNIDRV.HLP");
    copy(core[3], "UNIRES.DLL");
    copy(s.stdnames, "STDNAMES.GPD");
    copy(s.ufm, "ZIKU.UFM");
    copy(s.ini, p + ".INI", " (1)");
    copy(s.resourceDll[plugin], p + s.copies[0]);
    copy(s.render, p + s.copies[1]);
    copy(s.uiPlugin[plugin], p + s.copies[2]);
    // An earlier run's model files in folder 3, then the printer installer,
    // its check, the uninstall entry and the default printer.
    for (const char* suffix : {".GPD", ".INI", "D.dll", "F.dll", "RES.DLL"}) steps.push_back("remove " + d + "\\3\\" + p + suffix);
    steps.push_back("delete form papersize(80x3275mm)");
    steps.push_back("run rundll32.exe printui.dll,PrintUIEntry /if /f " + Inf(p) + " /r \"LPT1:\" /b \"" + p + "\" /m \"" +
                    p + "\" ");
    steps.push_back("check printer " + p);
    steps.push_back("set DisplayName = " + p + " printer driver uninstall");
    const std::string uninstaller = d + "\\uninstall" + p + ".exe";
    steps.push_back("set UninstallString = " + (p.find(' ') == std::string::npos ? uninstaller : "\"" + uninstaller + "\""));
    steps.push_back("set DisplayIcon = " + d + "\\uninstall" + p + ".exe,-0");
    steps.push_back("set Publisher = " + p + " printer");
    // What the install is detected by; its size the KB of the embedded
    // files the lines above write, each path once.
    steps.push_back(std::string("set DisplayVersion = ") + kDriverVersion);
    SYSTEMTIME today;
    GetLocalTime(&today);
    char date[16];
    snprintf(date, sizeof date, "%04u%02u%02u", today.wYear, today.wMonth, today.wDay);
    steps.push_back(std::string("set InstallDate = ") + date);
    std::vector<std::string> written;
    unsigned long bytes = 0;
    for (const std::string& step : steps) {
        if (step.find("write ") != 0) continue;
        const size_t blank = step.find(' ', 6);
        const std::string path = step.substr(blank + 1, step.find(" (") == std::string::npos ? std::string::npos
                                                                                             : step.find(" (") - blank - 1);
        PayloadBytes payload;
        if (std::find(written.begin(), written.end(), path) != written.end() ||
            !FindPayload(static_cast<unsigned>(std::stoul(step.substr(6, blank - 6))), payload))
            continue;
        written.push_back(path);
        bytes += payload.size;
    }
    steps.push_back("set EstimatedSize = dword " + std::to_string((bytes + 1023) / 1024));
    steps.push_back("set NoModify = dword 1");
    steps.push_back("set NoRepair = dword 1");
    if (setDefault) steps.push_back("default rundll32 printui.dll,PrintUIEntry /y /n \"" + p + "\"");
    return steps;
}

// The x64 column: the same inputs on 64-bit Windows give the x64 set's
// files, whatever the version, in the x64 folders.
TEST(InstallPlanTest, WholeInputSpaceMatchesTheTableWrittenOut) {
    for (Machine machine : {Machine::X86, Machine::X64})
        for (int os = -1; os <= 11; ++os)
            for (LANGID language : {0x0804, 0x0404, 0x0C04, 0x0409, 0x0407})
                for (short choice : {-1, 0, 1}) {
                    const SetIds& set = machine == Machine::X64 ? kX64 : os == 7 ? kXp : os == 6 ? kWin2000 : kGeneral;
                    bool chineseSystem = (language & 0xFF) == 0x04;
                    int plugin = choice != 0 ? 2 : language == 0x0804 ? 0 : 1;
                    const InstallPlan& plan = Plan(Choices(os, language, choice, "KRX", true, machine));
                    EXPECT_EQ(Steps(plan), Expected(set, chineseSystem, plugin, "KRX"))
                        << "x64 " << (machine == Machine::X64) << " os " << os << " language " << std::hex << language
                        << " choice " << choice;
                    EXPECT_EQ(plan.machine, machine);
                }
}

// What the install applies besides its steps: the spooler environment and
// the folders it takes, a folder before those in it.
TEST(InstallPlanTest, EnvironmentAndFoldersOfEachMachine) {
    const struct {
        Machine machine;
        const char* environment;
        std::vector<std::string> folders;
    } cases[] = {
        {Machine::X86, "Windows NT x86", {"C:\\TEMP", "C:\\TEMP\\I386", "C:\\TEMP\\x86", "D:\\drivers", "D:\\drivers\\3"}},
        {Machine::X64, "Windows x64", {"C:\\TEMP", "C:\\TEMP\\amd64", "D:\\drivers", "D:\\drivers\\3"}},
    };
    for (const auto& c : cases) {
        const InstallPlan& plan = Plan(Choices(10, 0x0409, 1, "KRX", true, c.machine));
        EXPECT_STREQ(plan.environment, c.environment);
        EXPECT_STREQ(DriverEnvironmentOf(c.machine), c.environment);
        std::vector<std::string> folders;
        for (size_t i = 0; i < plan.placeCount; ++i) {
            char folder[MAX_PATH];
            folders.push_back(PlaceFolder(plan.places[i], kDriverFolder, folder) ? folder : "<none>");
        }
        EXPECT_EQ(folders, c.folders);
    }
}

// The name forms the model files, the entry and the installer's input, and
// is text, never a format; the INF's path is quoted when it holds a blank,
// or the installer would read C:\TEMP\My. Without the default printer
// chosen there is no default-printer command.
TEST(InstallPlanTest, PrinterNameNamesTheModelTheEntryAndTheInstallersInput) {
    for (const std::string name : {"MERLO", "%s%n%d", "My Printer"})
        for (bool setDefault : {true, false})
            for (Machine machine : {Machine::X86, Machine::X64}) {
                const InstallPlan& plan = Plan(Choices(9, 0x0804, 0, name, setDefault, machine));
                EXPECT_EQ(Steps(plan), Expected(machine == Machine::X64 ? kX64 : kGeneral, true, 0, name, setDefault))
                    << name << setDefault;
                EXPECT_EQ(std::string(plan.printer), name);
                EXPECT_EQ(std::string(plan.uninstallKey),
                          "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + name + " printer");
            }
}

// The port goes into the installer's command; a network port is made
// before anything is written and recorded in the entry only when this
// install made it; the test receipt comes last. Without a test receipt and
// on LPT1: the plan is the one above.
TEST(InstallPlanTest, PortAndTestReceipt) {
    const struct {
        const char* port;   // a listed port, or "ip:" and an address
        bool receipt;
        std::vector<std::string> first, last;   // steps before "hold folders", after "default"
        const char* entry;   // the port's value in the entry, "" for none
    } cases[] = {
        {"USB001", false, {}, {}, ""},
        {"COM2:", true, {}, {"receipt to COM2:"}, ""},
        {"ip:192.168.1.20", true, {"make port IP_192.168.1.20"}, {"receipt to IP_192.168.1.20"},
         "set SetupMadePort = IP_192.168.1.20 (if made)"},
        {"ip:till.example:9200", false, {"make port IP_till.example_9200"}, {}, "set SetupMadePort = IP_till.example_9200 (if made)"},
    };
    for (const auto& c : cases) {
        InstallChoices choices = Choices(10, 0x0409, 1, "KRX");
        const std::string port = c.port;
        ASSERT_TRUE(port.rfind("ip:", 0) == 0 ? ParseNetworkAddress(c.port + 3, choices.port)
                                              : ListedPortChoice(c.port, choices.port));
        choices.testReceipt = c.receipt;
        std::vector<std::string> expected = Expected(kGeneral, false, 2, "KRX");
        for (std::string& step : expected)
            if (step.find("run ") == 0) step.replace(step.find("LPT1:"), 5, choices.port.name);
        expected.insert(expected.begin(), c.first.begin(), c.first.end());
        if (c.entry[0]) expected.insert(expected.end() - 1, c.entry);
        expected.insert(expected.end(), c.last.begin(), c.last.end());
        const InstallPlan& plan = Plan(choices);
        EXPECT_EQ(Steps(plan), expected) << c.port;
        EXPECT_STREQ(plan.port.name, choices.port.name);
    }
    // A name the command line cannot take between its quotes is refused.
    for (const char* name : {"US\"B", "LPT1:,LPT2:", "C:\\ports\\", ""}) {
        InstallChoices choices = Choices(10, 0x0409, 1, "KRX");
        lstrcpynA(choices.port.name, name, sizeof choices.port.name);
        static InstallPlan plan;
        EXPECT_FALSE(BuildInstallPlan(choices, kDriverFolder, plan)) << name;
    }
}

// Every user's default printer: the Active Setup component, before this
// user's default (when that is chosen too), runs the system's rundll32 by
// its full path at each user's logon; its version is the build's.
TEST(InstallPlanTest, EveryUsersDefaultThroughActiveSetup) {
    char rundll32[MAX_PATH];
    ASSERT_TRUE(AfxSystemPath(rundll32, "rundll32.exe"));
    std::string version = kDriverVersion;
    std::replace(version.begin(), version.end(), '.', ',');
    for (bool thisUser : {true, false}) {
        InstallChoices choices = Choices(10, 0x0409, 1, "My Till", thisUser);
        choices.defaultForEveryUser = true;
        std::vector<std::string> expected = Expected(kGeneral, false, 2, "My Till", thisUser);
        const std::vector<std::string> everyUser = {
            "set every user's  = My Till printer default printer",
            std::string("set every user's StubPath = ") + rundll32 + " printui.dll,PrintUIEntry /y /n \"My Till\"",
            "set every user's Version = " + version, "set every user's IsInstalled = dword 1"};
        expected.insert(expected.end() - (thisUser ? 1 : 0), everyUser.begin(), everyUser.end());
        const InstallPlan& plan = Plan(choices);
        EXPECT_EQ(Steps(plan), expected) << thisUser;
        EXPECT_STREQ(plan.activeSetupKey, "SOFTWARE\\Microsoft\\Active Setup\\Installed Components\\My Till printer");
    }
}

// The uninstaller's command is quoted when the driver folder holds a blank;
// without a driver folder the entry names none.
TEST(InstallPlanTest, UninstallCommandAndIcon) {
    const struct {
        const char* folder;
        std::string command, icon;
    } cases[] = {{"C:\\spool\\w32x86", "C:\\spool\\w32x86\\uninstallKRX.exe", "C:\\spool\\w32x86\\uninstallKRX.exe,-0"},
                 {"C:\\Program Files\\w32x86", "\"C:\\Program Files\\w32x86\\uninstallKRX.exe\"",
                  "C:\\Program Files\\w32x86\\uninstallKRX.exe,-0"},
                 {"", "", ""}};
    for (const auto& c : cases) {
        std::vector<std::string> values;
        for (const std::string& step : Steps(Plan(10, 0x0409, 1, "KRX", c.folder)))
            if (step.find("set Uninstall") == 0 || step.find("set DisplayIcon") == 0) values.push_back(step);
        std::vector<std::string> expected;
        if (!c.command.empty()) expected = {"set UninstallString = " + c.command, "set DisplayIcon = " + c.icon};
        EXPECT_EQ(values, expected) << c.folder;
    }
}

// The printer installer's command takes the name three times and leaves 59
// characters for it; a driver folder too long for the longest path makes
// the plan not fit there, never cut.
TEST(InstallPlanTest, NamesAndFoldersThatDoNotFitAreRefused) {
    const std::string longest(59, 'N');
    EXPECT_TRUE(Builds(7, 0x0804, 0, longest, "C:\\windows\\system32\\spool\\drivers\\w32x86"));
    EXPECT_FALSE(Builds(7, 0x0804, 0, longest, ("C:\\" + std::string(190, 'd')).c_str()));
    EXPECT_TRUE(Builds(7, 0x0804, 0, longest, ""));   // no driver folder: its steps are skipped
    EXPECT_FALSE(Builds(7, 0x0804, 0, std::string(60, 'N'), ""));
    EXPECT_FALSE(Builds(7, 0x0804, 0, "My Printer Name Of Fifty-Nine Characters Is Quoted Wholly 9", ""));   // with its quotes
    EXPECT_FALSE(Builds(7, 0x0804, 0, std::string(300, 'N'), ""));   // cut by the choices to 259
    // A model file that would overwrite a shared one: UNIRES.DLL, STDNAMES.GPD;
    // on x64 the system's, which the set does not bring.
    for (Machine machine : {Machine::X86, Machine::X64}) {
        static InstallPlan plan;
        for (const char* name : {"UNI", "uni", "STDNAMES", "StdNames"})
            EXPECT_FALSE(BuildInstallPlan(Choices(10, 0x0409, 1, name, true, machine), kDriverFolder, plan)) << name;
        EXPECT_TRUE(BuildInstallPlan(Choices(10, 0x0409, 1, "UNIX", true, machine), kDriverFolder, plan));
    }
}

// What any install of a name may leave: every set's files once, whatever
// their letter case, and the scratch file; the shared names marked.
TEST(InstallPlanTest, FilesOfAnyInstall) {
    PlannedFile files[kMaxInstalledFiles];
    size_t count = FilesOfAnyInstall("KRX", Machine::X86, files);
    ASSERT_EQ(count, 37u);
    size_t shared = 0;
    for (size_t i = 0; i < count; ++i) {
        shared += files[i].shared;
        EXPECT_EQ(files[i].shared, std::string(files[i].name).find("KRX") == std::string::npos) << files[i].name;
    }
    EXPECT_EQ(shared, 13u);   // six in the staging folder and the scratch file, six in the driver folder
    EXPECT_NE(std::find_if(files, files + count, [](const PlannedFile& f) { return Path(f) == "C:\\TEMP\\temp.txt"; }),
              files + count);
    EXPECT_EQ(FilesOfAnyInstall(std::string(200, 'N').c_str(), Machine::X86, files), 1u);
    EXPECT_EQ(FilesOfAnyInstall("KRX", Machine::X64, files), 22u);
    EXPECT_EQ(FilesOfAnyInstall("KRX", Machine::Other, files), count);
}

}  // namespace
