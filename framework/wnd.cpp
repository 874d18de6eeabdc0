#include "wnd.h"

namespace {
// Window property that leads from a window to its window object.
const char kObjectProperty[] = "AfxWndObject";
}

CWnd::~CWnd() { Detach(); }

CWnd* CWnd::FromHandle(HWND hwnd) {
    if (!hwnd) return nullptr;
    return static_cast<CWnd*>(GetPropA(hwnd, kObjectProperty));
}

void CWnd::Attach(HWND hwnd) {
    m_hWnd = hwnd;
    m_registered = SetPropA(hwnd, kObjectProperty, this) != FALSE;
}

void CWnd::Detach() {
    if (m_hWnd && m_registered && FromHandle(m_hWnd) == this) RemovePropA(m_hWnd, kObjectProperty);
    m_registered = false;
    m_hWnd = nullptr;
}

CWnd* CWnd::GetParent() const { return FromHandle(::GetParent(m_hWnd)); }

void CWnd::ModifyStyleEx(DWORD remove, DWORD add) {
    LONG style = GetWindowLongA(m_hWnd, GWL_EXSTYLE);
    SetWindowLongA(m_hWnd, GWL_EXSTYLE, (style & ~static_cast<LONG>(remove)) | static_cast<LONG>(add));
}

bool CWnd::DestroyWindow() { return m_hWnd && ::DestroyWindow(m_hWnd); }

LRESULT CWnd::Default() {
    return DefWindowProcA(m_hWnd, m_currentMessage.m_message, m_currentMessage.m_wParam,
                          m_currentMessage.m_lParam);
}

const AfxMsgMap* CWnd::GetThisMessageMap() {
    static const AfxMsgMapEntry entries[] = {{0, 0, 0, nullptr}};
    static const AfxMsgMap map = {nullptr, entries};
    return &map;
}

bool CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    UINT key = message;
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) key = WM_CTLCOLOR;
    const UINT code = HIWORD(wParam), id = LOWORD(wParam);
    for (const AfxMsgMap* map = GetMessageMap(); map;
         map = map->m_baseMap ? map->m_baseMap() : nullptr) {
        for (const AfxMsgMapEntry* e = map->m_entries; e->m_handler; ++e) {
            if (e->m_message != key) continue;
            if (key == WM_COMMAND && (e->m_code != code || (e->m_id & 0xFFFF) != id)) continue;
            // Handlers may run nested (a message box inside a handler), so the
            // message that Default() refers to is kept per call.
            CurrentMessage saved = m_currentMessage;
            m_currentMessage = {message, wParam, lParam};
            struct Restore {
                CWnd* m_window;
                CurrentMessage m_saved;
                ~Restore() { m_window->m_currentMessage = m_saved; }
            } restore{this, saved};
            result = e->m_handler(this, message, wParam, lParam);
            return true;
        }
    }
    return false;
}
