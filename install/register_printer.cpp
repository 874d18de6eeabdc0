#include "register_printer.h"
#include "messages.h"
#include "spooler.h"
#include "../app/app_state.h"
#include "../payload/install_plan.h"
#include "../framework/system_files.h"
#include "../framework/winapp.h"
#include "../framework/wnd.h"

namespace {

// The printer installer reads these: the INF the install wrote, the port,
// the new printer's name and the model the INF names, which is the printer
// name too. The install command's last blank is part of it.
const char kInstallCommand[] = "rundll32.exe printui.dll,PrintUIEntry /if /f %s /r \"%s\" /b \"%s\" /m \"%s\" ";
const char kDefaultCommand[] = "rundll32 printui.dll,PrintUIEntry /y /n \"%s\"";
const DWORD kWaitPauseMs = 100;

// Starts the printer installer hidden, from the system folder by its full
// path: a rundll32.exe beside this program or in the current folder is
// never run. The command line stays as the installer reads it. Like
// WinExec, it returns once the new process waits for input, at most 30 s.
void StartPrinterInstaller(const char* commandLine) {
    char program[MAX_PATH], line[MAX_PATH];
    if (!AfxSystemPath(program, "rundll32.exe") || !AfxFormat(line, "%s", commandLine)) return;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) return;
    WaitForInputIdle(process.hProcess, 30000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

}  // namespace

PrinterWaitOutcome PrinterWait(const char* printerName, int attempts) {
    for (int attempt = 0; attempt < attempts; ++attempt) {
        // The wizard keeps painting while it waits.
        AfxPumpMessagesFor(kWaitPauseMs);
        SpoolerList list = ReadPrinterList();
        if (!list.ok || list.count == 0) return PrinterWaitOutcome::GivenUp;
        for (DWORD i = 0; i < list.count; ++i) {
            const PRINTER_INFO_2A& printer = list.Printers()[i];
            if (printer.pPrinterName && printer.pDriverName && SameName(printer.pPrinterName, printerName) &&
                SameName(printer.pDriverName, printerName))
                return PrinterWaitOutcome::Found;
        }
    }
    return PrinterWaitOutcome::GivenUp;
}

void RegisterPrinter(const InstallPlan& plan, LANGID systemLanguage, int waitAttempts) {
    const char* printer = plan.model;
    SetCurrentDirectoryA(kStagingFolder);
    char inf[MAX_PATH], command[MAX_PATH];
    if (PlannedPath(plan.inf, "", inf) && AfxFormat(command, kInstallCommand, inf, "LPT1:", printer, printer))
        StartPrinterInstaller(command);
    if (PrinterWait(printer, waitAttempts) != PrinterWaitOutcome::Found) {
        char text[1024];
        if (AfxFormat(text, ChooseText(kPrinterNotCreatedText, g_LanguageIndex, systemLanguage), printer))
            AfxMessageBox(text, MB_OK | MB_ICONWARNING);
        return;
    }
    if (g_SetDefaultPrinter && AfxFormat(command, kDefaultCommand, printer)) StartPrinterInstaller(command);
    AfxMessageBox(ChooseText(kInstalledText, g_LanguageIndex, systemLanguage), MB_OK, 0);
    CWnd* main = AfxGetMainWnd();
    PostMessageA(main ? main->GetSafeHwnd() : nullptr, WM_QUIT, 0, 0);
}
