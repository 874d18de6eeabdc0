#include "install_progress_page.h"
#include "../app_core/set_dialog_strings.h"
#include "../framework/wait_cursor.h"
#include "../resources/resource.h"

BEGIN_MESSAGE_MAP(InstallProgressPage, WizardPage)
    ON_WM_CTLCOLOR()
    ON_WM_SHOWWINDOW()
    ON_WM_TIMER()
END_MESSAGE_MAP()

InstallProgressPage::InstallProgressPage(const InstallChoices& choices, InstallFunction install)
    : WizardPage(IDD_INSTALL), choices_(choices), install_(install) {}

void InstallProgressPage::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_HEADER_BITMAP, headerBitmap);
    DDX_Control(dx, IDC_PROGRESS, progress);
    DDX_Control(dx, IDC_HEADER_GROUP, headerGroup);
}

bool InstallProgressPage::OnInitDialog() {
    WizardPage::OnInitDialog();
    headerBrush.CreateSolidBrush(RGB(255, 255, 255));
    g_SetDialogStrings(this, IDD_INSTALL);
    LayoutHeaderBand(headerGroup, headerBitmap);
    return true;
}

HBRUSH InstallProgressPage::OnCtlColor(HDC dc, HWND control, UINT type) {
    HBRUSH brush = WizardPage::OnCtlColor(dc, control, type);
    if (control && control == headerGroup.m_hWnd) {
        SetBkColor(dc, RGB(255, 255, 255));
        return headerBrush;
    }
    return brush;
}

void InstallProgressPage::OnShowWindow(BOOL show, UINT status) {
    Default();
    if (!show) {
        // Leaving before the timer fired: the install has not started and
        // must not run on a hidden page.
        KillTimer(kInstallTimer);
        return;
    }
    if (!done_) SetTimer(kInstallTimer, kInstallDelayMs);
    LayoutHeaderBand(headerGroup, headerBitmap);
}

namespace {

// While the install runs, the wizard keeps painting (it waits for the
// printer with its messages handled), so the frame's buttons are disabled
// until it ends, also by a failed write, and then put back as they were.
class FrameButtonsDisabled {
public:
    explicit FrameButtonsDisabled(CWnd* frame) {
        for (Button& button : buttons_) {
            button.window = frame ? frame->GetDlgItem(button.id) : nullptr;
            button.wasEnabled = button.window && ::IsWindowEnabled(button.window);
            if (button.window) ::EnableWindow(button.window, FALSE);
        }
    }
    ~FrameButtonsDisabled() {
        for (const Button& button : buttons_)
            if (button.window) ::EnableWindow(button.window, button.wasEnabled);
    }
    FrameButtonsDisabled(const FrameButtonsDisabled&) = delete;
    FrameButtonsDisabled& operator=(const FrameButtonsDisabled&) = delete;

private:
    struct Button {
        int id;
        HWND window;
        bool wasEnabled;
    };
    Button buttons_[4] = {{IDC_BACK, nullptr, false},
                          {IDC_NEXT, nullptr, false},
                          {IDC_FINISH, nullptr, false},
                          {IDC_CANCEL_BUTTON, nullptr, false}};
};

}  // namespace

void InstallProgressPage::OnTimer(UINT_PTR id) {
    CWaitCursor wait;
    KillTimer(kInstallTimer);
    InstallOutcome outcome;
    const bool fileNotWritten = [&] {
        FrameButtonsDisabled buttons(GetParent());
        struct Installing {
            bool& flag;
            ~Installing() { flag = false; }
        } installing{installing_ = true};
        progress.SetPos(50);
        outcome = RunInstall();
        exitCode_ = ExitCodeOf(outcome.result);
        if (outcome.result == InstallResult::FileNotWritten) return true;
        TellOutcome(outcome);
        return false;
    }();
    // A file that was not written is told with the wizard's buttons back,
    // leaves the bar at 50 and the install to run again when the page is
    // shown again.
    if (fileNotWritten) {
        TellOutcome(outcome);
        return;
    }
    // The program ends once the message of a completed install is closed.
    if (outcome.result == InstallResult::Installed)
        if (auto* frame = dynamic_cast<CDialog*>(GetParent())) frame->EndDialog(IDOK);
    progress.SetPos(100);
    done_ = true;
    Default();
}

InstallOutcome InstallProgressPage::RunInstall() { return install_ ? install_(choices_) : InstallOutcome(); }

void InstallProgressPage::TellOutcome(const InstallOutcome& outcome) { ShowOutcome(outcome, LanguageOf(choices_)); }
