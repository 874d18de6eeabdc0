// Base of every wizard page: a modeless child dialog that the frame creates,
// places, shows and hides, with the navigation hooks the frame calls, the
// pages' white-and-black colouring and the header band layout.
#pragma once
#include "../framework/dialog.h"
#include "../framework/gdi.h"

class WizardPage : public CDialog {
public:
    explicit WizardPage(int templateId, CWnd* parent = nullptr);

    // Navigation hooks, called by the frame.
    virtual bool OnPageCreate() { return true; }      // false aborts the activation
    virtual void OnPageDestroy() {}
    virtual bool OnPageLeave() { return true; }       // false vetoes hiding/destroying
    virtual void OnPageEnter() {}
    virtual bool OnCancelQuery() { return true; }     // false vetoes cancelling
    // -1 stay, 0 the neighbouring page, else the page with that template id.
    virtual int OnBackTarget() { return 0; }
    virtual int OnNextTarget() { return 0; }
    virtual bool OnFinishQuery() { return true; }     // false vetoes Finish

    // Stretches the header group box across the main window's full width
    // (only its bottom line stays visible) and puts the header bitmap 18
    // pixels below the top, 5 pixels from the right edge.
    void LayoutHeaderBand(CWnd& headerGroup, CWnd& headerBitmap);

    int created = 0;      // the page window exists
    int active = 0;       // the page is the one shown
    int templateId;       // dialog template id, also the page's navigation id

    bool OnInitDialog() override;

protected:
    // Keys inside a page (Esc, Enter) must neither end nor hide it.
    void OnCancel() override {}
    void OnOK() override {}

    HBRUSH OnCtlColor(HDC dc, HWND control, UINT type);
    BOOL OnEraseBkgnd(HDC dc) { return TRUE; }

    CBrush whiteBrush_;

    DECLARE_MESSAGE_MAP()
};

// The white brush behind the read-only name field, shared by all pages.
HBRUSH SharedWhiteEditBrush();
