// What setup.exe and the uninstaller read from their command lines. Words
// they do not know are ignored, and so is a word too long for its buffer.
#pragma once
#include <windows.h>

struct CommandLineSwitches {
    bool silent = false;           // "/S": no window, no message box
    bool usage = false;            // "/?"
    char logPath[MAX_PATH] = {};   // "/LOG=<path>", its quotes taken out
    // "/PORT=<name>" or "/IP=<address>[:<TCP port>]", whichever comes last,
    // with its value (quotes taken out, cut to the buffer).
    enum class PortSwitch { None, Port, Address } portSwitch = PortSwitch::None;
    char port[MAX_PATH] = {};
    bool testPrint = false;        // "/TESTPRINT": a test receipt once the printer is there
};

// The words after the program's own name (quoted, or up to the first
// blank); switches in any letter case. A word runs to the next blank
// outside quotes, so /LOG="C:\a b\x.log" is one word.
CommandLineSwitches ParseCommandLine(const char* commandLine);
