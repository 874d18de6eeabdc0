#include "unattended.h"
#include "../app_core/app_state.h"
#include "../app_core/start_checks.h"
#include "app_core/texts.h"
#include "../install/printer_name_check.h"
#include "../system/held_folder.h"
#include <cstring>

namespace {

// Holds the folder of `path` and gives the file name in it.
const char* HoldFolderOf(const char* path, HeldFolder& folder) {
    const char* name = AfxFindFileName(path);
    char folderPath[MAX_PATH];
    if (AfxFormat(folderPath, "%.*s", static_cast<int>(name - path), path)) folder.Hold(folderPath, false, false);
    return name;
}

// One line a step, each with its local time. The log is made new (a file
// or link someone put at its name goes first, and a folder that leads
// elsewhere takes none); a log that cannot be written changes nothing of
// the install.
class SetupLog {
public:
    explicit SetupLog(const char* path) : name_(HoldFolderOf(path, folder_)), file_(folder_, name_) {}
    ~SetupLog() { file_.Close(); }
    template <typename... Args>
    void Line(const char* format, Args... args) {
        SYSTEMTIME now;
        GetLocalTime(&now);
        char text[3 * MAX_PATH], line[3 * MAX_PATH + 32];
        if (AfxFormat(text, format, args...) &&
            AfxFormat(line, "%04u-%02u-%02u %02u:%02u:%02u %s\r\n", now.wYear, now.wMonth, now.wDay, now.wHour,
                      now.wMinute, now.wSecond, text))
            file_.Write(line, static_cast<DWORD>(strlen(line))) && file_.Flush();   // each line as it happens
    }

private:
    HeldFolder folder_;
    const char* name_;
    NewFile file_;
};

void LogStart(SetupLog& log, LANGID systemLanguage) {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    log.Line("setup.exe /S started: Windows %lu.%lu build %lu (code %d), system language 0x%04X, printer %s",
             version.dwMajorVersion, version.dwMinorVersion, version.dwBuildNumber, g_OSVersion,
             static_cast<unsigned>(systemLanguage), g_PrinterName);
}

void LogOutcome(SetupLog& log, const InstallOutcome& outcome, const char* printerName) {
    const int code = ExitCodeOf(outcome.result);
    switch (outcome.result) {
    case InstallResult::Installed:
        log.Line("outcome %d: installed, the printer %s exists on its driver", code, printerName);
        break;
    case InstallResult::PrinterNotCreated:
        log.Line("outcome %d: the printer %s did not appear within %d s", code, printerName, kPrinterWaitAttempts / 10);
        break;
    case InstallResult::NameRefused:
        log.Line("outcome %d: the printer name \"%s\" of setting.dll cannot be used", code, printerName);
        break;
    case InstallResult::FolderRefused:
        log.Line("outcome %d: the folder %s is refused: %s", code, outcome.folder,
                 outcome.refusal == FolderRefusal::Permissions ? "other users may change it" : "it leads elsewhere");
        break;
    case InstallResult::FileNotWritten:
        log.Line("outcome %d: the file %s could not be written (error %ld)", code, outcome.fileError.m_strFileName,
                 static_cast<long>(outcome.fileError.m_lOsError));
        break;
    }
}

}  // namespace

int ExitCodeOf(InstallResult result) {
    switch (result) {
    case InstallResult::Installed: return kSetupInstalled;
    case InstallResult::PrinterNotCreated: return kSetupPrinterNotCreated;
    case InstallResult::NameRefused: return kSetupNameRefused;
    case InstallResult::FolderRefused: return kSetupFolderRefused;
    case InstallResult::FileNotWritten: return kSetupFileNotWritten;
    }
    return kSetupFileNotWritten;
}

int RefusalAtStart(bool silent) {
    const char* text = nullptr;
    int code = kSetupInstalled;
    if (IsWindows64()) {
        text = Windows64Text(GetSystemDefaultLangID());
        code = kSetupWindows64;
    } else if (TakeRunLock() != RunLock::Taken) {
        text = AnotherRunningText(GetSystemDefaultLangID());
        code = kSetupAnotherRunning;
    }
    if (text && !silent) AfxMessageBox(text, MB_OK | MB_ICONSTOP);
    return code;
}

void ShowUsage() {
    AfxMessageBox(TextIn(kUsageText, LanguageOfSystem(GetSystemDefaultLangID())), MB_OK | MB_ICONINFORMATION);
}

bool LogPath(const char* logSwitch, const char* printerName, char (&path)[MAX_PATH]) {
    if (logSwitch[0]) {
        const DWORD length = GetFullPathNameA(logSwitch, MAX_PATH, path, nullptr);
        return length > 0 && length < MAX_PATH;
    }
    char temp[MAX_PATH];
    const DWORD length = GetTempPathA(sizeof temp, temp);
    if (length == 0 || length >= sizeof temp) return false;
    if (!IsPrinterNameUsable(printerName)) return AfxFormat(path, "%sprinter setup.log", temp);
    return AfxFormat(path, "%s%s printer setup.log", temp, printerName);
}

int RunUnattended(const char* refusedFolder, const char* logSwitch) {
    const LANGID systemLanguage = GetSystemDefaultLangID();
    char path[MAX_PATH];
    SetupLog log(LogPath(logSwitch, g_PrinterName, path) ? path : "");
    LogStart(log, systemLanguage);
    if (refusedFolder[0]) {
        log.Line("outcome %d: the folder %s is refused: it leads elsewhere", kSetupFolderRefused, refusedFolder);
        return kSetupFolderRefused;
    }

    // What the wizard's pages preselect; Next throughout keeps it.
    InstallChoices choices = {};
    choices.printerName = g_PrinterName;
    choices.osCode = g_OSVersion;
    choices.systemLanguage = systemLanguage;
    choices.languageIndex = PreselectedLanguageIndex(systemLanguage);
    choices.setDefaultPrinter = true;
    log.Line("install started: language choice %d (0 Chinese, 1 English, -1 none), the printer made the default",
             choices.languageIndex);
    const InstallOutcome outcome = RunInstall(choices);
    LogOutcome(log, outcome, g_PrinterName);
    return ExitCodeOf(outcome.result);
}
