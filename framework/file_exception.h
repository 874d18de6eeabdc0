// The framework's file exception: a file operation that failed, as a value.
// The program is built without C++ exceptions: the operation that fails
// hands its CFileException back, and whoever started the work tells the
// user (the install's outcome, in the user's language).
#pragma once
#include "afx.h"

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

    Cause m_cause;
    LONG m_lOsError;
    char m_strFileName[MAX_PATH];
};
