#include "held_folder.h"
#include "../framework/afx.h"
#include <aclapi.h>
#include <sddl.h>
#include <cstring>

namespace {

// Looked up at run time: Windows before Vista cannot say where a handle
// leads, and setting a file's attributes or deleting it through its handle
// is only documented there as ntdll's NtSetInformationFile.
using FinalPathFunction = DWORD(WINAPI*)(HANDLE, char*, DWORD, DWORD);
struct IoStatus {
    LONG_PTR status;
    ULONG_PTR information;
};
using SetInformationFunction = LONG(WINAPI*)(HANDLE, IoStatus*, void*, ULONG, int);
using StatusToErrorFunction = ULONG(WINAPI*)(LONG);
const int kFileBasicInformation = 4;
const int kFileDispositionInformation = 13;
struct FileBasicInformation {
    LARGE_INTEGER times[4];   // 0: left as they are
    DWORD attributes;
};

template <typename Function>
Function Lookup(const char* module, const char* name) {
    HMODULE handle = GetModuleHandleA(module);
    return handle ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(handle, name))) : nullptr;
}

DWORD SetInformation(HANDLE file, void* information, ULONG size, int kind) {
    auto set = Lookup<SetInformationFunction>("ntdll.dll", "NtSetInformationFile");
    auto toError = Lookup<StatusToErrorFunction>("ntdll.dll", "RtlNtStatusToDosError");
    if (!set || !toError) return ERROR_CALL_NOT_IMPLEMENTED;
    IoStatus io = {};
    LONG status = set(file, &io, information, size, kind);
    return status >= 0 ? 0 : toError(status);
}

// Where an open handle really leads, "\\?\C:\..."; false when this system
// cannot say (before Vista) or the path does not fit.
bool FinalPath(HANDLE handle, char (&path)[MAX_PATH]) {
    auto finalPath = Lookup<FinalPathFunction>("kernel32.dll", "GetFinalPathNameByHandleA");
    DWORD length = finalPath ? finalPath(handle, path, sizeof path, 0) : 0;
    return length > 0 && length < sizeof path;
}

bool Information(HANDLE handle, BY_HANDLE_FILE_INFORMATION& info) {
    return GetFileInformationByHandle(handle, &info) != FALSE;
}

// Rights that let an account take over a folder's files: full control,
// deleting (and so replacing) any file in it, changing its rights or owner.
const DWORD kTakeOverRights = GENERIC_ALL | FILE_DELETE_CHILD | WRITE_DAC | WRITE_OWNER;

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
    HANDLE token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    BYTE buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    DWORD size = 0;
    bool same = GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size) &&
                EqualSid(sid, reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid);
    CloseHandle(token);
    return same;
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
        StagingRights rights;
        if (staging && !rights.Get()) return FolderCheck::Failed;
        CreateDirectoryA(path_, staging ? rights.Get() : nullptr);   // an existing folder is checked below
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
    BY_HANDLE_FILE_INFORMATION info;
    // Wine opens where a symbolic link leads whatever the flags say, but
    // shows the link by its path's attributes.
    const DWORD pathAttributes = GetFileAttributesA(path_);
    if (!Information(handle_, info) || !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        check = FolderCheck::Link;
    } else if ((info.dwFileAttributes | pathAttributes) & FILE_ATTRIBUTE_REPARSE_POINT) {
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
    if (check != FolderCheck::Held) Release();
    return check;
}

void HeldFolder::Release() {
    if (IsHeld()) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
}

bool HeldFolder::PathOf(const char* name, char (&path)[MAX_PATH]) const {
    return path_[0] && AfxFormat(path, EndsWithSeparator(path_) ? "%s%s" : "%s\\%s", path_, name);
}

namespace {

// True when an open file is a plain file with this one name, in the folder
// whose handle is given: no link, no second name, and, where the system
// can say, resolving to the folder's own place.
bool IsPlainFileOf(HANDLE file, HANDLE folder, const char* name) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!Information(file, info) || info.nNumberOfLinks != 1 ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)))
        return false;
    char folderPath[MAX_PATH], filePath[MAX_PATH], expected[MAX_PATH];
    if (!FinalPath(folder, folderPath)) return true;   // before Vista: the held folder is proof enough
    return FinalPath(file, filePath) && AfxFormat(expected, "%s\\%s", folderPath, name) &&
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
    StagingRights rights;
    HANDLE file = CreateFileA(path, GENERIC_WRITE | FILE_READ_ATTRIBUTES | DELETE, 0, staging_ ? rights.Get() : nullptr,
                              CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return file;
    }
    if (!IsPlainFileOf(file, handle_, name)) {
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
    BY_HANDLE_FILE_INFORMATION info;
    DWORD error = Information(file, info) ? 0 : GetLastError();
    if (!error && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) error = ERROR_ACCESS_DENIED;
    // The read-only attribute of a file with another name (a hard link
    // someone made to a file elsewhere) is that file's: it stays, and the
    // name is then not removed.
    if (!error && (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) && info.nNumberOfLinks == 1) {
        FileBasicInformation basic = {};
        basic.attributes = info.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY;
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

NewFile::NewFile(const HeldFolder& folder, const char* name) { handle_ = folder.CreateNew(name, error_); }

bool NewFile::Write(const void* bytes, DWORD size) {
    if (handle_ == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    if (!WriteFile(handle_, bytes, size, &written, nullptr)) return Fail(GetLastError());
    return written == size || Fail(ERROR_DISK_FULL);
}

bool NewFile::Close() {
    if (handle_ == INVALID_HANDLE_VALUE) return false;
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
