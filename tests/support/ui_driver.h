// Drives a program's windows from another process, the way UI-automation
// tools do: windows are found by process and control identifier, read with
// window messages (texts as the program's own bytes), and acted on with the
// messages a user's clicks and keys would produce. Fonts and the system menu
// are read, and windows captured, through a probe that a hook loads into the
// program (see tests/tools/uidriver/probe_protocol.h). Programs are started
// and their message boxes found with test::Program.
#pragma once
#include "test_support.h"
#include <windows.h>
#include <string>
#include <vector>

namespace ui {

// Identifiers of the wizard's pages (their dialog templates).
const int kWelcomePage = 138;
const int kSystemLanguagePage = 137;
const int kSeriesPage = 143;
const int kInstallPage = 140;

// --- Windows of a process -------------------------------------------------

// The wizard frame: a visible top-level dialog with the page area 1000.
HWND WaitForWizard(const test::Program& program, DWORD timeoutMs = 20000);
// A visible top-level dialog holding the given control, other than the wizard.
HWND WaitForDialogWith(const test::Program& program, int controlId, DWORD timeoutMs);

// --- Reading ----------------------------------------------------------------

std::string ClassName(HWND window);
// The window's text as the program's bytes (WM_GETTEXT); "" for no window.
std::string Text(HWND window);
HWND Control(HWND dialog, int id);
std::string ControlText(HWND dialog, int id);
bool IsEnabled(HWND dialog, int id);
bool IsShown(HWND dialog, int id);
int CheckState(HWND dialog, int id);                 // BM_GETCHECK; -1 no control
std::vector<std::string> ListRows(HWND dialog, int id);
int ListSelection(HWND dialog, int id);              // LB_GETCURSEL
int ProgressPosition(HWND dialog, int id);           // PBM_GETPOS; -1 no control
// The window rectangle of a window, in screen coordinates.
RECT ScreenRect(HWND window);
// Origin of a window's client area, in screen coordinates.
POINT ClientOrigin(HWND window);

// The wizard's page that is shown: its visible child dialog.
HWND ShownPage(HWND wizard);
// Which page a page window is, told by its controls; 0 when unknown.
int PageId(HWND page);
int ShownPageId(HWND wizard);
// Waits until the wizard shows the page; returns it, or null on timeout.
HWND WaitForPage(HWND wizard, int pageId, DWORD timeoutMs = 5000);

// --- Through the probe ----------------------------------------------------

struct Font {
    bool known = false;   // the control has a font and the probe could read it
    std::string face;
    int height = 0;
    int weight = 0;
    int charset = 0;
};
Font ControlFont(HWND control);

struct MenuItem {
    UINT id = 0;
    bool separator = false;
    std::string text;
};
// The items of a window's system menu; empty when it has none.
std::vector<MenuItem> SystemMenu(HWND window);

// --- Acting ---------------------------------------------------------------
// Each action is posted, as input is, without waiting for its effect, so
// that a click that opens a modal box does not block the driver; Settle then
// waits until the program has handled it (or sits in a nested modal loop).

void Click(HWND dialog, int id);                        // BM_CLICK
void SelectListRow(HWND dialog, int listId, int row);   // LB_SETCURSEL, then LBN_SELCHANGE
void PostCommand(HWND window, int id);                  // WM_COMMAND, as IDCANCEL from Esc
void PostSystemCommand(HWND window, WPARAM command);    // WM_SYSCOMMAND
// A key pressed while the control has the focus (WM_KEYDOWN, WM_KEYUP).
void PressKey(HWND control, UINT virtualKey);
// Waits until the window's thread has handled what was posted to it.
bool Settle(HWND window, DWORD timeoutMs = 10000);

// --- Pictures ---------------------------------------------------------------

// Captures the window as the program drew it, once it has painted what was
// due (through the probe, so other windows on the screen do not matter),
// into path + ".bmp"; under Wine, ImageMagick turns it into path + ".png" a
// moment later. Returns the BMP's path, or "" on failure.
std::string SaveScreenshot(HWND window, const std::string& pathWithoutExtension);

}  // namespace ui
