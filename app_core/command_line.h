// What setup.exe and the uninstaller read from their command lines. A word
// they do not know, or one too long for its buffer, is kept as `unknown`:
// under a management tool a switch the program ignored would go unnoticed.
#pragma once
#include <windows.h>

struct CommandLineSwitches {
    bool silent = false;           // "/S" (or a tool's /quiet, /qn, /SILENT, /VERYSILENT): no window
    bool usage = false;            // "/?"
    char logPath[MAX_PATH] = {};   // "/LOG=<path>", its quotes taken out
    // "/PORT=<name>" or "/IP=<address>[:<TCP port>]", whichever comes last,
    // with its value (quotes taken out, cut to the buffer).
    enum class PortSwitch { None, Port, Address } portSwitch = PortSwitch::None;
    char port[MAX_PATH] = {};
    bool testPrint = false;        // "/TESTPRINT": a test receipt once the printer is there
    bool allUsers = false;         // "/ALLUSERS": the printer every user's default, at their next logon
    bool noDefault = false;        // "/NODEFAULT": nobody's default printer changes
    bool force = false;            // "/FORCE": installs over a newer version
    char unknown[64] = {};         // the first word it does not know, cut to the buffer; "" for none
};

// The words after the program's own name (quoted, or up to the first
// blank); switches in any letter case. A word runs to the next blank
// outside quotes, so /LOG="C:\a b\x.log" is one word.
CommandLineSwitches ParseCommandLine(const char* commandLine);
