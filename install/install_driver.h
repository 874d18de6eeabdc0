// The install sequence's own helpers.
#pragma once
#include <windows.h>

class SetupWizardApp;
struct InstallPlan;

// Copies C:\TEMP\<fileName> into the spooler's driver folder under exactly
// that name; `failIfExists` goes to CopyFileA. Nothing happens when the
// driver folder cannot be had.
void CopyToDriverDirectory(const char* fileName, BOOL failIfExists);

// Applies the install's steps in order. False when a staging folder turned
// out to lead elsewhere (the user was told) or a write failed (the
// framework's file exception is pending).
bool ApplyInstallSteps(SetupWizardApp& app, const InstallPlan& plan, LANGID systemLanguage);
