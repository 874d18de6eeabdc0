// Window object: a thin holder of a window handle, with the message maps
// that bind window messages and control notifications to member handlers.
#pragma once
#include "afx.h"

class CWnd;

// One row of a message map. `m_handler` calls the member function with the
// message's parameters unpacked and returns the message result.
using AfxHandler = LRESULT (*)(CWnd* wnd, UINT message, WPARAM wParam, LPARAM lParam);
struct AfxMsgMapEntry {
    UINT m_message;   // WM_COMMAND, WM_CTLCOLOR (for all WM_CTLCOLOR... messages) or another
    UINT m_code;      // notification code of WM_COMMAND
    UINT m_id;        // control or command id of WM_COMMAND (low 16 bits compared)
    AfxHandler m_handler;
};
struct AfxMsgMap {
    const AfxMsgMap* (*m_baseMap)();
    const AfxMsgMapEntry* m_entries;   // ends with a null handler
};

// The old combined colour message; the maps file every WM_CTLCOLOR... under it.
const UINT WM_CTLCOLOR = 0x0019;

class CWnd : public CObject {
public:
    HWND m_hWnd = nullptr;

    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    ~CWnd() override;

    HWND GetSafeHwnd() const { return m_hWnd; }
    // The program's own window object of a window (a dialog of ours), or null.
    static CWnd* FromHandle(HWND hwnd);
    void Attach(HWND hwnd);
    void Detach();

    CWnd* GetParent() const;
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    // True when the window was visible before.
    bool ShowWindow(int command) { return ::ShowWindow(m_hWnd, command) != FALSE; }
    // True when the window was disabled before.
    bool EnableWindow(bool enable) { return ::EnableWindow(m_hWnd, enable) != FALSE; }
    bool IsIconic() const { return ::IsIconic(m_hWnd) != FALSE; }
    void SetWindowText(const char* text) { ::SetWindowTextA(m_hWnd, text); }
    void GetWindowRect(RECT* rect) const { ::GetWindowRect(m_hWnd, rect); }
    void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
    void ScreenToClient(RECT* rect) const {
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(rect), 2);
    }
    void MoveWindow(int x, int y, int width, int height, bool repaint = true) {
        ::MoveWindow(m_hWnd, x, y, width, height, repaint);
    }
    bool SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags) {
        return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags) != FALSE;
    }
    void Invalidate(bool erase = true) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse) { return ::SetTimer(m_hWnd, id, elapse, nullptr); }
    bool KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id) != FALSE; }
    void ModifyStyleEx(DWORD remove, DWORD add);
    virtual bool DestroyWindow();

    // Looks the message up in the class's message map (then its bases') and
    // runs the handler; false when no entry matches.
    virtual bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    virtual const AfxMsgMap* GetMessageMap() const { return GetThisMessageMap(); }
    static const AfxMsgMap* GetThisMessageMap();

protected:
    // The window's default processing of the message being handled.
    LRESULT Default();

private:
    struct CurrentMessage { UINT m_message; WPARAM m_wParam; LPARAM m_lParam; };
    CurrentMessage m_currentMessage = {};
    bool m_registered = false;   // registered for FromHandle
};

// Message-map tables, written inside the class (DECLARE_MESSAGE_MAP) and in
// its source file (BEGIN_MESSAGE_MAP ... END_MESSAGE_MAP).
#define DECLARE_MESSAGE_MAP()                                         \
public:                                                               \
    const AfxMsgMap* GetMessageMap() const override { return GetThisMessageMap(); } \
    static const AfxMsgMap* GetThisMessageMap();                      \
protected:

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                       \
    const AfxMsgMap* theClass::GetThisMessageMap() {                  \
        typedef theClass ThisClass;                                   \
        typedef baseClass TheBaseClass;                               \
        static const AfxMsgMapEntry entries[] = {

#define END_MESSAGE_MAP()                                             \
            {0, 0, 0, nullptr}};                                      \
        static const AfxMsgMap map = {&TheBaseClass::GetThisMessageMap, entries}; \
        return &map;                                                  \
    }

#define ON_COMMAND(id, memberFn) \
    {WM_COMMAND, 0, static_cast<UINT>(id), [](CWnd* w, UINT, WPARAM, LPARAM) -> LRESULT { static_cast<ThisClass*>(w)->memberFn(); return 0; }},
#define ON_CONTROL(code, id, memberFn) \
    {WM_COMMAND, static_cast<UINT>(code), static_cast<UINT>(id), [](CWnd* w, UINT, WPARAM, LPARAM) -> LRESULT { static_cast<ThisClass*>(w)->memberFn(); return 0; }},
#define ON_BN_CLICKED(id, memberFn) ON_CONTROL(BN_CLICKED, id, memberFn)
#define ON_LBN_SELCHANGE(id, memberFn) ON_CONTROL(LBN_SELCHANGE, id, memberFn)

#define ON_WM_CTLCOLOR() \
    {WM_CTLCOLOR, 0, 0, [](CWnd* w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT { \
        return reinterpret_cast<LRESULT>(static_cast<ThisClass*>(w)->OnCtlColor(reinterpret_cast<HDC>(wp), \
            reinterpret_cast<HWND>(lp), m - WM_CTLCOLORMSGBOX)); }},
#define ON_WM_ERASEBKGND() \
    {WM_ERASEBKGND, 0, 0, [](CWnd* w, UINT, WPARAM wp, LPARAM) -> LRESULT { \
        return static_cast<ThisClass*>(w)->OnEraseBkgnd(reinterpret_cast<HDC>(wp)); }},
#define ON_WM_SHOWWINDOW() \
    {WM_SHOWWINDOW, 0, 0, [](CWnd* w, UINT, WPARAM wp, LPARAM lp) -> LRESULT { \
        static_cast<ThisClass*>(w)->OnShowWindow(static_cast<BOOL>(wp), static_cast<UINT>(lp)); return 0; }},
#define ON_WM_TIMER() \
    {WM_TIMER, 0, 0, [](CWnd* w, UINT, WPARAM wp, LPARAM) -> LRESULT { \
        static_cast<ThisClass*>(w)->OnTimer(wp); return 0; }},
#define ON_WM_DESTROY() \
    {WM_DESTROY, 0, 0, [](CWnd* w, UINT, WPARAM, LPARAM) -> LRESULT { static_cast<ThisClass*>(w)->OnDestroy(); return 0; }},
#define ON_WM_SYSCOMMAND() \
    {WM_SYSCOMMAND, 0, 0, [](CWnd* w, UINT, WPARAM wp, LPARAM lp) -> LRESULT { \
        static_cast<ThisClass*>(w)->OnSysCommand(static_cast<UINT>(wp), lp); return 0; }},
#define ON_WM_PAINT() \
    {WM_PAINT, 0, 0, [](CWnd* w, UINT, WPARAM, LPARAM) -> LRESULT { static_cast<ThisClass*>(w)->OnPaint(); return 0; }},
#define ON_WM_QUERYDRAGICON() \
    {WM_QUERYDRAGICON, 0, 0, [](CWnd* w, UINT, WPARAM, LPARAM) -> LRESULT { \
        return reinterpret_cast<LRESULT>(static_cast<ThisClass*>(w)->OnQueryDragIcon()); }},
