#include "start_checks.h"
#include "app_core/texts.h"

namespace {

// One name for every printer name and both programs: the staging folder
// C:\TEMP and the driver's shared files are the same for all of them.
const char kRunMutexName[] = "Global\\Thermal receipt printer driver setup";

}  // namespace

USHORT DetectNativeMachine() {
    // Each looked up at run time: Windows 2000 has none of them, XP before
    // SP2 no IsWow64Process, Windows before 10 (1511) no IsWow64Process2.
    typedef BOOL(WINAPI * IsWow64Process2Function)(HANDLE, USHORT*, USHORT*);
    typedef BOOL(WINAPI * IsWow64ProcessFunction)(HANDLE, BOOL*);
    typedef void(WINAPI * GetNativeSystemInfoFunction)(SYSTEM_INFO*);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    auto find = [kernel](const char* name) {
        return kernel ? reinterpret_cast<void*>(GetProcAddress(kernel, name)) : nullptr;
    };
    auto isWow64Process2 = reinterpret_cast<IsWow64Process2Function>(find("IsWow64Process2"));
    auto isWow64Process = reinterpret_cast<IsWow64ProcessFunction>(find("IsWow64Process"));
    auto getNativeSystemInfo = reinterpret_cast<GetNativeSystemInfoFunction>(find("GetNativeSystemInfo"));
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

bool TakeRunMutex() {
    // Left open on purpose: Windows closes it when the process ends, however it ends.
    HANDLE mutex = CreateMutexA(nullptr, FALSE, kRunMutexName);
    const DWORD error = GetLastError();
    if (!mutex) return error != ERROR_ACCESS_DENIED;   // made by another, with rights we lack
    if (error != ERROR_ALREADY_EXISTS) return true;
    CloseHandle(mutex);
    return false;
}

const char* AnotherRunningText(LANGID systemLanguage) {
    return TextIn(kAnotherRunningText, LanguageOfSystem(systemLanguage));
}
