// The probe: loaded into the program under test by the UI driver's hook, it
// answers the driver's queries about fonts and the system menu from inside
// that process.
#include "probe_protocol.h"
#include <cstdio>

namespace {

void Capture(HWND window, ProbeReply* reply) {
    // Paint what is still due (a page shown a moment ago) before the copy.
    RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT r;
    GetWindowRect(window, &r);
    LONG width = r.right - r.left, height = r.bottom - r.top;
    DWORD size = static_cast<DWORD>(((width * 3 + 3) & ~3) * height);
    if (width <= 0 || height <= 0 || size > kProbeCaptureBytes) return;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    HDC windowDc = GetWindowDC(window);
    HDC memory = CreateCompatibleDC(windowDc);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        if (BitBlt(memory, 0, 0, width, height, windowDc, 0, 0, SRCCOPY)) {
            GdiFlush();
            CopyMemory(reply + 1, bits, size);
            reply->captureWidth = width;
            reply->captureHeight = height;
        }
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(window, windowDc);
}

void Answer(WPARAM query, HWND window, ProbeReply* reply) {
    ZeroMemory(reply, sizeof *reply);
    if (query == kProbeFont) {
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
        reply->hasFont = font && GetObjectA(font, sizeof reply->font, &reply->font) == sizeof reply->font;
    } else if (query == kProbeCapture) {
        Capture(window, reply);
    } else if (query == kProbeQueue) {
        reply->pending = HIWORD(GetQueueStatus(QS_POSTMESSAGE | QS_INPUT)) != 0;
    } else if (query == kProbeSystemMenu) {
        HMENU menu = GetSystemMenu(window, FALSE);
        int count = menu ? GetMenuItemCount(menu) : -1;
        reply->menuItems = count < 0 ? -1 : count;
        for (int i = 0; i < count && i < static_cast<int>(sizeof reply->menu / sizeof reply->menu[0]); ++i) {
            ProbeMenuItem& item = reply->menu[i];
            MENUITEMINFOA info = {};
            info.cbSize = sizeof info;
            info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STRING;
            info.dwTypeData = item.text;
            info.cch = sizeof item.text;
            if (GetMenuItemInfoA(menu, i, TRUE, &info)) {
                item.id = info.wID;
                item.type = info.fType;
            }
        }
    }
    reply->answered = 1;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK ProbeHook(int code, WPARAM wParam, LPARAM lParam) {
    static const UINT query = RegisterWindowMessageA(kProbeQueryMessage);
    const CWPSTRUCT* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && message->message == query) {
        char name[64];
        snprintf(name, sizeof name, kProbeMappingFormat, GetCurrentProcessId());
        if (HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, name)) {
            if (void* view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(ProbeReply) + kProbeCaptureBytes)) {
                Answer(message->wParam, reinterpret_cast<HWND>(message->lParam), static_cast<ProbeReply*>(view));
                UnmapViewOfFile(view);
            }
            CloseHandle(mapping);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
