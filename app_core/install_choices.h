// What an install is made of: the choices of the wizard's pages, or of an
// unattended run, which makes the choices a user who clicks Next throughout
// would make.
#pragma once
#include "port_choice.h"
#include "machine.h"
#include "text_language.h"
#include <windows.h>

struct InstallChoices {
    char printerName[MAX_PATH];   // [Setting] PrinterName
    int osCode;                   // the operating-system code of this system
    LANGID systemLanguage;        // the system's default language
    short languageIndex;          // 0 Chinese, 1 English, -1 none chosen
    bool setDefaultPrinter;       // the new printer becomes this user's default printer
    PortChoice port;              // the port the printer is created on
    bool testReceipt;             // a test receipt is printed once the printer is there
    Machine machine;              // the machine this Windows runs on: which driver set
    bool defaultForEveryUser;     // every user's default at their next logon (Active Setup)
    bool installOverNewer;        // installs over a newer version of the driver
};

// The choices the pages preselect for the printer name: this system and
// its machine, the language of its texts, the printer made the default,
// on LPT1: (the series page and /S put it on the first USB port where the
// spooler lists one), no test receipt.
InstallChoices PreselectedChoices(const char* printerName);

// The language of the install's texts: the chosen one, Chinese by the system.
inline TextLanguage LanguageOf(const InstallChoices& choices) {
    return LanguageOfChoice(choices.languageIndex, choices.systemLanguage);
}
