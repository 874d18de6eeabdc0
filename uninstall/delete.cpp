// Removal of an earlier installation of the same printer, the uninstall
// entry and the driver's paper form: the first thing every install does.
#include "../app/setup_app.h"
#include "../app/app_state.h"
#include "../install/spooler.h"
#include "registry_key.h"
#include "../payload/install_plan.h"
#include <winspool.h>

namespace {

const char kPaperForm[] = "papersize(80x3275mm)";

// Stores a text with its terminating NUL.
void SetText(RegistryKey& key, const char* keyPath, const char* name, const char* text) {
    key.SetValue(keyPath, name, REG_SZ, reinterpret_cast<const BYTE*>(text),
                 static_cast<DWORD>(lstrlenA(text) + 1));
}

}  // namespace

void SetupWizardApp::Delete() {
    RegistryKey key;
    // The files and the entry of the printer name, as the install plans them.
    InstallPlan plan;
    bool planned = BuildInstallPlan(g_OSVersion, GetSystemDefaultLangID(), g_LanguageIndex, g_PrinterName, plan);

    // Phase 1: only when exactly one printer carries the name is it ours to
    // clean up; with two or more we cannot tell which files belong to whom.
    // A file of the driver folder that another driver uses stays.
    if (planned && CountPrintersContaining(g_PrinterName, 2) == 1) {
        UsedDriverFiles used(plan.model);
        for (const PlannedFile& file : plan.earlierInstall) {
            if (file.place == Place::DriverFolder) DeleteFromDriverDirectory(file.name, used);
            else if (file.place == Place::DriverVersion3) DeleteFromVersion3Directory(file.name, used);
            else DeleteFromTempDirectory(file.name);
        }
    }

    // Phase 2: the uninstall entry. A name too long for the key path writes
    // nothing rather than a cut-off key; without the driver folder there is
    // no uninstaller path to point at, and both values are left as they are.
    if (planned) {
        key.CreateKey(plan.uninstallKey);
        SetText(key, plan.uninstallKey, "DisplayName", plan.displayName);
        char folder[MAX_PATH], value[MAX_PATH];
        if (GetDriverDirectory(folder) && UninstallCommand(plan, folder, value)) {
            SetText(key, plan.uninstallKey, "UninstallString", value);
            if (UninstallIcon(plan, folder, value)) SetText(key, plan.uninstallKey, "DisplayIcon", value);
        }
        SetText(key, plan.uninstallKey, "Publisher", plan.publisher);
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
    return AfxFormat(path, "%s\\%s", kStagingFolder, fileName) && DeleteFileA(path);
}

bool SetupWizardApp::DeletePaperForm(const char* formName) {
    HANDLE server;
    if (!OpenPrinterA(nullptr, &server, nullptr)) return false;
    bool deleted = DeleteFormA(server, const_cast<char*>(formName));
    ClosePrinter(server);
    return deleted;
}
