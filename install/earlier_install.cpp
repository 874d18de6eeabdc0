#include "earlier_install.h"
#include "../system/registry_key.h"
#include "../framework/afx.h"
#include <winspool.h>

namespace {

const char kPaperForm[] = "papersize(80x3275mm)";

// Stores a text with its terminating NUL.
void SetText(RegistryKey& key, const char* keyPath, const char* name, const char* text) {
    key.SetValue(keyPath, name, REG_SZ, reinterpret_cast<const BYTE*>(text), static_cast<DWORD>(lstrlenA(text) + 1));
}

// The uninstall entry. Without the driver folder there is no uninstaller
// path to point at, and both of its values are left as they are.
void RegisterUninstallEntry(const InstallPlan& plan) {
    RegistryKey key;
    key.CreateKey(plan.uninstallKey);
    SetText(key, plan.uninstallKey, "DisplayName", plan.displayName);
    if (plan.uninstallString[0]) {
        SetText(key, plan.uninstallKey, "UninstallString", plan.uninstallString);
        SetText(key, plan.uninstallKey, "DisplayIcon", plan.displayIcon);
    }
    SetText(key, plan.uninstallKey, "Publisher", plan.publisher);
}

bool DeletePaperForm(const char* formName) {
    HANDLE server;
    if (!OpenPrinterA(nullptr, &server, nullptr)) return false;
    bool deleted = DeleteFormA(server, const_cast<char*>(formName));
    ClosePrinter(server);
    return deleted;
}

}  // namespace

void CleanUpBeforeInstall(const InstallPlan& plan, const InstallFolders& folders, const UsedDriverFiles& used) {
    if (CountPrintersContaining(plan.printer, 2) == 1)
        for (const PlannedFile& file : plan.earlierInstall) RemovePlannedFile(folders, file, used);
    RegisterUninstallEntry(plan);
    DeletePaperForm(kPaperForm);
}
