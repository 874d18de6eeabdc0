// The wizard as start-up assembles it, with an install page whose install
// step is recorded instead of installing a driver.
#pragma once
#include "app_core/app_state.h"
#include "app/setup_app.h"
#include "modal_script.h"
#include "resources/resource.h"
#include "wizard/install_progress_page.h"
#include "wizard/printer_series_page.h"
#include "wizard/setup_dialog.h"
#include "wizard/system_language_page.h"
#include "wizard/welcome_page.h"
#include <functional>

namespace wiz {

class RecordingInstallPage : public InstallProgressPage {
public:
    explicit RecordingInstallPage(const InstallChoices& choices) : InstallProgressPage(choices, nullptr) {}
    int installs = 0;
    int positionDuringInstall = -1;
    bool waitCursorDuringInstall = false;
    InstallChoices choicesOfInstall = {};
    std::function<void()> during;   // runs inside the install step
    // What the install gives; by default an outcome that keeps the wizard open.
    InstallOutcome outcome = MakeOutcome(InstallResult::PrinterNotCreated, "KRX");
    std::vector<InstallResult> told;
    bool showMessage = false;   // the real message box, not only the record

protected:
    InstallOutcome RunInstall() override {
        ++installs;
        positionDuringInstall = static_cast<int>(progress.SendMessage(PBM_GETPOS));
        waitCursorDuringInstall = GetCursor() == LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT));
        choicesOfInstall = Choices();
        if (during) during();
        return outcome;
    }
    void TellOutcome(const InstallOutcome& told_) override {
        told.push_back(told_.result);
        if (showMessage) InstallProgressPage::TellOutcome(told_);
    }
};

struct Wizard {
    InstallChoices choices = PreselectedChoices("KRX");
    SetupDialog dialog;
    WelcomePage welcome;
    SystemLanguagePage language{choices};
    PrinterSeriesPage series{choices};
    RecordingInstallPage install{choices};

    Wizard() {
        dialog.AddPage(&welcome, IDD_WELCOME);
        dialog.AddPage(&language, IDD_SYSTEM_LANGUAGE);
        dialog.AddPage(&series, IDD_PRINTER_SERIES);
        dialog.AddPage(&install, IDD_INSTALL);
        theApp.m_pMainWnd = &dialog;
    }
    ~Wizard() { theApp.m_pMainWnd = nullptr; }

    HWND frame() const { return dialog.m_hWnd; }
    int activeId() const {
        WizardPage* page = dialog.GetActivePage();
        return page ? page->templateId : 0;
    }
    // "B N F" with + for enabled and - for disabled buttons.
    std::string buttons() const {
        std::string s;
        s += IsEnabled(frame(), IDC_BACK) ? "B+" : "B-";
        s += IsEnabled(frame(), IDC_NEXT) ? " N+" : " N-";
        s += IsEnabled(frame(), IDC_FINISH) ? " F+" : " F-";
        return s;
    }
    // Picks the series row as a user's click does: selection, then notification.
    void SelectSeries() {
        HWND list = series.GetDlgItem(IDC_SERIES_LIST);
        SendMessageA(list, LB_SETCURSEL, 0, 0);
        SendMessageA(series.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_SERIES_LIST, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
    }
};

}  // namespace wiz
