#include "run_wizard.h"
#include "install_progress_page.h"
#include "printer_series_page.h"
#include "setup_dialog.h"
#include "system_language_page.h"
#include "welcome_page.h"
#include "../framework/winapp.h"
#include "../resources/resource.h"

int RunWizard(InstallChoices& choices, InstallFunction install) {
    SetupDialog dialog(nullptr);
    WelcomePage welcome;
    SystemLanguagePage systemLanguage(choices);
    PrinterSeriesPage printerSeries(choices);
    InstallProgressPage installProgress(choices, install);
    dialog.AddPage(&welcome, IDD_WELCOME);
    dialog.AddPage(&systemLanguage, IDD_SYSTEM_LANGUAGE);
    dialog.AddPage(&printerSeries, IDD_PRINTER_SERIES);
    dialog.AddPage(&installProgress, IDD_INSTALL);

    CWinApp* app = AfxGetApp();
    if (app) app->m_pMainWnd = &dialog;
    dialog.DoModal();
    if (app) app->m_pMainWnd = nullptr;
    return installProgress.ExitCode();
    // The pages, then the dialog, go with this scope.
}
