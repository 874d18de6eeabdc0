#include "setup_app.h"
#include "../app_core/app_state.h"
#include "language_files.h"
#include "../app_core/text_language.h"
#include "../framework/file_find.h"
#include "../system/held_folder.h"
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

    const CatalogueEntry* english = LanguageFileEntry(TextLanguage::English);
    if (!LanguageFileExists(wanted)) {
        // Written only into a plain folder of that name, held meanwhile:
        // never through a link someone put beside the program.
        char folder[MAX_PATH];
        HeldFolder held;
        if (AfxFormat(folder, "%s%s", g_AppDirectory, kLanguageFolder) &&
            held.Hold(folder, true, false) == FolderCheck::Held) {
            bool traditional = LanguageOfSystem(GetSystemDefaultLangID()) == TextLanguage::Traditional;
            WriteStartupFile(held, english->id);
            WriteStartupFile(held, LanguageFileEntry(traditional ? TextLanguage::Traditional : TextLanguage::Simplified)->id);
        }
        // A run that had to write the language files shows English.
        AfxFormat(g_LanguageFile, "%s%s\\%s", g_AppDirectory, kLanguageFolder, english->fileName);
        lstrcpynA(wanted, "English", sizeof wanted);
    }

    // During start-up the settings path is not known yet; an empty path
    // would name a file in the Windows folder, so nothing is written then.
    if (g_SettingFile[0])
        WritePrivateProfileStringA("Setting", "Language", wanted, g_SettingFile);
}
