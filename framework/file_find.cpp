#include "file_find.h"
#include <cstring>

BOOL CFileFind::FindFile(const char* pattern) {
    Close();
    if (!pattern || lstrlenA(pattern) >= MAX_PATH) return FALSE;
    lstrcpynA(m_directory, pattern, sizeof m_directory);
    char* slash = strrchr(m_directory, '\\');
    if (slash) slash[1] = '\0';
    else m_directory[0] = '\0';
    m_findHandle = FindFirstFileA(pattern, &m_next);
    if (m_findHandle == INVALID_HANDLE_VALUE) return FALSE;
    m_hasNext = true;
    return TRUE;
}

// Like the framework's finder, the match that FindNextFile returns to is
// read ahead, so the result says whether another one follows.
BOOL CFileFind::FindNextFile() {
    if (m_findHandle == INVALID_HANDLE_VALUE || !m_hasNext) return FALSE;
    m_current = m_next;
    m_hasNext = ::FindNextFileA(m_findHandle, &m_next) != 0;
    return m_hasNext ? TRUE : FALSE;
}

BOOL CFileFind::IsDots() const {
    const char* n = m_current.cFileName;
    return IsDirectory() && n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0'));
}

BOOL CFileFind::IsDirectory() const {
    return (m_current.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

BOOL CFileFind::GetFilePath(char* path, size_t size) const {
    return AfxFormat(path, size, "%s%s", m_directory, m_current.cFileName) ? TRUE : FALSE;
}

void CFileFind::Close() {
    if (m_findHandle != INVALID_HANDLE_VALUE) FindClose(m_findHandle);
    m_findHandle = INVALID_HANDLE_VALUE;
    m_hasNext = false;
}
