#include "welcome_page.h"
#include "../app_core/set_dialog_strings.h"
#include "../resources/resource.h"

WelcomePage::WelcomePage() : WizardPage(IDD_WELCOME) {}

bool WelcomePage::OnInitDialog() {
    WizardPage::OnInitDialog();
    g_SetDialogStrings(this, IDD_WELCOME);
    return true;
}
