#include "staging.h"
#include "spooler.h"
#include "../framework/afx.h"
#include <windows.h>
#include <cstring>

namespace {

// Before Vista a path cannot be resolved: there the folder and every folder
// above it must be plain folders.
bool PassesAReparsePoint(const char* folder) {
    char path[MAX_PATH];
    if (!AfxFormat(path, "%s", folder)) return true;
    for (;;) {
        DWORD attributes = GetFileAttributesA(path);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return true;
        char* name = const_cast<char*>(AfxFindFileName(path));
        if (name == path) return false;
        name[-1] = '\0';
    }
}

}  // namespace

bool LeadsElsewhere(const char* folder) {
    if (GetFileAttributesA(folder) == INVALID_FILE_ATTRIBUTES) return false;   // nothing there yet
    using FinalPath = DWORD(WINAPI*)(HANDLE, char*, DWORD, DWORD);
    auto finalPath = reinterpret_cast<FinalPath>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleA")));
    if (!finalPath) return PassesAReparsePoint(folder);
    HANDLE handle = CreateFileA(folder, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return true;
    char resolved[MAX_PATH + 4];
    DWORD length = finalPath(handle, resolved, sizeof resolved, 0);
    CloseHandle(handle);
    const char kPrefix[] = "\\\\?\\";   // what the resolved path begins with
    return length == 0 || length >= sizeof resolved || strncmp(resolved, kPrefix, 4) != 0 ||
           !SameName(resolved + 4, folder);
}
