// Helpers of the install tests: message boxes closed as a user would, the
// printer-installer stand-in's command log and its delay.
#pragma once
#include "test_support.h"
#include <windows.h>
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace test {

// Watches this process for message boxes while it lives, records each
// one's text (as the bytes the ANSI API gives back) and caption, and
// presses OK. A box is recorded before it is closed, so once the code that
// showed it has returned, it is among the boxes.
class MessageBoxCloser {
public:
    using Box = MessageBoxSeen;
    MessageBoxCloser();
    ~MessageBoxCloser();
    std::vector<Box> Boxes();

private:
    void Watch();
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<Box> boxes_;
    std::thread thread_;
};

// Command lines the stand-in received, one a line ("C:\printui.log").
std::vector<std::string> PrintUiCommands();
// Waits up to `timeoutMs` for the log to hold `count` lines.
std::vector<std::string> WaitForPrintUiCommands(size_t count, DWORD timeoutMs);

// WM_QUIT messages waiting in this thread's queue for `window` (null: for
// the thread), taken out of the queue.
int TakeQuitMessages(HWND window);

}  // namespace test
