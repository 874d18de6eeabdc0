#include "wizard_page.h"
#include "../framework/winapp.h"
#include "../framework/screen_dpi.h"
#include "../resources/resource.h"

namespace {
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);
}

HBRUSH SharedWhiteEditBrush() {
    static CBrush brush;
    if (!brush.m_hObject) brush.CreateSolidBrush(kWhite);
    return brush;
}

BEGIN_MESSAGE_MAP(WizardPage, CDialog)
    ON_WM_CTLCOLOR()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

WizardPage::WizardPage(int templateId, CWnd* parent)
    : CDialog(static_cast<UINT>(templateId), parent), templateId(templateId) {}

bool WizardPage::OnInitDialog() {
    CDialog::OnInitDialog();
    ScaleBitmapsToScreen(m_hWnd);
    whiteBrush_.CreateSolidBrush(kWhite);
    return true;
}

HBRUSH WizardPage::OnCtlColor(HDC dc, HWND control, UINT type) {
    HBRUSH standard = reinterpret_cast<HBRUSH>(Default());
    const int id = control ? ::GetDlgCtrlID(control) : 0;
    switch (type) {
    case CTLCOLOR_DLG:
        return whiteBrush_;
    case CTLCOLOR_BTN:
        SetTextColor(dc, kBlack);
        SetBkColor(dc, kWhite);
        return id == IDC_HEADER_GROUP ? static_cast<HBRUSH>(whiteBrush_) : standard;
    case CTLCOLOR_STATIC:
        SetTextColor(dc, kBlack);
        SetBkColor(dc, kWhite);
        [[fallthrough]];
    case CTLCOLOR_EDIT:
        SetTextColor(dc, kBlack);
        if (id == IDC_SERIES_NAME) {
            SetBkColor(dc, kWhite);
            return SharedWhiteEditBrush();
        }
        SetBkMode(dc, TRANSPARENT);
        return standard;
    case CTLCOLOR_LISTBOX:
    case CTLCOLOR_SCROLLBAR:
        SetTextColor(dc, kBlack);
        SetBkMode(dc, TRANSPARENT);
        return standard;
    default:
        return standard;
    }
}

void WizardPage::LayoutHeaderBand(CWnd& headerGroup, CWnd& headerBitmap) {
    CWnd* main = AfxGetMainWnd();
    if (!main || !main->m_hWnd || !m_hWnd || !headerGroup.m_hWnd || !headerBitmap.m_hWnd) return;
    RECT m;
    main->GetWindowRect(&m);
    main->ScreenToClient(&m);

    RECT r;
    headerGroup.GetWindowRect(&r);
    ScreenToClient(&r);
    headerGroup.MoveWindow(m.left, m.top, m.right - m.left, r.bottom - m.top, true);

    RECT s;
    headerBitmap.GetWindowRect(&s);
    main->ScreenToClient(&s);
    const int width = s.right - s.left, height = s.bottom - s.top;
    headerBitmap.MoveWindow(m.right - ScaleToScreen(5) - width, ScaleToScreen(18), width, height, true);
}
