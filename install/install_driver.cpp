// The driver install from end to end: cleanup, staging, extraction, copies
// into the driver folder and printer registration. No step's result stops
// the sequence, except a failed write of payload bytes, which leaves as the
// framework's file exception for the caller's message handling to report.
#include "install_driver.h"
#include "messages.h"
#include "printer_name_check.h"
#include "register_printer.h"
#include "spooler.h"
#include "../app/app_state.h"
#include "../app/setup_app.h"
#include "../payload/selection.h"
#include <cstring>
#include <initializer_list>

namespace {

const char* const kStagingFolders[] = {"C:\\TEMP", "C:\\TEMP\\I386", "C:\\TEMP\\x86"};

void CreateStagingFolders() {
    for (const char* folder : kStagingFolders) CreateDirectoryA(folder, nullptr);
}

// True when the folder is a junction or symbolic link that leads somewhere
// else. A reparse point that resolves to the folder's own path (a volume
// mounted there) is no detour; systems that cannot resolve paths (before
// Vista) refuse every reparse point.
bool LeadsElsewhere(const char* folder) {
    DWORD attributes = GetFileAttributesA(folder);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
    using FinalPath = DWORD(WINAPI*)(HANDLE, char*, DWORD, DWORD);
    auto finalPath = reinterpret_cast<FinalPath>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleA")));
    if (!finalPath) return true;
    HANDLE handle = CreateFileA(folder, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return true;
    char resolved[MAX_PATH + 4];
    DWORD length = finalPath(handle, resolved, sizeof resolved, 0);
    CloseHandle(handle);
    const char kPrefix[] = "\\\\?\\";   // what the resolved path begins with
    return length == 0 || length >= sizeof resolved || strncmp(resolved, kPrefix, 4) != 0 ||
           !SameName(resolved + 4, folder);
}

// Anyone may create C:\TEMP and its folders before the install runs. One
// that is a junction or symbolic link would send the install's writes and
// deletions elsewhere: the install says so and stops, touching nothing.
bool StagingFoldersAreSafe(LANGID systemLanguage) {
    for (const char* folder : kStagingFolders) {
        if (!LeadsElsewhere(folder)) continue;
        char text[1024];
        if (AfxFormat(text, ChooseText(kStagingLinkedText, g_LanguageIndex, systemLanguage), folder))
            AfxMessageBox(text, MB_OK | MB_ICONSTOP);
        return false;
    }
    return true;
}

// The eleven driver file names; true for the five model files the platform
// also keeps in the version-3 subfolder.
const struct {
    const char* format;
    bool inVersion3;
} kStagedFileNames[11] = {
    {"STDNAMES.GPD", false}, {"%s.GPD", true},       {"%s.INI", true},     {"%sD.dll", true},
    {"%sF.dll", true},       {"ZIKU.UFM", false},    {"%sRES.dll", true},  {"UNIDRV.DLL", false},
    {"UNIDRV.HLP", false},   {"UNIDRVUI.DLL", false}, {"UNIRES.DLL", false},
};

// Leftovers of earlier runs in C:\TEMP, the driver folder and its subfolder
// 3. Without a driver folder only C:\TEMP is cleaned; a file there that a
// driver other than the one being replaced uses stays.
void DeleteLeftovers(const char* printer) {
    char folder[MAX_PATH];
    bool haveFolder = GetDriverDirectory(folder);
    UsedDriverFiles used(printer);
    char name[MAX_PATH], path[MAX_PATH];
    for (const auto& staged : kStagedFileNames) {
        if (!AfxFormat(name, staged.format, printer)) continue;
        if (AfxFormat(path, "%s\\%s", "C:\\TEMP", name)) DeleteFileA(path);
        if (!haveFolder) continue;
        if (AfxFormat(path, "%s\\%s", folder, name)) DeleteUnusedDriverFile(path, used);
        if (staged.inVersion3 && AfxFormat(path, "%s\\3\\%s", folder, name)) DeleteUnusedDriverFile(path, used);
    }
}

void CopyFormatted(const char* format, const char* printer) {
    char name[MAX_PATH];
    if (AfxFormat(name, format, printer)) CopyToDriverDirectory(name, FALSE);
}

}  // namespace

void CopyToDriverDirectory(const char* fileName, BOOL failIfExists) {
    char source[MAX_PATH], folder[MAX_PATH], destination[MAX_PATH];
    if (AfxFormat(source, "C:\\TEMP\\%s", fileName) && GetDriverDirectory(folder) &&
        AfxFormat(destination, "%s\\%s", folder, fileName))
        CopyFileA(source, destination, failIfExists);
}

void SetupWizardApp::InstallDriver() {
    LANGID systemLanguage = GetSystemDefaultLangID();
    const char* printer = g_PrinterName;

    // The name forms file names, a registry key and driver lines: a name
    // that cannot is refused before anything is touched.
    char driverFolder[MAX_PATH];
    GetDriverDirectory(driverFolder);
    if (!IsPrinterNameUsable(printer, driverFolder)) {
        AfxMessageBox(ChooseText(kPrinterNameRefusedText, g_LanguageIndex, systemLanguage), MB_OK | MB_ICONSTOP);
        return;
    }

    if (!StagingFoldersAreSafe(systemLanguage)) return;

    Delete();
    CreateStagingFolders();
    // Once more, now that the folders exist: one made a link meanwhile stops
    // the install before anything is written into it.
    if (!StagingFoldersAreSafe(systemLanguage)) return;
    DeleteLeftovers(printer);

    char path[MAX_PATH], name[MAX_PATH];
    if (AfxFormat(path, "C:\\TEMP\\uninstall%s.exe", printer)) ExtractPayload(255, path, 0);
    CreateStagingFolders();
    if (AfxFormat(path, "C:\\TEMP\\%s.INF", printer)) ExtractPayload(256, path, kReplaceModelName);
    if (AfxFormat(name, "uninstall%s.exe", printer)) CopyToDriverDirectory(name, FALSE);

    PayloadSet set = ChoosePayloadSet(g_OSVersion);
    CreateDirectoryA("C:\\TEMP", nullptr);
    PayloadWrite writes[kDriverPayloadWrites];
    size_t count = SelectDriverPayload(g_OSVersion, systemLanguage, g_LanguageIndex, printer, writes,
                                       kDriverPayloadWrites);
    for (size_t i = 0; i < count; ++i) ExtractPayload(writes[i].id, writes[i].destination, writes[i].rewrite);

    for (const char* format : {"UNIDRV.DLL", "%s.GPD", "UNIDRVUI.DLL", "UNIDRV.HLP", "UNIRES.DLL", "STDNAMES.GPD",
                               "ZIKU.UFM", "%s.INI"})
        CopyFormatted(format, printer);
    // The plug-ins' letter case differs by set, and the copies take it.
    PluginCopyFormats plugins = PluginCopyFormatsFor(set);
    CopyFormatted(plugins.resourceDll, printer);
    CopyFormatted(plugins.renderPlugin, printer);
    CopyFormatted(plugins.uiPlugin, printer);

    RegisterPrinter(systemLanguage);
}
