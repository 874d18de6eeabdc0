#include "welcome_page.h"
#include "../app/set_dialog_strings.h"
#include "../resources/resource.h"

WelcomePage::WelcomePage() : WizardPage(IDD_WELCOME) {}

BOOL WelcomePage::OnInitDialog() {
    WizardPage::OnInitDialog();
    g_SetDialogStrings(this, IDD_WELCOME);
    return TRUE;
}
