// Removal of an earlier installation of the same printer, the uninstall
// entry and the driver's paper form: the first thing every install does.
#include "../app/setup_app.h"
#include "../app/app_state.h"
#include "../install/spooler.h"
#include "registry_key.h"
#include "uninstall_entry.h"
#include <winspool.h>
#include <cstring>

namespace {

const char kPaperForm[] = "papersize(80x3275mm)";
const char* const kDriverFileSet[] = {"%s.GPD", "%s.INI", "%sRES.dll", "%sD.dll", "%sF.dll"};

// Stores a text with its terminating NUL.
void SetText(RegistryKey& key, const char* keyPath, const char* name, const char* text) {
    key.SetValue(keyPath, name, REG_SZ, reinterpret_cast<const BYTE*>(text),
                 static_cast<DWORD>(lstrlenA(text) + 1));
}

}  // namespace

void SetupWizardApp::Delete() {
    RegistryKey key;
    char printer[MAX_PATH];
    lstrcpynA(printer, g_PrinterName, sizeof printer);

    // Phase 1: only when exactly one printer carries the name is it ours to
    // clean up; with two or more we cannot tell which files belong to whom.
    // A file of the driver folder that another driver uses stays.
    if (CountPrintersContaining(printer, 2) == 1) {
        UsedDriverFiles used(printer);
        char name[MAX_PATH];
        for (const char* format : kDriverFileSet)
            if (AfxFormat(name, format, printer)) DeleteFromDriverDirectory(name, used);
        for (const char* format : kDriverFileSet)
            if (AfxFormat(name, format, printer)) DeleteFromVersion3Directory(name, used);
        for (const char* format : kDriverFileSet)
            if (AfxFormat(name, format, printer)) DeleteFromTempDirectory(name);
    }

    // Phase 2: the uninstall entry. A name too long for the key path writes
    // nothing rather than a cut-off key.
    char keyPath[MAX_PATH];
    char value[MAX_PATH];
    if (AfxFormat(keyPath, kUninstallKeyFormat, printer)) {
        key.CreateKey(keyPath);
        if (AfxFormat(value, "%s printer driver uninstall", printer))
            SetText(key, keyPath, "DisplayName", value);
        // Without the driver folder there is no uninstaller path to point
        // at: both values are left as they are.
        char folder[MAX_PATH];
        if (GetDriverDirectory(folder) && AfxFormat(value, "%s\\uninstall%s.exe", folder, printer)) {
            // Quoted when it holds a blank, or the installed-programs list
            // could run C:\Program.exe for C:\Program Files\...
            char command[MAX_PATH];
            if (AfxFormat(command, strchr(value, ' ') ? "\"%s\"" : "%s", value))
                SetText(key, keyPath, "UninstallString", command);
            char icon[MAX_PATH];
            if (AfxFormat(icon, "%s,-0", value)) SetText(key, keyPath, "DisplayIcon", icon);
        }
        if (AfxFormat(value, "%s printer", printer)) SetText(key, keyPath, "Publisher", value);
    }

    // Phase 3.
    DeletePaperForm(kPaperForm);
}

bool SetupWizardApp::DeleteFromDriverDirectory(const char* fileName, const UsedDriverFiles& used) {
    char folder[MAX_PATH], path[MAX_PATH];
    return GetDriverDirectory(folder) && AfxFormat(path, "%s\\%s", folder, fileName) &&
           DeleteUnusedDriverFile(path, used);
}

bool SetupWizardApp::DeleteFromVersion3Directory(const char* fileName, const UsedDriverFiles& used) {
    char folder[MAX_PATH], path[MAX_PATH];
    return GetDriverDirectory(folder) && AfxFormat(path, "%s\\3\\%s", folder, fileName) &&
           DeleteUnusedDriverFile(path, used);
}

bool SetupWizardApp::DeleteFromTempDirectory(const char* fileName) {
    char path[MAX_PATH];
    return AfxFormat(path, "c:\\temp\\%s", fileName) && DeleteFileA(path);
}

bool SetupWizardApp::DeletePaperForm(const char* formName) {
    HANDLE server;
    if (!OpenPrinterA(nullptr, &server, nullptr)) return false;
    bool deleted = DeleteFormA(server, const_cast<char*>(formName));
    ClosePrinter(server);
    return deleted;
}
