// Process-wide application state of the setup wizard.
#pragma once
#include <windows.h>

extern char g_AppDirectory[MAX_PATH];   // program folder, ending in a backslash
extern char g_SettingFile[MAX_PATH];    // g_AppDirectory + "setting.dll"
extern char g_LanguageFile[MAX_PATH];   // language file whose texts the dialogs show
extern int g_OSVersion;                 // operating-system code 0..10
extern short g_LanguageIndex;           // 0 Chinese, 1 English, -1 none chosen
extern char g_PrinterName[MAX_PATH];    // [Setting] PrinterName
extern bool g_InstallDone;              // the install ran while its page was shown
extern bool g_SetDefaultPrinter;        // the install makes the new printer the default
