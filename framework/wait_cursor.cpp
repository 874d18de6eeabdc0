#include "wait_cursor.h"

namespace {
int g_waitCount = 0;
HCURSOR g_restoreCursor = nullptr;
}

void AfxDoWaitCursor(int code) {
    HCURSOR wait = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT));
    if (code > 0) {
        if (g_waitCount++ == 0) g_restoreCursor = SetCursor(wait);
        else SetCursor(wait);
    } else if (code < 0) {
        if (g_waitCount == 0) return;   // unbalanced end: nothing to restore
        if (--g_waitCount == 0) {
            SetCursor(g_restoreCursor ? g_restoreCursor
                                      : LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
        }
    }
}
