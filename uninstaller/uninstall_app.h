// The uninstaller's application object: one run from its file name and
// command line to the exit code.
#pragma once
#include "framework/winapp.h"

// The exit codes, for administrators who run it with /S.
enum UninstallExitCode {
    kExitRemoved = 0,         // nothing of the driver remains (or nothing was installed)
    kExitIncomplete = 1,      // something could not be removed
    kExitBadProgramName = 2,  // the file name names no printer; nothing was done
    kExitCancelled = 3,       // the user said No; nothing was done
    kExitLogNotMade = 5,      // the log /LOG= names cannot be made; nothing was done
    kExitAnotherRunning = 1618,  // a setup or another uninstaller runs; nothing was done
                                 // (ERROR_INSTALL_ALREADY_RUNNING, which management tools retry on)
    kExitRestartNeeded = 3010,  // removed, but files in use go only at the next restart (ERROR_SUCCESS_REBOOT_REQUIRED)
};

class UninstallApp : public CWinApp {
public:
    bool InitInstance() override;
    int ExitInstance() override { return exitCode_; }

private:
    int exitCode_ = kExitRemoved;
};
