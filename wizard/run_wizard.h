// Builds the wizard (frame and pages), makes it the main window and runs it
// modally; returns when the wizard has closed. The pages fill `choices`,
// which start as the preselected ones, and the last page runs `install`
// with them. Returns the exit code of the last install's outcome, 0 when
// none ran.
#pragma once
#include "install_progress_page.h"

int RunWizard(InstallChoices& choices, InstallFunction install);
