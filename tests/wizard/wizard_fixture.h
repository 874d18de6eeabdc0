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
    int installs = 0;
    int positionDuringInstall = -1;
    bool waitCursorDuringInstall = false;
    bool doneDuringInstall = true;
    std::function<void()> during;   // runs inside the install step

protected:
    void RunInstall() override {
        ++installs;
        positionDuringInstall = static_cast<int>(progress.SendMessage(PBM_GETPOS));
        waitCursorDuringInstall = GetCursor() == LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT));
        doneDuringInstall = g_InstallDone;
        if (during) during();
    }
};

struct Wizard {
    SetupDialog dialog;
    WelcomePage welcome;
    SystemLanguagePage language;
    PrinterSeriesPage series;
    RecordingInstallPage install;

    Wizard() {
        dialog.AddPage(&welcome, IDD_WELCOME);
        dialog.AddPage(&language, IDD_SYSTEM_LANGUAGE);
        dialog.AddPage(&series, IDD_PRINTER_SERIES);
        dialog.AddPage(&install, IDD_INSTALL);
        theApp.m_pMainWnd = &dialog;
        g_InstallDone = false;
        g_SetDefaultPrinter = true;
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
