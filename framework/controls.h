// Control objects: thin wrappers over a dialog's controls, bound to them by
// DDX_Control. They never own the control window; the dialog does.
#pragma once
#include "wnd.h"
#include <commctrl.h>

class CStatic : public CWnd {};

class CButton : public CWnd {
public:
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int check) { SendMessage(BM_SETCHECK, check); }
};

class CListBox : public CWnd {
public:
    int AddString(const char* text) { return Send(LB_ADDSTRING, 0, text); }
    // Inserts at `index`; -1 appends at the end, without sorting.
    int InsertString(int index, const char* text) { return Send(LB_INSERTSTRING, index, text); }
    int GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(LB_GETCURSEL)); }
    int SetCurSel(int index) { return static_cast<int>(SendMessage(LB_SETCURSEL, index)); }

private:
    int Send(UINT message, int index, const char* text) {
        return static_cast<int>(SendMessage(message, static_cast<WPARAM>(index),
                                            reinterpret_cast<LPARAM>(text)));
    }
};

class CProgressCtrl : public CWnd {
public:
    int SetPos(int position) { return static_cast<int>(SendMessage(PBM_SETPOS, position)); }
    int GetPos() const { return static_cast<int>(SendMessage(PBM_GETPOS)); }
};
