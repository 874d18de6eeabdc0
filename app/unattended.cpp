#include "unattended.h"
#include "app_state.h"
#include "start_checks.h"
#include "text_language.h"
#include "../install/printer_name_check.h"
#include "../payload/held_folder.h"
#include <cstring>

namespace {

// English, Simplified Chinese (GBK), Traditional Chinese (Big5); each
// Chinese text is in the comment above it.
const char* const kUsage[] = {
    "setup.exe [/S] [/LOG=<file>]\r\n\r\n"
    "/S: installs without any window, in the system's language, with the printer name of setting.dll, and makes "
    "the printer the default printer. The exit code tells the outcome: 0 installed, 1 the printer was not created, "
    "2 printer name refused, 3 folder refused, 4 a file could not be written, 5 64-bit Windows, 6 another setup "
    "or uninstaller is running.\r\n\r\n"
    "/LOG=<file>: where /S writes its log; by default \"<printer name> printer setup.log\" in the TEMP folder.",
    // setup.exe [/S] [/LOG=<文件>] /S：不显示任何窗口进行安装，使用系统的语言和 setting.dll 中的打印机名称，并设为默认打印机。退出代码表示结果：0 已安装，1 未能创建打印机，2 打印机名称被拒绝，3 文件夹被拒绝，4 文件无法写入，5 64 位 Windows，6 另一个安装或卸载程序正在运行。 /LOG=<文件>：/S 写入日志的位置，默认为 TEMP 文件夹中的“<打印机名称> printer setup.log”。
    "setup.exe [/S] [/LOG=<\316\304\274\376>]\r\n\r\n"
    "/S\243\272\262\273\317\324\312\276\310\316\272\316\264\260\277\332\275\370\320\320\260\262\327\260"
    "\243\254\312\271\323\303\317\265\315\263\265\304\323\357\321\324\272\315 setting.dll \326\320\265"
    "\304\264\362\323\241\273\372\303\373\263\306\243\254\262\242\311\350\316\252\304\254\310\317\264\362"
    "\323\241\273\372\241\243\315\313\263\366\264\372\302\353\261\355\312\276\275\341\271\373\243\2720 "
    "\322\321\260\262\327\260\243\2541 \316\264\304\334\264\264\275\250\264\362\323\241\273\372\243\2542 "
    "\264\362\323\241\273\372\303\373\263\306\261\273\276\334\276\370\243\2543 \316\304\274\376\274\320"
    "\261\273\276\334\276\370\243\2544 \316\304\274\376\316\336\267\250\320\264\310\353\243\2545 64 \316"
    "\273 Windows\243\2546 \301\355\322\273\270\366\260\262\327\260\273\362\320\266\324\330\263\314\320"
    "\362\325\375\324\332\324\313\320\320\241\243\r\n\r\n"
    "/LOG=<\316\304\274\376>\243\272/S \320\264\310\353\310\325\326\276\265\304\316\273\326\303\243\254"
    "\304\254\310\317\316\252 TEMP \316\304\274\376\274\320\326\320\265\304\241\260<\264\362\323\241\273"
    "\372\303\373\263\306> printer setup.log\241\261\241\243",
    // setup.exe [/S] [/LOG=<檔案>] /S：不顯示任何視窗進行安裝，使用系統的語言和 setting.dll 中的印表機名稱，並設為預設印表機。結束代碼表示結果：0 已安裝，1 無法建立印表機，2 印表機名稱被拒絕，3 資料夾被拒絕，4 檔案無法寫入，5 64 位元 Windows，6 另一個安裝或解除安裝程式正在執行。 /LOG=<檔案>：/S 寫入記錄的位置，預設為 TEMP 資料夾中的「<印表機名稱> printer setup.log」。
    "setup.exe [/S] [/LOG=<\300\311\256\327>]\r\n\r\n"
    "/S\241\107\244\243\305\343\245\334\245\364\246\363\265\370\265\241\266\151\246\346\246\167\270\313"
    "\241\101\250\317\245\316\250\164\262\316\252\272\273\171\250\245\251\115 setting.dll \244\244\252"
    "\272\246\114\252\355\276\367\246\127\272\331\241\101\250\303\263\135\254\260\271\167\263\135\246\114"
    "\252\355\276\367\241\103\265\262\247\364\245\116\275\130\252\355\245\334\265\262\252\107\241\1070 "
    "\244\167\246\167\270\313\241\1011 \265\114\252\153\253\330\245\337\246\114\252\355\276\367\241\1012 "
    "\246\114\252\355\276\367\246\127\272\331\263\121\251\332\265\264\241\1013 \270\352\256\306\247\250"
    "\263\121\251\332\265\264\241\1014 \300\311\256\327\265\114\252\153\274\147\244\112\241\1015 64 \246"
    "\354\244\270 Windows\241\1016 \245\164\244\100\255\323\246\167\270\313\251\316\270\321\260\243\246"
    "\167\270\313\265\173\246\241\245\277\246\142\260\365\246\346\241\103\r\n\r\n"
    "/LOG=<\300\311\256\327>\241\107/S \274\147\244\112\260\117\277\375\252\272\246\354\270\155\241\101"
    "\271\167\263\135\254\260 TEMP \270\352\256\306\247\250\244\244\252\272\241\165<\246\114\252\355\276"
    "\367\246\127\272\331> printer setup.log\241\166\241\103",
};

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
    } else if (!TakeRunMutex()) {
        text = AnotherRunningText(GetSystemDefaultLangID());
        code = kSetupAnotherRunning;
    }
    if (text && !silent) AfxMessageBox(text, MB_OK | MB_ICONSTOP);
    return code;
}

void ShowUsage() {
    AfxMessageBox(kUsage[static_cast<int>(LanguageOfSystem(GetSystemDefaultLangID()))], MB_OK | MB_ICONINFORMATION);
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
