#include "test_support.h"
#include <tlhelp32.h>
#include <cstdlib>

namespace test {

std::string BuildDir() {
    const char* unixDir = getenv("SETUP_BUILD_DIR");
    std::string dir = "Z:";
    dir += unixDir ? unixDir : "/tmp";
    for (char& c : dir)
        if (c == '/') c = '\\';
    return dir;
}

std::string BuildPath(const std::string& relative) { return BuildDir() + "\\" + relative; }

std::string MakeTempFolder(const std::string& name) {
    CreateDirectoryA("C:\\tests", nullptr);
    static int counter = 0;
    for (;;) {
        std::string path = "C:\\tests\\" + name + "_" + std::to_string(GetCurrentProcessId()) + "_" +
                           std::to_string(++counter);
        if (CreateDirectoryA(path.c_str(), nullptr)) return path;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return "";
    }
}

std::string EmbeddedPayload(unsigned id) {
    HRSRC r = FindResourceA(nullptr, MAKEINTRESOURCEA(id), "OWNER_DATA");
    if (!r) return "";
    return std::string(static_cast<const char*>(LockResource(LoadResource(nullptr, r))), SizeofResource(nullptr, r));
}

bool FileExists(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ReadFileBytes(const std::string& path) {
    // Shared for writing too: a log read while a program appends to it.
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (f == INVALID_HANDLE_VALUE) return "";
    std::string bytes;
    char buffer[65536];
    DWORD n;
    while (ReadFile(f, buffer, sizeof buffer, &n, nullptr) && n > 0) bytes.append(buffer, n);
    CloseHandle(f);
    return bytes;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD n = 0;
    BOOL ok = WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
    CloseHandle(f);
    return ok && n == bytes.size();
}

std::vector<std::string> ListFolder(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        std::string n = data.cFileName;
        if (n != "." && n != "..") names.push_back(n);
    } while (FindNextFileA(h, &data));
    FindClose(h);
    return names;
}

std::string LinuxPath(const std::string& windowsPath) {
    using ToUnix = char*(CDECL*)(const WCHAR*);
    auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    WCHAR wide[MAX_PATH];
    if (!toUnix || !MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide, MAX_PATH)) return "";
    char* unix = toUnix(wide);
    if (!unix) return "";
    std::string path = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return path;
}

bool MakeUnixLink(const std::string& link, const std::string& target) {
    size_t slash = link.find_last_of('\\');
    std::string parent = LinuxPath(link.substr(0, slash)), unixTarget = LinuxPath(target);
    if (parent.empty() || unixTarget.empty()) return false;
    Program ln("Z:\\bin\\ln -s " + unixTarget + " " + parent + "/" + link.substr(slash + 1));
    // Wine shows a link to a folder as a reparse point, one to a file as the file.
    return WaitUntil([&] {
        DWORD attributes = GetFileAttributesA(link.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES &&
               ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) || !(attributes & FILE_ATTRIBUTE_DIRECTORY));
    }, 5000);
}

void RemoveUnixLink(const std::string& link) {
    std::string path = LinuxPath(link);
    if (path.empty()) return;
    Program rm("Z:\\bin\\rm " + path);
    WaitUntil([&] { return GetFileAttributesA(link.c_str()) == INVALID_FILE_ATTRIBUTES; }, 5000);
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(20);
    }
}

namespace {
struct WindowSearch {
    DWORD processId;
    const char* className;
    const std::function<bool(HWND)>& accept;
    HWND found;
};
BOOL CALLBACK MatchProcessWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != search->processId || !IsWindowVisible(window)) return TRUE;
    char name[64] = {};
    if (search->className && (!GetClassNameA(window, name, sizeof name) || lstrcmpA(name, search->className) != 0))
        return TRUE;
    if (search->accept && !search->accept(window)) return TRUE;
    search->found = window;
    return FALSE;
}
}  // namespace

HWND FindProcessWindow(DWORD processId, const char* className, const std::function<bool(HWND)>& accept) {
    WindowSearch search = {processId, className, accept, nullptr};
    EnumWindows(MatchProcessWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool IsMessageBox(HWND window) {
    return GetDlgItem(window, 0xFFFF) && !GetDlgItem(window, 1000) && !GetDlgItem(window, 1062);
}

MessageBoxSeen ReadMessageBox(HWND box) {
    MessageBoxSeen seen;
    if (!box) return seen;
    char text[8192] = {}, caption[512] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    GetWindowTextA(box, caption, sizeof caption);
    seen.seen = true;
    seen.text = text;
    seen.caption = caption;
    return seen;
}

Program::Program(const std::string& commandLine) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info_))
        info_ = PROCESS_INFORMATION{};
}

Program::~Program() {
    WaitForExit(0);
    if (info_.hThread) CloseHandle(info_.hThread);
    if (info_.hProcess) CloseHandle(info_.hProcess);
}

bool Program::HasEnded() const { return !info_.hProcess || WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0; }

DWORD Program::WaitForExit(DWORD timeoutMs) {
    if (!info_.hProcess) return kNotEnded;
    if (WaitForSingleObject(info_.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(info_.hProcess, 1);
        WaitForSingleObject(info_.hProcess, 5000);
        return kNotEnded;
    }
    DWORD code = kNotEnded;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

HWND Program::Window(const char* className, const std::function<bool(HWND)>& accept) const {
    return info_.hProcess ? FindProcessWindow(info_.dwProcessId, className, accept) : nullptr;
}

HWND Program::WaitForWindow(const char* className, const std::function<bool(HWND)>& accept, DWORD timeoutMs) const {
    HWND found = nullptr;
    WaitUntil([&] { return (found = Window(className, accept)) != nullptr || HasEnded(); }, timeoutMs);
    return found;
}

HWND Program::WaitForMessageBox(DWORD timeoutMs) const { return WaitForWindow("#32770", IsMessageBox, timeoutMs); }

MessageBoxSeen Program::AnswerMessageBox(int button, DWORD timeoutMs) const {
    HWND box = WaitForMessageBox(timeoutMs);
    MessageBoxSeen seen = ReadMessageBox(box);
    if (!box) return seen;
    PostMessageA(box, WM_COMMAND, button, 0);
    WaitUntil([&] { return !IsWindow(box); }, timeoutMs);
    return seen;
}

bool WaitUntilNoneRuns(const char* programFileName, DWORD timeoutMs) {
    return WaitUntil([&] {
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        PROCESSENTRY32 entry = {};
        entry.dwSize = sizeof entry;
        bool runs = false;
        for (BOOL more = Process32First(snapshot, &entry); more && !runs; more = Process32Next(snapshot, &entry))
            runs = lstrcmpiA(entry.szExeFile, programFileName) == 0;
        CloseHandle(snapshot);
        return !runs;
    }, timeoutMs);
}

DWORD RunSetupAndCancel(const std::string& commandLine, DWORD timeoutMs, bool* wizardShown) {
    Program setup(commandLine);
    bool shown = false;
    // Cancel whenever a window shows, until the program ends.
    WaitUntil([&] {
        if (HWND wizard = setup.Window()) {
            shown = true;
            PostMessageA(wizard, WM_COMMAND, IDCANCEL, 0);
        }
        return setup.HasEnded();
    }, timeoutMs);
    if (wizardShown) *wizardShown = shown;
    return setup.WaitForExit(0);
}

void SetWindowsVersion(const std::string& programFileName, const std::string& version) {
    std::string key = "Software\\Wine\\AppDefaults\\" + programFileName;
    HKEY h;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h,
                        nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(h, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                       static_cast<DWORD>(version.size() + 1));
        RegCloseKey(h);
    }
}

std::string ReadRegistryString(HKEY root, const std::string& key, const std::string& name) {
    HKEY h;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return "<missing>";
    char data[4096] = {};
    DWORD size = sizeof data - 1, type = 0;
    LONG r = RegQueryValueExA(h, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(h);
    if (r != ERROR_SUCCESS) return "<missing>";
    return std::string(data, size && data[size - 1] == '\0' ? size - 1 : size);
}

void EmptyFolder(const std::string& folder) {
    for (const std::string& name : ListFolder(folder)) {
        const std::string path = folder + "\\" + name;
        if (FolderExists(path)) {
            EmptyFolder(path);
            RemoveDirectoryA(path.c_str());
        } else {
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        }
    }
}

bool UninstallKeyExists(const std::string& printerName) {
    HKEY key;
    const std::string path = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + printerName + " printer";
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

std::string InstallCommand(const std::string& n) {
    // The INF's path is quoted when it holds a blank, as the installer splits at blanks.
    std::string inf = "C:\\TEMP\\" + n + ".INF";
    if (n.find(' ') != std::string::npos) inf = "\"" + inf + "\"";
    return "rundll32.exe printui.dll,PrintUIEntry /if /f " + inf + " /r \"LPT1:\" /b \"" + n + "\" /m \"" + n +
           "\" ";
}

std::string DefaultCommand(const std::string& n) { return "rundll32 printui.dll,PrintUIEntry /y /n \"" + n + "\""; }

void SetPrintUiDelay(DWORD milliseconds) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\PrintUIStandIn", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, "AddPrinterDelayMs", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&milliseconds),
                   sizeof milliseconds);
    RegCloseKey(key);
}

}  // namespace test
