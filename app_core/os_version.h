// Operating-system detection: the running Windows version as a small code.
#pragma once

enum OsCode {
    OS_WIN32S = 0, OS_WIN95 = 1, OS_WIN98 = 2, OS_WINME = 3, OS_NT_OTHER = 4,
    OS_NT4 = 5, OS_WIN2000 = 6, OS_WINXP = 7, OS_WIN2003 = 8, OS_VISTA = 9, OS_WIN7 = 10,
};

// Maps the version that GetVersionExA reported to its code; nonNt is the
// Windows 9x platform (whose versions below 4 GetVersion alone decides).
int OsCodeFor(bool nonNt, unsigned major, unsigned minor);

int DetectWindowsVersion();
