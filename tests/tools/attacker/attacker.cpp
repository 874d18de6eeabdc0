// Another user racing the elevated programs: watches one path and acts the
// moment it is written (there, and no longer held open) or gone, then logs
// what it did and whether that worked. It runs in the test prefix as a
// Windows program, so that Wine's sharing rules apply to it as to a user's.
//   attacker LOG written|gone WATCHED copy PATH FILE   PATH becomes a copy of FILE
//   attacker LOG written|gone WATCHED link PATH FILE   PATH becomes a hard link to FILE
//   attacker LOG written|gone WATCHED swap PATH LINK   folder PATH goes, the link LINK takes its place
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
    Log("watching " + watched);
    for (;;) {
        while (Exists(watched) != (when == "written")) Sleep(1);
        DWORD error = 0;
        bool done = how == "swap" ? Retry(MoveOver, path, path + ".old", error) && Retry(MoveOver, arg, path, error)
                                  : Retry(MoveOver, prepared, path, error);
        Log(how + " " + path + (done ? ": done" : ": failed, error " + std::to_string(error)));
        if (how == "swap" || !done) return done ? 0 : 1;
        // Written anew only after the writer deleted it.
        while (Exists(watched) == (when == "written")) Sleep(1);
        Prepare(how, arg, prepared);
    }
}
