// Dialogs made from the program's own dialog templates: modal (DoModal with
// its own message loop) or modeless (Create as a child of a parent window),
// with data exchange between member variables and controls.
#pragma once
#include "wnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, bool saveAndValidate)
        : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}
    // The control with this id; null when the dialog has none.
    HWND PrepareCtrl(int id) const { return m_pDlgWnd->GetDlgItem(id); }

    CWnd* m_pDlgWnd;
    bool m_bSaveAndValidate;   // true: controls to members; false: members to controls
};

// Binds a control object to the dialog's control.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
// A group of radio buttons starting at `firstId` (up to the next control
// that starts a group): `value` is the index of the checked one, -1 none.
void DDX_Radio(CDataExchange* dx, int firstId, int& value);
// A check box: 0 clear, 1 checked, 2 indeterminate.
void DDX_Check(CDataExchange* dx, int id, int& value);
// A control's text, kept in a fixed buffer; a longer text is cut to fit.
void DDX_Text(CDataExchange* dx, int id, char* value, int size);
template <int N>
void DDX_Text(CDataExchange* dx, int id, char (&value)[N]) { DDX_Text(dx, id, value, N); }

class CDialog : public CWnd {
public:
    // `templateId` names a dialog resource of the program; `parent` is the
    // owner of a modal dialog (the main window when null).
    explicit CDialog(UINT templateId = 0, CWnd* parent = nullptr)
        : m_nIDHelp(templateId), m_pParentWnd(parent) {}
    ~CDialog() override;

    // Runs the dialog modally. Returns the value given to EndDialog, or -1
    // when the dialog cannot be created or a quit message ends the loop (the
    // quit message is posted again so that outer loops end too).
    virtual INT_PTR DoModal();
    // Creates the dialog modelessly, as a child or owned window of `parent`.
    bool Create(UINT templateId, CWnd* parent = nullptr);
    void EndDialog(int result);

    bool UpdateData(bool saveAndValidate = true);

    virtual bool OnInitDialog();
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

    UINT m_nIDHelp;   // the template id
    CWnd* m_pParentWnd;

protected:
    virtual void DoDataExchange(CDataExchange* dx) {}
    virtual void OnOK();
    virtual void OnCancel();

    DECLARE_MESSAGE_MAP()

private:
    // Lets the dialogs between the message's window and this one handle
    // keyboard navigation (Tab, Esc, Enter), innermost first.
    bool PreTranslateInput(MSG& msg);

    bool m_modal = false;
    bool m_continueModal = false;
    INT_PTR m_modalResult = -1;
};

// Whether the program's dialog template holds a control whose class is not
// one of the system's own: a common control, which loads the common
// controls when the template is made.
bool AfxTemplateHoldsCommonControl(UINT templateId);

// The dialog procedure of every dialog of the program: routes messages to the
// window object's message map.
INT_PTR CALLBACK AfxDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
