#include "uninstall_app.h"
#include "command_line.h"
#include "messages.h"
#include "removal.h"
#include "app_core/command_line.h"
#include "app_core/start_checks.h"
#include "system/run_log.h"

namespace {

const char* const kItemKinds[] = {"printer", "driver", "file", "registry key HKEY_LOCAL_MACHINE\\", "port"};

// What stays, and what Windows deletes at the next restart, one line each.
void LogReport(RunLog& log, const RemovalReport& report) {
    for (size_t i = 0; i < report.ListedCount(); ++i) {
        const RemainingItem& item = report.listed[i];
        log.Line("%s: %s %s (error %lu)", item.atRestart ? "deleted at the next restart" : "not removed",
                 kItemKinds[static_cast<int>(item.kind)], item.name.text, static_cast<unsigned long>(item.error));
    }
}

int Uninstall(const char* programPath, bool silent, RunLog& log) {
    const TextLanguage language = LanguageOfSystem(GetSystemDefaultLangID());
    const UninstallTexts& texts = kUninstallTexts;
    char printerName[MAX_PATH];
    if (!PrinterNameFromProgramPath(programPath, printerName, sizeof printerName)) {
        if (!silent) AfxMessageBox(TextIn(texts.badProgramName, language), MB_OK | MB_ICONSTOP);
        log.Line("outcome %d: the program's file name names no printer (uninstall<printer name>.exe)", kExitBadProgramName);
        return kExitBadProgramName;
    }

    char text[4096];
    DriverRemoval removal(printerName, programPath, MachineOf(DetectNativeMachine()));
    if (!removal.FindsInstallation()) {
        if (!silent && AfxFormat(text, TextIn(texts.notInstalled, language), printerName))
            AfxMessageBox(text, MB_OK | MB_ICONINFORMATION);
        log.Line("outcome %d: the %s printer driver is not installed", kExitRemoved, printerName);
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
    LogReport(log, report);
    const int code = !report.Complete() ? kExitIncomplete : report.WaitsForRestart() ? kExitRestartNeeded : kExitRemoved;
    log.Line("outcome %d: %s", code,
             code == kExitIncomplete      ? "something could not be removed"
             : code == kExitRestartNeeded ? "removed; the files in use are deleted at the next restart"
                                          : "removed, nothing of the driver remains");
    return code;
}

// /S logs, with the same rules as the setup's log: made new, beside a name
// that is taken, and a /LOG= that cannot be made ends the run at once.
bool OpenLog(const char* programPath, const CommandLineSwitches& switches, RunLog& log) {
    if (!switches.silent) return true;
    char printerName[MAX_PATH], name[MAX_PATH], path[MAX_PATH];
    PrinterNameFromProgramPath(programPath, printerName, sizeof printerName);
    const DWORD error = AfxFormat(name, printerName[0] ? "%s printer uninstall.log" : "printer uninstall.log", printerName) &&
                                RunLogPath(switches.logPath, name, RunsAsSystem(), path)
                            ? log.Open(path, true)
                            : ERROR_INVALID_NAME;
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    log.Line("%s /S started: Windows %lu.%lu build %lu, system language 0x%04X, printer %s%s", AfxFindFileName(programPath),
             version.dwMajorVersion, version.dwMinorVersion, version.dwBuildNumber,
             static_cast<unsigned>(GetSystemDefaultLangID()), printerName, RunsAsSystem() ? ", as the SYSTEM account" : "");
    if (!switches.logPath[0] || !error) return true;
    log.Line("outcome %d: the log %s cannot be made (error %lu)", kExitLogNotMade, path, static_cast<unsigned long>(error));
    return false;
}

}  // namespace

bool UninstallApp::InitInstance() {
    char programPath[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, programPath, sizeof programPath);
    // A cut-off path would name the wrong printer.
    if (length == 0 || length >= sizeof programPath) programPath[0] = '\0';
    const CommandLineSwitches switches = ParseCommandLine(GetCommandLineA());
    const bool silent = switches.silent;
    RunLog log;
    if (!OpenLog(programPath, switches, log)) {
        exitCode_ = kExitLogNotMade;
        return false;
    }
    // While a setup or another uninstaller runs, the files and the driver
    // are theirs: this one ends before it looks at anything.
    const RunLock lock = TakeRunLock();
    if (lock != RunLock::Taken) {
        if (!silent) AfxMessageBox(RunLockText(lock, GetSystemDefaultLangID()), MB_OK | MB_ICONSTOP);
        exitCode_ = kExitAnotherRunning;
        log.Line("outcome %d: another setup or uninstaller is running, or another program holds the name of their lock",
                 exitCode_);
        return false;
    }
    exitCode_ = Uninstall(programPath, silent, log);
    // The work is done; the framework's message loop is never needed.
    return false;
}
