#include "removal.h"
#include "registry_key.h"
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

FolderCheck InstallFolders::Hold(const char* driverFolder, bool create, char (&refused)[MAX_PATH]) {
    refused[0] = '\0';
    FolderCheck first = FolderCheck::Held;
    for (int i = 0; i < kPlaceCount; ++i) {
        const Place place = static_cast<Place>(i);
        // I386 and x86 lie in the staging folder, 3 in the driver folder:
        // nothing is made or taken below a folder that is not held.
        const Place parent = IsDriverPlace(place) ? Place::DriverFolder : Place::Staging;
        char folder[MAX_PATH];
        if ((place != parent && !Of(parent).IsHeld()) || !PlaceFolder(place, driverFolder, folder)) continue;
        const bool staging = !IsDriverPlace(place);
        FolderCheck check = folders_[i].Hold(folder, create && staging, staging);
        if ((check == FolderCheck::Link || check == FolderCheck::Permissions) && first == FolderCheck::Held) {
            first = check;
            AfxFormat(refused, "%s", folder);
        }
    }
    return first;
}

void InstallFolders::Release() {
    for (HeldFolder& folder : folders_) folder.Release();
}

DWORD RemovePlannedFile(const InstallFolders& folders, const PlannedFile& file, const UsedDriverFiles& used) {
    const HeldFolder& folder = folders.Of(file.place);
    char path[MAX_PATH];
    if (!folder.IsHeld() || !folder.PathOf(file.name, path)) return 0;
    if (IsDriverPlace(file.place)) {
        if (!used.Known()) return used.Error();
        if (used.Lists(path)) return 0;
    }
    return folder.Remove(file.name);
}

void CleanUpBeforeInstall(const InstallPlan& plan, const InstallFolders& folders, const UsedDriverFiles& used) {
    if (CountPrintersContaining(plan.printer, 2) == 1)
        for (const PlannedFile& file : plan.earlierInstall) RemovePlannedFile(folders, file, used);
    RegisterUninstallEntry(plan);
    DeletePaperForm(kPaperForm);
}
