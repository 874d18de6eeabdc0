// The install sequence against Wine's real file system, registry and
// spooler, with every payload present (stand-in bytes for the files only
// the printer maker can supply).
#include "app_core/app_state.h"
#include "app/setup_app.h"
#include "payload/install_plan.h"
#include "system/spooler.h"
#include "install_test_support.h"
#include "spooler_support.h"
#include "test_support.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <set>
#include <thread>

namespace {

const LANGID kSystemLanguage = GetSystemDefaultLangID();
const std::string kUninstallRoot = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

std::set<std::string> Names(const std::string& folder) {
    std::vector<std::string> names = test::ListFolder(folder);
    return std::set<std::string>(names.begin(), names.end());
}

// Each install runs the printer installer stand-in on the files it wrote;
// a printer of that name on a driver of that name, with the setup's
// uninstall entry, stands for one installed earlier.
class InstallDriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        driverDir = test::PrinterDriverDirectory();
        ASSERT_FALSE(driverDir.empty());
        test::DeleteAllPrinters();
        ASSERT_TRUE(test::AddTestPrinter("Office Laser", "Office Laser Driver"));
        ASSERT_TRUE(test::AddEarlierInstall("KRX"));
        test::SetPrintUiDelay(0);
        DeleteFileA("C:\\printui.log");
        choices = PreselectedChoices("KRX");
        choices.osCode = 10;
        choices.languageIndex = 1;
    }

    // Staging folders and the driver folder's files from earlier tests go,
    // so that what is left is this install's.
    void CleanSlate() {
        test::EmptyFolder("C:\\TEMP");
        for (const std::string& name : test::ListFolder(driverDir))
            if (name != "testdrv.dll") DeleteFileA((driverDir + "\\" + name).c_str());
    }

    // The install's message, as the wizard would show it.
    std::string Install() {
        outcome = theApp.InstallDriver(choices);
        char text[1024];
        return OutcomeMessage(outcome, LanguageOf(choices), text, sizeof text) ? text : "<does not fit>";
    }

    // The 32-bit sets are installed on 32-bit Windows alone; on 64-bit
    // Windows the x64 set is, whatever the choices (FilesOfTheX64Set).
    bool On64BitWindows() const { return test::OnWindows64(); }

    std::string driverDir;
    InstallChoices choices;
    InstallOutcome outcome;
};
#define SKIP_ON_64_BIT_WINDOWS()                                                    \
    do {                                                                            \
        if (On64BitWindows()) GTEST_SKIP() << "the 32-bit sets: 32-bit Windows only"; \
    } while (false)

const char kInstalled[] = "The Printer Driver has been installed successfully!";

// The identifiers an install writes, in the catalogue's table order:
// STDNAMES.GPD, GPD, INI, rendering plug-in, ZIKU.UFM, UNIDRV.DLL,
// UNIDRV.HLP, UNIDRVUI.DLL, UNIRES.DLL, user-interface plug-in, resource DLL.
struct Case {
    LANGID systemLanguage;   // 0: any system language but Chinese
    int os;
    short languageIndex;
    unsigned ids[11];
};
const Case kCases[] = {
    {0x0804, 7, 0, {153, 155, 159, 156, 154, 149, 152, 150, 151, 157, 158}},
    {0x0804, 6, 0, {168, 169, 170, 171, 154, 172, 173, 174, 175, 184, 185}},
    {0x0804, 10, 1, {186, 187, 188, 189, 154, 190, 191, 192, 193, 200, 201}},
    {0x0804, 8, 0, {186, 187, 188, 189, 154, 190, 191, 192, 193, 194, 195}},
    {0x0404, 6, 0, {168, 169, 170, 171, 154, 172, 173, 174, 175, 250, 252}},
    {0x0404, 7, 1, {153, 155, 159, 156, 154, 149, 152, 150, 151, 161, 162}},
    {0x0404, 9, 0, {186, 187, 188, 189, 154, 190, 191, 192, 193, 251, 253}},
    {0, 10, 1, {186, 187, 188, 189, 154, 196, 197, 198, 199, 200, 201}},
    {0, 7, 0, {153, 155, 159, 156, 154, 163, 164, 165, 166, 249, 254}},
    {0, 6, -1, {168, 169, 170, 171, 154, 176, 177, 178, 179, 182, 183}},
};

bool Applies(const Case& c) {
    bool chinese = (kSystemLanguage & 0xFF) == 0x04;
    return c.systemLanguage ? c.systemLanguage == kSystemLanguage : !chinese;
}

std::string RewrittenGpd(const std::string& printer) {
    return "*ModelName: \"" + printer + "\"\n";
}

TEST_F(InstallDriverTest, FilesOfEachPayloadSetAndLanguage) {
    SKIP_ON_64_BIT_WINDOWS();
    int ran = 0;
    for (const Case& c : kCases) {
        if (!Applies(c)) continue;
        ++ran;
        SCOPED_TRACE("os " + std::to_string(c.os) + " language " + std::to_string(c.languageIndex));
        CleanSlate();
        choices.osCode = c.os;
        choices.languageIndex = c.languageIndex;
        Install();
        EXPECT_EQ(outcome.result, InstallResult::Installed);

        const unsigned* id = c.ids;
        EXPECT_EQ(Names("C:\\TEMP"),
                  (std::set<std::string>{"I386", "x86", "temp.txt", "uninstallKRX.exe", "KRX.INF", "STDNAMES.GPD",
                                         "KRX.GPD", "KRX.INI", "KRXD.dll", "ZIKU.UFM", "UNIDRV.DLL", "UNIDRV.HLP",
                                         "UNIDRVUI.DLL", "UNIRES.DLL", "KRXF.dll", "KRXRES.DLL"}));
        const std::pair<const char*, unsigned> raw[] = {
            {"uninstallKRX.exe", 255}, {"KRX.INF", 256},     {"STDNAMES.GPD", id[0]}, {"KRXD.dll", id[3]},
            {"ZIKU.UFM", id[4]},       {"UNIDRV.DLL", id[5]}, {"UNIDRV.HLP", id[6]},   {"UNIDRVUI.DLL", id[7]},
            {"UNIRES.DLL", id[8]},     {"KRXF.dll", id[9]},   {"KRXRES.DLL", id[10]}};
        for (const auto& file : raw)
            EXPECT_EQ(test::ReadFileBytes(std::string("C:\\TEMP\\") + file.first), test::EmbeddedPayload(file.second))
                << file.first;
        std::string gpd = test::ReadFileBytes("C:\\TEMP\\KRX.GPD");
        EXPECT_NE(gpd.find(RewrittenGpd("KRX")), std::string::npos);
        EXPECT_EQ(gpd.find('\r'), std::string::npos);
        EXPECT_EQ(test::ReadFileBytes("C:\\temp\\temp.txt"), test::EmbeddedPayload(id[2]));   // the last rewritten: the INI
        EXPECT_EQ(test::ReadFileBytes("C:\\TEMP\\KRX.INI"),
                  "[OEMFiles]\nOEMDriverFile1=KRXD.DLL\nOEMConfigFile1=KRXF.DLL\n\n");

        for (const char* sub : {"C:\\TEMP\\I386", "C:\\TEMP\\x86"}) {
            EXPECT_EQ(Names(sub), (std::set<std::string>{"KRXD.dll", "KRXF.dll", "KRXRES.DLL"})) << sub;
            EXPECT_EQ(test::ReadFileBytes(std::string(sub) + "\\KRXD.dll"), test::EmbeddedPayload(id[3]));
            EXPECT_EQ(test::ReadFileBytes(std::string(sub) + "\\KRXF.dll"), test::EmbeddedPayload(id[9]));
            EXPECT_EQ(test::ReadFileBytes(std::string(sub) + "\\KRXRES.DLL"), test::EmbeddedPayload(id[10]));
        }

        // The driver folder: the uninstaller and eleven files, the plug-ins
        // under their set's letter case; neither the INF nor the scratch file.
        std::set<std::string> expected = {"testdrv.dll", "3",          "uninstallKRX.exe", "UNIDRV.DLL",
                                          "KRX.GPD",     "UNIDRVUI.DLL", "UNIDRV.HLP",     "UNIRES.DLL",
                                          "STDNAMES.GPD", "ZIKU.UFM",   "KRX.INI"};
        if (c.os == 7) expected.insert({"KRXRES.DLL", "KRXD.dll", "KRXF.dll"});
        else if (c.os == 6) expected.insert({"KRXRES.DLL", "KRXD.DLL", "KRXF.DLL"});
        else expected.insert({"KRXRES.dll", "KRXD.dll", "KRXF.dll"});
        EXPECT_EQ(Names(driverDir), expected);
        for (const char* name : {"uninstallKRX.exe", "UNIDRV.DLL", "KRX.GPD", "KRX.INI", "KRXRES.DLL", "KRXD.DLL",
                                 "KRXF.DLL", "STDNAMES.GPD", "ZIKU.UFM"})
            EXPECT_EQ(test::ReadFileBytes(driverDir + "\\" + name), test::ReadFileBytes(std::string("C:\\TEMP\\") + name))
                << name;

        EXPECT_EQ(test::ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstallRoot + "KRX printer", "UninstallString"),
                  driverDir + "\\uninstallKRX.exe");
    }
    EXPECT_GE(ran, 3);
}

// On 64-bit Windows, for every language choice and printer name, the x64
// set whatever the version: its files in C:\TEMP and amd64, its copies in
// the x64 driver folder, nothing in the 32-bit one; the driver on the
// system's Unidrv core, which stays as it was.
TEST_F(InstallDriverTest, FilesOfTheX64Set) {
    if (!On64BitWindows()) GTEST_SKIP() << "64-bit Windows only";
    char x86Folder[MAX_PATH] = {};
    DWORD needed = 0;
    GetPrinterDriverDirectoryA(nullptr, const_cast<char*>("Windows NT x86"), 1, reinterpret_cast<BYTE*>(x86Folder),
                               sizeof x86Folder, &needed);
    const std::string v3 = driverDir + "\\3", core = test::ReadFileBytes(v3 + "\\UNIDRV.DLL");
    ASSERT_NE(core.find("SYSTEM UNIDRV CORE"), std::string::npos);
    for (const std::string p : {"KRX", "MERLO"})
        for (short languageIndex : {0, 1}) {
            SCOPED_TRACE(p + " language " + std::to_string(languageIndex));
            CleanSlate();
            lstrcpyA(choices.printerName, p.c_str());
            if (p != "KRX") {
                ASSERT_TRUE(test::AddEarlierInstall(p));
            }
            choices.osCode = 6;   // the x64 set even for the version of another set
            choices.languageIndex = languageIndex;
            Install();
            EXPECT_EQ(outcome.result, InstallResult::Installed);
            const int plugin = languageIndex != 0 ? 2 : kSystemLanguage == 0x0804 ? 0 : 1;
            const unsigned ui[3] = {258, 259, 260}, res[3] = {261, 262, 263};
            EXPECT_EQ(Names("C:\\TEMP"), (std::set<std::string>{"amd64", "temp.txt", "uninstall" + p + ".exe", p + ".INF",
                                                               p + ".GPD", p + ".INI", "ZIKU.UFM", p + ".cat"}));
            std::string inf = test::EmbeddedPayload(266);
            for (size_t at = 0; (at = inf.find("KRX", at)) != std::string::npos; at += p.size()) inf.replace(at, 3, p);
            EXPECT_EQ(test::ReadFileBytes("C:\\TEMP\\" + p + ".INF"), inf);
            EXPECT_NE(test::ReadFileBytes("C:\\TEMP\\" + p + ".GPD").find(RewrittenGpd(p)), std::string::npos);
            const std::pair<std::string, unsigned> raw[] = {
                {"C:\\TEMP\\uninstall" + p + ".exe", 255}, {"C:\\TEMP\\ZIKU.UFM", 154},
                {"C:\\TEMP\\" + p + ".cat", 267},          {"C:\\TEMP\\amd64\\" + p + "D.dll", 257},
                {"C:\\TEMP\\amd64\\" + p + "F.dll", ui[plugin]}, {"C:\\TEMP\\amd64\\" + p + "RES.DLL", res[plugin]}};
            for (const auto& file : raw) EXPECT_EQ(test::ReadFileBytes(file.first), test::EmbeddedPayload(file.second)) << file.first;
            EXPECT_EQ(Names("C:\\TEMP\\amd64"), (std::set<std::string>{p + "D.dll", p + "F.dll", p + "RES.DLL"}));
            EXPECT_FALSE(test::FolderExists("C:\\TEMP\\I386"));
            EXPECT_FALSE(test::FolderExists("C:\\TEMP\\x86"));

            EXPECT_EQ(Names(driverDir), (std::set<std::string>{"testdrv.dll", "3", "uninstall" + p + ".exe", p + ".GPD",
                                                               "ZIKU.UFM", p + ".INI", p + "RES.dll", p + "D.dll",
                                                               p + "F.dll"}));
            for (const std::string& name : {p + ".GPD", p + ".INI", std::string("ZIKU.UFM")})
                EXPECT_EQ(test::ReadFileBytes(driverDir + "\\" + name), test::ReadFileBytes("C:\\TEMP\\" + name)) << name;
            for (const std::string& name : {p + "D.dll", p + "F.dll", p + "RES.DLL"})
                EXPECT_EQ(test::ReadFileBytes(driverDir + "\\" + name), test::ReadFileBytes("C:\\TEMP\\amd64\\" + name));
            for (const std::string& name : test::ListFolder(x86Folder)) EXPECT_EQ(name.find(p), std::string::npos) << name;

            EXPECT_EQ(test::DriverOfPrinter(p), p);
            EXPECT_EQ(test::DriverFiles(p), v3 + "\\UNIDRV.DLL|" + v3 + "\\" + p + ".GPD|" + v3 + "\\UNIDRVUI.DLL");
            EXPECT_EQ(test::ReadFileBytes(v3 + "\\UNIDRV.DLL"), core);
            EXPECT_EQ(test::ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstallRoot + p + " printer", "UninstallString"),
                      driverDir + "\\uninstall" + p + ".exe");
        }
}

// A second run replaces the five model files of the version-3 subfolder
// even when two printers carry the name; C:\TEMP\I386 and x86 are not
// cleaned.
TEST_F(InstallDriverTest, SecondRunCleansTheVersion3Subfolder) {
    CleanSlate();
    ASSERT_TRUE(test::AddTestPrinter("KRX (Copy 1)"));
    std::string v3 = driverDir + "\\3";
    CreateDirectoryA(v3.c_str(), nullptr);
    for (const char* name : {"KRX.GPD", "KRX.INI", "KRXD.dll", "KRXF.dll", "KRXRES.dll", "UNIDRV.DLL", "STDNAMES.GPD",
                             "ZIKU.UFM", "UNIDRVUI.DLL"})
        ASSERT_TRUE(test::WriteFileBytes(v3 + "\\" + name, "old"));
    CreateDirectoryA("C:\\TEMP", nullptr);
    CreateDirectoryA("C:\\TEMP\\I386", nullptr);
    test::WriteFileBytes("C:\\TEMP\\I386\\STDNAMES.GPD", "old");
    test::WriteFileBytes("C:\\TEMP\\KRX.GPD", "old");
    test::WriteFileBytes(driverDir + "\\KRX.GPD", "old");
    EXPECT_EQ(Install(), kInstalled);
    // The printer installer put the new ones there, and nothing the
    // install put aside is left.
    for (const char* name : {"KRX.GPD", "KRX.INI", "KRXD.dll", "KRXF.dll", "KRXRES.dll"})
        EXPECT_NE(test::ReadFileBytes(v3 + "\\" + name), "old") << name;
    for (const std::string& folder : {v3, driverDir, std::string("C:\\TEMP")})
        for (const std::string& name : test::ListFolder(folder)) EXPECT_NE(name.back(), '~') << folder << name;
    EXPECT_EQ(test::ReadFileBytes("C:\\TEMP\\I386\\STDNAMES.GPD"), "old");
    EXPECT_NE(test::ReadFileBytes("C:\\TEMP\\KRX.GPD"), "old");
    EXPECT_NE(test::ReadFileBytes(driverDir + "\\KRX.GPD"), "old");
}

// Another printer name renames every file, the INF's contents included,
// and the printer installer creates the printer and driver of that name
// from it, in every payload set: the stand-in reads the INF through the
// platform's INF parser and refuses one that names a file the install did
// not write.
TEST_F(InstallDriverTest, OtherPrinterNameInstallsThePrinterOfThatName) {
    SKIP_ON_64_BIT_WINDOWS();
    lstrcpyA(choices.printerName, "MERLO");
    std::string inf = test::EmbeddedPayload(256);
    for (size_t at = 0; (at = inf.find("KRX", at)) != std::string::npos; at += 5) inf.replace(at, 3, "MERLO");
    for (int os : {6, 7, 10}) {   // every payload set
        SCOPED_TRACE("os " + std::to_string(os));
        CleanSlate();
        test::DeleteTestPrinter("MERLO");
        test::DeleteTestDriver("MERLO");
        DeleteFileA("C:\\printui.log");
        choices.osCode = os;
        EXPECT_EQ(Install(), kInstalled);
        EXPECT_EQ(test::DriverOfPrinter("MERLO"), "MERLO");
        EXPECT_EQ(test::WaitForPrintUiCommands(2, 10000),
                  (std::vector<std::string>{test::InstallCommand("MERLO"), test::DefaultCommand("MERLO")}));
        EXPECT_EQ(Names("C:\\TEMP"),
                  (std::set<std::string>{"I386", "x86", "temp.txt", "uninstallMERLO.exe", "MERLO.INF", "STDNAMES.GPD",
                                         "MERLO.GPD", "MERLO.INI", "MERLOD.dll", "ZIKU.UFM", "UNIDRV.DLL", "UNIDRV.HLP",
                                         "UNIDRVUI.DLL", "UNIRES.DLL", "MERLOF.dll", "MERLORES.DLL"}));
        EXPECT_NE(test::ReadFileBytes("C:\\TEMP\\MERLO.GPD").find(RewrittenGpd("MERLO")), std::string::npos);
        EXPECT_EQ(test::ReadFileBytes("C:\\TEMP\\MERLO.INF"), inf);
    }
}

std::string Snapshot(const std::string& folder) {
    if (!test::FolderExists(folder)) return "";
    std::string all;
    for (const std::string& name : test::ListFolder(folder)) {
        std::string path = folder + "\\" + name;
        all += path + "\n";
        if (test::FolderExists(path)) all += Snapshot(path);
        else all += test::ReadFileBytes(path);
    }
    return all;
}

std::string UninstallKeys() {
    std::string keys;
    HKEY h;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallRoot.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return keys;
    char name[1024];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(h, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        keys += std::string(name) + "\n";
    }
    RegCloseKey(h);
    return keys;
}

// A refused name stops the install before anything is touched: no file,
// no registry key, no printer-installer command. Each is refused by the
// first rule it breaks, the one its message names.
TEST_F(InstallDriverTest, UnusableNamesAreRefusedBeforeAnythingIsTouched) {
    using R = InstallResult;
    std::vector<std::pair<std::string, R>> names = {
        {"", R::NameEmpty},           {std::string(60, 'A'), R::NameTooLong}, {std::string(200, 'A'), R::NameTooLong},
        {std::string(235, 'B'), R::NameTooLong}, {std::string(236, 'C'), R::NameTooLong},
        {std::string(259, 'D'), R::NameTooLong}, {"KRX\x01", R::NameForbidden}, {"KRX\x1F", R::NameForbidden},
        {"K\tRX", R::NameForbidden},  {" KRX", R::NameBlankAtEnd},  {"KRX ", R::NameBlankAtEnd},
        {" CON", R::NameBlankAtEnd},  {"CON", R::NameDeviceName},   {"prn", R::NameDeviceName},
        {"Aux.txt", R::NameDeviceName}, {"NUL .GPD", R::NameDeviceName}, {"COM1", R::NameDeviceName},
        {"lpt9.x", R::NameDeviceName}, {"CONOUT$", R::NameDeviceName}, {"UNI", R::NameSharedFile},
        {"stdnames", R::NameSharedFile},
        // SetUp's printer is on a driver that no setup of ours installed.
        {"Office Laser Driver", R::NameOfAnotherDriver}};
    for (char c : std::string("\\/:*?\"<>|;,=%[]")) names.push_back({std::string("KR") + c + "X", R::NameForbidden});
    // COM and LPT with a superscript digit, where the code page has them (0xB9, 0xB2, 0xB3 in 1252).
    for (const wchar_t* device : {L"COM\u00B9", L"lpt\u00B2.gpd", L"Com\u00B3 .x", L"LPT\u00B9"}) {
        char bytes[16];
        BOOL lossy = FALSE;
        if (WideCharToMultiByte(CP_ACP, 0, device, -1, bytes, sizeof bytes, nullptr, &lossy) > 0 && !lossy)
            names.push_back({bytes, R::NameDeviceName});
    }
    // A UTF-8 file's name read as GBK or Big5: its last byte leads a
    // character that never comes. A control character after it does not
    // hide that.
    if (GetACP() == 936 || GetACP() == 950) {
        names.push_back({"KRX\xE4\xB8\xAD", R::NameNotInCodePage});   // UTF-8 for "中"
        names.push_back({"\xE4\xB8\xAD\x01", R::NameNotInCodePage});
    }
    test::WriteFileBytes("C:\\TEMP\\KRX.GPD", "earlier");
    auto state = [this] { return Snapshot("C:\\TEMP") + Snapshot(driverDir) + test::ReadFileBytes("C:\\printui.log"); };
    std::string before = state(), keys = UninstallKeys();
    for (const auto& [name, rule] : names) {
        SCOPED_TRACE("name of " + std::to_string(name.size()) + ": " + name.substr(0, 8));
        lstrcpynA(choices.printerName, name.c_str(), sizeof choices.printerName);
        const std::string message = Install();
        EXPECT_EQ(static_cast<int>(outcome.result), static_cast<int>(rule));
        EXPECT_EQ(ExitCodeOf(outcome.result), 2);
        if (!name.empty()) {
            EXPECT_NE(message.find("\"" + name + "\""), std::string::npos) << message;
        }
        EXPECT_EQ(state(), before);
        EXPECT_EQ(UninstallKeys(), keys);
        EXPECT_TRUE(test::PrintUiCommands().empty());
    }
}

// The printer installer's command line takes the name three times: 59
// characters are the most that fit its 259.
TEST_F(InstallDriverTest, LongestUsableNameAndShortestInstall) {
    SKIP_ON_64_BIT_WINDOWS();
    for (const std::string& name : {std::string("A"), std::string(59, 'N')}) {
        CleanSlate();
        ASSERT_TRUE(test::AddEarlierInstall(name));
        lstrcpyA(choices.printerName, name.c_str());
        EXPECT_EQ(Install(), kInstalled) << name.size();
        EXPECT_TRUE(test::FileExists("C:\\TEMP\\I386\\" + name + "RES.DLL"));
        EXPECT_TRUE(test::FileExists(driverDir + "\\" + name + "RES.dll"));
        EXPECT_EQ(test::ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstallRoot + name + " printer", "DisplayIcon"),
                  driverDir + "\\uninstall" + name + ".exe,-0");
    }
}

// The refusal is told in the language of the success message.
TEST_F(InstallDriverTest, RefusalInTheChosenLanguage) {
    choices.languageIndex = 0;
    choices.printerName[0] = '\0';
    const std::string text = Install();
    // The settings file and its key are named in every language.
    EXPECT_NE(text.find("setting.dll"), std::string::npos);
    EXPECT_NE(text.find("PrinterName"), std::string::npos);
    if (kSystemLanguage == 0x0804)   // GBK: "设置文件"
        EXPECT_EQ(text.substr(0, 8), "\xC9\xE8\xD6\xC3\xCE\xC4\xBC\xFE");
    else   // Big5: "設定檔"
        EXPECT_EQ(text.substr(0, 6), "\xB3\x5D\xA9\x77\xC0\xC9");
}

// The monitor stand-in's answer to AddPort: 0, or the error it gives.
void RefuseAddPort(DWORD error) {
    RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\TcpMonStandIn", "RefuseAddPort", REG_DWORD, &error, sizeof error);
}
bool NetworkPortListed() { return FindPort(ReadPortNames(), "IP_10.0.0.5") != nullptr; }

// A network port comes first: one the monitor refuses ends the install
// before anything is written; one this install made goes with the undo of
// a failure, one that was there stays; only a port the install made is
// named in the entry for the uninstaller.
TEST_F(InstallDriverTest, NetworkPortMadeKeptOrTakenBack) {
    CleanSlate();
    ASSERT_TRUE(ParseNetworkAddress("10.0.0.5", choices.port));
    const std::string key = kUninstallRoot + "KRX printer";
    auto state = [this] { return Snapshot("C:\\TEMP") + Snapshot(driverDir) + test::ReadFileBytes("C:\\printui.log"); };
    const std::string before = state();
    RefuseAddPort(ERROR_ACCESS_DENIED);
    Install();
    EXPECT_EQ(outcome.result, InstallResult::PortNotMade);
    EXPECT_EQ(outcome.error, static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(outcome.rollback, Rollback::None);
    EXPECT_EQ(ExitCodeOf(outcome.result), 7);
    EXPECT_EQ(state(), before);
    RefuseAddPort(0);

    CreateDirectoryA("C:\\TEMP", nullptr);
    ASSERT_TRUE(CreateDirectoryA("C:\\TEMP\\uninstallKRX.exe", nullptr));   // the first file cannot be written
    Install();
    EXPECT_EQ(outcome.result, InstallResult::FileNotWritten);
    EXPECT_FALSE(NetworkPortListed());
    bool made = false;
    ASSERT_EQ(AddNetworkPort("IP_10.0.0.5", "10.0.0.5", 9100, made), 0u);
    EXPECT_TRUE(made);
    Install();
    EXPECT_EQ(outcome.result, InstallResult::FileNotWritten);
    EXPECT_TRUE(NetworkPortListed());
    ASSERT_TRUE(RemoveDirectoryA("C:\\TEMP\\uninstallKRX.exe"));

    EXPECT_EQ(Install(), kInstalled);
    EXPECT_EQ(test::ReadRegistryString(HKEY_LOCAL_MACHINE, key, kMadePortValue), "<missing>");
    ASSERT_EQ(DeleteNetworkPort("IP_10.0.0.5"), 0u);
    EXPECT_EQ(Install(), kInstalled);
    EXPECT_TRUE(NetworkPortListed());
    EXPECT_EQ(test::ReadRegistryString(HKEY_LOCAL_MACHINE, key, kMadePortValue), "IP_10.0.0.5");
    EXPECT_NE(test::ReadFileBytes("C:\\printui.log").find("/r \"IP_10.0.0.5\""), std::string::npos);
}

// A double-byte name whose trail byte is 0x5C holds no backslash: it is
// not refused, and the install writes its files under it (seen while the
// printer installer waits: the stand-in, under Wine, installs no driver of
// such a name, so the install is then undone).
TEST_F(InstallDriverTest, DoubleByteNameWithBackslashTrailByteIsUsable) {
    if (GetACP() != 950) GTEST_SKIP() << "needs the Big5 code page";
    SKIP_ON_64_BIT_WINDOWS();
    CleanSlate();
    const std::string name = "\xA5\x5C";   // Big5 for a character ending in 0x5C
    lstrcpyA(choices.printerName, name.c_str());
    test::SetPrintUiDelay(3000);
    bool staged = false, copied = false;
    std::thread peek([&] {
        test::WaitUntil([] { return !test::PrintUiCommands().empty(); }, 10000);
        staged = test::FileExists("C:\\TEMP\\I386\\" + name + "RES.DLL");
        copied = test::FileExists(driverDir + "\\" + name + "RES.dll");
    });
    Install();
    peek.join();
    EXPECT_NE(ExitCodeOf(outcome.result), 2);   // no name refusal
    EXPECT_TRUE(staged);
    EXPECT_TRUE(copied);
}

}  // namespace
