// Window object: a thin holder of a window handle.
#pragma once
#include "afx.h"

class CWnd : public CObject {
public:
    HWND m_hWnd = nullptr;
    HWND GetSafeHwnd() const { return m_hWnd; }
    virtual ~CWnd() {}
};
