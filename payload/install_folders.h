// Removing what an install left, for the install itself (an earlier run's
// files, first thing), and for the uninstaller: one way to hold the
// install's folders and one way to remove a file from them.
#pragma once
#include "../system/spooler.h"
#include "../system/held_folder.h"
#include "install_plan.h"

// The install's folders, each held while files are written or removed in
// it (see HeldFolder). The staging folders are checked for links and for
// who may change them; the driver folders, which only administrators may
// change, for links.
class InstallFolders {
public:
    // Holds each of the folders (in order, a folder before those in it)
    // that is there, making the staging folders first when `create`. Link
    // or Permissions, with the first such folder's path in `refused`, when
    // a folder may not be used: that folder and those in it are not held,
    // and nothing is made in them.
    FolderCheck Hold(const Place* places, size_t count, const char* driverFolder, bool create,
                     char (&refused)[MAX_PATH]);
    // A folder that is missing, or that could not be held, is not held:
    // nothing is written or removed there.
    const HeldFolder& Of(Place place) const { return folders_[static_cast<int>(place)]; }
    void Release();
    void Release(Place place) { folders_[static_cast<int>(place)].Release(); }

private:
    HeldFolder folders_[kPlaceCount];
};

// Removes a planned file from its held folder. A file of the driver
// folders that another driver uses stays, and so does every one of them
// when the drivers cannot be listed. 0 when the file is gone, kept, or was
// never there; else the Win32 error.
DWORD RemovePlannedFile(const InstallFolders& folders, const PlannedFile& file, const UsedDriverFiles& used);
