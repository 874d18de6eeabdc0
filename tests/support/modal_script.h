// Drives a modal dialog from inside its own message loop: a thread timer
// runs one scripted step per tick, as a user acting on the window would.
#pragma once
#include "framework/dialog.h"
#include <functional>
#include <string>
#include <vector>

namespace wiz {

using Step = std::function<void()>;

// Runs `dialog` modally and its steps one per tick; returns DoModal's result.
// A dialog still open a while after the last step is ended with -99 and the
// test fails, so a broken loop cannot hang the suite.
INT_PTR RunModal(CDialog& dialog, std::vector<Step> steps, UINT tickMs = 20);
// A step that holds the script, checking once a tick, until `done` holds or
// `ticks` ticks have passed.
Step Until(std::function<bool()> done, int ticks);

// Presses a button the way a user does; fails the test when it is disabled.
void Click(HWND parent, int id);
bool IsEnabled(HWND parent, int id);
std::string WindowText(HWND window);

// A message box (or other dialog not of the program) open on this thread.
HWND FindForeignDialog();
// The message text of a message box.
std::string MessageBoxText(HWND box);

}  // namespace wiz
