#include "install_folders.h"
#include "../framework/afx.h"


FolderCheck InstallFolders::Hold(const Place* places, size_t count, const char* driverFolder, bool create,
                                 char (&refused)[MAX_PATH]) {
    refused[0] = '\0';
    FolderCheck first = FolderCheck::Held;
    for (size_t n = 0; n < count; ++n) {
        const Place place = places[n];
        const int i = static_cast<int>(place);
        // I386, x86 and amd64 lie in the staging folder, 3 in the driver
        // folder: nothing is made or taken below a folder that is not held.
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
