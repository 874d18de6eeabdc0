// A file the program writes, always made new. Whatever had the name before
// goes first: a file or a hard link someone put there (C:\TEMP is open to
// every user) is replaced, never written through.
//
// A name that cannot be made new, and a write or close that fails, make the
// framework's file exception pending (see framework/file_exception.h); the
// caller returns at once when an operation answers false.
#pragma once
#include <windows.h>

class NewFile {
public:
    // Removes whatever has the name and creates the file anew.
    explicit NewFile(const char* path);
    // A file that was not closed, as when a write failed, is deleted: a
    // truncated file never stays behind.
    ~NewFile();
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    // False when the name could not be made new.
    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    // Writes all the bytes; false when the file is not open or the write
    // failed or fell short (the partial file is deleted).
    bool Write(const void* bytes, DWORD size);
    // Closes and keeps the file; false when it was not open or could not
    // be closed (then it is deleted).
    bool Close();

private:
    bool Fail(DWORD error);

    HANDLE handle_;
    char path_[MAX_PATH];
};
