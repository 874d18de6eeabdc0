#include "e2e_support.h"
#include "spooler_support.h"
#include "test_support.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace e2e {

LANGID SystemLanguage() { return GetSystemDefaultLangID(); }
bool ChineseSystem() { return (SystemLanguage() & 0xFF) == 0x04; }
bool EnglishSystem() { return (SystemLanguage() & 0xFF) == 0x09; }

std::string WindowsVersion() {
    const char* version = getenv("E2E_WINDOWS_VERSION");
    return version && *version ? version : "win7";
}

int OsCode(const std::string& version) {
    if (version == "win2k") return 6;
    if (version == "winxp") return 7;
    if (version == "win2003") return 8;
    if (version == "vista") return 9;
    if (version == "win7") return 10;
    return 4;  // any later NT version, win10 among them
}

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

std::string FolderOf(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

std::string CopyProgram(const std::string& buildProgram, const std::string& folderName) {
    std::string folder = test::MakeTempFolder(folderName);
    std::string exe = folder + "\\setup.exe";
    CopyFileA(test::BuildPath(buildProgram).c_str(), exe.c_str(), FALSE);
    test::SetWindowsVersion("setup.exe", WindowsVersion());
    return exe;
}

std::string LanguageFileFor(const std::string& programFolder) {
    const char* name = !ChineseSystem() ? "Multi_eng.dll"
                       : SystemLanguage() == 0x0804 ? "Multi_ch.dll"
                                                     : "Multi_ch_BIG5.dll";
    return programFolder + "\\Language\\" + name;
}

std::string LanguageText(const std::string& languageFile, const std::string& key) {
    char text[1000] = "";
    DWORD n = GetPrivateProfileStringA("String", key.c_str(), "", text, sizeof text, languageFile.c_str());
    return std::string(text, n);
}

std::string ResourceBytes(const std::string& program, int id) {
    HMODULE module = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    std::string bytes;
    if (HRSRC r = module ? FindResourceA(module, MAKEINTRESOURCEA(id), "OWNER_DATA") : nullptr)
        bytes.assign(static_cast<const char*>(LockResource(LoadResource(module, r))), SizeofResource(module, r));
    if (module) FreeLibrary(module);
    return bytes;
}

std::string Ansi(const char* utf8) {
    WCHAR wide[512];
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 512);
    char bytes[1024];
    int m = WideCharToMultiByte(CP_ACP, 0, wide, n, bytes, sizeof bytes, nullptr, nullptr);
    return m > 0 ? std::string(bytes, m - 1) : "";
}

std::string CompletionMessage(int languageIndex) {
    if (languageIndex != 0) return "The Printer Driver has been installed successfully!";
    if (SystemLanguage() == 0x0804)  // GBK
        return "\xB4\xF2\xD3\xA1\xBB\xFA\xC7\xFD\xB6\xAF\xB3\xCC\xD0\xF2\xB0\xB2\xD7\xB0\xB3\xC9\xB9\xA6\x21";
    // Big5; its second-to-last byte is a backslash
    return "\xA5\xB4\xA6\x4C\xBE\xF7\xC5\x58\xB0\xCA\xB5\x7B\xA7\xC7\xA6\x77\xB8\xCB\xA6\xA8\xA5\x5C\x21";
}

std::string Encoded(const char* utf8, UINT codePage) {
    WCHAR wide[1024];
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, 1024);
    char bytes[2048];
    int m = WideCharToMultiByte(codePage, 0, wide, n, bytes, sizeof bytes, nullptr, nullptr);
    return m > 0 ? std::string(bytes, m - 1) : "";
}

std::string PrinterNotCreatedMessage(int languageIndex, const std::string& printerName, bool earlierInstall) {
    std::string text =
        languageIndex != 0 ? "The printer %s could not be created. Check that the Print Spooler service is running, "
                             "that you may install printers on this computer and that this setup program is "
                             "complete, then click Back and Next to try again."
        : SystemLanguage() == 0x0804
            ? Encoded(u8"无法创建打印机 %s。请检查打印后台处理程序服务是否正在运行、您是否有权在本计算机上安装"
                      u8"打印机以及本安装程序是否完整，然后单击“后退”和“下一步”重试。", 936)
            : Encoded(u8"無法建立印表機 %s。請檢查列印多工緩衝處理器服務是否正在執行、您是否有權在本電腦上安裝"
                      u8"印表機以及本安裝程式是否完整，然後按一下「後退」和「下一步」重試。", 950);
    return text.replace(text.find("%s"), 2, printerName) + AfterAFailedInstall(languageIndex, earlierInstall);
}

std::string AfterAFailedInstall(int languageIndex, bool earlierInstall) {
    const bool chinese = languageIndex == 0, gbk = SystemLanguage() == 0x0804;
    const std::string sentence =
        earlierInstall ? (!chinese ? "The printer driver installed before is as it was."
                          : gbk    ? Encoded(u8"之前安装的打印机驱动程序保持原样。", 936)
                                   : Encoded(u8"先前安裝的印表機驅動程式保持原樣。", 950))
                       : (!chinese ? "Nothing of this install is left on the computer."
                          : gbk    ? Encoded(u8"本次安装没有在计算机上留下任何内容。", 936)
                                   : Encoded(u8"本次安裝沒有在電腦上留下任何內容。", 950));
    return "\r\n\r\n" + sentence;
}

void Screenshot(HWND window, const std::string& name) {
    std::string folder = test::BuildPath("artifacts");
    CreateDirectoryA(folder.c_str(), nullptr);
    folder += "\\screenshots";
    CreateDirectoryA(folder.c_str(), nullptr);
    ui::SaveScreenshot(window, folder + "\\" + name);
}

std::string RunName(const std::string& what) {
    const char* lang = getenv("LC_ALL");
    std::string language = lang && *lang ? std::string(lang).substr(0, 5) : "en_US";
    return what + "_" + WindowsVersion() + "_" + language;
}

// --- What an install leaves -------------------------------------------------

namespace {

struct PayloadSet {
    int stdnames, gpd, ini, render;
    int core[2][4];        // [Chinese, other] x UNIDRV.DLL, UNIDRV.HLP, UNIDRVUI.DLL, UNIRES.DLL
    int ui[3], res[3];     // Simplified Chinese, Traditional Chinese, English
    const char* copyNames[3];  // resource DLL, rendering and user-interface plug-in
    int inf, catalog;      // 0: none
};

// The catalogue's selection table, written down here on its own so that the
// tests do not take the program's word for it.
const PayloadSet kXp = {153, 155, 159, 156, {{149, 152, 150, 151}, {163, 164, 165, 166}},
                        {157, 249, 161}, {158, 254, 162}, {"%sRES.DLL", "%sD.dll", "%sF.dll"}, 256, 0};
const PayloadSet k2000 = {168, 169, 170, 171, {{172, 173, 174, 175}, {176, 177, 178, 179}},
                          {184, 250, 182}, {185, 252, 183}, {"%sRES.DLL", "%sD.DLL", "%sF.DLL"}, 256, 0};
const PayloadSet kGeneral = {186, 187, 188, 189, {{190, 191, 192, 193}, {196, 197, 198, 199}},
                             {194, 251, 200}, {195, 253, 201}, {"%sRES.dll", "%sD.dll", "%sF.dll"}, 256, 0};
// 64-bit Windows, every version: no Unidrv core, no standard names.
const PayloadSet kX64 = {0, 264, 265, 257, {{0, 0, 0, 0}, {0, 0, 0, 0}},
                         {258, 259, 260}, {261, 262, 263}, {"%sRES.dll", "%sD.dll", "%sF.dll"}, 266, 267};

const PayloadSet& SetFor(int osCode) {
    return test::OnWindows64() ? kX64 : osCode == 7 ? kXp : osCode == 6 ? k2000 : kGeneral;
}

std::string Named(const char* format, const std::string& printerName) {
    char name[600];
    snprintf(name, sizeof name, format, printerName.c_str());
    return name;
}

bool StartsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

}  // namespace

std::vector<PayloadFile> ExpectedPayload(int osCode, LANGID systemLanguage, int languageIndex,
                                         const std::string& printerName) {
    const PayloadSet& set = SetFor(osCode);
    int variant = (systemLanguage & 0xFF) == 0x04 ? 0 : 1;
    int plugin = languageIndex != 0 ? 2 : systemLanguage == 0x0804 ? 0 : 1;
    const std::string temp = "C:\\TEMP\\", p = printerName;
    std::vector<PayloadFile> files = {
        {temp + "uninstall" + p + ".exe", 255, false},
        {temp + p + ".INF", set.inf, false},
        {temp + "STDNAMES.GPD", set.stdnames, false},
        {temp + p + ".GPD", set.gpd, true},
        {temp + p + ".INI", set.ini, true},
        {temp + "ZIKU.UFM", 154, false},
        {temp + "UNIDRV.DLL", set.core[variant][0], false},
        {temp + "UNIDRV.HLP", set.core[variant][1], false},
        {temp + "UNIDRVUI.DLL", set.core[variant][2], false},
        {temp + "UNIRES.DLL", set.core[variant][3], false},
    };
    // The model DLLs: three places for the 32-bit sets, amd64 for the x64 one.
    const std::vector<std::string> dllPlaces =
        set.catalog ? std::vector<std::string>{"C:\\TEMP\\amd64\\"}
                    : std::vector<std::string>{"C:\\TEMP\\", "C:\\TEMP\\I386\\", "C:\\TEMP\\x86\\"};
    for (const std::string& place : dllPlaces) {
        files.push_back({place + p + "D.dll", set.render, false});
        files.push_back({place + p + "F.dll", set.ui[plugin], false});
        files.push_back({place + p + "RES.DLL", set.res[plugin], false});
    }
    // The driver folder holds the uninstaller and the driver files: eleven
    // for a 32-bit set, six for the x64 one; not the INF, nor the catalog.
    const std::string driver = DriverDirectory() + "\\";
    for (size_t i = 0; i < files.size(); ++i) {
        const PayloadFile& f = files[i];
        if (f.id == set.inf || !StartsWith(f.path, temp) || f.path.find('\\', temp.size()) != std::string::npos) continue;
        files.push_back({driver + f.path.substr(temp.size()), f.id, f.rewritten});
    }
    if (set.catalog) {
        files.push_back({temp + p + ".cat", set.catalog, false});
        const int copied[3] = {set.res[plugin], set.render, set.ui[plugin]};
        for (int i = 0; i < 3; ++i) files.push_back({driver + Named(set.copyNames[i], p), copied[i], false});
    }
    files.erase(std::remove_if(files.begin(), files.end(), [](const PayloadFile& f) { return f.id == 0; }), files.end());
    return files;
}

std::vector<std::string> DriverFolderPluginNames(int osCode, const std::string& printerName) {
    std::vector<std::string> names;
    for (const char* format : SetFor(osCode).copyNames) names.push_back(Named(format, printerName));
    return names;
}

void ExpectPayloadWritten(const std::string& program, const std::vector<PayloadFile>& files) {
    for (const PayloadFile& f : files) {
        SCOPED_TRACE(f.path + " from " + std::to_string(f.id));
        ASSERT_TRUE(test::FileExists(f.path));
        std::string bytes = test::ReadFileBytes(f.path), embedded = ResourceBytes(program, f.id);
        ASSERT_FALSE(embedded.empty());
        std::string label = "STAND-IN PAYLOAD ";
        if (f.id == 256 || f.id == 266) {
            // The INF names the model after the printer: <printer>.INF.
            std::string name = f.path.substr(f.path.find_last_of('\\') + 1);
            name.resize(name.size() - 4);
            for (size_t at = 0; (at = embedded.find("KRX", at)) != std::string::npos; at += name.size())
                embedded.replace(at, 3, name);
        }
        if (StartsWith(embedded, label))
            EXPECT_TRUE(StartsWith(bytes, label + std::to_string(f.id) + " ")) << bytes.substr(0, 40);
        else if (!f.rewritten)
            EXPECT_TRUE(bytes == embedded);
        else
            EXPECT_FALSE(bytes.empty());
    }
}

std::string DriverDirectory() { return test::PrinterDriverDirectory(); }

std::string UninstallKey(const std::string& printerName) { return Named(kUninstallKeyFormat, printerName); }

std::string PrinterInstallerLog() { return test::ReadFileBytes("C:\\printui.log"); }

void ExpectNoInstall() {
    EXPECT_FALSE(test::FolderExists("C:\\TEMP"));
    EXPECT_FALSE(UninstallKeyExists("KRX"));
    EXPECT_FALSE(UninstallKeyExists("MERLO"));
    EXPECT_EQ(PrinterInstallerLog(), "");
}

// --- Walking the wizard -----------------------------------------------------

void ClickAndSettle(HWND wizard, int buttonId) {
    ui::Click(wizard, buttonId);
    ui::Settle(wizard);
}

std::string ButtonStates(HWND wizard) {
    std::string s;
    s += "Back:" + std::to_string(ui::IsEnabled(wizard, 12323));
    s += " Next:" + std::to_string(ui::IsEnabled(wizard, 12324));
    s += " Finish:" + std::to_string(ui::IsEnabled(wizard, 12325));
    s += " Cancel:" + std::to_string(ui::IsEnabled(wizard, 1061));
    return s;
}

}  // namespace e2e
