#include "system_files.h"
#include "afx.h"
#include <delayimp.h>

void AfxRestrictDllSearch() {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    using SetDefaultDirectories = BOOL(WINAPI*)(DWORD);
    using SetDirectory = BOOL(WINAPI*)(const char*);
    // Systems with the newer loader search the system folder only; older ones
    // at least drop the current folder. The program folder stays in the
    // search there, which is why run-time loads name the full path as well.
    auto setDefault = reinterpret_cast<SetDefaultDirectories>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
    auto setDirectory =
        reinterpret_cast<SetDirectory>(reinterpret_cast<void*>(GetProcAddress(kernel, "SetDllDirectoryA")));
    if (setDirectory) setDirectory("");
}

bool AfxSystemPath(char (&path)[MAX_PATH], const char* name) {
    char folder[MAX_PATH];
    UINT length = GetSystemDirectoryA(folder, sizeof folder);
    if (length == 0 || length >= sizeof folder) {
        path[0] = '\0';
        return false;
    }
    return AfxFormat(path, "%s\\%s", folder, name);
}

HMODULE AfxLoadSystemLibrary(const char* name) {
    char path[MAX_PATH];
    return AfxSystemPath(path, name) ? LoadLibraryA(path) : nullptr;
}

// The DLLs the programs import on first use (cmake/winspool_delay.def)
// come from the system folder too: the loader is handed the full path
// before it would search for the bare name.
static FARPROC WINAPI LoadDelayImportFromSystemFolder(unsigned notification, PDelayLoadInfo info) {
    if (notification != dliNotePreLoadLibrary) return nullptr;
    return reinterpret_cast<FARPROC>(AfxLoadSystemLibrary(info->szDll));
}

extern "C" {
PfnDliHook __pfnDliNotifyHook2 = LoadDelayImportFromSystemFolder;
PfnDliHook __pfnDliFailureHook2 = nullptr;
}
