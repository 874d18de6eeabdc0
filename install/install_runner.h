// One install from end to end: what was chosen goes in, how it ended comes
// out. It shows nothing itself; the wizard, or an unattended run, tells the
// outcome.
#pragma once
#include "../framework/file_exception.h"
#include <windows.h>

// The printer wait's bound, in attempts of 100 ms each: every program links
// its own (install/printer_wait_bound.cpp), 300 unless its build says otherwise.
extern const int kPrinterWaitAttempts;

struct InstallChoices {
    const char* printerName;   // [Setting] PrinterName
    int osCode;                // the operating-system code
    LANGID systemLanguage;     // the system's default language
    short languageIndex;       // 0 Chinese, 1 English, -1 none chosen
    bool setDefaultPrinter;    // the new printer becomes the default printer
};

enum class InstallResult {
    Installed,           // the printer exists on its driver
    PrinterNotCreated,   // it did not appear within the wait
    NameRefused,         // the printer name cannot be used
    FolderRefused,       // a staging folder leads elsewhere, or others may change it
    FileNotWritten,      // a file could not be written
};

// Why a staging folder was refused.
enum class FolderRefusal { None, Link, Permissions };

struct InstallOutcome {
    InstallResult result = InstallResult::Installed;
    FolderRefusal refusal = FolderRefusal::None;
    char folder[MAX_PATH] = {};   // the refused folder
    CFileException fileError;     // the file that was not written, and why
};

InstallOutcome RunInstall(const InstallChoices& choices, int waitAttempts = kPrinterWaitAttempts);

// The install's first phase alone: removes the files of an earlier install
// of the same printer, writes the uninstall entry and deletes the paper
// form. Does nothing with a printer name the install would refuse, or
// staging folders it would refuse.
void CleanUpEarlierInstall(const InstallChoices& choices);
