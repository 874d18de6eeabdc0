// Builds the wizard (frame and pages), makes it the main window and runs it
// modally; returns when the wizard has closed. `install` is the install
// sequence its last page runs.
#pragma once

void RunWizard(void (*install)());
