#include "held_folder.h"
#include "../framework/afx.h"
#include <aclapi.h>
#include <sddl.h>
#include <cstring>

namespace {

// Looked up at run time: Windows before Vista cannot say where a handle
// leads, and reading or setting a file's attributes, or deleting it,
// through its handle is only documented there as ntdll's
// NtQueryInformationFile and NtSetInformationFile.
using FinalPathFunction = DWORD(WINAPI*)(HANDLE, char*, DWORD, DWORD);
struct IoStatus {
    LONG_PTR status;
    ULONG_PTR information;
};
using FileInformationFunction = LONG(WINAPI*)(HANDLE, IoStatus*, void*, ULONG, int);
using StatusToErrorFunction = ULONG(WINAPI*)(LONG);
const int kFileBasicInformation = 4;
const int kFileStandardInformation = 5;
const int kFileDispositionInformation = 13;
struct FileBasicInformation {
    LARGE_INTEGER times[4];   // 0: left as they are
    DWORD attributes;
};
struct FileStandardInformation {
    LARGE_INTEGER allocationSize, endOfFile;
    ULONG links;
    BOOLEAN deletePending, directory;
};
static_assert(sizeof(FileBasicInformation) == 40 && sizeof(FileStandardInformation) == 24,
              "laid out as ntdll's FILE_BASIC_INFORMATION and FILE_STANDARD_INFORMATION");

template <typename Function>
Function Lookup(const char* module, const char* name) {
    HMODULE handle = GetModuleHandleA(module);
    return handle ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(handle, name))) : nullptr;
}

// `function` (NtQueryInformationFile or NtSetInformationFile) on an open
// file: 0, or the Win32 error.
DWORD FileInformation(const char* function, HANDLE file, void* information, ULONG size, int kind) {
    auto call = Lookup<FileInformationFunction>("ntdll.dll", function);
    auto toError = Lookup<StatusToErrorFunction>("ntdll.dll", "RtlNtStatusToDosError");
    if (!call || !toError) return ERROR_CALL_NOT_IMPLEMENTED;
    IoStatus io = {};
    LONG status = call(file, &io, information, size, kind);
    return status >= 0 ? 0 : toError(status);
}

DWORD SetInformation(HANDLE file, void* information, ULONG size, int kind) {
    return FileInformation("NtSetInformationFile", file, information, size, kind);
}

// Where an open handle really leads, "\\?\C:\..."; false when this system
// cannot say (before Vista) or the path does not fit.
bool FinalPath(HANDLE handle, char (&path)[MAX_PATH]) {
    auto finalPath = Lookup<FinalPathFunction>("kernel32.dll", "GetFinalPathNameByHandleA");
    DWORD length = finalPath ? finalPath(handle, path, sizeof path, 0) : 0;
    return length > 0 && length < sizeof path;
}

struct FileFacts {
    DWORD attributes;
    ULONG links;   // names the file has
};

// An open file's attributes and number of names: 0, or the Win32 error.
// Not GetFileInformationByHandle, which also reads the volume's serial
// number: under Wine that is a round trip to its mount manager per file.
DWORD Facts(HANDLE file, FileFacts& facts) {
    FileBasicInformation basic = {};
    FileStandardInformation standard = {};
    DWORD error = FileInformation("NtQueryInformationFile", file, &basic, sizeof basic, kFileBasicInformation);
    if (!error)
        error = FileInformation("NtQueryInformationFile", file, &standard, sizeof standard, kFileStandardInformation);
    facts = {basic.attributes, standard.links};
    return error;
}

// Rights that let an account take over a folder's files: full control,
// deleting (and so replacing) any file in it, changing its rights or owner.
const DWORD kTakeOverRights = GENERIC_ALL | FILE_DELETE_CHILD | WRITE_DAC | WRITE_OWNER;

// The user the program runs as, read from its token once; null when it
// cannot be read.
PSID RunningUser() {
    static BYTE buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    static bool read = false;
    HANDLE token;
    if (!read && OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        DWORD size = 0;
        read = GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size) != FALSE;
        CloseHandle(token);
    }
    return read ? reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid : nullptr;
}

// Administrators, SYSTEM, TrustedInstaller and the user running the program.
bool IsTrustedAccount(PSID sid) {
    static const char* const kTrusted[] = {"S-1-5-32-544", "S-1-5-18",
                                           "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464"};
    for (const char* text : kTrusted) {
        PSID trusted = nullptr;
        bool same = ConvertStringSidToSidA(text, &trusted) && EqualSid(sid, trusted);
        LocalFree(trusted);
        if (same) return true;
    }
    PSID user = RunningUser();
    return user && EqualSid(sid, user);
}

// True when the folder is owned by an account that is not trusted, or its
// rights let such an account take over the files in it. Rights that only
// new files and folders inherit do not count: files the install makes get
// their own.
bool OthersMayTakeOver(HANDLE folder) {
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(folder, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner,
                        nullptr, &dacl, nullptr, &descriptor) != ERROR_SUCCESS)
        return true;
    bool open = !owner || !IsTrustedAccount(owner) || !dacl;   // no DACL: everyone may do everything
    for (DWORD i = 0; !open && i < dacl->AceCount; ++i) {
        ACE_HEADER* ace = nullptr;
        if (!GetAce(dacl, i, reinterpret_cast<void**>(&ace))) {
            open = true;
        } else if (ace->AceType == ACCESS_ALLOWED_ACE_TYPE && !(ace->AceFlags & INHERIT_ONLY_ACE)) {
            auto* allowed = reinterpret_cast<ACCESS_ALLOWED_ACE*>(ace);
            open = (allowed->Mask & kTakeOverRights) && !IsTrustedAccount(&allowed->SidStart);
        }
    }
    LocalFree(descriptor);
    return open;
}

// What the install stages: Administrators and SYSTEM may change it,
// everyone may read it; nothing is inherited from the folder above.
class StagingRights {
public:
    StagingRights() {
        attributes_.nLength = sizeof attributes_;
        ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;FRFX;;;WD)",
                                                             SDDL_REVISION_1, &attributes_.lpSecurityDescriptor,
                                                             nullptr);
    }
    ~StagingRights() { LocalFree(attributes_.lpSecurityDescriptor); }
    // Null when the rights could not be made: nothing is then made with them.
    SECURITY_ATTRIBUTES* Get() { return attributes_.lpSecurityDescriptor ? &attributes_ : nullptr; }

private:
    SECURITY_ATTRIBUTES attributes_ = {};
};

// Made once: every staged file and folder gets the same.
SECURITY_ATTRIBUTES* StagingAttributes() {
    static StagingRights rights;
    return rights.Get();
}

const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Whether a path ends in a backslash, found by characters: a GBK or Big5
// name may end in a 0x5C trail byte.
bool EndsWithSeparator(const char* path) {
    const char* last = nullptr;
    for (const char* p = path; *p; p = CharNextA(p)) last = p;
    return last && *last == '\\';
}

}  // namespace

FolderCheck HeldFolder::Hold(const char* path, bool create, bool staging) {
    Release();
    staging_ = staging;
    size_t length = strlen(path);
    // "C:\x\" is held as "C:\x"; a drive's root keeps its backslash.
    if (length > 3 && EndsWithSeparator(path)) --length;
    if (!AfxFormat(path_, "%.*s", static_cast<int>(length), path)) return FolderCheck::Failed;
    if (create) {
        if (staging && !StagingAttributes()) return FolderCheck::Failed;
        CreateDirectoryA(path_, staging ? StagingAttributes() : nullptr);   // an existing folder is checked below
    }
    // The entry itself, not where a link would lead; without delete
    // sharing no one can rename or remove it while it is held.
    handle_ = CreateFileA(path_, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | READ_CONTROL,
                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                          FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (!IsHeld()) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FolderCheck::Missing
                                                                               : FolderCheck::Failed;
    }
    FolderCheck check = FolderCheck::Held;
    FileFacts facts;
    // Wine opens where a symbolic link leads whatever the flags say, but
    // shows the link by its path's attributes.
    const DWORD pathAttributes = GetFileAttributesA(path_);
    if (Facts(handle_, facts) || !(facts.attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        check = FolderCheck::Link;
    } else if ((facts.attributes | pathAttributes) & FILE_ATTRIBUTE_REPARSE_POINT) {
        // Only a volume mounted on the folder resolves to the folder's own
        // path; a system that cannot resolve it takes no reparse point.
        HANDLE target = CreateFileA(path_, FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        char resolved[MAX_PATH];
        bool itself = target != INVALID_HANDLE_VALUE && FinalPath(target, resolved) &&
                      strncmp(resolved, "\\\\?\\", 4) == 0 && SameName(resolved + 4, path_);
        if (target != INVALID_HANDLE_VALUE) CloseHandle(target);
        if (!itself) check = FolderCheck::Link;
    }
    if (check == FolderCheck::Held && staging && OthersMayTakeOver(handle_)) check = FolderCheck::Permissions;
    // Where the held folder leads cannot change while it is held: asked once.
    if (check == FolderCheck::Held && !FinalPath(handle_, finalPath_)) finalPath_[0] = '\0';
    if (check != FolderCheck::Held) Release();
    return check;
}

void HeldFolder::Release() {
    if (IsHeld()) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    finalPath_[0] = '\0';
}

bool HeldFolder::PathOf(const char* name, char (&path)[MAX_PATH]) const {
    return path_[0] && AfxFormat(path, EndsWithSeparator(path_) ? "%s%s" : "%s\\%s", path_, name);
}

namespace {

// True when an open file is a plain file with this one name, in the held
// folder that leads to `folderPath`: no link, no second name, and, where
// the system can say (`folderPath` not empty), resolving to that place.
bool IsPlainFileOf(HANDLE file, const char* folderPath, const char* name) {
    FileFacts facts;
    if (Facts(file, facts) || facts.links != 1 ||
        (facts.attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)))
        return false;
    char filePath[MAX_PATH], expected[MAX_PATH];
    if (!folderPath[0]) return true;   // before Vista: the held folder is proof enough
    return FinalPath(file, filePath) &&
           AfxFormat(expected, EndsWithSeparator(folderPath) ? "%s%s" : "%s\\%s", folderPath, name) &&
           SameName(filePath, expected);
}

}  // namespace

HANDLE HeldFolder::CreateNew(const char* name, DWORD& error) const {
    char path[MAX_PATH];
    if (!IsHeld() || !PathOf(name, path)) {
        error = IsHeld() ? ERROR_FILENAME_EXCED_RANGE : ERROR_PATH_NOT_FOUND;
        return INVALID_HANDLE_VALUE;
    }
    if ((error = Remove(name)) != 0) return INVALID_HANDLE_VALUE;
    HANDLE file = CreateFileA(path, GENERIC_WRITE | FILE_READ_ATTRIBUTES | DELETE, 0,
                              staging_ ? StagingAttributes() : nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return file;
    }
    if (!IsPlainFileOf(file, finalPath_, name)) {
        CloseHandle(file);
        error = ERROR_ACCESS_DENIED;
        return INVALID_HANDLE_VALUE;
    }
    error = 0;
    return file;
}

DWORD HeldFolder::Remove(const char* name) const {
    char path[MAX_PATH];
    if (!IsHeld()) return ERROR_PATH_NOT_FOUND;
    if (!PathOf(name, path)) return ERROR_FILENAME_EXCED_RANGE;
    // The entry itself: a link is removed, never what it leads to.
    HANDLE file = CreateFileA(path, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, kShareAll, nullptr,
                              OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? 0 : error;
    }
    FileFacts facts;
    DWORD error = Facts(file, facts);
    if (!error && (facts.attributes & FILE_ATTRIBUTE_DIRECTORY)) error = ERROR_ACCESS_DENIED;
    // The read-only attribute of a file with another name (a hard link
    // someone made to a file elsewhere) is that file's: it stays, and the
    // name is then not removed.
    if (!error && (facts.attributes & FILE_ATTRIBUTE_READONLY) && facts.links == 1) {
        FileBasicInformation basic = {};
        basic.attributes = facts.attributes & ~FILE_ATTRIBUTE_READONLY;
        if (!basic.attributes) basic.attributes = FILE_ATTRIBUTE_NORMAL;   // 0 would leave them as they are
        error = SetInformation(file, &basic, sizeof basic, kFileBasicInformation);
    }
    if (!error) {
        BOOLEAN deleteFile = TRUE;
        error = SetInformation(file, &deleteFile, sizeof deleteFile, kFileDispositionInformation);
    }
    CloseHandle(file);
    return error;
}

bool HeldFolder::Holds(const char* name) const {
    char path[MAX_PATH];
    if (!IsHeld() || !PathOf(name, path)) return false;
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

DWORD HeldFolder::Rename(const char* from, const char* to) const {
    char fromPath[MAX_PATH], toPath[MAX_PATH];
    if (!IsHeld()) return ERROR_PATH_NOT_FOUND;
    if (!PathOf(from, fromPath) || !PathOf(to, toPath)) return ERROR_FILENAME_EXCED_RANGE;
    return MoveFileExA(fromPath, toPath, 0) ? 0 : GetLastError();
}

HANDLE HeldFolder::OpenExisting(const char* name, DWORD& error) const {
    char path[MAX_PATH];
    if (!IsHeld() || !PathOf(name, path)) {
        error = IsHeld() ? ERROR_FILENAME_EXCED_RANGE : ERROR_PATH_NOT_FOUND;
        return INVALID_HANDLE_VALUE;
    }
    HANDLE file = CreateFileA(path, GENERIC_READ | FILE_READ_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return file;
    }
    if (!IsPlainFileOf(file, finalPath_, name)) {
        CloseHandle(file);
        error = ERROR_ACCESS_DENIED;
        return INVALID_HANDLE_VALUE;
    }
    error = 0;
    return file;
}

void FileDigest::Add(const void* bytes, DWORD count) {
    for (DWORD i = 0; i < count; ++i) hash = (hash ^ static_cast<const unsigned char*>(bytes)[i]) * 1099511628211ull;
    size += count;
}

NewFile::NewFile(const HeldFolder& folder, const char* name) { handle_ = folder.CreateNew(name, error_); }

bool NewFile::Write(const void* bytes, DWORD size) {
    if (handle_ == INVALID_HANDLE_VALUE) return false;
    digest_.Add(bytes, size);
    if (buffered_ + size > sizeof buffer_ && !Flush()) return false;
    if (size >= sizeof buffer_) return WriteOut(bytes, size);
    memcpy(buffer_ + buffered_, bytes, size);
    buffered_ += size;
    return true;
}

bool NewFile::Flush() {
    const DWORD size = buffered_;
    buffered_ = 0;
    return handle_ != INVALID_HANDLE_VALUE && (size == 0 || WriteOut(buffer_, size));
}

bool NewFile::WriteOut(const void* bytes, DWORD size) {
    DWORD written = 0;
    if (!WriteFile(handle_, bytes, size, &written, nullptr)) return Fail(GetLastError());
    return written == size || Fail(ERROR_DISK_FULL);
}

bool NewFile::Close() {
    if (!Flush()) return false;
    HANDLE file = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    if (CloseHandle(file)) return true;
    error_ = GetLastError();
    return false;
}

bool NewFile::Fail(DWORD error) {
    error_ = error;
    Discard();
    return false;
}

void NewFile::Discard() {
    if (handle_ == INVALID_HANDLE_VALUE) return;
    BOOLEAN deleteFile = TRUE;
    SetInformation(handle_, &deleteFile, sizeof deleteFile, kFileDispositionInformation);
    CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
}
