// What every install does before it writes: the earlier install's model
// files, the uninstall entry and the driver's paper form.
#pragma once
#include "../payload/install_folders.h"

// What every install does before it writes: removes the model files of an
// earlier install of the same printer (only when exactly one printer
// carries its name: with more, whose files they are cannot be told),
// writes the uninstall entry and deletes the driver's paper form.
void CleanUpBeforeInstall(const InstallPlan& plan, const InstallFolders& folders, const UsedDriverFiles& used);
