// Start-up: the Language folder, the language files, the settings file and
// the printer name, on the system language this test runs under (LC_ALL).
#include "app_core/app_state.h"
#include "app/setup_app.h"
#include "app_core/start_checks.h"
#include <sddl.h>
#include "test_support.h"
#include <gtest/gtest.h>
#include <algorithm>

namespace {

const LANGID kLang = GetSystemDefaultLangID();
const bool kTraditional = (kLang & 0xFF) == 0x04 && kLang != 0x0804;
const char* const kChineseFile = kTraditional ? "Multi_ch_BIG5.dll" : "Multi_ch.dll";
const unsigned kChinesePayload = kTraditional ? 248 : 146;

// An embedded file of the shipped setup.exe.
std::string SetupResource(unsigned id) {
    HMODULE m = LoadLibraryExA(test::BuildPath("setup.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC r = FindResourceA(m, MAKEINTRESOURCEA(id), "OWNER_DATA");
    std::string bytes;
    if (r) bytes.assign(static_cast<const char*>(LockResource(LoadResource(m, r))), SizeofResource(m, r));
    FreeLibrary(m);
    return bytes;
}

std::string CopySetupInto(const std::string& folder) {
    std::string exe = folder + "\\setup.exe";
    CopyFileA(test::BuildPath("setup.exe").c_str(), exe.c_str(), FALSE);
    return exe;
}

TEST(StartupRun, FirstRunWritesLanguageFilesAndSettingsAndSecondRunNothing) {
    std::string folder = test::MakeTempFolder("first_run");
    std::string exe = CopySetupInto(folder);
    EXPECT_EQ(test::RunSetupAndCancel("\"" + exe + "\""), 0u);

    std::vector<std::string> expected = {"Multi_eng.dll", kChineseFile};
    std::vector<std::string> files = test::ListFolder(folder + "\\Language");
    std::sort(files.begin(), files.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(files, expected);
    EXPECT_EQ(test::ReadFileBytes(folder + "\\Language\\Multi_eng.dll"), SetupResource(147));
    EXPECT_EQ(test::ReadFileBytes(folder + "\\Language\\" + kChineseFile), SetupResource(kChinesePayload));
    EXPECT_EQ(test::ReadFileBytes(folder + "\\setting.dll"), "[Setting]\r\nLanguage=English\r\nPrinterName=KRX");

    // A second run finds everything: changed files stay as they are.
    test::WriteFileBytes(folder + "\\setting.dll", "[Setting]\r\nPrinterName=Other\r\n");
    std::string english = test::ReadFileBytes(folder + "\\Language\\Multi_eng.dll") + "; kept\r\n";
    test::WriteFileBytes(folder + "\\Language\\Multi_eng.dll", english);
    EXPECT_EQ(test::RunSetupAndCancel("\"" + exe + "\""), 0u);
    EXPECT_EQ(test::ReadFileBytes(folder + "\\setting.dll"), "[Setting]\r\nPrinterName=Other\r\n");
    EXPECT_EQ(test::ReadFileBytes(folder + "\\Language\\Multi_eng.dll"), english);
}

TEST(StartupRun, ProgramFolderNearThePathLimitDoesNotOverflow) {
    std::string folder = test::MakeTempFolder("deep");
    // Grow the folder until its path is 240 characters long.
    while (folder.size() < 240) {
        folder += "\\" + std::string(std::min<size_t>(40, 240 - folder.size() - 1), 'd');
        CreateDirectoryA(folder.c_str(), nullptr);
    }
    std::string exe = CopySetupInto(folder);
    ASSERT_TRUE(test::FileExists(exe));
    EXPECT_EQ(test::RunSetupAndCancel("\"" + exe + "\""), 0u);
    // The Language folder and the settings file still fit; the language
    // files' paths would not, so they are not written.
    EXPECT_TRUE(test::FolderExists(folder + "\\Language"));
    EXPECT_TRUE(test::ListFolder(folder + "\\Language").empty());
    EXPECT_EQ(test::ReadFileBytes(folder + "\\setting.dll"), "[Setting]\r\nLanguage=English\r\nPrinterName=KRX");
}

// 許 and 功 end in 0x5C in Big5, the byte of a backslash: the program's
// folder is found by characters, so its files go where the program is.
TEST(StartupRun, Big5FolderAndFileNamesWithBackslashTrailBytes) {
    if (GetACP() != 950) GTEST_SKIP() << "needs the Big5 code page";
    std::string folder = test::MakeTempFolder("big5") + "\\\xB3\x5C";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    std::string exe = folder + "\\\xA5\x5C.exe";
    ASSERT_TRUE(CopyFileA(test::BuildPath("setup.exe").c_str(), exe.c_str(), FALSE));
    bool shown = false;
    EXPECT_EQ(test::RunSetupAndCancel("\"" + exe + "\"", 60000, &shown), 0u);
    EXPECT_TRUE(shown);
    EXPECT_EQ(test::ReadFileBytes(folder + "\\setting.dll"), "[Setting]\r\nLanguage=English\r\nPrinterName=KRX");
    EXPECT_TRUE(test::FileExists(folder + "\\Language\\Multi_eng.dll"));
}

// In-process: the start-up steps after the program folder is known.
class Configuration : public ::testing::Test {
protected:
    void SetUp() override {
        folder = test::MakeTempFolder("config");
        lstrcpyA(g_AppDirectory, (folder + "\\").c_str());
        g_SettingFile[0] = g_LanguageFile[0] = g_PrinterName[0] = '\0';
    }
    void Load() {
        InstallOutcome refusal;
        EXPECT_TRUE(theApp.LoadConfiguration(refusal)) << refusal.subject;
    }
    std::string LanguageFile() const { return g_LanguageFile; }
    std::string folder;
};

TEST_F(Configuration, FirstRunShowsEnglishAndNamesThePrinterKrx) {
    Load();
    EXPECT_EQ(LanguageFile(), folder + "\\Language\\Multi_eng.dll");
    EXPECT_EQ(std::string(g_SettingFile), folder + "\\setting.dll");
    EXPECT_STREQ(g_PrinterName, "KRX");
}

TEST_F(Configuration, LanguageFileForTheSystemIsUsedOnceItExists) {
    Load();
    Load();
    bool chinese = (kLang & 0xFF) == 0x04;
    EXPECT_EQ(LanguageFile(), folder + "\\Language\\" + (chinese ? kChineseFile : "Multi_eng.dll"));
}

TEST_F(Configuration, OnlyTheBig5FileStillCountsAsChinese) {
    if (kLang != 0x0804) GTEST_SKIP() << "needs a 0x0804 system";
    CreateDirectoryA((folder + "\\Language").c_str(), nullptr);
    theApp.ExtractPayload(248, (folder + "\\Language\\Multi_ch_BIG5.dll").c_str(), 0);
    Load();
    EXPECT_EQ(LanguageFile(), folder + "\\Language\\Multi_ch.dll");
    EXPECT_EQ(test::ListFolder(folder + "\\Language").size(), 1u);
}

TEST_F(Configuration, FoldersNamedDllAndFilesWithoutLanguageNeverMatch) {
    CreateDirectoryA((folder + "\\Language").c_str(), nullptr);
    CreateDirectoryA((folder + "\\Language\\English.dll").c_str(), nullptr);
    test::WriteFileBytes(folder + "\\Language\\empty.dll", "[Setting]\r\nLanguage=\r\n");
    test::WriteFileBytes(folder + "\\Language\\case.dll", "[Setting]\r\nLanguage=english\r\n");
    // Quoted, so the profile read keeps the trailing blank.
    test::WriteFileBytes(folder + "\\Language\\blank.dll", "[Setting]\r\nLanguage=\"English \"\r\n");
    Load();
    // Nothing matched "English", so the language files were written.
    EXPECT_TRUE(test::FileExists(folder + "\\Language\\Multi_eng.dll"));
}

TEST_F(Configuration, SettingsFileWithoutPrinterNameGivesMerloAndIsKept) {
    std::string settings = "[Setting]\r\nLanguage=Chinese\r\nOther=1\r\n";
    test::WriteFileBytes(folder + "\\setting.dll", settings);
    Load();
    EXPECT_STREQ(g_PrinterName, "MERLO");
    EXPECT_EQ(test::ReadFileBytes(folder + "\\setting.dll"), settings);
}

// A setting.dll that is there but cannot be read never leaves the printer
// to the embedded default: held open with no sharing, or a folder.
TEST_F(Configuration, UnreadableSettingsFileIsRefused) {
    const std::string settings = folder + "\\setting.dll";
    for (bool held : {true, false}) {
        if (held) ASSERT_TRUE(test::WriteFileBytes(settings, "[Setting]\r\nPrinterName=Mine\r\n"));
        else ASSERT_TRUE(DeleteFileA(settings.c_str()) && CreateDirectoryA(settings.c_str(), nullptr));
        HANDLE holder = held ? CreateFileA(settings.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                             : INVALID_HANDLE_VALUE;
        InstallOutcome refusal;
        EXPECT_FALSE(theApp.LoadConfiguration(refusal)) << held;
        EXPECT_EQ(refusal.result, InstallResult::SettingsUnreadable);
        EXPECT_EQ(std::string(refusal.subject), settings);
        if (holder != INVALID_HANDLE_VALUE) CloseHandle(holder);
    }
    EXPECT_TRUE(test::FolderExists(settings));
}

TEST_F(Configuration, LongPrinterNamesAreCutAt259Characters) {
    for (size_t length : {259u, 260u, 1000u}) {
        std::string name(length, 'N');
        test::WriteFileBytes(folder + "\\setting.dll", "[Setting]\r\nPrinterName=" + name + "\r\n");
        Load();
        EXPECT_EQ(std::string(g_PrinterName), name.substr(0, 259)) << length;
    }
}

TEST_F(Configuration, StartupNeverWritesTheLanguageKeyToAnEmptyPath) {
    char before[64] = {};
    GetPrivateProfileStringA("Setting", "Language", "<none>", before, sizeof before, "win.ini");
    Load();
    char after[64] = {};
    GetPrivateProfileStringA("Setting", "Language", "<none>", after, sizeof after, "win.ini");
    EXPECT_STREQ(after, "<none>");
    EXPECT_STREQ(before, after);
}

// No settings file can be had: the printer name of the embedded defaults.
TEST_F(Configuration, ProgramFolderTooLongForTheSettingsPathOrUnknown) {
    for (const std::string& directory : {"C:\\" + std::string(250, 'p') + "\\", std::string()}) {
        lstrcpyA(g_AppDirectory, directory.c_str());
        g_PrinterName[0] = '\0';
        Load();
        EXPECT_STREQ(g_SettingFile, "");
        EXPECT_STREQ(g_PrinterName, "KRX");
    }
}

// Whether the setup runs as SYSTEM, from the token's user: only the
// LocalSystem SID counts, not the other service accounts, Administrators or
// a SID that merely begins like it.
TEST(Deployment, OnlyTheLocalSystemSidIsTheSystemAccount) {
    const std::pair<const char*, bool> sids[] = {
        {"S-1-5-18", true},      {"S-1-5-19", false},     {"S-1-5-20", false},
        {"S-1-5-32-544", false}, {"S-1-5-18-1", false},   {"S-1-1-0", false},
        {"S-1-5-21-1004336348-1177238915-682003330-500", false}, {"S-1-16-16384", false},
    };
    for (const auto& [text, system] : sids) {
        PSID sid = nullptr;
        ASSERT_TRUE(ConvertStringSidToSidA(text, &sid)) << text;
        EXPECT_EQ(IsLocalSystemSid(sid), system) << text;
        LocalFree(sid);
    }
    EXPECT_FALSE(IsLocalSystemSid(nullptr));
    EXPECT_FALSE(RunsAsSystem()) << "the tests run as an ordinary administrator";
}

// Versions compared number by number, not as text; what is no version
// compares with nothing.
TEST(Deployment, VersionsComparedNumberByNumber) {
    const struct {
        const char* a;
        const char* b;
        int order;   // 2: no comparison
    } cases[] = {
        {"1.0.0.0", "1.0.0.0", 0},   {"2.1.0.7", "1.0.0.0", 1},  {"1.0.0.0", "2.1.0.7", -1},
        {"1.10.0.0", "1.9.0.0", 1},  {"1.0.0.10", "1.0.0.9", 1}, {"1.2", "1.2.0.0", 0},
        {"1.2.0.1", "1.2", 1},       {"01.0.0.0", "1.0.0.0", 0}, {"65535.0.0.0", "65534.9.9.9", 1},
        {"", "1.0.0.0", 2},          {"1.0.0.0.0", "1.0.0.0", 2}, {"1..0", "1.0.0.0", 2},
        {"1.0.", "1.0.0.0", 2},      {"1.0 beta", "1.0.0.0", 2}, {"65536.0.0.0", "1.0.0.0", 2},
        {"-1.0.0.0", "1.0.0.0", 2},  {"1.0.0.0", "x", 2},
    };
    for (const auto& c : cases) {
        int order = 5;
        const bool compared = CompareVersions(c.a, c.b, order);
        EXPECT_EQ(compared ? (order > 0) - (order < 0) : 2, c.order) << c.a << " against " << c.b;
    }
}

}  // namespace
