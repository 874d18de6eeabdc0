// What an attacker would plant beside the setup program or in C:\TEMP: a
// program or DLL that only leaves a line in C:\planted.log saying that it
// ran, from where and how it was started. The security scenarios copy it
// under the names the programs might look for (rundll32.exe, winspool.drv,
// comctl32.dll, version.dll) and expect that log never to appear.
#include <windows.h>

static void LogThatItRan(HMODULE module) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(module, path, sizeof path);
    HANDLE log = CreateFileA("C:\\planted.log", FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE) return;
    DWORD written;
    const char* texts[] = {path, " ran in ", GetCommandLineA(), "\r\n"};
    for (const char* text : texts)
        WriteFile(log, text, lstrlenA(text), &written, nullptr);
    CloseHandle(log);
}

#ifdef PLANTED_DLL
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) LogThatItRan(instance);
    return TRUE;
}
#else
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    LogThatItRan(nullptr);
    return 0;
}
#endif
