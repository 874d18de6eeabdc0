#include "setup_dialog.h"
#include "../app_core/set_dialog_strings.h"
#include "../framework/winapp.h"
#include "../resources/resource.h"

BEGIN_MESSAGE_MAP(SetupDialog, WizardFrameDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_COMMAND(IDC_CANCEL_BUTTON, OnCancelButton)
END_MESSAGE_MAP()

SetupDialog::SetupDialog(CWnd* parent)
    : WizardFrameDialog(IDD_SETUP, parent),
      icon(LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME))) {}

bool SetupDialog::OnInitDialog() {
    SetPageAreaId(IDC_PAGE_AREA);
    WizardFrameDialog::OnInitDialog();

    if (HMENU menu = GetSystemMenu(m_hWnd, FALSE)) {
        char text[256] = {};
        if (LoadStringA(AfxGetInstanceHandle(), IDS_ABOUTBOX, text, sizeof text) > 0 && text[0]) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, text);
        }
    }
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));

    g_SetDialogStrings(this, IDD_SETUP);
    return true;
}

void SetupDialog::OnSysCommand(UINT id, LPARAM lParam) {
    // The low four bits of a system command belong to the system.
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        AboutDialog about;
        about.DoModal();
    } else {
        Default();
    }
}

void SetupDialog::OnPaint() {
    if (!IsIconic()) {
        Default();
        return;
    }
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_hWnd, &paint);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    const int cxIcon = GetSystemMetrics(SM_CXICON), cyIcon = GetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(&rect);
    const int x = (rect.right - rect.left - cxIcon + 1) / 2;
    const int y = (rect.bottom - rect.top - cyIcon + 1) / 2;
    DrawIcon(dc, x, y, icon);
    EndPaint(m_hWnd, &paint);
}

AboutDialog::AboutDialog() : CDialog(IDD_ABOUT) {}

bool AboutDialog::OnInitDialog() {
    CDialog::OnInitDialog();
    g_SetDialogStrings(this, IDD_ABOUT);
    return true;
}
