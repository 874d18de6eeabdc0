// Last page: half a second after it is shown, the driver install runs once
// on the page's timer with the choices of the pages before, the wait
// cursor and the progress bar at 50, then 100 percent. The page tells the
// outcome: a completed install ends the wizard once its message is closed;
// any other leaves the wizard open, to go back and try again.
#pragma once
#include "wizard_page.h"
#include "../app_core/install_choices.h"
#include "../app_core/install_outcome.h"
#include "../framework/controls.h"

// The install the page runs: the choices in, the outcome out.
using InstallFunction = InstallOutcome (*)(const InstallChoices&);

class InstallProgressPage : public WizardPage {
public:
    InstallProgressPage(const InstallChoices& choices, InstallFunction install);
    bool OnInitDialog() override;

    // The exit code of the last install's outcome; 0 while none ran.
    int ExitCode() const { return exitCode_; }

    CBrush headerBrush;
    CStatic headerBitmap;
    CProgressCtrl progress;
    CButton headerGroup;

    static const UINT_PTR kInstallTimer = 1;
    static const UINT kInstallDelayMs = 500;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT type);
    void OnShowWindow(BOOL show, UINT status);
    void OnTimer(UINT_PTR id);
    // The install itself, and the message that tells its outcome.
    virtual InstallOutcome RunInstall();
    virtual void TellOutcome(const InstallOutcome& outcome);
    const InstallChoices& Choices() const { return choices_; }
    // Close box and Esc cannot end the wizard while the install runs.
    bool OnCancelQuery() override { return !installing_; }
    // Coming back to the page runs the install again.
    bool OnPageLeave() override {
        done_ = false;
        return true;
    }

    DECLARE_MESSAGE_MAP()

private:
    const InstallChoices& choices_;
    InstallFunction install_;
    bool installing_ = false;
    // The install ran while the page was shown: shown again (the wizard
    // restored after it was minimised, say), it does not run again.
    bool done_ = false;
    int exitCode_ = 0;
};
