// The programs are DPI-aware (their manifests say so): Windows draws them at
// the screen's own DPI instead of stretching a 96-dpi picture of them.
// Dialog units follow the dialog font by themselves; what is given in
// pixels (the pictures, the 13-pixel font, the header band's offsets) is
// given for a 96-dpi screen and scaled here.
#pragma once
#include <windows.h>

// The screen's DPI, read once (96 when it cannot be read).
int ScreenDpi();
// A length in pixels of a 96-dpi screen on this screen.
int ScaleToScreen(int pixelsAt96Dpi);
// Gives every picture static among the dialog's children a copy of its
// bitmap scaled to the screen; at 96 dpi nothing changes. The copies stay
// until the process ends.
void ScaleBitmapsToScreen(HWND dialog);
