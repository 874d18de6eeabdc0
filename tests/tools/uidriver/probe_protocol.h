// What the UI driver asks the probe inside the program under test, and the
// reply the probe leaves in shared memory. Fonts and menus are objects of
// their own process: Wine answers neither WM_GETFONT nor GetSystemMenu for
// another process's window, so the probe reads them in the program's own
// process, from a window-procedure hook the driver installs on its thread.
#pragma once
#include <windows.h>

// Registered message sent to a window of the program: wParam the query,
// lParam the window asked about.
const char kProbeQueryMessage[] = "SetupUiProbe.Query";
// Named file mapping, created by the driver: "SetupUiProbe.<process id>",
// sizeof(ProbeReply) + kProbeCaptureBytes long.
const char kProbeMappingFormat[] = "SetupUiProbe.%lu";

enum ProbeQuery { kProbeFont = 1, kProbeSystemMenu = 2, kProbeQueue = 3, kProbeCapture = 4 };

// A capture's pixels follow the reply in the mapping: 24-bit rows, bottom
// up, each padded to four bytes, as a BMP file holds them. The program
// paints what is due and reads its own window back from what it drew, so a
// capture does not depend on which windows cover it on the screen.
const DWORD kProbeCaptureBytes = 4 * 1024 * 1024;

struct ProbeMenuItem {
    UINT id;
    UINT type;        // MFT_ flags; MFT_SEPARATOR for a separator
    char text[128];
};

struct ProbeReply {
    LONG answered;    // set by the probe when it has run
    LONG hasFont;     // the window answered WM_GETFONT with a font
    LOGFONTA font;
    LONG pending;     // posted and input messages waiting in the thread's queue
    LONG captureWidth, captureHeight;  // 0 when the capture failed
    LONG menuItems;   // -1 when the window has no system menu
    ProbeMenuItem menu[40];
};
