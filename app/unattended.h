// How setup.exe runs besides its wizard: the refusals at start, the usage
// message of /?, and /S, the install a user who clicks Next throughout
// would make, with no window, its outcome in the exit code and a log.
#pragma once
#include "../app_core/command_line.h"
#include "../app_core/install_choices.h"
#include "../app_core/install_outcome.h"
#include <windows.h>

// A Windows whose machine has no driver set in this program (ARM64; x64
// in a build without the x64 set), then another setup or uninstaller: true,
// with the outcome, when the program must end before start-up writes
// anything.
bool RefusedAtStart(InstallOutcome& refusal);

void ShowUsage();
// The usage after the message that `unknown` is no switch of the setup.
void ShowUsage(const char* unknown);

// The log's path: /LOG's (from the current folder when relative), or
// "<printer name> printer setup.log" in the user's TEMP folder, the
// Windows folder's Temp for SYSTEM ("printer setup.log" for a name the
// install refuses, which could lead out of that folder). False when it
// does not fit.
bool LogPath(const char* logSwitch, const char* printerName, char (&path)[MAX_PATH]);

// The port of /PORT= (one the spooler lists) or /IP= (a network address),
// else the first USB port the spooler lists, else LPT1:. False, with why
// in `refusal`, for a port that cannot be used.
bool ChoosePort(const CommandLineSwitches& switches, PortChoice& port, InstallOutcome& refusal);

// /S: the install with `choices`, on the port and with the test receipt
// the switches ask for, logged, unless start-up ended with `refusal` (null
// when it did not); gives the exit code.
int RunUnattended(const InstallOutcome* refusal, InstallChoices choices, const CommandLineSwitches& switches);
