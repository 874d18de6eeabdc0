#include "start_checks.h"
#include "text_language.h"

namespace {

// One name for every printer name and both programs: the staging folder
// C:\TEMP and the driver's shared files are the same for all of them.
const char kRunMutexName[] = "Global\\Thermal receipt printer driver setup";

// English, Simplified Chinese (GBK), Traditional Chinese (Big5), in the
// order of TextLanguage; each Chinese line's text is in the comment above it.
const char* const kWindows64[] = {
    "This printer driver is for 32-bit Windows and cannot be installed on this 64-bit Windows. The setup has "
    "changed nothing.",
    // 本打印机驱动程序适用于 32 位 Windows，无法安装在这台 64 位 Windows 上。安装程序没有做任何更改。
    "\261\276\264\362\323\241\273\372\307\375\266\257\263\314\320\362\312\312\323\303\323\332 32 \316\273 Windows"
    "\243\254\316\336\267\250\260\262\327\260\324\332\325\342\314\250 64 \316\273 Windows \311\317\241\243\260\262"
    "\327\260\263\314\320\362\303\273\323\320\327\366\310\316\272\316\270\374\270\304\241\243",
    // 本印表機驅動程式適用於 32 位元 Windows，無法安裝在這台 64 位元 Windows 上。安裝程式沒有做任何變更。
    "\245\273\246\114\252\355\276\367\305\130\260\312\265\173\246\241\276\101\245\316\251\363 32 \246\354\244\270 "
    "Windows\241\101\265\114\252\153\246\167\270\313\246\142\263\157\245\170 64 \246\354\244\270 Windows \244\127"
    "\241\103\246\167\270\313\265\173\246\241\250\123\246\263\260\265\245\364\246\363\305\334\247\363\241\103",
};

const char* const kAnotherRunning[] = {
    "Another setup or uninstaller of this printer driver is running. Wait until it has ended, then start this "
    "program again.",
    // 另一个打印机驱动程序安装或卸载程序正在运行。请等它结束后再启动本程序。
    "\301\355\322\273\270\366\264\362\323\241\273\372\307\375\266\257\263\314\320\362\260\262\327\260\273\362\320"
    "\266\324\330\263\314\320\362\325\375\324\332\324\313\320\320\241\243\307\353\265\310\313\374\275\341\312\370"
    "\272\363\324\331\306\364\266\257\261\276\263\314\320\362\241\243",
    // 另一個印表機驅動程式安裝或解除安裝程式正在執行。請等它結束後再啟動本程式。
    "\245\164\244\100\255\323\246\114\252\355\276\367\305\130\260\312\265\173\246\241\246\167\270\313\251\316\270"
    "\321\260\243\246\167\270\313\265\173\246\241\245\277\246\142\260\365\246\346\241\103\275\320\265\245\245\246"
    "\265\262\247\364\253\341\246\101\261\322\260\312\245\273\265\173\246\241\241\103",
};

const char* InSystemLanguage(const char* const (&texts)[3], LANGID systemLanguage) {
    return texts[static_cast<int>(LanguageOfSystem(systemLanguage))];
}

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

const char* Windows64Text(LANGID systemLanguage) { return InSystemLanguage(kWindows64, systemLanguage); }
const char* AnotherRunningText(LANGID systemLanguage) { return InSystemLanguage(kAnotherRunning, systemLanguage); }
