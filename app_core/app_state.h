// Process-wide application state of the setup wizard.
#pragma once
#include <windows.h>

extern char g_AppDirectory[MAX_PATH];   // program folder, ending in a backslash
extern char g_SettingFile[MAX_PATH];    // g_AppDirectory + "setting.dll"
extern char g_LanguageFile[MAX_PATH];   // language file whose texts the dialogs show
extern int g_OSVersion;                 // operating-system code 0..10
extern char g_PrinterName[MAX_PATH];    // [Setting] PrinterName
