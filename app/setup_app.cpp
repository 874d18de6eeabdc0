#include "setup_app.h"
#include "app_state.h"
#include "language_files.h"
#include "os_version.h"
#include "../wizard/run_wizard.h"
#include "../framework/file_find.h"
#include <cstring>

// Defined in this order so that static initialisation runs in it: the
// strings, then the system detection, then the application object.
char g_LanguageFile[MAX_PATH];
char g_SettingFile[MAX_PATH];
char g_AppDirectory[MAX_PATH];
int g_OSVersion = DetectWindowsVersion();
short g_LanguageIndex;
char g_PrinterName[MAX_PATH];
bool g_InstallDone;
bool g_SetDefaultPrinter = true;

SetupWizardApp theApp;

static void SetProgramDirectory() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    char* slash = strrchr(path, '\\');
    if (slash) slash[1] = '\0';
    else path[0] = '\0';
    lstrcpynA(g_AppDirectory, path, sizeof g_AppDirectory);
}

static void ChooseInitialLanguageFile(const char*& languageName) {
    unsigned short lang = GetSystemDefaultLangID();
    const char* file = kEnglishFile;
    languageName = "English";
    if (IsChineseLanguage(lang)) {
        file = lang == kLangChinesePrc ? kSimplifiedFile : kTraditionalFile;
        languageName = "Chinese";
    }
    AfxFormat(g_LanguageFile, "%s%s%s", g_AppDirectory, kLanguageFolder, file);
}

bool SetupWizardApp::InitInstance() {
    AfxEnableControlContainer();
    Enable3dControlsStatic();
    SetProgramDirectory();
    LoadConfiguration();
    RunWizard();
    return false;
}

void SetupWizardApp::LoadConfiguration() {
    char languageFolder[MAX_PATH];
    if (AfxFormat(languageFolder, "%s%s", g_AppDirectory, kLanguageFolder))
        CreateDirectoryA(languageFolder, nullptr);

    const char* languageName;
    ChooseInitialLanguageFile(languageName);
    LoadLanguage(languageName);

    AfxFormat(g_SettingFile, "%s%s", g_AppDirectory, kSettingFileName);
    if (g_SettingFile[0]) {
        CFileFind finder;
        if (!finder.FindFile(g_SettingFile)) ExtractPayload(kSettingsPayload, g_SettingFile, 0);
        GetPrivateProfileStringA("Setting", "PrinterName", "MERLO", g_PrinterName,
                                 sizeof g_PrinterName, g_SettingFile);
    } else {
        // A program folder too long for the settings path: no file to read.
        lstrcpynA(g_PrinterName, "MERLO", sizeof g_PrinterName);
    }
}
