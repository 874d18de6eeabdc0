// File finder over FindFirstFileA / FindNextFileA.
#pragma once
#include "afx.h"

class CFileFind : public CObject {
public:
    ~CFileFind() override { Close(); }
    // Starts a search for the pattern; true when something matched.
    bool FindFile(const char* pattern);
    // Moves to the next match; false at the last one (which is still current).
    bool FindNextFile();
    bool IsDots() const;
    bool IsDirectory() const;
    // Full path of the current match: the pattern's directory plus its name.
    bool GetFilePath(char* path, size_t size) const;
    void Close();

private:
    HANDLE m_findHandle = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAA m_current = {};
    WIN32_FIND_DATAA m_next = {};      // the match read ahead
    bool m_hasNext = false;
    char m_directory[MAX_PATH] = {};   // the pattern's, with its backslash; "" for none
};
