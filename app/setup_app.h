// The setup wizard's application object.
#pragma once
#include "../framework/winapp.h"

class UsedDriverFiles;

class SetupWizardApp : public CWinApp {
public:
    bool InitInstance() override;
    // The exit code: what /S did, or why the program ended at start.
    int ExitInstance() override { return exitCode_; }
    // Removes an earlier installation of the same printer, registers the
    // uninstall entry and deletes the driver's paper form.
    void Delete() override;

    // Start-up after the program folder is known: the Language folder and
    // files, the settings file and the printer name. False when the
    // program's folder or its Language folder leads elsewhere.
    bool LoadConfiguration();
    // Makes sure a language file for the named language ("" = the one the
    // settings file names) exists and settles g_LanguageFile.
    void LoadLanguage(const char* languageName);
    // Writes embedded file `id` to `destination`, rewritten as `rewrite`
    // (a PayloadRewrite) says; false when the program holds no such file. A
    // file that cannot be made or written makes the framework's file
    // exception pending, and nothing more is written.
    bool ExtractPayload(unsigned id, const char* destination, unsigned char rewrite);
    // A file of start-up (settings, language files): written where it can
    // be; a full disk or read-only media never ends the program.
    void WriteStartupFile(unsigned id, const char* path);
    // The whole driver install, run from the install page.
    void InstallDriver();

    // The five driver files of an earlier installation, one folder each;
    // true when the file was deleted. A file of the driver folder that
    // another driver uses is kept.
    bool DeleteFromDriverDirectory(const char* fileName, const UsedDriverFiles& used);
    bool DeleteFromVersion3Directory(const char* fileName, const UsedDriverFiles& used);
    bool DeleteFromTempDirectory(const char* fileName);
    // Removes a form from the local print server's form list.
    bool DeletePaperForm(const char* formName);

private:
    int exitCode_ = 0;
};

extern SetupWizardApp theApp;
