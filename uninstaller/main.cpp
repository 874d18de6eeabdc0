// The uninstaller program's one application object.
#include "uninstall_app.h"

UninstallApp theUninstallApp;
