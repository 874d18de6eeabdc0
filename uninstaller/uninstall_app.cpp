#include "uninstall_app.h"
#include "command_line.h"
#include "messages.h"
#include "removal.h"
#include "app_core/command_line.h"
#include "app_core/start_checks.h"

namespace {

int Uninstall(const char* programPath, bool silent) {
    const TextLanguage language = LanguageOfSystem(GetSystemDefaultLangID());
    const UninstallTexts& texts = kUninstallTexts;
    char printerName[MAX_PATH];
    if (!PrinterNameFromProgramPath(programPath, printerName, sizeof printerName)) {
        if (!silent) AfxMessageBox(TextIn(texts.badProgramName, language), MB_OK | MB_ICONSTOP);
        return kExitBadProgramName;
    }

    char text[4096];
    DriverRemoval removal(printerName, programPath, MachineOf(DetectNativeMachine()));
    if (!removal.FindsInstallation()) {
        if (!silent && AfxFormat(text, TextIn(texts.notInstalled, language), printerName))
            AfxMessageBox(text, MB_OK | MB_ICONINFORMATION);
        return kExitRemoved;
    }
    if (!silent) {
        // A printer name too long for the question cannot be confirmed.
        if (!AfxFormat(text, TextIn(texts.confirm, language), printerName) ||
            AfxMessageBox(text, MB_YESNO | MB_ICONQUESTION) != IDYES)
            return kExitCancelled;
    }

    RemovalReport report = removal.Remove();
    if (!silent && ComposeOutcome(language, printerName, report, text, sizeof text))
        AfxMessageBox(text, MB_OK | (report.Complete() ? MB_ICONINFORMATION : MB_ICONWARNING));
    if (!report.Complete()) return kExitIncomplete;
    return report.WaitsForRestart() ? kExitRestartNeeded : kExitRemoved;
}

}  // namespace

bool UninstallApp::InitInstance() {
    char programPath[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, programPath, sizeof programPath);
    // A cut-off path would name the wrong printer.
    if (length == 0 || length >= sizeof programPath) programPath[0] = '\0';
    const bool silent = ParseCommandLine(GetCommandLineA()).silent;
    // While a setup or another uninstaller runs, the files and the driver
    // are theirs: this one ends before it looks at anything.
    const RunLock lock = TakeRunLock();
    if (lock != RunLock::Taken) {
        if (!silent) AfxMessageBox(RunLockText(lock, GetSystemDefaultLangID()), MB_OK | MB_ICONSTOP);
        exitCode_ = kExitAnotherRunning;
        return false;
    }
    exitCode_ = Uninstall(programPath, silent);
    // The work is done; the framework's message loop is never needed.
    return false;
}
