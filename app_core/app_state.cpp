#include "app_state.h"
#include "os_version.h"

// Defined in this order so that static initialisation runs in it: the
// strings, then the system detection. The application object, which reads
// none of them, is made in the application's own module.
char g_LanguageFile[MAX_PATH];
char g_SettingFile[MAX_PATH];
char g_AppDirectory[MAX_PATH];
int g_OSVersion = DetectWindowsVersion();
char g_PrinterName[MAX_PATH];
