#include "setup_app.h"
#include "app_state.h"
#include "language_files.h"
#include "text_language.h"
#include "../framework/file_find.h"
#include <cstring>

static const int kProfileText = 1000;

// True when some file in the Language folder says it holds `wanted`.
static bool LanguageFileExists(const char* wanted) {
    char pattern[MAX_PATH];
    if (!AfxFormat(pattern, "%s%s\\*.dll", g_AppDirectory, kLanguageFolder)) return false;
    CFileFind finder;
    bool more = finder.FindFile(pattern);
    while (more) {
        more = finder.FindNextFile();
        if (finder.IsDots() || finder.IsDirectory()) continue;
        char path[MAX_PATH];
        if (!finder.GetFilePath(path, sizeof path)) continue;
        char language[kProfileText] = {};
        GetPrivateProfileStringA("Setting", "Language", "", language, sizeof language, path);
        if (language[0] && strcmp(language, wanted) == 0) return true;
    }
    return false;
}

void SetupWizardApp::LoadLanguage(const char* languageName) {
    char wanted[kProfileText] = {};
    if (languageName && languageName[0])
        lstrcpynA(wanted, languageName, sizeof wanted);
    else if (g_SettingFile[0])
        GetPrivateProfileStringA("Setting", "Language", "English", wanted, sizeof wanted,
                                 g_SettingFile);
    else
        lstrcpynA(wanted, "English", sizeof wanted);

    if (!LanguageFileExists(wanted)) {
        char folder[MAX_PATH];
        if (AfxFormat(folder, "%s%s", g_AppDirectory, kLanguageFolder)) {
            CreateDirectoryA(folder, nullptr);
            bool traditional = LanguageOfSystem(GetSystemDefaultLangID()) == TextLanguage::Traditional;
            char path[MAX_PATH];
            if (AfxFormat(path, "%s%s", folder, kEnglishFile))
                WriteStartupFile(kEnglishPayload, path);
            if (AfxFormat(path, "%s%s", folder, traditional ? kTraditionalFile : kSimplifiedFile))
                WriteStartupFile(traditional ? kTraditionalPayload : kSimplifiedPayload, path);
        }
        // A run that had to write the language files shows English.
        AfxFormat(g_LanguageFile, "%s%s%s", g_AppDirectory, kLanguageFolder, kEnglishFile);
        lstrcpynA(wanted, "English", sizeof wanted);
    }

    // During start-up the settings path is not known yet; an empty path
    // would name a file in the Windows folder, so nothing is written then.
    if (g_SettingFile[0])
        WritePrivateProfileStringA("Setting", "Language", wanted, g_SettingFile);
}
