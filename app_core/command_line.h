// What setup.exe and the uninstaller read from their command lines. Words
// they do not know are ignored, and so is a word too long for its buffer.
#pragma once
#include <windows.h>

struct CommandLineSwitches {
    bool silent = false;           // "/S": no window, no message box
    bool usage = false;            // "/?"
    char logPath[MAX_PATH] = {};   // "/LOG=<path>", its quotes taken out
};

// The words after the program's own name (quoted, or up to the first
// blank); switches in any letter case. A word runs to the next blank
// outside quotes, so /LOG="C:\a b\x.log" is one word.
CommandLineSwitches ParseCommandLine(const char* commandLine);
