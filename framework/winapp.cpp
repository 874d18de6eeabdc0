#include "winapp.h"
#include "string_ids.h"
#include "wnd.h"
#include <cstring>

namespace {
CWinApp* g_currentApp = nullptr;
}

CWinApp::CWinApp() { g_currentApp = this; }

CWinApp::~CWinApp() {
    if (g_currentApp == this) g_currentApp = nullptr;
}

CWinApp* AfxGetApp() { return g_currentApp; }

HINSTANCE AfxGetInstanceHandle() {
    return g_currentApp && g_currentApp->m_hInstance ? g_currentApp->m_hInstance
                                                     : GetModuleHandleA(nullptr);
}

const char* AfxGetAppName() { return g_currentApp ? g_currentApp->m_appName : ""; }

CWnd* AfxGetMainWnd() { return g_currentApp ? g_currentApp->m_pMainWnd : nullptr; }

// Both are no-ops on current systems: controls are drawn by the system.
void AfxEnableControlContainer() {}
void Enable3dControlsStatic() {}

void AfxPumpMessagesFor(DWORD milliseconds) { AfxPumpMessagesUntil(nullptr, milliseconds); }

bool AfxPumpMessagesUntil(HANDLE object, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    const DWORD count = object ? 1 : 0;
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                return object && WaitForSingleObject(object, 0) == WAIT_OBJECT_0;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (object && WaitForSingleObject(object, 0) == WAIT_OBJECT_0) return true;
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= milliseconds) return false;
        MsgWaitForMultipleObjects(count, &object, FALSE, milliseconds - elapsed, QS_ALLINPUT);
    }
}

int CWinThread::Run() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return ExitInstance();
}

// The program has no title string, so the application is named after its
// own file: "C:\dir\setup.exe" gives "setup".
static void NameAfterProgramFile(char* name, size_t size) {
    // One more byte than the path may have: some systems leave a path that
    // fills the buffer unterminated.
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    lstrcpynA(name, AfxFindFileName(path), static_cast<int>(size));
    char* dot = strrchr(name, '.');
    if (dot) *dot = '\0';
}

int AfxWinMain(HINSTANCE instance, int /*showCommand*/) {
    CWinApp* app = AfxGetApp();
    if (!app) return -1;
    app->m_hInstance = instance;
    if (LoadStringA(instance, IDS_APP_TITLE, app->m_appName, sizeof app->m_appName) <= 0)
        NameAfterProgramFile(app->m_appName, sizeof app->m_appName);
    if (!app->InitApplication()) return app->ExitInstance();
    if (!app->InitInstance()) {
        // An application that ends from InitInstance still gets ExitInstance;
        // its result is the process exit code.
        return app->ExitInstance();
    }
    return app->Run();
}
