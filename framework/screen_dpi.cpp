#include "screen_dpi.h"

namespace {

int g_screenDpi;

// The scaled copies, deleted when the process ends: their controls show
// them to the last.
class ScaledBitmaps {
public:
    ~ScaledBitmaps() {
        for (int i = 0; i < count_; ++i) DeleteObject(bitmaps_[i]);
    }
    bool Keep(HBITMAP bitmap) {
        if (count_ == kMax) return false;
        bitmaps_[count_++] = bitmap;
        return true;
    }

private:
    static const int kMax = 16;
    HBITMAP bitmaps_[kMax] = {};
    int count_ = 0;
};
ScaledBitmaps g_scaledBitmaps;

// A 24-bit copy of the bitmap at the screen's scale, smoothed; null when
// it cannot be made.
HBITMAP ScaledCopy(HBITMAP source) {
    BITMAP size = {};
    if (!GetObjectA(source, sizeof size, &size)) return nullptr;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = ScaleToScreen(size.bmWidth);
    info.bmiHeader.biHeight = ScaleToScreen(size.bmHeight);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP scaled = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC from = CreateCompatibleDC(nullptr), to = CreateCompatibleDC(nullptr);
    bool drawn = false;
    if (scaled && from && to) {
        HGDIOBJ oldFrom = SelectObject(from, source), oldTo = SelectObject(to, scaled);
        SetStretchBltMode(to, HALFTONE);
        SetBrushOrgEx(to, 0, 0, nullptr);
        drawn = StretchBlt(to, 0, 0, info.bmiHeader.biWidth, info.bmiHeader.biHeight, from, 0, 0, size.bmWidth,
                           size.bmHeight, SRCCOPY) != FALSE;
        SelectObject(from, oldFrom);
        SelectObject(to, oldTo);
    }
    if (from) DeleteDC(from);
    if (to) DeleteDC(to);
    if (!drawn && scaled) {
        DeleteObject(scaled);
        scaled = nullptr;
    }
    return scaled;
}

bool IsPictureStatic(HWND window) {
    char name[16] = {};
    return GetClassNameA(window, name, sizeof name) && lstrcmpiA(name, "Static") == 0 &&
           (GetWindowLongA(window, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP;
}

}  // namespace

int ScreenDpi() {
    if (!g_screenDpi) {
        HDC screen = GetDC(nullptr);
        g_screenDpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
        if (screen) ReleaseDC(nullptr, screen);
        if (g_screenDpi <= 0) g_screenDpi = 96;
    }
    return g_screenDpi;
}

int ScaleToScreen(int pixelsAt96Dpi) { return MulDiv(pixelsAt96Dpi, ScreenDpi(), 96); }

void ScaleBitmapsToScreen(HWND dialog) {
    if (ScreenDpi() == 96) return;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsPictureStatic(child)) continue;
        HBITMAP picture = reinterpret_cast<HBITMAP>(SendMessageA(child, STM_GETIMAGE, IMAGE_BITMAP, 0));
        HBITMAP scaled = picture ? ScaledCopy(picture) : nullptr;
        if (!scaled) continue;
        if (!g_scaledBitmaps.Keep(scaled)) {
            DeleteObject(scaled);
            continue;
        }
        // The control sizes itself to the new picture. The one it loaded
        // from the template is ours to delete once it is replaced.
        HGDIOBJ old = reinterpret_cast<HGDIOBJ>(
            SendMessageA(child, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(scaled)));
        if (old && old != scaled) DeleteObject(old);
    }
}
