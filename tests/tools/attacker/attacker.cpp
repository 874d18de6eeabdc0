// Another user racing the elevated programs: watches one path and acts the
// moment it is written (there, and no longer held open) or gone, then logs
// what it did and whether that worked. It runs in the test prefix as a
// Windows program, so that Wine's sharing rules apply to it as to a user's.
//   attacker LOG written|gone WATCHED copy PATH FILE   PATH becomes a copy of FILE
//   attacker LOG written|gone WATCHED link PATH FILE   PATH becomes a hard link to FILE
//   attacker LOG written|gone WATCHED swap PATH TARGET folder PATH goes, a symbolic link to TARGET
//                                                     takes its place (made by Linux's ln, as Wine's
//                                                     CreateSymbolicLink does nothing)
// copy and link act again each time WATCHED is written anew; the replacement
// is prepared beforehand and moved in with one rename, as fast as it gets.
#include <windows.h>
#include <cstdlib>
#include <string>

namespace {

std::string g_log;

void Log(const std::string& line) {
    HANDLE log = CreateFileA(g_log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written;
    std::string text = line + "\r\n";
    WriteFile(log, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(log);
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Retries for a while: the writer may still hold the file without sharing.
bool Retry(bool (*step)(const std::string&, const std::string&), const std::string& a, const std::string& b,
           DWORD& error) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < 3000;) {
        if (step(a, b)) return true;
        error = GetLastError();
    }
    return false;
}

bool MoveOver(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING);
}

// The Unix path Wine gives a Windows path ("" when it cannot say).
std::string UnixPath(const std::string& path) {
    using ToUnix = char*(CDECL*)(const WCHAR*);
    auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    WCHAR wide[MAX_PATH];
    char* unix = toUnix && MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH) ? toUnix(wide) : nullptr;
    std::string result = unix ? unix : "";
    if (unix) HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

// A Linux shell, started beforehand, makes the link the moment PATH.old
// appears (the Windows rename done), so the folder is missing for as short
// a time as can be; PATH.stop ends it. PATH's folders need not exist yet.
void StartLinker(const std::string& path, const std::string& target) {
    std::string drive = UnixPath(path.substr(0, 3)), unixTarget = UnixPath(target);
    if (!drive.empty() && drive.back() == '/') drive.pop_back();
    std::string link = drive + "/" + path.substr(3);
    for (char& c : link) if (c == '\\') c = '/';
    std::string line = "Z:\\usr\\bin\\timeout 120 /bin/sh -c \"while [ ! -e " + link + ".old ] && [ ! -e " + link +
                       ".stop ]; do :; done; [ -e " + link + ".old ] && ln -s " + unixTarget + " " + link + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
}

bool Linked(const std::string& path, const std::string&) {
    return Exists(path);
}

bool Prepare(const std::string& how, const std::string& source, const std::string& prepared) {
    DeleteFileA(prepared.c_str());
    return how == "copy" ? CopyFileA(source.c_str(), prepared.c_str(), FALSE)
                         : CreateHardLinkA(prepared.c_str(), source.c_str(), nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int argc = __argc;
    char** argv = __argv;
    if (argc != 7) return 2;
    g_log = argv[1];
    const std::string when = argv[2], watched = argv[3], how = argv[4], path = argv[5], arg = argv[6];
    const std::string prepared = "C:\\attacker" + std::to_string(GetCurrentProcessId());
    if (how != "swap" && !Prepare(how, arg, prepared)) {
        Log("cannot prepare " + how + " " + arg);
        return 1;
    }
    if (how == "swap") StartLinker(path, arg);
    Log("watching " + watched);
    for (;;) {
        while (Exists(watched) != (when == "written")) Sleep(1);
        DWORD error = 0;
        bool done = how == "swap" ? Retry(MoveOver, path, path + ".old", error) && Retry(Linked, path, "", error)
                                  : Retry(MoveOver, prepared, path, error);
        if (how == "swap" && !done) CloseHandle(CreateFileA((path + ".stop").c_str(), GENERIC_WRITE, 0, nullptr,
                                                            CREATE_ALWAYS, 0, nullptr));
        Log(how + " " + path + (done ? ": done" : ": failed, error " + std::to_string(error)));
        if (how == "swap" || !done) return done ? 0 : 1;
        // Written anew only after the writer deleted it.
        while (Exists(watched) == (when == "written")) Sleep(1);
        Prepare(how, arg, prepared);
    }
}
