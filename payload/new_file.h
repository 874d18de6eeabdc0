// A file the program writes, always made new. Whatever had the name before
// goes first: a file or a hard link someone put there (C:\TEMP is open to
// every user) is replaced, never written through.
#pragma once
#include <windows.h>

class NewFile {
public:
    // Removes whatever has the name and creates the file anew; a name that
    // cannot be removed or created leaves as the framework's file exception.
    explicit NewFile(const char* path);
    // A file that was not closed, as when a write failed, is deleted: a
    // truncated file never stays behind.
    ~NewFile();
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    // Writes all the bytes; a failed or short write leaves as the file
    // exception, the partial file deleted.
    void Write(const void* bytes, DWORD size);
    // Closes and keeps the file.
    void Close();

private:
    [[noreturn]] void Fail(DWORD error);

    HANDLE handle_;
    char path_[MAX_PATH];
};
