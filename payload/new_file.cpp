#include "new_file.h"
#include "../framework/file_exception.h"

NewFile::NewFile(const char* path) : handle_(INVALID_HANDLE_VALUE) {
    if (!AfxFormat(path_, "%s", path)) CFileException::Throw(ERROR_FILENAME_EXCED_RANGE, path);
    if (!DeleteFileA(path_)) {
        DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND) CFileException::Throw(error, path_);
    }
    handle_ = CreateFileA(path_, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) CFileException::Throw(GetLastError(), path_);
}

NewFile::~NewFile() {
    if (handle_ == INVALID_HANDLE_VALUE) return;
    CloseHandle(handle_);
    DeleteFileA(path_);
}

void NewFile::Write(const void* bytes, DWORD size) {
    DWORD written = 0;
    if (!WriteFile(handle_, bytes, size, &written, nullptr)) Fail(GetLastError());
    if (written != size) Fail(ERROR_DISK_FULL);
}

void NewFile::Close() {
    if (handle_ == INVALID_HANDLE_VALUE) return;
    BOOL closed = CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    if (!closed) {
        DWORD error = GetLastError();
        DeleteFileA(path_);
        CFileException::Throw(error, path_);
    }
}

void NewFile::Fail(DWORD error) {
    CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    DeleteFileA(path_);
    CFileException::Throw(error, path_);
}
