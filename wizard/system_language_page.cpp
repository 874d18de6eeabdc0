#include "system_language_page.h"
#include "../app_core/text_language.h"
#include "../app_core/os_version.h"
#include "../app_core/set_dialog_strings.h"
#include "../resources/resource.h"

int SystemIndexForOsCode(int osCode) {
    switch (osCode) {
    case OS_WIN2000: return 0;
    case OS_WINXP: return 1;
    case OS_WIN2003: return 2;
    case OS_VISTA: return 3;
    case OS_WIN7: return 4;
    default: return -1;
    }
}

BEGIN_MESSAGE_MAP(SystemLanguagePage, WizardPage)
    ON_BN_CLICKED(IDC_CHINESE, OnLanguageClicked)
    ON_BN_CLICKED(IDC_ENGLISH, OnLanguageClicked)
    ON_WM_SHOWWINDOW()
END_MESSAGE_MAP()

SystemLanguagePage::SystemLanguagePage(InstallChoices& choices)
    : WizardPage(IDD_SYSTEM_LANGUAGE), choices_(choices) {}

void SystemLanguagePage::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_HEADER_BITMAP, headerBitmap);
    DDX_Control(dx, IDC_HEADER_GROUP, headerGroup);
    DDX_Radio(dx, IDC_CHINESE, languageIndex);
    DDX_Radio(dx, IDC_WIN2000, systemIndex);
}

bool SystemLanguagePage::OnInitDialog() {
    WizardPage::OnInitDialog();

    languageIndex = choices_.languageIndex;

    // A system the page does not list keeps the current choice.
    const int index = SystemIndexForOsCode(DetectWindowsVersion());
    if (index >= 0) systemIndex = index;

    g_SetDialogStrings(this, IDD_SYSTEM_LANGUAGE);
    LayoutHeaderBand(headerGroup, headerBitmap);
    UpdateData(false);
    return true;
}

void SystemLanguagePage::OnLanguageClicked() {
    UpdateData(true);
    choices_.languageIndex = static_cast<short>(languageIndex);
}

void SystemLanguagePage::OnShowWindow(BOOL show, UINT status) {
    Default();
    // The frame's borders and caption may have changed since the last visit.
    LayoutHeaderBand(headerGroup, headerBitmap);
}
