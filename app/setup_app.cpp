#include "setup_app.h"
#include "../app_core/app_state.h"
#include "../app_core/install_outcome.h"
#include "language_files.h"
#include "../app_core/text_language.h"
#include "../app_core/os_version.h"
#include "../app_core/command_line.h"
#include "unattended.h"
#include "../install/install_runner.h"
#include "../wizard/run_wizard.h"
#include "../framework/file_find.h"
#include "../system/held_folder.h"
#include "../payload/payload_resource.h"
#include "../payload/test_receipt.h"
#include "../install/install_runner.h"
#include "app_core/texts.h"
#include <cstring>

SetupWizardApp theApp;

// The program's folder, up to and including the last backslash of its path,
// found by characters: a GBK or Big5 name may hold a 0x5C trail byte. A
// path that filled the buffer may be cut (and is left unterminated by some
// systems): then the folder stays unknown.
static void SetProgramDirectory() {
    char path[MAX_PATH + 1] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    g_AppDirectory[0] = '\0';
    if (length == 0 || length >= MAX_PATH) return;
    const char* name = AfxFindFileName(path);
    AfxFormat(g_AppDirectory, "%.*s", static_cast<int>(name - path), path);
}

static void ChooseInitialLanguageFile(const char*& languageName) {
    const TextLanguage language = LanguageOfSystem(GetSystemDefaultLangID());
    languageName = language == TextLanguage::English ? "English" : "Chinese";
    AfxFormat(g_LanguageFile, "%s%s\\%s", g_AppDirectory, kLanguageFolder, LanguageFileEntry(language)->fileName);
}

// PrinterName of the embedded default settings ("MERLO" should it lack
// one), cut to the buffer as a profile read would cut it.
static void DefaultPrinterName(char (&name)[MAX_PATH]) {
    lstrcpynA(name, "MERLO", sizeof name);
    PayloadBytes settings;
    if (!FindPayload(SettingsFileEntry()->id, settings)) return;
    const char* text = static_cast<const char*>(settings.data);
    const char* end = text + settings.size;
    const char key[] = "PrinterName=";
    const size_t keyLength = sizeof key - 1;
    for (const char* line = text; line < end;) {
        const char* next = static_cast<const char*>(memchr(line, '\n', end - line));
        const char* lineEnd = next ? next : end;
        if (lineEnd > line && lineEnd[-1] == '\r') --lineEnd;
        if (static_cast<size_t>(lineEnd - line) >= keyLength && SameName(line, key, static_cast<int>(keyLength))) {
            size_t length = lineEnd - line - keyLength;
            if (length >= sizeof name) length = sizeof name - 1;
            memcpy(name, line + keyLength, length);
            name[length] = '\0';
            return;
        }
        line = next ? next + 1 : end;
    }
}

bool SetupWizardApp::InitInstance() {
    const CommandLineSwitches switches = ParseCommandLine(GetCommandLineA());
    if (switches.usage) {
        // With /S no window ever shows: an unattended run would wait for a click.
        if (!switches.silent) ShowUsage();
        return false;
    }
    // Without /S a switch it does not know ends the program too: a tool
    // that passes one would otherwise wait on a wizard nobody sees.
    if (!switches.silent && switches.unknown[0]) {
        ShowUsage(switches.unknown);
        exitCode_ = ExitCodeOf(InstallResult::UnknownSwitch);
        return false;
    }
    InstallOutcome refusal;
    if (RefusedAtStart(refusal)) {
        exitCode_ = ExitCodeOf(refusal.result);
        if (!switches.silent) {
            ShowOutcome(refusal, LanguageOfSystem(GetSystemDefaultLangID()));
        } else if (refusal.result == InstallResult::AnotherRunning ||
                   refusal.result == InstallResult::LockHeldByOther) {
            // A tool that retries later finds why in the log; the printer
            // is the embedded one, as setting.dll is not read while another runs.
            DefaultPrinterName(g_PrinterName);
            RunUnattended(&refusal, PreselectedChoices(g_PrinterName), switches);
        }
        return false;
    }
    AfxEnableControlContainer();
    Enable3dControlsStatic();
    SetProgramDirectory();
    bool configured = LoadConfiguration(refusal);
    InstallChoices choices = PreselectedChoices(g_PrinterName);
    // A name that cannot be installed is told before the first page, and
    // before /S writes anything of the install, not three pages later.
    if (configured && IsNameRefused(choices, refusal)) configured = false;
    if (switches.silent) {
        exitCode_ = RunUnattended(configured ? nullptr : &refusal, choices, switches);
        return false;
    }
    if (!configured) {
        exitCode_ = ExitCodeOf(refusal.result);
        ShowOutcome(refusal, LanguageOf(choices));
        return false;
    }
    // An older setup asks before it replaces a newer driver.
    char installed[MAX_PATH], question[1024];
    if (NewerVersionInstalled(choices.printerName, installed)) {
        const TextLanguage language = LanguageOfSystem(GetSystemDefaultLangID());
        if (!AfxFormat(question, TextIn(kNewerInstalledQuestionText, language), installed, kDriverVersion) ||
            AfxMessageBox(question, MB_YESNO | MB_ICONQUESTION) != IDYES) {
            exitCode_ = ExitCodeOf(InstallResult::NewerInstalled);
            return false;
        }
        choices.installOverNewer = true;
    }
    exitCode_ = RunWizard(choices, [](const InstallChoices& chosen) { return theApp.InstallDriver(chosen); });
    return false;
}

// PrinterName of setting.dll, read while the program holds the file open
// against writers: false when the file is there but cannot be read (held
// open by someone, or unreadable), which must not leave the choice of
// printer to the embedded default.
static bool ReadPrinterName(const char* settingsFile) {
    HANDLE held = CreateFileA(settingsFile, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (held == INVALID_HANDLE_VALUE) return false;
    char probe[1];
    DWORD read = 0;
    const bool readable = ReadFile(held, probe, sizeof probe, &read, nullptr) != FALSE;
    if (readable)
        GetPrivateProfileStringA("Setting", "PrinterName", "MERLO", g_PrinterName, sizeof g_PrinterName, settingsFile);
    CloseHandle(held);
    return readable;
}

bool SetupWizardApp::LoadConfiguration(InstallOutcome& refusal) {
    refusal = InstallOutcome();
    // The embedded defaults name the printer until setting.dll is read, so
    // that a refusal below (and /S's log of it) still names one.
    DefaultPrinterName(g_PrinterName);
    // Without its own folder the program writes nothing: the current folder
    // may be any folder, the system's own among them.
    if (!g_AppDirectory[0]) return true;
    // Anyone who may write beside the program may have put links there:
    // the program's folder and its Language folder are held while start-up
    // writes, and one that leads elsewhere is refused before anything is
    // written.
    HeldFolder programFolder, languageFolder;
    char languagePath[MAX_PATH];
    if (programFolder.Hold(g_AppDirectory, false, false) == FolderCheck::Link) {
        refusal = MakeOutcome(InstallResult::ProgramFolderLinked, g_AppDirectory);
        return false;
    }
    if (AfxFormat(languagePath, "%s%s", g_AppDirectory, kLanguageFolder) &&
        languageFolder.Hold(languagePath, true, false) == FolderCheck::Link) {
        refusal = MakeOutcome(InstallResult::ProgramFolderLinked, languagePath);
        return false;
    }

    const char* languageName;
    ChooseInitialLanguageFile(languageName);
    LoadLanguage(languageName);

    const CatalogueEntry* settings = SettingsFileEntry();
    AfxFormat(g_SettingFile, "%s%s", g_AppDirectory, settings->fileName);
    CFileFind finder;
    bool haveSettings = g_SettingFile[0] && finder.FindFile(g_SettingFile);
    if (g_SettingFile[0] && !haveSettings) {
        WriteStartupFile(programFolder, settings->id);
        haveSettings = finder.FindFile(g_SettingFile);
    }
    // Without the file (read-only media, a full disk, a folder too long)
    // the embedded defaults name the printer.
    if (haveSettings && !ReadPrinterName(g_SettingFile)) {
        refusal = MakeOutcome(InstallResult::SettingsUnreadable, g_SettingFile);
        return false;
    }
    return true;
}

void SetupWizardApp::WriteStartupFile(const HeldFolder& folder, unsigned id) {
    // The program runs on without the file.
    const CatalogueEntry* entry = FindCatalogueEntry(static_cast<unsigned short>(id));
    if (entry) WritePayload(folder, entry->fileName, id, 0, "");
}
