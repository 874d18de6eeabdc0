// Application object: the program's one CWinApp drives start-up from the
// framework's entry point.
#pragma once
#include "afx.h"

class CWnd;

class CWinThread : public CObject {
public:
    CWnd* m_pMainWnd = nullptr;
    virtual bool InitInstance() { return false; }
    virtual int ExitInstance() { return 0; }
    virtual int Run();
    // Thread-object deletion hook; the framework never calls it for the
    // application object.
    virtual void Delete() {}
};

class CWinApp : public CWinThread {
public:
    // Registers this object as the current application.
    CWinApp();
    ~CWinApp() override;
    virtual bool InitApplication() { return true; }

    HINSTANCE m_hInstance = nullptr;
    // Set at start-up: the string table's application title, else the
    // program file's name without its extension.
    char m_appName[MAX_PATH] = {};
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
const char* AfxGetAppName();
CWnd* AfxGetMainWnd();
// Waits `milliseconds` while handling this thread's messages, so that its
// windows keep painting. A quit message is posted again for the loop it
// belongs to, and ends the wait.
void AfxPumpMessagesFor(DWORD milliseconds);
// The same until `object` (a process, say) is signalled: true when it was
// within the time.
bool AfxPumpMessagesUntil(HANDLE object, DWORD milliseconds);
void AfxEnableControlContainer();
void Enable3dControlsStatic();

// The framework's entry point body: initialise, InitApplication, InitInstance,
// then either the message loop or ExitInstance.
int AfxWinMain(HINSTANCE instance, int showCommand);
