// The wizard window of this program: the frame on its template, with the
// application icon, the about entry in the system menu and the Cancel button.
#pragma once
#include "wizard_frame.h"

class SetupDialog : public WizardFrameDialog {
public:
    explicit SetupDialog(CWnd* parent = nullptr);

    bool OnInitDialog() override;

    HICON icon;

protected:
    void OnCancel() override { WizardFrameDialog::OnCancel(); }
    void OnCancelButton() { OnCancel(); }
    void OnSysCommand(UINT id, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(icon); }

    DECLARE_MESSAGE_MAP()
};

// The about box, opened from the wizard's system menu.
class AboutDialog : public CDialog {
public:
    AboutDialog();
    bool OnInitDialog() override;
};
