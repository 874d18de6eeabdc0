// The framework's file exception: thrown when a file operation fails in a
// way the caller does not handle, and reported to the user in a message box
// with the stop icon and a text from the program's string table.
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

    CFileException(Cause cause, LONG osError, const char* fileName);

    // Maps a Win32 error code to a cause.
    static Cause OsErrorToCause(DWORD osError);
    // Throws the exception for a failed operation on the named file.
    [[noreturn]] static void Throw(DWORD osError, const char* fileName);

    // The text that ReportError shows: the cause's string with the file name
    // in place of "%1"; the internal-failure text when no string applies.
    void GetErrorMessage(char* text, size_t size) const;
    int ReportError(UINT type = MB_ICONSTOP) const;

    Cause m_cause;
    LONG m_lOsError;
    char m_strFileName[MAX_PATH];
};

// Reports an exception that escaped a message handler, as the framework does
// at the window-procedure boundary, so the program goes on afterwards.
void AfxReportHandlerException(const CFileException& e);
