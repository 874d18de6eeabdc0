#include "file_find.h"
#include <cstring>

BOOL CFileFind::FindFile(const char* pattern) {
    Close();
    if (!pattern || lstrlenA(pattern) >= MAX_PATH) return FALSE;
    lstrcpynA(root_, pattern, sizeof root_);
    char* slash = strrchr(root_, '\\');
    if (slash) slash[1] = '\0';
    else root_[0] = '\0';
    handle_ = FindFirstFileA(pattern, &next_);
    if (handle_ == INVALID_HANDLE_VALUE) return FALSE;
    hasNext_ = true;
    return TRUE;
}

// Like the framework's finder, the match that FindNextFile returns to is
// read ahead, so the result says whether another one follows.
BOOL CFileFind::FindNextFile() {
    if (handle_ == INVALID_HANDLE_VALUE || !hasNext_) return FALSE;
    current_ = next_;
    hasNext_ = ::FindNextFileA(handle_, &next_) != 0;
    return hasNext_ ? TRUE : FALSE;
}

BOOL CFileFind::IsDots() const {
    const char* n = current_.cFileName;
    return IsDirectory() && n[0] == '.' && (n[1] == '\0' || (n[1] == '.' && n[2] == '\0'));
}

BOOL CFileFind::IsDirectory() const {
    return (current_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

BOOL CFileFind::GetFilePath(char* path, size_t size) const {
    return AfxFormat(path, size, "%s%s", root_, current_.cFileName) ? TRUE : FALSE;
}

void CFileFind::Close() {
    if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    hasNext_ = false;
}
