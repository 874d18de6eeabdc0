// Application object: the program's one CWinApp drives start-up from the
// framework's entry point.
#pragma once
#include "afx.h"

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
    // Registers this object as the current application. Without a name the
    // program file's name (without extension) is used, unless the string
    // table holds an application title.
    explicit CWinApp(const char* appName = nullptr);
    ~CWinApp() override;
    virtual bool InitApplication() { return true; }
    int ExitInstance() override { return 0; }

    const char* m_pszAppName = nullptr;
    HINSTANCE m_hInstance = nullptr;

private:
    char m_appNameBuffer[MAX_PATH] = {};   // what m_pszAppName points at
    friend int AfxWinMain(HINSTANCE, int);
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
const char* AfxGetAppName();
CWnd* AfxGetMainWnd();
void AfxEnableControlContainer();
void Enable3dControlsStatic();

// The framework's entry point body: initialise, InitApplication, InitInstance,
// then either the message loop or ExitInstance.
int AfxWinMain(HINSTANCE instance, int showCommand);
