// Second page: the operating system and the install language, preselected
// from the running system. The language choice goes into the install's
// choices.
#pragma once
#include "wizard_page.h"
#include "../app_core/install_choices.h"
#include "../framework/controls.h"

// The radio button index of an operating-system code (6 Windows 2000 ...
// 10 Windows 7); -1 for a system the page does not list.
int SystemIndexForOsCode(int osCode);

class SystemLanguagePage : public WizardPage {
public:
    explicit SystemLanguagePage(InstallChoices& choices);
    bool OnInitDialog() override;

    CStatic headerBitmap;
    CButton headerGroup;
    int languageIndex = -1;   // 0 Chinese, 1 English, -1 none
    int systemIndex = -1;     // 0 Windows 2000 ... 4 Windows 7, -1 none

protected:
    void DoDataExchange(CDataExchange* dx) override;
    void OnLanguageClicked();
    void OnShowWindow(BOOL show, UINT status);

    DECLARE_MESSAGE_MAP()

private:
    InstallChoices& choices_;
};
