// The setup wizard's application object.
#pragma once
#include "../framework/winapp.h"

class SetupWizardApp : public CWinApp {
public:
    bool InitInstance() override;
    // Removes an earlier installation of the same printer, registers the
    // uninstall entry and deletes the driver's paper form.
    void Delete() override;

    // Start-up after the program folder is known: the Language folder and
    // files, the settings file and the printer name.
    void LoadConfiguration();
    // Makes sure a language file for the named language ("" = the one the
    // settings file names) exists and settles g_LanguageFile.
    void LoadLanguage(const char* languageName);
    // Writes embedded file `id` to `destination`; a nonzero `rewrite` passes
    // it through the model-name line rules.
    bool ExtractPayload(unsigned id, const char* destination, unsigned char rewrite);
    // The whole driver install, run from the install page.
    void InstallDriver();

    // The five driver files of an earlier installation, one folder each;
    // true when the file was deleted.
    bool DeleteFromDriverDirectory(const char* fileName);
    bool DeleteFromVersion3Directory(const char* fileName);
    bool DeleteFromTempDirectory(const char* fileName);
    // Removes a form from the local print server's form list.
    bool DeletePaperForm(const char* formName);
};

extern SetupWizardApp theApp;
