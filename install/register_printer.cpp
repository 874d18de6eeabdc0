#include "register_printer.h"
#include "../system/spooler.h"
#include "../payload/install_plan.h"
#include "../framework/system_files.h"
#include "../framework/winapp.h"

namespace {

const DWORD kWaitPauseMs = 100;

// Starts the printer installer hidden, from the system folder by its full
// path and in that folder: a rundll32.exe beside this program, or a file in
// the staging folder, is never taken for it. The command line stays as the
// installer reads it. Like WinExec, it returns once the new process waits
// for input, at most 30 s.
void StartPrinterInstaller(const char* commandLine) {
    char program[MAX_PATH], folder[MAX_PATH], line[MAX_PATH];
    if (!AfxSystemPath(program, "rundll32.exe") || !AfxSystemPath(folder, "") || !AfxFormat(line, "%s", commandLine))
        return;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program, line, nullptr, nullptr, FALSE, 0, nullptr, folder, &startup, &process)) return;
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

PrinterWaitOutcome RegisterPrinter(const InstallPlan& plan, bool setDefault, int waitAttempts) {
    StartPrinterInstaller(plan.installCommand);
    PrinterWaitOutcome outcome = PrinterWait(plan.printer, waitAttempts);
    if (outcome == PrinterWaitOutcome::Found && setDefault) StartPrinterInstaller(plan.defaultCommand);
    return outcome;
}
