// What setup.exe and the uninstaller check at start, before they write
// anything: whether this Windows can take the driver, and whether another
// of them runs.
#pragma once
#include <windows.h>

// True on 64-bit Windows: this 32-bit program runs under WoW64 there.
// IsWow64Process is looked up at run time, as Windows 2000 lacks it.
bool IsWindows64();

// Holds the named mutex both programs share until the process ends; false
// when another setup or uninstaller holds it (or made it, and may keep it
// from us): then nothing may be written.
bool TakeRunMutex();

// The messages for the two, in the system's language.
const char* Windows64Text(LANGID systemLanguage);
const char* AnotherRunningText(LANGID systemLanguage);
