// Stand-in for the platform's printer installer under Wine, whose own
// printui.dll does not implement /if or /y. Loaded by rundll32 through a
// DLL override in the test prefixes; setup.exe never knows.
//   /if /f INF /r PORT /b NAME /m MODEL  installs a printer from an INF file,
//                                        read through setupapi
//   /y /n NAME                           makes NAME the default printer
// Every command line is appended to C:\printui.log, one a line, so tests
// can check what they were given, and the current folder to C:\printui.cwd.
// HKCU\Software\PrintUIStandIn, DWORD AddPrinterDelayMs, delays the new
// printer so tests can watch the wait.
// Built for x86 and x64, it reads an INF as the installer of its own
// platform does: the models section decorated NTx86 or NTamd64, the
// SourceDisksFiles of that platform first. The 32-bit one under WoW64
// stands for the 32-bit installer of 64-bit Windows, which cannot install
// an x64 driver: it logs its command line marked as such and does nothing.
#include "spooler_support.h"
#include <windows.h>
#include <setupapi.h>
#include <shellapi.h>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

namespace {

#ifdef _WIN64
const char kDecoration[] = "ntamd64", kPlatformFiles[] = "SourceDisksFiles.amd64";
#else
const char kDecoration[] = "ntx86", kPlatformFiles[] = "SourceDisksFiles.x86";
#endif

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

// One writer at a time (another stand-in waits its turn); tests may read
// meanwhile.
void AppendLog(const char* file, const std::string& line) {
    for (int attempt = 0; attempt < 50; ++attempt) {
        HANDLE log = CreateFileA(file, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        if (log != INVALID_HANDLE_VALUE) {
            std::string text = line + "\n";
            DWORD written;
            WriteFile(log, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
            CloseHandle(log);
            return;
        }
        Sleep(20);
    }
}

// Switches and their values, the command line split as the platform splits
// it (CommandLineToArgvW): an unquoted value ends at a blank, so
// /f C:\TEMP\My Printer.INF gives C:\TEMP\My and a stray word.
std::map<std::string, std::string> ParseSwitches(const char* commandLine) {
    std::map<std::string, std::string> switches;
    std::string line = std::string("printui ") + commandLine, current;
    std::vector<WCHAR> wide(line.size() + 1);
    MultiByteToWideChar(CP_ACP, 0, line.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(wide.data(), &count);
    for (int i = 1; args && i < count; ++i) {
        char arg[1024];
        if (!WideCharToMultiByte(CP_ACP, 0, args[i], -1, arg, sizeof arg, nullptr, nullptr)) continue;
        if (arg[0] == '/') {
            current = Lower(arg);
            switches[current];
        } else if (!current.empty() && switches[current].empty()) {
            switches[current] = arg;
        }
    }
    LocalFree(args);
    return switches;
}

// One field of an INF line; false when it is absent or longer than a path.
bool Field(INFCONTEXT& line, DWORD index, std::string& value) {
    char text[MAX_PATH];
    if (!SetupGetStringFieldA(&line, index, text, sizeof text, nullptr)) return false;
    value = text;
    return true;
}

bool SectionExists(HINF inf, const std::string& name) { return SetupGetLineCountA(inf, name.c_str()) >= 0; }

// The models section a [Manufacturer] line names: the base name's
// decoration of this platform when the line lists it and the section is
// there. 64-bit Windows takes no undecorated models section.
std::string ModelsSection(HINF inf, INFCONTEXT& manufacturer) {
    std::string base, decoration;
    if (!Field(manufacturer, 1, base)) return "";
    for (DWORD i = 2; i <= SetupGetFieldCount(&manufacturer); ++i)
        if (Field(manufacturer, i, decoration) && Lower(decoration) == kDecoration &&
            SectionExists(inf, base + "." + decoration))
            return base + "." + decoration;
#ifdef _WIN64
    return "";
#else
    return base;
#endif
}

std::string InstallSectionOf(HINF inf, const std::string& model) {
    INFCONTEXT manufacturer, entry;
    if (!SetupFindFirstLineA(inf, "Manufacturer", nullptr, &manufacturer)) return "";
    do {
        std::string models = ModelsSection(inf, manufacturer), install;
        if (SetupFindFirstLineA(inf, models.c_str(), model.c_str(), &entry) && Field(entry, 1, install)) return install;
    } while (SetupFindNextLine(&manufacturer, &manufacturer));
    return "";
}

// A copy list goes where its own DestinationDirs entry says, else where
// DefaultDestDir says ("@file" lists have only the default); printer files
// must go to the printer-driver folder.
bool GoesToDriverFolder(HINF inf, const char* list) {
    INFCONTEXT entry;
    INT dirId = 0;
    if (!(list && SetupFindFirstLineA(inf, "DestinationDirs", list, &entry)) &&
        !SetupFindFirstLineA(inf, "DestinationDirs", "DefaultDestDir", &entry))
        return false;
    return SetupGetIntField(&entry, 1, &dirId) && dirId == 66000;
}

// Every field of every CopyFiles line: "@file" or a file-list section with
// one file a line.
bool CopiedFiles(HINF inf, const std::string& install, std::vector<std::string>& files) {
    INFCONTEXT line, entry;
    if (!SetupFindFirstLineA(inf, install.c_str(), "CopyFiles", &line)) return true;
    do {
        for (DWORD i = 1; i <= SetupGetFieldCount(&line); ++i) {
            std::string value, file;
            if (!Field(line, i, value)) return false;
            if (value.empty()) continue;
            bool single = value[0] == '@';
            if (!GoesToDriverFolder(inf, single ? nullptr : value.c_str())) return false;
            if (single) {
                files.push_back(value.substr(1));
                continue;
            }
            if (!SectionExists(inf, value)) return false;
            if (!SetupFindFirstLineA(inf, value.c_str(), nullptr, &entry)) continue;
            do {
                if (!Field(entry, 1, file)) return false;
                files.push_back(file);
            } while (SetupFindNextLine(&entry, &entry));
        }
    } while (SetupFindNextMatchLineA(&line, "CopyFiles", &line));
    return true;
}

// Where a file lies before the copy: the INF's folder, then the path of its
// source disk and its subfolder, both optional. Wine's
// SetupGetSourceFileLocationA returns the disk's path in place of the
// file's subfolder, so the SourceDisksFiles line is read here, this
// platform's first as setupapi does. A file listed nowhere comes from the
// INF's folder.
bool SourceOf(HINF inf, const std::string& infFolder, const std::string& file, std::string& path) {
    path = infFolder;
    INFCONTEXT entry;
    if (!SetupFindFirstLineA(inf, kPlatformFiles, file.c_str(), &entry) &&
        !SetupFindFirstLineA(inf, "SourceDisksFiles", file.c_str(), &entry)) {
        path += "\\" + file;
        return true;
    }
    INT disk = 0;
    char diskPath[MAX_PATH];
    std::string subfolder;
    if (!SetupGetIntField(&entry, 1, &disk) ||
        !SetupGetSourceInfoA(inf, disk, SRCINFO_PATH, diskPath, sizeof diskPath, nullptr) ||
        (SetupGetFieldCount(&entry) >= 2 && !Field(entry, 2, subfolder)))
        return false;
    for (const std::string& part : {std::string(diskPath), subfolder, file})
        if (!part.empty()) path += "\\" + part;
    return true;
}

bool Exists(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

// Whether a line of the install section names `value` among its fields.
bool LineNames(HINF inf, const std::string& install, const char* key, const char* value) {
    INFCONTEXT line;
    std::string field;
    if (!SetupFindFirstLineA(inf, install.c_str(), key, &line)) return false;
    do
        for (DWORD i = 1; i <= SetupGetFieldCount(&line); ++i)
            if (Field(line, i, field) && Lower(field) == Lower(value)) return true;
    while (SetupFindNextMatchLineA(&line, key, &line));
    return false;
}

// What the INF installs for a model, when a real installer would take it:
// the install section, which takes the Unidrv core from the system
// (Include=NTPRINT.INF, Needs=UNIDRV.OEM), its data file and the files it
// copies, every one of them present where the INF says.
bool ReadDriver(HINF inf, const std::string& infFolder, const std::string& model, std::string& dataFile,
                std::vector<std::string>& files) {
    std::string install = InstallSectionOf(inf, model), source;
    INFCONTEXT line;
    if (install.empty() || !SectionExists(inf, install) || !LineNames(inf, install, "Include", "NTPRINT.INF") ||
        !LineNames(inf, install, "Needs", "UNIDRV.OEM") || !CopiedFiles(inf, install, files) ||
        !SetupFindFirstLineA(inf, install.c_str(), "DataFile", &line) || !Field(line, 1, dataFile) ||
        dataFile.empty())
        return false;
    for (const std::string& file : files)
        if (!SourceOf(inf, infFolder, file, source) || !Exists(source)) return false;
    return true;
}

DWORD ConfiguredDelay() {
    DWORD delay = 0, size = sizeof delay;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\PrintUIStandIn", 0, KEY_READ, &key) == ERROR_SUCCESS) {
        if (RegQueryValueExA(key, "AddPrinterDelayMs", nullptr, nullptr, reinterpret_cast<BYTE*>(&delay),
                             &size) != ERROR_SUCCESS)
            delay = 0;
        RegCloseKey(key);
    }
    return delay;
}

// A real installer shows its progress while it works and so goes
// input-idle, which lets the caller's WinExec return before the printer is
// there; the wait pumps this thread's messages as such a window would.
void WaitPumpingMessages(DWORD milliseconds) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds - elapsed, QS_ALLINPUT);
    }
}

// The driver is registered from the driver folder, where the setup program
// has put the model's files, with the Unidrv core: on 32-bit Windows the
// one the setup program puts there too, on 64-bit Windows the system's in
// the folder 3, which the test prefix has (tests/tools/prefix_tool) and
// without which nothing is installed.
bool RegisterDriver(const std::string& model, const std::string& dataFile, const std::vector<std::string>& files) {
    std::string dir = test::PrinterDriverDirectory();
    if (dir.empty()) return false;
#ifdef _WIN64
    const std::string core = dir + "\\3";
    for (const char* name : {"UNIDRV.DLL", "UNIDRVUI.DLL", "UNIDRV.HLP"})
        if (!Exists(core + "\\" + name)) return false;
#else
    const std::string core = dir;
#endif
    std::vector<std::string> listed = {core + "\\UNIDRV.DLL", dir + "\\" + dataFile, core + "\\UNIDRVUI.DLL",
                                       core + "\\UNIDRV.HLP"};
    listed.insert(listed.end(), files.begin(), files.end());
    return test::AddDriverWithFiles(model, listed);
}

void InstallFromInf(std::map<std::string, std::string>& s) {
    std::string infPath = s["/f"], model = s["/m"], printer = s["/b"], port = s["/r"];
    if (model.empty() || printer.empty()) return;
    UINT errorLine = 0;
    HINF inf = SetupOpenInfFileA(infPath.c_str(), nullptr, INF_STYLE_WIN4, &errorLine);
    if (inf == INVALID_HANDLE_VALUE) return;
    size_t slash = infPath.find_last_of('\\');
    std::string infFolder = slash == std::string::npos ? "." : infPath.substr(0, slash), dataFile;
    std::vector<std::string> files;
    bool sound = ReadDriver(inf, infFolder, model, dataFile, files);
    SetupCloseInfFile(inf);
    if (!sound) return;

    WaitPumpingMessages(ConfiguredDelay());
    if (RegisterDriver(model, dataFile, files)) test::AddTestPrinter(printer, model, port.empty() ? "LPT1:" : port);
}

}  // namespace

extern "C" void CALLBACK PrintUIEntry(HWND, HINSTANCE, LPSTR commandLine, int) {
#ifndef _WIN64
    BOOL wow64 = FALSE;
    if (IsWow64Process(GetCurrentProcess(), &wow64) && wow64) {
        AppendLog("C:\\printui.log", std::string("32-bit printer installer under WoW64: ") + GetCommandLineA());
        return;
    }
#endif
    AppendLog("C:\\printui.log", GetCommandLineA());
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof folder, folder);
    AppendLog("C:\\printui.cwd", folder);
    std::map<std::string, std::string> switches = ParseSwitches(commandLine ? commandLine : "");
    if (switches.count("/if")) {
        InstallFromInf(switches);
    } else if (switches.count("/y") && !switches["/n"].empty()) {
        test::SetDefaultPrinterName(switches["/n"]);
    }
}
