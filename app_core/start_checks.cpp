#include "start_checks.h"
#include "app_core/texts.h"

namespace {

// One name for every printer name and both programs: the staging folder
// C:\TEMP and the driver's shared files are the same for all of them.
const char kRunMutexName[] = "Global\\Thermal receipt printer driver setup";

}  // namespace

bool IsWindows64() {
    typedef BOOL(WINAPI * IsWow64ProcessFunction)(HANDLE, BOOL*);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    auto isWow64Process = kernel ? reinterpret_cast<IsWow64ProcessFunction>(
                                       reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")))
                                 : nullptr;
    BOOL wow64 = FALSE;
    return isWow64Process && isWow64Process(GetCurrentProcess(), &wow64) && wow64;
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

const char* Windows64Text(LANGID systemLanguage) { return TextIn(kWindows64Text, LanguageOfSystem(systemLanguage)); }
const char* AnotherRunningText(LANGID systemLanguage) {
    return TextIn(kAnotherRunningText, LanguageOfSystem(systemLanguage));
}
