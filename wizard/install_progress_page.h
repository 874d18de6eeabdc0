// Last page: half a second after it is shown, the driver install runs once
// on the page's timer, with the wait cursor and the progress bar at 50, then
// 100 percent.
#pragma once
#include "wizard_page.h"
#include "../framework/controls.h"

class InstallProgressPage : public WizardPage {
public:
    // `install` is the install sequence the page runs.
    explicit InstallProgressPage(void (*install)() = nullptr);
    bool OnInitDialog() override;

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
    // The install sequence itself.
    virtual void RunInstall();
    // Close box and Esc cannot end the wizard while the install runs.
    bool OnCancelQuery() override { return !installing_; }

    DECLARE_MESSAGE_MAP()

private:
    void (*install_)();
    bool installing_ = false;
};
