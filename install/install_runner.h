// One install from end to end: the choices go in, how it ended comes out.
// It either completes or changes nothing: a step that fails undoes every
// step before it. It shows nothing itself; the wizard, or an unattended
// run, tells the outcome.
#pragma once
#include "../app_core/install_choices.h"
#include "../app_core/install_outcome.h"

// The bound of each wait for the printer installer, in attempts of 100 ms:
// every program links its own (install/printer_wait_bound.cpp), 300 unless
// its build says otherwise.
extern const int kPrinterWaitAttempts;

// True, with the refusal that names the rule it breaks, when the printer
// name of the choices cannot be installed: its own rules (CheckPrinterName)
// and the staging paths, commands and file names its install forms.
// Start-up asks before the first page; RunInstall asks again, with the
// driver folder's paths and the drivers another program installed.
bool IsNameRefused(const InstallChoices& choices, InstallOutcome& refusal);

// The version the printer's uninstall entry gives (DisplayVersion), when it
// is newer than this setup's, compared number by number.
bool NewerVersionInstalled(const char* printerName, char (&version)[MAX_PATH]);

// An install over a newer version is refused before anything is written,
// unless the choices allow it.
InstallOutcome RunInstall(const InstallChoices& choices, int waitAttempts = kPrinterWaitAttempts);
