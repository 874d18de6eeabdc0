// DLLs and programs of the system folder, and only from there. Both
// programs run elevated; a DLL or program beside them (a downloads folder)
// or in the current folder may have been put there by anyone.
#pragma once
#include <windows.h>

// Takes the program's folder and the current folder out of the DLL search
// of this process. Called first thing, before any DLL is loaded at run time.
void AfxRestrictDllSearch();

// "<system folder>\<name>"; false (and an empty buffer) when it does not fit.
bool AfxSystemPath(char (&path)[MAX_PATH], const char* name);

// Loads a DLL of the system folder by its full path; null when it cannot.
HMODULE AfxLoadSystemLibrary(const char* name);
