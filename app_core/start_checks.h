// What setup.exe and the uninstaller check at start, before they write
// anything: which machine this Windows runs on, and whether another of
// them runs.
#pragma once
#include "machine.h"
#include <windows.h>

// The machine Windows runs on natively (IMAGE_FILE_MACHINE_...), which for
// this 32-bit program is not its own on 64-bit Windows.
USHORT DetectNativeMachine();

// Holds the named mutex both programs share until the process ends; false
// when another setup or uninstaller holds it (or made it, and may keep it
// from us): then nothing may be written.
bool TakeRunMutex();

// The message for the second, in the system's language.
const char* AnotherRunningText(LANGID systemLanguage);
