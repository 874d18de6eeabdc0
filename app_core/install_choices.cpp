#include "install_choices.h"
#include "app_state.h"
#include "start_checks.h"
#include "../framework/afx.h"

InstallChoices PreselectedChoices(const char* printerName) {
    InstallChoices choices = {};
    lstrcpynA(choices.printerName, printerName, sizeof choices.printerName);
    choices.osCode = g_OSVersion;
    choices.systemLanguage = GetSystemDefaultLangID();
    choices.languageIndex = PreselectedLanguageIndex(choices.systemLanguage);
    choices.setDefaultPrinter = true;
    ListedPortChoice(kDefaultPortName, choices.port);
    choices.machine = MachineOf(DetectNativeMachine());
    return choices;
}
