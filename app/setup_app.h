// The setup wizard's application object. Its operations are thin: each
// takes what it needs from the application state and calls down.
#pragma once
#include "../app_core/install_choices.h"
#include "../app_core/install_outcome.h"
#include "../framework/file_exception.h"
#include "../framework/winapp.h"

class HeldFolder;

class SetupWizardApp : public CWinApp {
public:
    bool InitInstance() override;
    // The exit code: the outcome of the install, or why the program ended.
    int ExitInstance() override { return exitCode_; }

    // Start-up after the program folder is known: the Language folder and
    // files, the settings file and the printer name. False, with why in
    // `refusal` and nothing written, when the program's folder or its
    // Language folder leads elsewhere (a junction or symbolic link), or
    // setting.dll is there but cannot be read.
    bool LoadConfiguration(InstallOutcome& refusal);
    // Makes sure a language file for the named language ("" = the one the
    // settings file names) exists and settles g_LanguageFile.
    void LoadLanguage(const char* languageName);
    // Writes embedded file `id` to `destination`, rewritten as `rewrite`
    // (a PayloadRewrite) says; false when the program holds no such file or
    // the file could not be made or written (then `error`, unless null,
    // says which and why).
    bool ExtractPayload(unsigned id, const char* destination, unsigned char rewrite, CFileException* error = nullptr);
    // A file of start-up (settings, language files): written where it can
    // be; a full disk or read-only media never ends the program.
    void WriteStartupFile(const HeldFolder& folder, unsigned id);
    // The whole driver install with the choices of the wizard, or of /S.
    InstallOutcome InstallDriver(const InstallChoices& choices);

private:
    int exitCode_ = 0;
};

extern SetupWizardApp theApp;
