#include "install_test_support.h"
#include "test_support.h"

namespace test {

MessageBoxCloser::MessageBoxCloser() : thread_(&MessageBoxCloser::Watch, this) {}

MessageBoxCloser::~MessageBoxCloser() {
    stop_ = true;
    thread_.join();
}

std::vector<MessageBoxCloser::Box> MessageBoxCloser::Boxes() {
    std::lock_guard<std::mutex> lock(mutex_);
    return boxes_;
}

void MessageBoxCloser::Watch() {
    while (!stop_) {
        if (HWND box = FindProcessWindow(GetCurrentProcessId(), "#32770", IsMessageBox)) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                boxes_.push_back(ReadMessageBox(box));
            }
            SendMessageA(box, WM_COMMAND, IDOK, 0);
            // Until the box is gone, so that it is recorded once.
            WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 2000);
        }
        Sleep(20);
    }
}

std::vector<std::string> PrintUiCommands() {
    std::vector<std::string> lines;
    std::string log = ReadFileBytes("C:\\printui.log");
    size_t start = 0;
    while (start < log.size()) {
        size_t end = log.find('\n', start);
        if (end == std::string::npos) end = log.size();
        lines.push_back(log.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::vector<std::string> WaitForPrintUiCommands(size_t count, DWORD timeoutMs) {
    std::vector<std::string> lines;
    WaitUntil([&] { return (lines = PrintUiCommands()).size() >= count; }, timeoutMs);
    return lines;
}

int TakeQuitMessages(HWND window) {
    int count = 0;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        if (msg.hwnd == window) ++count;
    return count;
}

}  // namespace test
