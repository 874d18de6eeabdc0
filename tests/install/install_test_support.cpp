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

namespace {
struct Search {
    HWND box = nullptr;
};
BOOL CALLBACK FindBox(HWND w, LPARAM p) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    char cls[32] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (pid == GetCurrentProcessId() && IsWindowVisible(w) && lstrcmpA(cls, "#32770") == 0) {
        reinterpret_cast<Search*>(p)->box = w;
        return FALSE;
    }
    return TRUE;
}
BOOL CALLBACK FindText(HWND w, LPARAM p) {
    char cls[32] = {};
    GetClassNameA(w, cls, sizeof cls);
    char text[2048] = {};
    if (lstrcmpiA(cls, "Static") == 0 && GetWindowTextA(w, text, sizeof text) > 0) {
        *reinterpret_cast<std::string*>(p) = text;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

void MessageBoxCloser::Watch() {
    while (!stop_) {
        Search search;
        EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
        if (search.box) {
            Box box;
            char caption[512] = {};
            GetWindowTextA(search.box, caption, sizeof caption);
            box.caption = caption;
            EnumChildWindows(search.box, FindText, reinterpret_cast<LPARAM>(&box.text));
            {
                std::lock_guard<std::mutex> lock(mutex_);
                boxes_.push_back(box);
            }
            SendMessageA(search.box, WM_COMMAND, IDOK, 0);
            // Until the box is gone, so that it is recorded once.
            for (int i = 0; i < 200 && IsWindow(search.box) && IsWindowVisible(search.box); ++i) Sleep(10);
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
    DWORD start = GetTickCount();
    std::vector<std::string> lines = PrintUiCommands();
    while (lines.size() < count && GetTickCount() - start < timeoutMs) {
        Sleep(50);
        lines = PrintUiCommands();
    }
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
