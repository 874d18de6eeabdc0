#include "afx.h"
#include "winapp.h"
#include "wnd.h"
#include <cstdarg>
#include <cstdio>

bool AfxFormat(char* buffer, size_t size, const char* format, ...) {
    if (size == 0) return false;
    va_list args;
    va_start(args, format);
    // The system C runtime's formatter: it gives -1 when the text does not
    // fit, and leaves a text that fills the buffer exactly unterminated, so
    // both count as not fitting.
    int written = _vsnprintf(buffer, size, format, args);
    va_end(args);
    if (written < 0 || static_cast<size_t>(written) >= size) {
        buffer[0] = '\0';
        return false;
    }
    return true;
}

const char* AfxFindFileName(const char* path) {
    const char* name = path;
    for (const char* p = path; *p; p = CharNextA(p))
        if (*p == '\\' || *p == '/') name = p + 1;
    return name;
}

bool SameName(const char* a, const char* b, int length) {
    return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, a, length, b, length) == CSTR_EQUAL;
}

int AfxMessageBox(const char* text, UINT type, UINT /*helpContext*/) {
    CWnd* main = AfxGetMainWnd();
    HWND owner = main ? main->GetSafeHwnd() : nullptr;
    if (owner && !IsWindow(owner)) owner = nullptr;
    return MessageBoxA(owner, text, AfxGetAppName(), type);
}

int AfxMessageBox(UINT stringId, UINT type, UINT helpContext) {
    char text[1024] = {};
    LoadStringA(AfxGetInstanceHandle(), stringId, text, sizeof text);
    return AfxMessageBox(text, type, helpContext);
}
