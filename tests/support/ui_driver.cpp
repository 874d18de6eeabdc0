#include "ui_driver.h"
#include "../tools/uidriver/probe_protocol.h"
#include <commctrl.h>
#include <cstdio>
#include <cstring>

namespace ui {

namespace {

// Cross-process messages can block while the program is busy (the install
// runs on its window thread); every read gives up after this long.
const UINT kSendTimeoutMs = 10000;

LRESULT SendTo(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, kSendTimeoutMs, &result))
        return 0;
    return static_cast<LRESULT>(result);
}

bool IsDialog(HWND window) { return ClassName(window) == "#32770"; }

std::string FileBeside(const std::string& module, const char* name) {
    size_t slash = module.find_last_of('\\');
    return slash == std::string::npos ? name : module.substr(0, slash + 1) + name;
}

// The probe DLL: beside the running program (the demo's driver), else in
// the build folder the tests name.
std::string ProbePath() {
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string beside = FileBeside(self, "uiprobe.dll");
    if (GetFileAttributesA(beside.c_str()) != INVALID_FILE_ATTRIBUTES) return beside;
    return test::BuildPath("uidriver\\uiprobe.dll");
}

// Asks the probe inside the window's process; false when it did not answer.
// A capture's pixels come back in *pixels.
bool AskProbe(HWND window, ProbeQuery query, HWND subject, ProbeReply* reply, std::string* pixels = nullptr) {
    static HMODULE probe = LoadLibraryA(ProbePath().c_str());
    if (!probe) return false;
    auto hook = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(probe, "ProbeHook")));
    DWORD processId = 0;
    DWORD threadId = GetWindowThreadProcessId(window, &processId);
    char name[64];
    snprintf(name, sizeof name, kProbeMappingFormat, processId);
    const DWORD size = sizeof(ProbeReply) + kProbeCaptureBytes;
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, name);
    if (!mapping) return false;
    auto* view = static_cast<ProbeReply*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, size));
    bool answered = false;
    if (view) {
        view->answered = 0;
        if (HHOOK handle = hook ? SetWindowsHookExA(WH_CALLWNDPROC, hook, probe, threadId) : nullptr) {
            SendTo(window, RegisterWindowMessageA(kProbeQueryMessage), query, reinterpret_cast<LPARAM>(subject));
            UnhookWindowsHookEx(handle);
            answered = view->answered != 0;
            if (answered) *reply = *view;
            if (answered && pixels && view->captureWidth > 0) {
                size_t bytes = static_cast<size_t>(((view->captureWidth * 3 + 3) & ~3) * view->captureHeight);
                pixels->assign(reinterpret_cast<const char*>(view + 1), bytes);
            }
        }
        UnmapViewOfFile(view);
    }
    CloseHandle(mapping);
    return answered;
}

}  // namespace

// --- Windows of a process ---------------------------------------------------

namespace {
bool IsWizard(HWND window) { return Control(window, 1000) != nullptr; }
}  // namespace

HWND WaitForWizard(const test::Program& program, DWORD timeoutMs) {
    return program.WaitForWindow("#32770", IsWizard, timeoutMs);
}

HWND WaitForDialogWith(const test::Program& program, int controlId, DWORD timeoutMs) {
    return program.WaitForWindow("#32770", [&](HWND w) { return Control(w, controlId) && !IsWizard(w); }, timeoutMs);
}

// --- Reading ----------------------------------------------------------------

std::string ClassName(HWND window) {
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string Text(HWND window) {
    if (!window) return "";
    LRESULT length = SendTo(window, WM_GETTEXTLENGTH, 0, 0);
    std::vector<char> text(static_cast<size_t>(length) + 2, '\0');
    LRESULT got = SendTo(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    return std::string(text.data(), static_cast<size_t>(got));
}

HWND Control(HWND dialog, int id) { return dialog ? GetDlgItem(dialog, id) : nullptr; }

std::string ControlText(HWND dialog, int id) { return Text(Control(dialog, id)); }

bool IsEnabled(HWND dialog, int id) {
    HWND control = Control(dialog, id);
    return control && IsWindowEnabled(control);
}

bool IsShown(HWND dialog, int id) {
    HWND control = Control(dialog, id);
    return control && IsWindowVisible(control);
}

int CheckState(HWND dialog, int id) {
    HWND control = Control(dialog, id);
    return control ? static_cast<int>(SendTo(control, BM_GETCHECK, 0, 0)) : -1;
}

std::vector<std::string> ListRows(HWND dialog, int id) {
    std::vector<std::string> rows;
    HWND list = Control(dialog, id);
    if (!list) return rows;
    LRESULT count = SendTo(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        // LB_GETTEXT takes no buffer size: room for the longest the length
        // could mean. Wine hands an ANSI caller in another process the
        // row's Unicode text unconverted, so ask for Unicode and convert
        // it with the code page the program itself would have used.
        LRESULT length = SendTo(list, LB_GETTEXTLEN, i, 0);
        std::vector<WCHAR> wide(static_cast<size_t>(length > 0 ? length : 0) + 1024, L'\0');
        DWORD_PTR got = 0;
        if (!SendMessageTimeoutW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide.data()), SMTO_NORMAL,
                                 kSendTimeoutMs, &got))
            got = 0;
        int chars = static_cast<int>(wcsnlen(wide.data(), wide.size()));
        std::string row(static_cast<size_t>(chars) * 2, '\0');
        int bytes = chars ? WideCharToMultiByte(CP_ACP, 0, wide.data(), chars, &row[0], static_cast<int>(row.size()),
                                                nullptr, nullptr)
                          : 0;
        row.resize(bytes > 0 ? static_cast<size_t>(bytes) : 0);
        rows.push_back(row);
    }
    return rows;
}

int ListSelection(HWND dialog, int id) {
    HWND list = Control(dialog, id);
    return list ? static_cast<int>(SendTo(list, LB_GETCURSEL, 0, 0)) : -2;
}

int ProgressPosition(HWND dialog, int id) {
    HWND bar = Control(dialog, id);
    return bar ? static_cast<int>(SendTo(bar, PBM_GETPOS, 0, 0)) : -1;
}

RECT ScreenRect(HWND window) {
    RECT r = {};
    GetWindowRect(window, &r);
    return r;
}

POINT ClientOrigin(HWND window) {
    POINT p = {0, 0};
    ClientToScreen(window, &p);
    return p;
}

HWND ShownPage(HWND wizard) {
    for (HWND child = GetWindow(wizard, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (IsDialog(child) && IsWindowVisible(child)) return child;
    return nullptr;
}

int PageId(HWND page) {
    if (!page) return 0;
    if (Control(page, 1042)) return kWelcomePage;
    if (Control(page, 1037)) return kSystemLanguagePage;
    if (Control(page, 1006)) return kSeriesPage;
    if (Control(page, 1035)) return kInstallPage;
    return 0;
}

int ShownPageId(HWND wizard) { return PageId(ShownPage(wizard)); }

HWND WaitForPage(HWND wizard, int pageId, DWORD timeoutMs) {
    HWND page = nullptr;
    test::WaitUntil([&] {
        page = ShownPage(wizard);
        return PageId(page) == pageId;
    }, timeoutMs);
    return PageId(page) == pageId ? page : nullptr;
}

// --- Through the probe ------------------------------------------------------

Font ControlFont(HWND control) {
    Font font;
    ProbeReply reply;
    if (control && AskProbe(control, kProbeFont, control, &reply) && reply.hasFont) {
        font.known = true;
        font.face = reply.font.lfFaceName;
        font.height = reply.font.lfHeight;
        font.weight = reply.font.lfWeight;
        font.charset = reply.font.lfCharSet;
    }
    return font;
}

std::vector<MenuItem> SystemMenu(HWND window) {
    std::vector<MenuItem> items;
    ProbeReply reply;
    if (!window || !AskProbe(window, kProbeSystemMenu, window, &reply)) return items;
    int count = reply.menuItems;
    int limit = static_cast<int>(sizeof reply.menu / sizeof reply.menu[0]);
    for (int i = 0; i < count && i < limit; ++i) {
        MenuItem item;
        item.id = reply.menu[i].id;
        item.separator = (reply.menu[i].type & MFT_SEPARATOR) != 0;
        item.text.assign(reply.menu[i].text, strnlen(reply.menu[i].text, sizeof reply.menu[i].text));
        items.push_back(item);
    }
    return items;
}

// --- Acting -----------------------------------------------------------------

// Posted, as a user's mouse clicks are: a modal loop that ends on a click
// sees it end only after a posted message.
void Click(HWND dialog, int id) {
    if (HWND button = Control(dialog, id)) PostMessageA(button, BM_CLICK, 0, 0);
}

void SelectListRow(HWND dialog, int listId, int row) {
    HWND list = Control(dialog, listId);
    if (!list) return;
    SendTo(list, LB_SETCURSEL, row, 0);
    // LB_SETCURSEL notifies nobody; the list would send this on a user's click.
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(listId, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

void PostCommand(HWND window, int id) { PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

void PostSystemCommand(HWND window, WPARAM command) { PostMessageA(window, WM_SYSCOMMAND, command, 0); }

void PressKey(HWND control, UINT virtualKey) {
    UINT scan = MapVirtualKeyA(virtualKey, 0);
    PostMessageA(control, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
    PostMessageA(control, WM_KEYUP, virtualKey, 1 | (scan << 16) | 0xC0000000u);
}

bool Settle(HWND window, DWORD timeoutMs) {
    // Done when nothing posted is left in the window thread's queue; while
    // the thread is busy (an install) the question waits or times out.
    return test::WaitUntil([&] {
        ProbeReply reply;
        return !IsWindow(window) || (AskProbe(window, kProbeQueue, window, &reply) && !reply.pending);
    }, timeoutMs);
}

// --- Pictures ---------------------------------------------------------------

std::string SaveScreenshot(HWND window, const std::string& pathWithoutExtension) {
    ProbeReply reply;
    std::string pixels;
    if (!AskProbe(window, kProbeCapture, window, &reply, &pixels) || pixels.empty()) return "";
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = reply.captureWidth;
    header.biHeight = reply.captureHeight;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
    std::string bmp = pathWithoutExtension + ".bmp";
    FILE* out = fopen(bmp.c_str(), "wb");
    if (!out) return "";
    bool ok = fwrite(&file, sizeof file, 1, out) == 1 && fwrite(&header, sizeof header, 1, out) == 1 &&
              fwrite(pixels.data(), pixels.size(), 1, out) == 1;
    if (fclose(out) != 0 || !ok) return "";
    // Under Wine a Linux program can be started like a Windows one: let
    // ImageMagick make the PNG a person can open anywhere. Wine gives no
    // handle to wait on for it, so the PNG appears whole (renamed into
    // place) a moment later and the BMP goes then.
    const char* shell = "Z:\\bin\\sh";
    std::string unixBmp = test::LinuxPath(bmp), unixPng = test::LinuxPath(pathWithoutExtension + ".png");
    if (GetFileAttributesA(shell) == INVALID_FILE_ATTRIBUTES || unixBmp.empty() || unixPng.empty()) return bmp;
    std::string script = "convert '" + unixBmp + "' 'png:" + unixPng + ".part' && mv '" + unixPng + ".part' '" +
                         unixPng + "' && rm '" + unixBmp + "'";
    test::Program converter(std::string(shell) + " -c \"" + script + "\"");
    return bmp;
}

}  // namespace ui
