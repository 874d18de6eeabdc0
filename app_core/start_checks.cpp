#include "start_checks.h"
#include "app_core/texts.h"
#include <aclapi.h>
#include <sddl.h>

namespace {

// One name for every printer name and both programs: the staging folder
// C:\TEMP and the driver's shared files are the same for all of them.
const char kLockName[] = "Thermal receipt printer driver setup";
const char kGlobalLockName[] = "Global\\Thermal receipt printer driver setup";
// The mutex inside the private namespace: "<namespace>\<name>".
const char kNamespacedLockName[] = "Thermal receipt printer driver setup\\run lock";

// Security attributes made from SDDL once; null where they cannot be made.
class Rights {
public:
    explicit Rights(const char* sddl) {
        attributes_.nLength = sizeof attributes_;
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1,
                                                                  &attributes_.lpSecurityDescriptor, nullptr))
            attributes_.lpSecurityDescriptor = nullptr;
    }
    SECURITY_ATTRIBUTES* Get() { return attributes_.lpSecurityDescriptor ? &attributes_ : nullptr; }

private:
    SECURITY_ATTRIBUTES attributes_ = {};
};

// The lock belongs to Administrators, and only they and SYSTEM may open it;
// the namespace may be opened by them alone (anyone else could otherwise
// open it, though not make it).
SECURITY_ATTRIBUTES* LockRights() {
    static Rights rights("O:BAD:(A;;GA;;;BA)(A;;GA;;;SY)");
    return rights.Get();
}
SECURITY_ATTRIBUTES* LockRightsWithoutOwner() {
    static Rights rights("D:(A;;GA;;;BA)(A;;GA;;;SY)");
    return rights.Get();
}

template <typename Function>
Function Kernel32(const char* name) {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return kernel ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(kernel, name))) : nullptr;
}

// Enters the private namespace, making it when no setup of ours has;
// false where the system has none or it cannot be made or opened. Its
// handle stays open until the process ends: the namespace lasts as long
// as a handle to it does.
bool EnterPrivateNamespace() {
    using CreateBoundary = HANDLE(WINAPI*)(const char*, ULONG);
    using AddSid = BOOL(WINAPI*)(HANDLE*, PSID);
    using CreateNamespace = HANDLE(WINAPI*)(SECURITY_ATTRIBUTES*, void*, const char*);
    using OpenNamespace = HANDLE(WINAPI*)(void*, const char*);
    auto createBoundary = Kernel32<CreateBoundary>("CreateBoundaryDescriptorA");
    auto addSid = Kernel32<AddSid>("AddSIDToBoundaryDescriptor");
    auto createNamespace = Kernel32<CreateNamespace>("CreatePrivateNamespaceA");
    auto openNamespace = Kernel32<OpenNamespace>("OpenPrivateNamespaceA");
    if (!createBoundary || !addSid || !createNamespace || !openNamespace || !LockRightsWithoutOwner()) return false;

    HANDLE boundary = createBoundary(kLockName, 0);
    PSID administrators = nullptr;
    bool bounded = boundary && ConvertStringSidToSidA("S-1-5-32-544", &administrators) && addSid(&boundary, administrators);
    LocalFree(administrators);
    HANDLE space = nullptr;
    // Made by another setup, which may end between the two calls: twice.
    for (int attempt = 0; bounded && !space && attempt < 2; ++attempt) {
        space = createNamespace(LockRightsWithoutOwner(), boundary, kLockName);
        if (!space && GetLastError() == ERROR_ALREADY_EXISTS) space = openNamespace(boundary, kLockName);
    }
    // The boundary descriptor is only needed to make or open the namespace.
    using DeleteBoundary = VOID(WINAPI*)(HANDLE);
    auto deleteBoundary = Kernel32<DeleteBoundary>("DeleteBoundaryDescriptor");
    if (boundary && deleteBoundary) deleteBoundary(boundary);
    return space != nullptr;
}

bool IsAdministratorsOrSystem(PSID sid) {
    static const char* const kTrusted[] = {"S-1-5-32-544", "S-1-5-18"};
    for (const char* text : kTrusted) {
        PSID trusted = nullptr;
        bool same = sid && ConvertStringSidToSidA(text, &trusted) && EqualSid(sid, trusted);
        LocalFree(trusted);
        if (same) return true;
    }
    return false;
}

// Makes the mutex of that name, or opens the one that is there; the
// handle is left open on purpose when it is taken: Windows closes it when
// the process ends, however it ends.
RunLock TakeMutex(const char* name) {
    HANDLE mutex = CreateMutexA(LockRights(), FALSE, name);
    DWORD error = GetLastError();
    // Only an account that may make Administrators an owner can give it
    // that owner; any other makes it its own (and other setups then take
    // it for another program's).
    if (!mutex && error == ERROR_INVALID_OWNER) {
        mutex = CreateMutexA(LockRightsWithoutOwner(), FALSE, name);
        error = GetLastError();
    }
    if (mutex && error != ERROR_ALREADY_EXISTS) return RunLock::Taken;
    if (!mutex) {
        // Not a mutex (ERROR_INVALID_HANDLE), or one whose rights shut out
        // administrators: no setup of ours made either.
        return error == ERROR_INVALID_HANDLE || error == ERROR_ACCESS_DENIED ? RunLock::HeldByOther
                                                                            : RunLock::AnotherSetup;
    }
    // Ours are made with Administrators as owner, which an ordinary account
    // cannot give an object; SYSTEM makes its own.
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const bool ours = GetSecurityInfo(mutex, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                                      nullptr, &descriptor) == ERROR_SUCCESS &&
                      IsAdministratorsOrSystem(owner);
    LocalFree(descriptor);
    CloseHandle(mutex);
    return ours ? RunLock::AnotherSetup : RunLock::HeldByOther;
}

}  // namespace

USHORT DetectNativeMachine() {
    // Each looked up at run time: Windows 2000 has none of them, XP before
    // SP2 no IsWow64Process, Windows before 10 (1511) no IsWow64Process2.
    typedef BOOL(WINAPI * IsWow64Process2Function)(HANDLE, USHORT*, USHORT*);
    typedef BOOL(WINAPI * IsWow64ProcessFunction)(HANDLE, BOOL*);
    typedef void(WINAPI * GetNativeSystemInfoFunction)(SYSTEM_INFO*);
    auto isWow64Process2 = Kernel32<IsWow64Process2Function>("IsWow64Process2");
    auto isWow64Process = Kernel32<IsWow64ProcessFunction>("IsWow64Process");
    auto getNativeSystemInfo = Kernel32<GetNativeSystemInfoFunction>("GetNativeSystemInfo");
    MachineFacts facts = {};
    USHORT processMachine = 0;
    facts.haveIsWow64Process2 =
        isWow64Process2 && isWow64Process2(GetCurrentProcess(), &processMachine, &facts.nativeMachine);
    facts.haveIsWow64Process = isWow64Process && isWow64Process(GetCurrentProcess(), &facts.wow64);
    SYSTEM_INFO system = {};
    system.wProcessorArchitecture = PROCESSOR_ARCHITECTURE_UNKNOWN;
    if (getNativeSystemInfo) getNativeSystemInfo(&system);
    facts.nativeArchitecture = system.wProcessorArchitecture;
    return NativeMachineFrom(facts, OwnMachine());
}

RunLock TakeRunLock() {
    if (!EnterPrivateNamespace()) return TakeMutex(kGlobalLockName);
    const RunLock lock = TakeMutex(kNamespacedLockName);
    // Also the Global name, where it is free, for a setup whose namespace
    // failed; someone else holding it changes nothing here.
    if (lock == RunLock::Taken) TakeMutex(kGlobalLockName);
    return lock;
}

const char* AnotherRunningText(LANGID systemLanguage) {
    return TextIn(kAnotherRunningText, LanguageOfSystem(systemLanguage));
}
const char* RunLockHeldByOtherText(LANGID systemLanguage) {
    return TextIn(kRunLockHeldByOtherText, LanguageOfSystem(systemLanguage));
}
const char* RunLockText(RunLock lock, LANGID systemLanguage) {
    return lock == RunLock::Taken          ? nullptr
           : lock == RunLock::HeldByOther ? RunLockHeldByOtherText(systemLanguage)
                                          : AnotherRunningText(systemLanguage);
}

bool IsLocalSystemSid(PSID sid) {
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID system = nullptr;
    const bool same = sid && IsValidSid(sid) &&
                      AllocateAndInitializeSid(&nt, 1, SECURITY_LOCAL_SYSTEM_RID, 0, 0, 0, 0, 0, 0, 0, &system) &&
                      EqualSid(sid, system);
    if (system) FreeSid(system);
    return same;
}

bool RunsAsSystem() {
    HANDLE token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    // A TOKEN_USER with room for the longest SID.
    union {
        TOKEN_USER user;
        BYTE bytes[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    } info;
    DWORD size = 0;
    const bool system = GetTokenInformation(token, TokenUser, &info, sizeof info, &size) && IsLocalSystemSid(info.user.User.Sid);
    CloseHandle(token);
    return system;
}

namespace {

// The numbers of "a.b.c.d" (one to four of them), the others 0.
bool VersionNumbers(const char* text, unsigned (&numbers)[4]) {
    int count = 0;
    for (unsigned& n : numbers) n = 0;
    for (const char* p = text;; ++p) {
        if (count == 4 || *p < '0' || *p > '9') return false;
        unsigned n = 0;
        for (; *p >= '0' && *p <= '9'; ++p)
            if ((n = n * 10 + (*p - '0')) > 65535) return false;
        numbers[count++] = n;
        if (!*p) return true;
        if (*p != '.') return false;
    }
}

}  // namespace

bool CompareVersions(const char* a, const char* b, int& order) {
    unsigned left[4], right[4];
    if (!a || !b || !VersionNumbers(a, left) || !VersionNumbers(b, right)) return false;
    order = 0;
    for (int i = 0; i < 4 && order == 0; ++i) order = left[i] < right[i] ? -1 : left[i] > right[i] ? 1 : 0;
    return true;
}
