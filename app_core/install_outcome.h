// How an install, or a run of setup.exe, ended, and the one table that
// tells each outcome: its exit code, its message in the three languages
// with its icon, and its line in the /S log.
#pragma once
#include "text_language.h"
#include <windows.h>

enum class InstallResult {
    Installed,            // the printer exists on its driver
    PrinterNotCreated,    // the printer installer ended without it on its driver
    InstallerTimedOut,    // the printer installer did not end within the wait
    NameRefused,          // the printer name cannot be used
    FolderLinked,         // a staging folder leads elsewhere
    FolderOpenToOthers,   // a staging folder others may change
    ProgramFolderLinked,  // the program's folder or its Language folder leads elsewhere
    SettingsUnreadable,   // setting.dll is there but cannot be read
    FileNotWritten,       // a file could not be written
    Windows64,            // no driver set for this Windows: its machine (x64 in a build without that set, ARM64)
    AnotherRunning,       // another setup or uninstaller runs
    LogNotMade,           // the log that /LOG names cannot be made
};

// What a failed install left: the machine as it was, told one of three ways.
enum class Rollback {
    None,          // nothing had been changed yet (or the install completed)
    EarlierKept,   // the earlier install of the printer is as it was
    NothingLeft,   // there was none, and nothing of this one is left
    Incomplete,    // not everything could be put back
};

struct InstallOutcome {
    InstallResult result = InstallResult::Installed;
    char subject[MAX_PATH] = {};   // the printer, folder or file the outcome names
    DWORD error = 0;               // why a file could not be written (a Win32 error)
    Rollback rollback = Rollback::None;
};

struct OutcomeRow {
    InstallResult result;
    int exitCode;
    const LocalizedText* text;   // one %s, the subject; null: the file error's text for its error,
                                 // and the error is the log line's number
    UINT icon;
    const char* logLine;         // follows "outcome <code>: "; %s the subject, %lu the number
};

const OutcomeRow& RowOf(InstallResult result);
inline int ExitCodeOf(InstallResult result) { return RowOf(result).exitCode; }

// An outcome with its subject; `error` for a file not written.
InstallOutcome MakeOutcome(InstallResult result, const char* subject, DWORD error = 0);

// The message of an outcome in `language`; false when it does not fit.
bool OutcomeMessage(const InstallOutcome& outcome, TextLanguage language, char* text, size_t size);
// Shows it in a message box with the row's icon.
void ShowOutcome(const InstallOutcome& outcome, TextLanguage language);
// The log's line for it: "outcome <code>: ..."; `number` fills the line's
// %lu where the subject alone does not tell (the wait's seconds). False
// when it does not fit.
bool OutcomeLogLine(const InstallOutcome& outcome, unsigned long number, char* line, size_t size);
