// Control objects: thin wrappers over a dialog's controls, bound to them by
// DDX_Control. They never own the control window; the dialog does.
#pragma once
#include "wnd.h"
#include <commctrl.h>

class CStatic : public CWnd {};

class CButton : public CWnd {};

class CListBox : public CWnd {
public:
    // Inserts at `index`; -1 appends at the end, without sorting.
    int InsertString(int index, const char* text) {
        return static_cast<int>(SendMessage(LB_INSERTSTRING, static_cast<WPARAM>(index),
                                            reinterpret_cast<LPARAM>(text)));
    }
    int GetCurSel() const { return static_cast<int>(SendMessage(LB_GETCURSEL)); }
};

class CProgressCtrl : public CWnd {
public:
    int SetPos(int position) { return static_cast<int>(SendMessage(PBM_SETPOS, position)); }
};
