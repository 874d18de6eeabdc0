// A folder the elevated programs write or delete in, held open while they
// work there. Held without delete sharing, it cannot be renamed, removed or
// swapped for a link until it is let go; every file in it is made, changed
// or removed only after the file's own handle shows that it is a plain file
// of this folder. The staging folders, which any user may have made or may
// write in, are also checked for who may change them, and what the install
// stages there is given rights that let only Administrators and SYSTEM
// change it. Windows enforces those rights; Debian's Wine keeps none (it
// maps them to the Unix mode).
#pragma once
#include <windows.h>

enum class FolderCheck {
    Held,          // open and checked
    Missing,       // not there (and not to be made)
    Link,          // leads elsewhere: a junction or symbolic link, or not a folder
    Permissions,   // owned by, or open to changes by, an account other than the trusted ones
    Failed,        // cannot be opened, or its path does not fit
};

class HeldFolder {
public:
    HeldFolder() = default;
    ~HeldFolder() { Release(); }
    HeldFolder(const HeldFolder&) = delete;
    HeldFolder& operator=(const HeldFolder&) = delete;

    // Opens and holds `path`. `create` makes a missing folder first.
    // `staging` makes it with the install's rights, refuses an existing one
    // that others may change, and gives every file made in it those rights.
    FolderCheck Hold(const char* path, bool create, bool staging);
    void Release();
    bool IsHeld() const { return handle_ != INVALID_HANDLE_VALUE; }
    const char* Path() const { return path_; }

    // "<folder>\<name>"; false when it does not fit.
    bool PathOf(const char* name, char (&path)[MAX_PATH]) const;

    // Every call below takes one file name of this folder (no folder part,
    // no stream) and reaches the file relative to the folder's handle, never
    // by its path: a link put in place of the folder's path meanwhile leads
    // nowhere. A file only counts as this folder's when its own handle shows
    // a plain file with this one name that lies in this folder.

    // Makes `name` new in the folder, whatever had the name before going
    // first, and opens it for writing. INVALID_HANDLE_VALUE, with the Win32
    // error in `error`, when it cannot; a file it made that fails the
    // checks is removed again.
    HANDLE CreateNew(const char* name, DWORD& error) const;
    // Opens the plain file `name` of the folder for reading; no one may
    // write it while it is open. INVALID_HANDLE_VALUE, with the Win32 error
    // in `error`, when it is missing or fails the checks.
    HANDLE OpenExisting(const char* name, DWORD& error) const;
    // Renames the plain file `from` of the folder to `to` in the same
    // folder; an existing `to` is never replaced (ERROR_FILE_EXISTS). 0, or
    // the Win32 error.
    DWORD Rename(const char* from, const char* to) const;
    // Removes the file `name` of the folder: 0 when it is gone or was not
    // there, else the Win32 error. A link of that name goes, never what it
    // leads to; a read-only file loses the attribute first, but only when
    // it has no other name.
    DWORD Remove(const char* name) const;
    // Has Windows delete the plain file `name`, which is in use now, at the
    // next restart (only administrators may). It is renamed first to a name
    // of its own in the folder where it can be, so that a file made under
    // `name` before the restart stays; where it cannot be renamed (someone
    // holds it without delete sharing), `name` itself is scheduled, but
    // only when `mayKeepName`. 0, or the Win32 error.
    DWORD RemoveAtRestart(const char* name, bool mayKeepName) const;
    // True when `name` is a file (no folder) in this folder.
    bool Holds(const char* name) const;
    // True when `name` is a plain file of this folder: no link, no second
    // name of a file elsewhere.
    bool HoldsPlain(const char* name) const;

private:
    DWORD ReplaceLink(const char* name) const;

    HANDLE handle_ = INVALID_HANDLE_VALUE;
    bool staging_ = false;
    char path_[MAX_PATH] = {};
    char finalPath_[MAX_PATH] = {};   // where the handle leads; empty where the system cannot say
};

// What a file holds, to know it again: its size and an FNV-1a hash of its
// bytes.
struct FileDigest {
    unsigned long long hash = 14695981039346656037ull;
    unsigned long long size = 0;
    void Add(const void* bytes, DWORD count);
    bool operator==(const FileDigest& other) const { return hash == other.hash && size == other.size; }
};

// A file the program writes, always made new in a held folder (see
// HeldFolder::CreateNew): a file or link someone put there under its name
// is replaced, never written through. A file that was not closed, as when
// a write failed, is removed through its own handle: a truncated file never
// stays behind.
class NewFile {
public:
    NewFile(const HeldFolder& folder, const char* name);
    ~NewFile() { Discard(); }
    NewFile(const NewFile&) = delete;
    NewFile& operator=(const NewFile&) = delete;

    // Writes all the bytes; small writes are gathered and go to the file
    // when the buffer fills, on Flush or on Close. False when the file is
    // not open, or a write failed or fell short (the file is removed).
    bool Write(const void* bytes, DWORD size);
    bool Flush();
    // Writes what is gathered, closes and keeps the file; false when it was
    // not open or could not be written or closed.
    bool Close();
    // Why the file could not be made, written or closed; 0 when it was.
    DWORD Error() const { return error_; }
    // The bytes written so far.
    const FileDigest& Digest() const { return digest_; }

private:
    bool WriteOut(const void* bytes, DWORD size);
    bool Fail(DWORD error);
    void Discard();

    HANDLE handle_ = INVALID_HANDLE_VALUE;
    DWORD error_ = 0;
    FileDigest digest_;
    char buffer_[4096];
    DWORD buffered_ = 0;
};
