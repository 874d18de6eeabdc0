#include "new_file.h"
#include "../framework/file_exception.h"

NewFile::NewFile(const char* path) : handle_(INVALID_HANDLE_VALUE) {
    if (!AfxFormat(path_, "%s", path)) {
        CFileException::SetPending(ERROR_FILENAME_EXCED_RANGE, path);
        return;
    }
    if (!DeleteFileA(path_)) {
        DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND) {
            CFileException::SetPending(error, path_);
            return;
        }
    }
    handle_ = CreateFileA(path_, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) CFileException::SetPending(GetLastError(), path_);
}

NewFile::~NewFile() {
    if (handle_ == INVALID_HANDLE_VALUE) return;
    CloseHandle(handle_);
    DeleteFileA(path_);
}

bool NewFile::Write(const void* bytes, DWORD size) {
    if (!IsOpen()) return false;
    DWORD written = 0;
    if (!WriteFile(handle_, bytes, size, &written, nullptr)) return Fail(GetLastError());
    if (written != size) return Fail(ERROR_DISK_FULL);
    return true;
}

bool NewFile::Close() {
    if (!IsOpen()) return false;
    BOOL closed = CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    if (closed) return true;
    DWORD error = GetLastError();
    DeleteFileA(path_);
    CFileException::SetPending(error, path_);
    return false;
}

bool NewFile::Fail(DWORD error) {
    CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    DeleteFileA(path_);
    CFileException::SetPending(error, path_);
    return false;
}
