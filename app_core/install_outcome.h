// How an install, or a run of setup.exe, ended, and the one table that
// tells each outcome: its exit code, its message in the three languages
// with its icon, and its line in the /S log.
#pragma once
#include "port_choice.h"
#include "text_language.h"
#include <windows.h>

enum class InstallResult {
    Installed,            // the printer exists on its driver
    PrinterNotCreated,    // the printer installer ended without it on its driver
    InstallerTimedOut,    // the printer installer did not end within the wait
    // The printer name cannot be used, by the rule it breaks.
    NameEmpty,
    NameNotInCodePage,    // bytes that are no characters of the system's code page
    NameBlankAtEnd,
    NameForbidden,        // a character no file name or INF line may hold
    NameDeviceName,
    NameTooLong,
    NameSharedFile,       // a driver file would take the name of a shared one
    NameOfAnotherDriver,  // a driver that another program installed
    FolderLinked,         // a staging folder leads elsewhere
    FolderOpenToOthers,   // a staging folder others may change
    ProgramFolderLinked,  // the program's folder or its Language folder leads elsewhere
    SettingsUnreadable,   // setting.dll is there but cannot be read
    FileNotWritten,       // a file could not be written
    Windows64,            // no driver set for this Windows: its machine (x64 in a build without that set, ARM64)
    AnotherRunning,       // another setup or uninstaller runs
    LockHeldByOther,      // a program that is no setup of ours holds the run lock's name
    LogNotMade,           // the log that /LOG names cannot be made
    PortNotListed,        // /PORT= names no port of the spooler's that can be used
    AddressInvalid,       // /IP= gives no network address
    PortNotMade,          // the monitor did not make the network port
    NewerInstalled,       // the installed driver's version is newer than this setup's
    UnknownSwitch,        // the command line holds a switch the setup does not know
};

// What a failed install left: the machine as it was, told one of three ways.
enum class Rollback {
    None,          // nothing had been changed yet (or the install completed)
    EarlierKept,   // the earlier install of the printer is as it was
    NothingLeft,   // there was none, and nothing of this one is left
    Incomplete,    // not everything could be put back
};

// Whether a completed install printed its test receipt.
enum class Receipt { NotAsked, Sent, NotSent };

struct InstallOutcome {
    InstallResult result = InstallResult::Installed;
    char subject[MAX_PATH] = {};   // the printer, folder, file or port the outcome names
    DWORD error = 0;               // why a file, log or port could not be made (a Win32 error)
    Rollback rollback = Rollback::None;
    Receipt receipt = Receipt::NotAsked;
    char receiptPort[kMaxPortName] = {};
    char receiptCall[24] = {};     // the spooler call that failed
    DWORD receiptError = 0;
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

// An outcome with its subject; `error` for a file, log or port not made.
InstallOutcome MakeOutcome(InstallResult result, const char* subject, DWORD error = 0);
// How the test receipt to `port` went: sent when `error` is 0, else the
// spooler call that failed and its error.
void NoteReceipt(InstallOutcome& outcome, const char* port, const char* failedCall, DWORD error);

// The message of an outcome in `language`, ending with how the test
// receipt went when one was asked for; false when it does not fit.
bool OutcomeMessage(const InstallOutcome& outcome, TextLanguage language, char* text, size_t size);
// Shows it in a message box with the row's icon.
void ShowOutcome(const InstallOutcome& outcome, TextLanguage language);
// The log's line for it: "outcome <code>: ..."; `number` fills the line's
// %lu where the subject alone does not tell (the wait's seconds). False
// when it does not fit.
bool OutcomeLogLine(const InstallOutcome& outcome, unsigned long number, char* line, size_t size);
