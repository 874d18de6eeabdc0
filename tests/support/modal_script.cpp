#include "modal_script.h"
#include <gtest/gtest.h>
#include <memory>

namespace wiz {
namespace {
struct Script {
    CDialog* dialog;
    std::vector<Step> steps;
    size_t next = 0;
    int idleTicks = 0;
    bool again = false;   // the step just run is run again on the next tick
};
Script* g_script = nullptr;

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    Script* s = g_script;
    if (!s) return;
    if (s->next < s->steps.size()) {
        // Counted before running: a step that opens a nested modal loop lets
        // the following steps run inside it.
        Step& step = s->steps[s->next++];
        step();
        if (s->again) {
            s->again = false;
            --s->next;
        }
        return;
    }
    if (++s->idleTicks == 250) {
        ADD_FAILURE() << "the dialog did not end after its last step";
        s->dialog->EndDialog(-99);
    }
}
}  // namespace

INT_PTR RunModal(CDialog& dialog, std::vector<Step> steps, UINT tickMs) {
    Script script{&dialog, std::move(steps)};
    Script* outer = g_script;
    g_script = &script;
    UINT_PTR timer = SetTimer(nullptr, 0, tickMs, Tick);
    INT_PTR result = dialog.DoModal();
    KillTimer(nullptr, timer);
    g_script = outer;
    EXPECT_EQ(script.next, script.steps.size()) << "steps left when the dialog ended";
    return result;
}

Step Until(std::function<bool()> done, int ticks) {
    auto left = std::make_shared<int>(ticks);
    return [done, left] {
        if (!done() && --*left > 0) g_script->again = true;
    };
}

void Click(HWND parent, int id) {
    HWND button = GetDlgItem(parent, id);
    ASSERT_TRUE(button) << "no control " << id;
    ASSERT_TRUE(IsWindowEnabled(button)) << "control " << id << " is disabled";
    SendMessageA(button, BM_CLICK, 0, 0);
}

bool IsEnabled(HWND parent, int id) {
    HWND control = GetDlgItem(parent, id);
    return control && IsWindowEnabled(control);
}

std::string WindowText(HWND window) {
    char text[4096] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

static BOOL CALLBACK FindDialog(HWND hwnd, LPARAM found) {
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") == 0 && IsWindowVisible(hwnd) && !CWnd::FromHandle(hwnd)) {
        *reinterpret_cast<HWND*>(found) = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindForeignDialog() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Windows gives the text control of a message box the id 0xFFFF, Wine 100.
std::string MessageBoxText(HWND box) {
    HWND text = GetDlgItem(box, 0xFFFF);
    return WindowText(text ? text : GetDlgItem(box, 100));
}

}  // namespace wiz
