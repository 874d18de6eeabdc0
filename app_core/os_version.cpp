#include "os_version.h"
#include <windows.h>
#include <cstdlib>

int OsCodeFor(bool nonNt, unsigned major, unsigned minor) {
    if (nonNt) {
        if (major == 4 && minor == 10) return OS_WIN98;
        if (major == 4 && minor == 90) return OS_WINME;
        return OS_WIN95;
    }
    if (major == 4) return OS_NT4;
    if (major == 5 && minor == 0) return OS_WIN2000;
    if (major == 5 && minor == 1) return OS_WINXP;
    if (major == 5 && minor == 2) return OS_WIN2003;
    if (major == 6 && minor == 0) return OS_VISTA;
    if (major == 6 && minor == 1) return OS_WIN7;
    return OS_NT_OTHER;
}

int DetectWindowsVersion() {
    DWORD version = GetVersion();
    bool nonNt = version >= 0x80000000u;
    if (nonNt && LOBYTE(LOWORD(version)) < 4) return OS_WIN32S;

    // A zero-filled record: if the query fails it reads as version 0.0.
    OSVERSIONINFOA* info = static_cast<OSVERSIONINFOA*>(calloc(1, sizeof(OSVERSIONINFOA)));
    if (!info) return nonNt ? OS_WIN95 : OS_NT_OTHER;
    info->dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    GetVersionExA(info);
    int code = OsCodeFor(nonNt, info->dwMajorVersion, info->dwMinorVersion);
    free(info);
    return code;
}
