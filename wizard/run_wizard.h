// Builds the wizard (frame and pages), makes it the main window and runs it
// modally; returns when the wizard has closed.
#pragma once

void RunWizard();
