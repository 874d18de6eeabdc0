#include "register_printer.h"
#include "messages.h"
#include "../app/app_state.h"
#include "../framework/wnd.h"
#include "../framework/winapp.h"
#include "../uninstall/driver_directory.h"

namespace {

// The printer installer reads these; the install command's last blank is
// part of it.
const char kInstallCommand[] =
    "rundll32.exe printui.dll,PrintUIEntry /if /f C:\\TEMP\\KRX.INF /r \"%s\" /b \"KRX\" /m \"KRX\" ";
const char kDefaultCommand[] = "rundll32 printui.dll,PrintUIEntry /y /n \"%s\"";
// The new printer's name, its driver model and what the wait looks for.
const char kModelName[] = "KRX";
const int kWaitAttempts = 300;
const DWORD kWaitPauseMs = 100;

}  // namespace

bool PrinterWait() {
    for (int attempt = 0; attempt < kWaitAttempts; ++attempt) {
        Sleep(kWaitPauseMs);
        int found = CountPrintersContaining(kModelName, 1);
        if (found < 0) return false;
        if (found > 0) return true;
    }
    return false;
}

void RegisterPrinter(LANGID systemLanguage) {
    SetCurrentDirectoryA("C:\\TEMP");
    char command[MAX_PATH];
    if (AfxFormat(command, kInstallCommand, "LPT1:")) WinExec(command, SW_HIDE);
    if (!PrinterWait()) return;
    if (g_SetDefaultPrinter && AfxFormat(command, kDefaultCommand, kModelName)) WinExec(command, SW_HIDE);
    AfxMessageBox(ChooseText(kInstalledText, g_LanguageIndex, systemLanguage), MB_OK, 0);
    CWnd* main = AfxGetMainWnd();
    PostMessageA(main ? main->GetSafeHwnd() : nullptr, WM_QUIT, 0, 0);
}
