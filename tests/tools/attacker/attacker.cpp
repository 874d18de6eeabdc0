// Another user racing the elevated programs: watches one path and acts the
// moment it is written (there, and no longer held open) or gone, then logs
// what it did and whether that worked. It runs in the test prefix as a
// Windows program, so that Wine's sharing rules apply to it as to a user's.
//   attacker LOG written|gone WATCHED copy PATH FILE   PATH becomes a copy of FILE
//   attacker LOG written|gone WATCHED link PATH FILE   PATH becomes a hard link to FILE
//   attacker LOG written|gone WATCHED swap PATH TARGET folder PATH goes, a symbolic link to TARGET
//                                                     takes its place (made by Linux's ln, as Wine's
//                                                     CreateSymbolicLink does nothing)
//   attacker LOG written WATCHED lswap PATH TARGET   a Linux shell, started beforehand, watches WATCHED
//                                                     itself and the moment it is there moves PATH aside
//                                                     and puts a symbolic link to TARGET in its place:
//                                                     Linux ignores the sharing that holds PATH
//   attacker LOG written WATCHED hold PATH -        opens PATH without sharing once it can, and
//                                                     holds it until killed
//   attacker LOG event NAME                           makes an event of that object name and holds it
//                                                     until killed
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

// The Unix path of a Windows path whose folders need not exist yet.
std::string UnixPathOf(const std::string& path) {
    std::string drive = UnixPath(path.substr(0, 3));
    if (!drive.empty() && drive.back() == '/') drive.pop_back();
    std::string unix = drive + "/" + path.substr(3);
    for (char& c : unix) if (c == '\\') c = '/';
    return unix;
}

void StartShell(const std::string& script) {
    std::string line = "Z:\\usr\\bin\\timeout 120 /bin/sh -c \"" + script + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
}

// A Linux shell, started beforehand, makes the link the moment PATH.old
// appears (the Windows rename done), so the folder is missing for as short
// a time as can be; PATH.stop ends it. PATH's folders need not exist yet.
void StartLinker(const std::string& path, const std::string& target) {
    std::string link = UnixPathOf(path);
    StartShell("while [ ! -e " + link + ".old ] && [ ! -e " + link + ".stop ]; do :; done; [ -e " + link +
               ".old ] && ln -s " + UnixPath(target) + " " + link);
}

void StartLinuxSwap(const std::string& watched, const std::string& path, const std::string& target) {
    std::string link = UnixPathOf(path);
    StartShell("while [ ! -e " + UnixPathOf(watched) + " ]; do :; done; mv " + link + " " + link + ".old && ln -s " +
               UnixPath(target) + " " + link);
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
    if (argc == 4 && std::string(argv[2]) == "event") {
        g_log = argv[1];
        HANDLE event = CreateEventA(nullptr, TRUE, FALSE, argv[3]);
        Log(event && GetLastError() != ERROR_ALREADY_EXISTS ? std::string("holding ") + argv[3]
                                                            : "cannot make " + std::string(argv[3]));
        if (!event) return 1;
        Sleep(INFINITE);
    }
    if (argc != 7) return 2;
    g_log = argv[1];
    const std::string when = argv[2], watched = argv[3], how = argv[4], path = argv[5], arg = argv[6];
    const std::string prepared = "C:\\attacker" + std::to_string(GetCurrentProcessId());
    if (how == "hold") {
        Log("watching " + watched);
        while (!Exists(watched)) Sleep(1);
        // The writer may still have it open; then it is taken the moment it closes.
        HANDLE held = INVALID_HANDLE_VALUE;
        for (DWORD start = GetTickCount(); held == INVALID_HANDLE_VALUE && GetTickCount() - start < 3000;)
            held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        Log("hold " + path + (held != INVALID_HANDLE_VALUE ? ": done" : ": failed, error " + std::to_string(GetLastError())));
        if (held == INVALID_HANDLE_VALUE) return 1;
        Sleep(INFINITE);
    }
    if (how != "swap" && how != "lswap" && !Prepare(how, arg, prepared)) {
        Log("cannot prepare " + how + " " + arg);
        return 1;
    }
    if (how == "swap") StartLinker(path, arg);
    if (how == "lswap") {
        StartLinuxSwap(watched, path, arg);
        Log("watching " + watched);
        DWORD error = 0;
        while (!Exists(watched)) Sleep(1);
        bool done = Retry(Linked, path + ".old", "", error) && Retry(Linked, path, "", error);
        Log(how + " " + path + (done ? ": done" : ": failed"));
        return done ? 0 : 1;
    }
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
