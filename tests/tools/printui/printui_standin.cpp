// Stand-in for the platform's printer installer under Wine, whose own
// printui.dll does not implement /if or /y. Loaded by rundll32 through a
// DLL override in the test prefixes; setup.exe never knows.
//   /if /f INF /r PORT /b NAME /m MODEL  installs a printer from an INF file
//   /y /n NAME                           makes NAME the default printer
// Every command line is appended to C:\printui.log, one a line, so tests
// can check what they were given. HKCU\Software\PrintUIStandIn, DWORD
// AddPrinterDelayMs, delays the new printer so tests can watch the wait.
#include <windows.h>
#include <winspool.h>
#include <algorithm>
#include <map>
#include <string>
#include <vector>

namespace {

using Section = std::vector<std::pair<std::string, std::string>>;
using Inf = std::map<std::string, Section>;   // by lower-case section name

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return "";
    return s.substr(b, s.find_last_not_of(" \t\r\n") - b + 1);
}

std::string Unquote(const std::string& s) {
    std::string t = Trim(s);
    if (t.size() >= 2 && t.front() == '"' && t.back() == '"') return t.substr(1, t.size() - 2);
    return t;
}

std::string FirstField(const std::string& s) { return Trim(s.substr(0, s.find(','))); }

void AppendLog(const std::string& line) {
    for (int attempt = 0; attempt < 50; ++attempt) {
        HANDLE log = CreateFileA("C:\\printui.log", FILE_APPEND_DATA, 0, nullptr, OPEN_ALWAYS,
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

// Switches and their values; a value may be quoted.
std::map<std::string, std::string> ParseSwitches(const char* commandLine) {
    std::map<std::string, std::string> switches;
    std::string current;
    const char* p = commandLine;
    while (*p) {
        while (*p == ' ' || *p == '\t') ++p;
        if (!*p) break;
        std::string token;
        if (*p == '"') {
            for (++p; *p && *p != '"'; ++p) token += *p;
            if (*p) ++p;
        } else {
            for (; *p && *p != ' ' && *p != '\t'; ++p) token += *p;
        }
        if (!token.empty() && token[0] == '/') {
            current = Lower(token);
            switches[current];
        } else if (!current.empty()) {
            switches[current] = token;
            current.clear();
        }
    }
    return switches;
}

bool ReadInf(const std::string& path, Inf& inf) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    std::string text;
    char buffer[4096];
    DWORD n;
    while (ReadFile(file, buffer, sizeof buffer, &n, nullptr) && n > 0) text.append(buffer, n);
    CloseHandle(file);
    Section* section = nullptr;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (line.find(';') != std::string::npos && line.find('"') == std::string::npos)
            line = line.substr(0, line.find(';'));
        line = Trim(line);
        if (line.empty()) continue;
        if (line[0] == '[') {
            section = &inf[Lower(line.substr(1, line.find(']') - 1))];
        } else if (section) {
            size_t eq = line.find('=');
            if (eq == std::string::npos) section->push_back({Unquote(line), ""});
            else section->push_back({Unquote(line.substr(0, eq)), Trim(line.substr(eq + 1))});
        }
    }
    return true;
}

const Section* Find(const Inf& inf, const std::string& name) {
    auto it = inf.find(Lower(name));
    return it == inf.end() ? nullptr : &it->second;
}

// The install section of a model: [Manufacturer] names the models section,
// preferring its NTx86 decoration.
std::string InstallSectionOf(const Inf& inf, const std::string& model) {
    const Section* manufacturer = Find(inf, "Manufacturer");
    if (!manufacturer) return "";
    for (const auto& entry : *manufacturer) {
        std::string base = FirstField(entry.second);
        const Section* models = Find(inf, base + ".NTx86");
        if (!models) models = Find(inf, base);
        if (!models) continue;
        for (const auto& m : *models)
            if (m.first == model) return FirstField(m.second);
    }
    return "";
}

// The files an install section copies, and its data file.
std::vector<std::string> FilesOf(const Inf& inf, const Section& install, std::string& dataFile) {
    std::vector<std::string> files;
    for (const auto& entry : install) {
        std::string key = Lower(entry.first);
        if (key == "datafile") dataFile = Unquote(entry.second);
        if (key != "copyfiles") continue;
        if (!entry.second.empty() && entry.second[0] == '@') {
            files.push_back(Trim(entry.second.substr(1)));
        } else if (const Section* list = Find(inf, FirstField(entry.second))) {
            for (const auto& f : *list) files.push_back(f.first);
        }
    }
    return files;
}

// Where the INF says a file comes from: its own folder, or a subfolder for
// the x86 files.
std::string SourceOf(const Inf& inf, const std::string& infFolder, const std::string& file) {
    if (const Section* x86 = Find(inf, "SourceDisksFiles.x86")) {
        for (const auto& entry : *x86) {
            if (Lower(entry.first) != Lower(file)) continue;
            std::string value = entry.second;
            size_t comma = value.find(',');
            std::string sub = comma == std::string::npos ? "" : Trim(value.substr(comma + 1));
            return sub.empty() ? infFolder + "\\" + file : infFolder + "\\" + sub + "\\" + file;
        }
    }
    return infFolder + "\\" + file;
}

bool Exists(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
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

char* Text(std::string& s) { return &s[0]; }

// The driver is registered from the driver folder, where the setup program
// has put the model's files and the Unidrv core the platform would supply.
bool RegisterDriver(const std::string& model, const std::string& dataFile, const std::vector<std::string>& files) {
    char folder[MAX_PATH] = {};
    DWORD needed;
    char environment[] = "Windows NT x86";
    if (!GetPrinterDriverDirectoryA(nullptr, environment, 1, reinterpret_cast<BYTE*>(folder), sizeof folder, &needed))
        return false;
    std::string dir = folder;
    std::string name = model, driver = dir + "\\UNIDRV.DLL", config = dir + "\\UNIDRVUI.DLL";
    std::string data = dir + "\\" + dataFile, help = dir + "\\UNIDRV.HLP";
    std::string dependent;
    for (const std::string& f : files) dependent += f + '\0';
    dependent += '\0';
    DRIVER_INFO_3A info = {};
    info.cVersion = 3;
    info.pName = Text(name);
    info.pEnvironment = environment;
    info.pDriverPath = Text(driver);
    info.pDataFile = Text(data);
    info.pConfigFile = Text(config);
    info.pHelpFile = Text(help);
    info.pDependentFiles = Text(dependent);
    return AddPrinterDriverExA(nullptr, 3, reinterpret_cast<BYTE*>(&info), APD_COPY_NEW_FILES);
}

void InstallFromInf(std::map<std::string, std::string>& s) {
    std::string infPath = s["/f"], model = s["/m"], printer = s["/b"], port = s["/r"];
    Inf inf;
    if (model.empty() || printer.empty() || !ReadInf(infPath, inf)) return;
    std::string sectionName = InstallSectionOf(inf, model);
    const Section* install = sectionName.empty() ? nullptr : Find(inf, sectionName);
    if (!install) return;
    std::string dataFile;
    std::vector<std::string> files = FilesOf(inf, *install, dataFile);
    std::string infFolder = infPath.substr(0, infPath.find_last_of('\\'));
    for (const std::string& f : files)
        if (!Exists(SourceOf(inf, infFolder, f))) return;
    if (dataFile.empty()) return;

    WaitPumpingMessages(ConfiguredDelay());
    if (!RegisterDriver(model, dataFile, files)) return;
    PRINTER_INFO_2A info = {};
    info.pPrinterName = Text(printer);
    info.pPortName = port.empty() ? const_cast<char*>("LPT1:") : Text(port);
    info.pDriverName = Text(model);
    info.pPrintProcessor = const_cast<char*>("WinPrint");
    info.pDatatype = const_cast<char*>("RAW");
    if (HANDLE h = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info))) ClosePrinter(h);
}

}  // namespace

extern "C" void CALLBACK PrintUIEntry(HWND, HINSTANCE, LPSTR commandLine, int) {
    AppendLog(GetCommandLineA());
    std::map<std::string, std::string> switches = ParseSwitches(commandLine ? commandLine : "");
    if (switches.count("/if")) {
        InstallFromInf(switches);
    } else if (switches.count("/y") && !switches["/n"].empty()) {
        SetDefaultPrinterA(switches["/n"].c_str());
    }
}
