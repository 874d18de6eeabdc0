// The setup wizard's application object. Its operations are thin: each
// takes what it needs from the application state and calls down.
#pragma once
#include "../framework/winapp.h"

class HeldFolder;

class SetupWizardApp : public CWinApp {
public:
    bool InitInstance() override;
    // The exit code: what /S did, or why the program ended at start.
    int ExitInstance() override { return exitCode_; }
    // Removes an earlier installation of the same printer, registers the
    // uninstall entry and deletes the driver's paper form.
    void Delete() override;

    // Start-up after the program folder is known: the Language folder and
    // files, the settings file and the printer name. False, with the folder
    // in `refused` and nothing written, when the program's folder or its
    // Language folder leads elsewhere (a junction or symbolic link).
    bool LoadConfiguration(char (&refused)[MAX_PATH]);
    // Makes sure a language file for the named language ("" = the one the
    // settings file names) exists and settles g_LanguageFile.
    void LoadLanguage(const char* languageName);
    // Writes embedded file `id` to `destination`, rewritten as `rewrite`
    // (a PayloadRewrite) says; false when the program holds no such file. A
    // file that cannot be made or written makes the framework's file
    // exception pending.
    bool ExtractPayload(unsigned id, const char* destination, unsigned char rewrite);
    // A file of start-up (settings, language files): written where it can
    // be; a full disk or read-only media never ends the program.
    void WriteStartupFile(const HeldFolder& folder, unsigned id);
    // The whole driver install, run from the install page; tells the user
    // how it ended.
    void InstallDriver();

private:
    int exitCode_ = 0;
};

extern SetupWizardApp theApp;

struct InstallChoices;
struct InstallOutcome;
// Tells the user how an install ended, in the language chosen in the
// wizard; on success the wizard is asked to end. A file that was not
// written is left as the framework's pending file exception, which the
// wizard's message handling reports.
void ShowInstallOutcome(const InstallOutcome& outcome, const InstallChoices& choices);
