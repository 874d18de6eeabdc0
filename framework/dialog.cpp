#include "dialog.h"
#include "system_files.h"
#include "winapp.h"

// ---- data exchange ----

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    // Always the control of the dialog's current window: a dialog made again
    // must not keep talking to the controls of its destroyed window.
    control.m_hWnd = dx->PrepareCtrl(id);
}

static bool IsRadioButton(HWND control) {
    if (!(SendMessageA(control, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON)) return false;
    LONG type = GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
}

void DDX_Radio(CDataExchange* dx, int firstId, int& value) {
    HWND control = dx->PrepareCtrl(firstId);
    if (!control) return;
    if (dx->m_bSaveAndValidate) value = -1;
    int index = 0;
    do {
        if (IsRadioButton(control)) {
            if (dx->m_bSaveAndValidate) {
                if (SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED) value = index;
            } else {
                SendMessageA(control, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
            }
            ++index;
        }
        control = GetWindow(control, GW_HWNDNEXT);
    } while (control && !(GetWindowLongA(control, GWL_STYLE) & WS_GROUP));
}

void DDX_Check(CDataExchange* dx, int id, int& value) {
    HWND control = dx->PrepareCtrl(id);
    if (!control) return;
    if (dx->m_bSaveAndValidate) {
        value = static_cast<int>(SendMessageA(control, BM_GETCHECK, 0, 0));
    } else {
        if (value < 0 || value > 2) value = 0;
        SendMessageA(control, BM_SETCHECK, value, 0);
    }
}

void DDX_Text(CDataExchange* dx, int id, char* value, int size) {
    HWND control = dx->PrepareCtrl(id);
    if (!control || size <= 0) return;
    if (dx->m_bSaveAndValidate) {
        value[0] = '\0';
        GetWindowTextA(control, value, size);
    } else {
        SetWindowTextA(control, value);
    }
}

// ---- dialog ----

// Reads a dialog template (DLGTEMPLATE or DLGTEMPLATEEX) far enough to tell
// whether a control's window class is not one of the system's own (button,
// edit, static, list box, scroll bar, combo box), which templates give by
// number or by name: such a class is a common control, the progress bar.
class TemplateReader {
public:
    TemplateReader(const BYTE* bytes, DWORD size) : at_(bytes), end_(bytes + size) {}

    bool NamesACommonControl() {
        const bool extended = Word(0) == 1 && Word(2) == 0xFFFF;
        const DWORD style = Dword(extended ? 12 : 0);
        const WORD items = Word(extended ? 16 : 8);
        Skip(extended ? 26 : 18);
        SkipNameOrNumber();   // menu
        SkipNameOrNumber();   // class
        SkipNameOrNumber();   // title
        if (style & DS_SETFONT) {
            Skip(extended ? 6 : 2);
            SkipNameOrNumber();   // typeface
        }
        for (WORD i = 0; i < items && ok_; ++i) {
            AlignToDword();
            Skip(extended ? 24 : 18);
            if (ok_ && Word(0) != 0xFFFF && !IsSystemClass()) return true;
            SkipNameOrNumber();   // class
            SkipNameOrNumber();   // title
            const WORD extra = Word(0);
            Skip(2 + extra);
        }
        return false;
    }

private:
    bool Has(size_t bytes) const { return ok_ && static_cast<size_t>(end_ - at_) >= bytes; }
    WORD Word(size_t offset) const { return Has(offset + 2) ? *reinterpret_cast<const WORD*>(at_ + offset) : 0; }
    DWORD Dword(size_t offset) const {
        return Has(offset + 4) ? *reinterpret_cast<const DWORD*>(at_ + offset) : 0;
    }
    void Skip(size_t bytes) {
        ok_ = Has(bytes);
        if (ok_) at_ += bytes;
    }
    void AlignToDword() { Skip((4 - reinterpret_cast<UINT_PTR>(at_) % 4) % 4); }
    // A 0xFFFF and a number, or a string ending in a zero word.
    void SkipNameOrNumber() {
        if (Word(0) == 0xFFFF) return Skip(4);
        while (ok_ && Word(0) != 0) Skip(2);
        Skip(2);
    }
    // Whether the class name at hand is one of the system's own (a longer
    // name, cut to the buffer, matches none of them).
    bool IsSystemClass() const {
        static const char* const kSystemClasses[] = {"Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox"};
        char name[16] = {};
        for (size_t i = 0; i + 1 < sizeof name; ++i) {
            const WORD c = Word(2 * i);
            if (c == 0) break;
            if (c > 0x7F) return false;
            name[i] = static_cast<char>(c);
        }
        for (const char* system : kSystemClasses)
            if (lstrcmpiA(name, system) == 0) return true;
        return false;
    }

    const BYTE* at_;
    const BYTE* end_;
    bool ok_ = true;
};

bool AfxTemplateHoldsCommonControl(UINT templateId) {
    HINSTANCE instance = AfxGetInstanceHandle();
    HRSRC resource = FindResourceA(instance, MAKEINTRESOURCEA(templateId), RT_DIALOG);
    HGLOBAL loaded = resource ? LoadResource(instance, resource) : nullptr;
    const BYTE* bytes = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    return bytes && TemplateReader(bytes, SizeofResource(instance, resource)).NamesACommonControl();
}

// A template with common controls needs their window classes registered
// before it is made. The DLL is loaded only then, so a program whose first
// window has none starts without it, and from the system folder by full
// path: it is not one that Windows always takes from there, and a copy
// beside the program must not load.
static void RegisterControlClassesFor(UINT templateId) {
    static bool registered = false;
    if (registered || !AfxTemplateHoldsCommonControl(templateId)) return;
    HMODULE controls = AfxLoadSystemLibrary("comctl32.dll");
    auto init = reinterpret_cast<void(WINAPI*)()>(
        reinterpret_cast<void*>(controls ? GetProcAddress(controls, "InitCommonControls") : nullptr));
    if (init) init();
    registered = true;
}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::~CDialog() {
    if (m_hWnd && IsWindow(m_hWnd)) {
        HWND hwnd = m_hWnd;
        Detach();
        ::DestroyWindow(hwnd);
    }
}

bool CDialog::Create(UINT templateId, CWnd* parent) {
    m_nIDHelp = templateId;
    m_pParentWnd = parent;
    m_modal = false;
    RegisterControlClassesFor(templateId);
    HWND hwnd = CreateDialogParamA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(templateId),
                                   parent ? parent->m_hWnd : nullptr, AfxDlgProc,
                                   reinterpret_cast<LPARAM>(this));
    return hwnd != nullptr;
}

INT_PTR CDialog::DoModal() {
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    if (!owner) {
        CWnd* main = AfxGetMainWnd();
        if (main && main != this && main->m_hWnd && IsWindow(main->m_hWnd)) owner = main->m_hWnd;
    }
    bool reenableOwner = owner && ::IsWindowEnabled(owner);
    if (reenableOwner) ::EnableWindow(owner, FALSE);

    m_modal = true;
    m_continueModal = true;
    m_modalResult = -1;
    RegisterControlClassesFor(m_nIDHelp);
    HWND hwnd = CreateDialogParamA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_nIDHelp), owner,
                                   AfxDlgProc, reinterpret_cast<LPARAM>(this));
    if (!hwnd) m_continueModal = false;
    // A modal dialog is shown even when its template is not visible.
    else if (m_continueModal && m_hWnd && !::IsWindowVisible(m_hWnd)) ::ShowWindow(m_hWnd, SW_SHOWNORMAL);

    MSG msg;
    while (m_continueModal && m_hWnd) {
        if (GetMessageA(&msg, nullptr, 0, 0) <= 0) {
            // The quit belongs to the outer loops as well.
            PostQuitMessage(static_cast<int>(msg.wParam));
            m_modalResult = -1;
            break;
        }
        if (!PreTranslateInput(msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }

    if (reenableOwner) {
        ::EnableWindow(owner, TRUE);
        if (m_hWnd && GetActiveWindow() == m_hWnd) SetActiveWindow(owner);
    }
    if (m_hWnd) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        DestroyWindow();
    }
    m_modal = false;
    return m_modalResult;
}

bool CDialog::PreTranslateInput(MSG& msg) {
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
    for (HWND w = msg.hwnd; w; w = ::GetParent(w)) {
        CWnd* wnd = FromHandle(w);
        if (dynamic_cast<CDialog*>(wnd) && IsDialogMessageA(w, &msg)) return true;
        if (w == m_hWnd) break;
    }
    return false;
}

void CDialog::EndDialog(int result) {
    if (m_modal) {
        m_modalResult = result;
        m_continueModal = false;
        // Wake the modal loop: a result set from a sent message would
        // otherwise wait in GetMessage for the next posted one.
        if (m_hWnd) PostMessageA(m_hWnd, WM_NULL, 0, 0);
    } else if (m_hWnd) {
        ::EndDialog(m_hWnd, result);
    }
}

bool CDialog::UpdateData(bool saveAndValidate) {
    if (!m_hWnd) return false;
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return true;
}

bool CDialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void CDialog::OnOK() {
    if (!UpdateData(true)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

// Centres a top-level dialog over its owner, or on the screen's work area.
static void CenterDialog(HWND dialog) {
    RECT area;
    HWND owner = GetWindow(dialog, GW_OWNER);
    if (owner && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &area);
    else SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    RECT rect;
    GetWindowRect(dialog, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    int x = area.left + (area.right - area.left - width) / 2;
    int y = area.top + (area.bottom - area.top - height) / 2;
    if (x < 0) x = 0;
    if (y < 0) y = 0;
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_INITDIALOG) {
        RECT before;
        ::GetWindowRect(m_hWnd, &before);
        result = OnInitDialog();
        // A top-level dialog that its initialisation did not place is centred.
        RECT after;
        if (m_hWnd && !(GetWindowLongA(m_hWnd, GWL_STYLE) & WS_CHILD) && ::GetWindowRect(m_hWnd, &after) &&
            after.left == before.left && after.top == before.top)
            CenterDialog(m_hWnd);
        return true;
    }
    return CWnd::OnWndMsg(message, wParam, lParam, result);
}

// Messages whose result a dialog procedure returns itself rather than
// through DWLP_MSGRESULT.
static bool ReturnsResultDirectly(UINT message) {
    return (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) ||
           message == WM_INITDIALOG || message == WM_QUERYDRAGICON || message == WM_COMPAREITEM ||
           message == WM_VKEYTOITEM || message == WM_CHARTOITEM;
}

INT_PTR CALLBACK AfxDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* wnd = nullptr;
    if (message == WM_INITDIALOG) {
        wnd = reinterpret_cast<CWnd*>(lParam);
        if (wnd) wnd->Attach(hwnd);
    } else {
        wnd = CWnd::FromHandle(hwnd);
    }
    if (!wnd) return FALSE;

    LRESULT result = 0;
    bool handled = wnd->OnWndMsg(message, wParam, lParam, result);
    if (message == WM_NCDESTROY) {
        wnd->Detach();
        return FALSE;
    }
    if (!handled) return FALSE;
    if (ReturnsResultDirectly(message)) return static_cast<INT_PTR>(result);
    SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}
