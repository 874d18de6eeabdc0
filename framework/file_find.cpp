#include "file_find.h"
#include <cstring>

bool CFileFind::FindFile(const char* pattern) {
    Close();
    if (!pattern || lstrlenA(pattern) >= MAX_PATH) return false;
    lstrcpynA(m_directory, pattern, sizeof m_directory);
    char* slash = strrchr(m_directory, '\\');
    if (slash) slash[1] = '\0';
    else m_directory[0] = '\0';
    m_findHandle = FindFirstFileA(pattern, &m_next);
    if (m_findHandle == INVALID_HANDLE_VALUE) return false;
    m_hasNext = true;
    return true;
}

// Like the framework's finder, the match that FindNextFile returns to is
// read ahead, so the result says whether another one follows.
bool CFileFind::FindNextFile() {
    if (m_findHandle == INVALID_HANDLE_VALUE || !m_hasNext) return false;
    m_current = m_next;
    m_hasNext = ::FindNextFileA(m_findHandle, &m_next) != 0;
    return m_hasNext;
}

bool CFileFind::IsDots() const {
    const char* n = m_current.cFileName;
    return IsDirectory() && n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0'));
}

bool CFileFind::IsDirectory() const {
    return (m_current.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CFileFind::GetFilePath(char* path, size_t size) const {
    return AfxFormat(path, size, "%s%s", m_directory, m_current.cFileName);
}

void CFileFind::Close() {
    if (m_findHandle != INVALID_HANDLE_VALUE) FindClose(m_findHandle);
    m_findHandle = INVALID_HANDLE_VALUE;
    m_hasNext = false;
}
