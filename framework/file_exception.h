// The framework's file exception: describes a file operation that failed in
// a way the caller does not handle, and reports it to the user in a message
// box with the stop icon and a text from the program's string table.
//
// The program is built without C++ exceptions, so a failure is carried
// explicitly: the operation that fails makes its exception pending
// (SetPending) and returns, and every caller up to whoever handles it
// returns as soon as one is pending (IsPending), doing nothing more. The
// dialog procedure (AfxDlgProc) reports and clears one that a message
// handler leaves pending, so that the program goes on; code that handles
// the failure itself takes it (TakePending). There is one pending exception
// for the program's one user-interface thread; the framework is not used
// from other threads.
#pragma once
#include "afx.h"
#include "string_ids.h"

class CFileException : public CObject {
public:
    enum Cause {
        none, generic, fileNotFound, badPath, tooManyOpenFiles, accessDenied,
        invalidFile, removeCurrentDir, directoryFull, badSeek, hardIO,
        sharingViolation, lockViolation, diskFull, endOfFile
    };

    explicit CFileException(Cause cause = none, LONG osError = 0, const char* fileName = nullptr);

    // Maps a Win32 error code to a cause.
    static Cause OsErrorToCause(DWORD osError);
    // Makes the exception for a failed operation on the named file pending.
    // While one is pending a second failure changes nothing: the first is
    // the one reported.
    static void SetPending(DWORD osError, const char* fileName);
    static bool IsPending();
    // True when one was pending: it is copied to `taken` (unless null) and
    // is no longer pending.
    static bool TakePending(CFileException* taken = nullptr);

    // The text that ReportError shows: the cause's string with the file name
    // in place of "%1"; the internal-failure text when no string applies.
    void GetErrorMessage(char* text, size_t size) const;
    int ReportError(UINT type = MB_ICONSTOP) const;

    Cause m_cause;
    LONG m_lOsError;
    char m_strFileName[MAX_PATH];
};

// Reports a file exception that a message handler left pending, as the
// framework does at the window-procedure boundary.
void AfxReportHandlerException(const CFileException& e);
