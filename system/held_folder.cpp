#include "held_folder.h"
#include "../framework/afx.h"
#include <aclapi.h>
#include <sddl.h>
#include <cstring>
#include <cwchar>

namespace {

// Looked up at run time: Windows before Vista cannot say where a handle
// leads, and opening a file relative to a folder's handle, or reading or
// setting its attributes, renaming or deleting it through its handle, is
// only documented there as ntdll's NtCreateFile, NtQueryInformationFile
// and NtSetInformationFile.
using FinalPathFunction = DWORD(WINAPI*)(HANDLE, char*, DWORD, DWORD);
struct IoStatus {
    LONG_PTR status;
    ULONG_PTR information;
};
struct UnicodeName {
    USHORT bytes, maximumBytes;
    WCHAR* text;
};
struct ObjectAttributes {
    ULONG size;
    HANDLE rootDirectory;
    UnicodeName* name;
    ULONG attributes;
    void* securityDescriptor;
    void* securityQualityOfService;
};
using CreateFileFunction = LONG(WINAPI*)(HANDLE*, ACCESS_MASK, ObjectAttributes*, IoStatus*, LARGE_INTEGER*, ULONG,
                                         ULONG, ULONG, ULONG, void*, ULONG);
using FileInformationFunction = LONG(WINAPI*)(HANDLE, IoStatus*, void*, ULONG, int);
using StatusToErrorFunction = ULONG(WINAPI*)(LONG);
const ULONG kCaseInsensitive = 0x40;                                  // OBJ_CASE_INSENSITIVE
const ULONG kFileOpen = 1, kFileCreate = 2;                           // dispositions
const ULONG kSynchronousIo = 0x20, kNonDirectoryFile = 0x40, kOpenReparsePoint = 0x200000;   // options
const int kFileBasicInformation = 4;
const int kFileStandardInformation = 5;
const int kFileRenameInformation = 10;
const int kFileDispositionInformation = 13;
struct FileRenameInformation {
    BOOLEAN replaceIfExists;
    HANDLE rootDirectory;
    ULONG nameBytes;
    WCHAR name[MAX_PATH];
};
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

// True when an open file resolves to `name` in the held folder that leads
// to `folderPath`, or the system cannot say (`folderPath` empty: before
// Vista, where the held folder and FILE_OPEN_REPARSE_POINT are proof
// enough). Wine gives a file's path as it resolved it when the file was
// opened or renamed, so a symbolic link at the name shows as its target.
bool LeadsInto(HANDLE file, const char* folderPath, const char* name) {
    char filePath[MAX_PATH], expected[MAX_PATH];
    if (!folderPath[0]) return true;
    return FinalPath(file, filePath) &&
           AfxFormat(expected, EndsWithSeparator(folderPath) ? "%s%s" : "%s\\%s", folderPath, name) &&
           SameName(filePath, expected);
}

// True when an open file is a plain file with this one name, in the held
// folder that leads to `folderPath`: no link, no second name, and
// resolving to that place.
bool IsPlainFileOf(HANDLE file, const char* folderPath, const char* name) {
    FileFacts facts;
    if (Facts(file, facts) || facts.links != 1 ||
        (facts.attributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)))
        return false;
    return LeadsInto(file, folderPath, name);
}

// A file name as ntdll takes it: UTF-16 of the system's code page, one
// name with no folder part and no stream.
struct FileName {
    WCHAR text[MAX_PATH];
    USHORT bytes;
};

bool ToFileName(const char* name, FileName& out) {
    const int length = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, name, -1, out.text, MAX_PATH);
    if (length < 2) return false;
    out.bytes = static_cast<USHORT>((length - 1) * sizeof(WCHAR));
    for (int i = 0; i < length - 1; ++i)
        if (out.text[i] == L'\\' || out.text[i] == L'/' || out.text[i] == L':') return false;
    return wcscmp(out.text, L".") != 0 && wcscmp(out.text, L"..") != 0;
}

// Opens `name` relative to the folder's handle: the server opens it in the
// folder the handle holds, wherever the folder's path leads by now.
// FILE_OPEN_REPARSE_POINT opens a link itself where the system keeps
// links as reparse points; Wine opens where a symbolic link leads.
DWORD OpenIn(HANDLE folder, const FileName& name, ACCESS_MASK access, ULONG sharing, ULONG disposition,
             ULONG options, void* security, HANDLE& file) {
    auto create = Lookup<CreateFileFunction>("ntdll.dll", "NtCreateFile");
    auto toError = Lookup<StatusToErrorFunction>("ntdll.dll", "RtlNtStatusToDosError");
    file = INVALID_HANDLE_VALUE;
    if (!create || !toError) return ERROR_CALL_NOT_IMPLEMENTED;
    UnicodeName text = {name.bytes, name.bytes, const_cast<WCHAR*>(name.text)};
    ObjectAttributes attributes = {sizeof attributes, folder, &text, kCaseInsensitive, security, nullptr};
    IoStatus io = {};
    HANDLE opened = nullptr;
    LONG status = create(&opened, access | SYNCHRONIZE, &attributes, &io, nullptr, FILE_ATTRIBUTE_NORMAL, sharing,
                         disposition, options | kSynchronousIo | kOpenReparsePoint, nullptr, 0);
    if (status < 0) return toError(status);
    file = opened;
    return 0;
}

DWORD MarkDeleted(HANDLE file) {
    BOOLEAN deleteFile = TRUE;
    return SetInformation(file, &deleteFile, sizeof deleteFile, kFileDispositionInformation);
}

// Gives an open file the name `to` in `folder`. Windows renames within the
// folder the handle holds; Wine renames by path, from the path the file had
// when it was opened to the folder's path of when it was opened, so the
// callers check where the file is afterwards.
DWORD RenameIn(HANDLE file, HANDLE folder, const FileName& to, bool replace) {
    FileRenameInformation rename = {};
    rename.replaceIfExists = replace;
    rename.rootDirectory = folder;
    rename.nameBytes = to.bytes;
    memcpy(rename.name, to.text, to.bytes);
    return SetInformation(file, &rename, sizeof rename, kFileRenameInformation);
}

}  // namespace

HANDLE HeldFolder::CreateNew(const char* name, DWORD& error) const {
    char path[MAX_PATH];
    FileName file;
    if (!IsHeld() || !PathOf(name, path) || !ToFileName(name, file)) {
        error = IsHeld() ? ERROR_INVALID_NAME : ERROR_PATH_NOT_FOUND;
        return INVALID_HANDLE_VALUE;
    }
    if ((error = Remove(name)) != 0) return INVALID_HANDLE_VALUE;
    SECURITY_ATTRIBUTES* rights = staging_ ? StagingAttributes() : nullptr;
    HANDLE created;
    // FILE_CREATE: a name someone took again since Remove is not opened.
    error = OpenIn(handle_, file, GENERIC_WRITE | FILE_READ_ATTRIBUTES | DELETE, 0, kFileCreate, kNonDirectoryFile,
                   rights ? rights->lpSecurityDescriptor : nullptr, created);
    if (error) {
        if (error == ERROR_ALREADY_EXISTS) error = ERROR_FILE_EXISTS;
        return INVALID_HANDLE_VALUE;
    }
    if (!IsPlainFileOf(created, finalPath_, name)) {
        // Made by this call, so it goes. Wine deletes by the path the file
        // had when it was made, and only while that path still leads to it.
        MarkDeleted(created);
        CloseHandle(created);
        error = ERROR_ACCESS_DENIED;
        return INVALID_HANDLE_VALUE;
    }
    return created;
}

HANDLE HeldFolder::OpenExisting(const char* name, DWORD& error) const {
    FileName file;
    HANDLE opened = INVALID_HANDLE_VALUE;
    if (!IsHeld() || !ToFileName(name, file)) {
        error = IsHeld() ? ERROR_INVALID_NAME : ERROR_PATH_NOT_FOUND;
        return opened;
    }
    error = OpenIn(handle_, file, GENERIC_READ, FILE_SHARE_READ, kFileOpen, kNonDirectoryFile, nullptr, opened);
    if (!error && !IsPlainFileOf(opened, finalPath_, name)) {
        CloseHandle(opened);
        opened = INVALID_HANDLE_VALUE;
        error = ERROR_ACCESS_DENIED;
    }
    return opened;
}

DWORD HeldFolder::Rename(const char* from, const char* to) const {
    char path[MAX_PATH];
    FileName source, target;
    if (!IsHeld()) return ERROR_PATH_NOT_FOUND;
    if (!ToFileName(from, source) || !ToFileName(to, target) || !PathOf(to, path)) return ERROR_INVALID_NAME;
    HANDLE file;
    DWORD error = OpenIn(handle_, source, DELETE | FILE_READ_ATTRIBUTES, kShareAll, kFileOpen, kNonDirectoryFile,
                         nullptr, file);
    if (error) return error;
    if (!IsPlainFileOf(file, finalPath_, from)) error = ERROR_ACCESS_DENIED;
    if (!error) error = RenameIn(file, handle_, target, false);
    if (error == ERROR_ALREADY_EXISTS) error = ERROR_FILE_EXISTS;
    if (!error && !IsPlainFileOf(file, finalPath_, to)) error = ERROR_ACCESS_DENIED;
    CloseHandle(file);
    return error;
}

DWORD HeldFolder::Remove(const char* name) const {
    FileName file;
    if (!IsHeld()) return ERROR_PATH_NOT_FOUND;
    if (!ToFileName(name, file)) return ERROR_INVALID_NAME;
    HANDLE entry;
    DWORD error = OpenIn(handle_, file, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, kShareAll, kFileOpen, 0,
                         nullptr, entry);
    if (error) return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? 0 : error;
    FileFacts facts;
    error = Facts(entry, facts);
    // A reparse point is the link itself: deleting it leaves what it leads to.
    const bool link = !error && (facts.attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    if (!error && !link && (facts.attributes & FILE_ATTRIBUTE_DIRECTORY)) error = ERROR_ACCESS_DENIED;
    if (!error && !link && !LeadsInto(entry, finalPath_, name)) {
        // What a symbolic link leads to, opened by Wine: deleting through
        // this handle would delete that file.
        CloseHandle(entry);
        return ReplaceLink(name);
    }
    // The read-only attribute of a file with another name (a hard link
    // someone made to a file elsewhere) is that file's: it stays, and the
    // name is then not removed.
    if (!error && !link && (facts.attributes & FILE_ATTRIBUTE_READONLY) && facts.links == 1) {
        FileBasicInformation basic = {};
        basic.attributes = facts.attributes & ~FILE_ATTRIBUTE_READONLY;
        if (!basic.attributes) basic.attributes = FILE_ATTRIBUTE_NORMAL;   // 0 would leave them as they are
        error = SetInformation(entry, &basic, sizeof basic, kFileBasicInformation);
    }
    if (!error) error = MarkDeleted(entry);
    CloseHandle(entry);
    return error;
}

// Wine keeps a symbolic link as a Unix one, never opens it itself, and
// deletes or renames an open file by the path it resolved (the link's
// target). What it does rename over is the entry: a Unix rename() that
// replaces the name `name` replaces the link, not its target. So a file of
// this program's own is made under a name of its own, renamed over the
// link (Wine refuses that while the target is open, or is a folder) and
// deleted.
DWORD HeldFolder::ReplaceLink(const char* name) const {
    static LONG made = 0;
    char ownName[40];
    FileName own, file;
    HANDLE placeholder = INVALID_HANDLE_VALUE;
    DWORD error = ERROR_FILE_EXISTS;
    for (int attempt = 0; attempt < 4 && error == ERROR_FILE_EXISTS; ++attempt) {
        if (!AfxFormat(ownName, "~%lx-%lx.tmp", GetCurrentProcessId(), InterlockedIncrement(&made)) ||
            !ToFileName(ownName, own))
            return ERROR_INVALID_NAME;
        error = OpenIn(handle_, own, DELETE | FILE_READ_ATTRIBUTES, 0, kFileCreate, kNonDirectoryFile, nullptr,
                       placeholder);
        if (error == ERROR_ALREADY_EXISTS) error = ERROR_FILE_EXISTS;
    }
    if (error) return error;
    if (!IsPlainFileOf(placeholder, finalPath_, ownName)) error = ERROR_ACCESS_DENIED;
    if (!error && !ToFileName(name, file)) error = ERROR_INVALID_NAME;
    if (!error) error = RenameIn(placeholder, handle_, file, true);
    if (!error && !IsPlainFileOf(placeholder, finalPath_, name)) error = ERROR_ACCESS_DENIED;
    // Deleted wherever it went: it is this program's own.
    MarkDeleted(placeholder);
    CloseHandle(placeholder);
    return error;
}

DWORD HeldFolder::RemoveAtRestart(const char* name, bool mayKeepName) const {
    char path[MAX_PATH], aside[MAX_PATH], asidePath[MAX_PATH];
    FileName file;
    if (!IsHeld()) return ERROR_PATH_NOT_FOUND;
    if (!ToFileName(name, file) || !PathOf(name, path)) return ERROR_INVALID_NAME;
    // Only reading its attributes, which no one's sharing can refuse.
    HANDLE entry;
    DWORD error = OpenIn(handle_, file, FILE_READ_ATTRIBUTES, kShareAll, kFileOpen, kNonDirectoryFile, nullptr, entry);
    if (error) return error;
    const bool plain = IsPlainFileOf(entry, finalPath_, name);
    CloseHandle(entry);
    if (!plain) return ERROR_ACCESS_DENIED;
    error = ERROR_FILE_EXISTS;
    for (DWORD attempt = 0; attempt < 3 && error == ERROR_FILE_EXISTS; ++attempt) {
        if (!AfxFormat(aside, "%s.%lx%lu.delete", name, GetCurrentProcessId(), attempt) || !PathOf(aside, asidePath))
            break;
        error = Rename(name, aside);
    }
    if (error == 0) AfxFormat(path, "%s", asidePath);
    else if (!mayKeepName) return error;
    // Windows deletes by this path at the restart.
    return MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) ? 0 : GetLastError();
}

bool HeldFolder::HoldsPlain(const char* name) const {
    FileName file;
    HANDLE entry;
    if (!IsHeld() || !ToFileName(name, file) ||
        OpenIn(handle_, file, FILE_READ_ATTRIBUTES, kShareAll, kFileOpen, kNonDirectoryFile, nullptr, entry))
        return false;
    const bool plain = IsPlainFileOf(entry, finalPath_, name);
    CloseHandle(entry);
    return plain;
}

bool HeldFolder::Holds(const char* name) const {
    FileName file;
    HANDLE entry;
    FileFacts facts;
    if (!IsHeld() || !ToFileName(name, file) ||
        OpenIn(handle_, file, FILE_READ_ATTRIBUTES, kShareAll, kFileOpen, 0, nullptr, entry))
        return false;
    const bool holds = !Facts(entry, facts) && !(facts.attributes & FILE_ATTRIBUTE_DIRECTORY);
    CloseHandle(entry);
    return holds;
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
    MarkDeleted(handle_);
    CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
}
