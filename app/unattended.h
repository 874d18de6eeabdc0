// How setup.exe runs besides its wizard: the refusals at start, the usage
// message of /?, and /S, the install a user who clicks Next throughout
// would make, with no window, its outcome in the exit code and a log.
#pragma once
#include "../install/install_runner.h"

enum SetupExitCode {
    kSetupInstalled = 0,           // the printer exists on its driver (the wizard's end, too)
    kSetupPrinterNotCreated = 1,   // it did not appear within the wait
    kSetupNameRefused = 2,         // setting.dll's printer name cannot be used
    kSetupFolderRefused = 3,       // a staging folder or the program's folder is refused
    kSetupFileNotWritten = 4,      // a file could not be written
    kSetupWindows64 = 5,           // 64-bit Windows cannot take this driver
    kSetupAnotherRunning = 6,      // another setup or uninstaller runs
};

int ExitCodeOf(InstallResult result);

// 64-bit Windows, then another setup or uninstaller: says so (not when
// silent) and gives the exit code; kSetupInstalled when neither holds.
// Comes before start-up writes anything.
int RefusalAtStart(bool silent);

void ShowUsage();

// The log's path: /LOG's (from the current folder when relative), or
// "<printer name> printer setup.log" in the
// user's TEMP folder ("printer setup.log" for a name the install refuses,
// which could lead out of that folder). False when it does not fit.
bool LogPath(const char* logSwitch, const char* printerName, char (&path)[MAX_PATH]);

// /S after start-up (`refusedFolder`: the folder LoadConfiguration refused,
// "" when none): the install with the preselected choices, logged; gives
// the exit code.
int RunUnattended(const char* refusedFolder, const char* logSwitch);
