// The window framework under the real Win32 API: the modal loop and its
// results, message maps, data exchange, a handler's exception and the wait
// cursor.
#include "framework/controls.h"
#include "framework/dialog.h"
#include "framework/file_exception.h"
#include "framework/wait_cursor.h"
#include "framework/winapp.h"
#include "modal_script.h"
#include "resources/resource.h"
#include <gtest/gtest.h>
#include <set>
#include <thread>

using wiz::RunModal;

namespace {

// A top-level window that hosts child-dialog templates in these tests.
struct HostWindow : CWnd {
    HostWindow() {
        m_hWnd = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr,
                                 nullptr, nullptr, nullptr);
    }
    ~HostWindow() override { ::DestroyWindow(m_hWnd); m_hWnd = nullptr; }
};

TEST(ModalLoop, EndsWithTheResultOfEndDialogAndDestroysTheWindow) {
    CDialog dialog(IDD_ABOUT);
    HWND seen = nullptr;
    INT_PTR result = RunModal(dialog, {
        [&] {
            seen = dialog.m_hWnd;
            EXPECT_TRUE(IsWindowVisible(seen)) << "a modal dialog is shown though its template is not visible";
            dialog.EndDialog(4711);
        },
    });
    EXPECT_EQ(result, 4711);
    EXPECT_NE(seen, nullptr);
    EXPECT_FALSE(IsWindow(seen));
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST(ModalLoop, OkAndEscapeUseTheDialogDefaults) {
    CDialog ok(IDD_ABOUT);
    EXPECT_EQ(RunModal(ok, {[&] { wiz::Click(ok.m_hWnd, IDOK); }}), IDOK);

    CDialog escape(IDD_ABOUT);
    EXPECT_EQ(RunModal(escape, {[&] {
        HWND button = GetDlgItem(escape.m_hWnd, IDOK);
        SetFocus(button);
        PostMessageA(button, WM_KEYDOWN, VK_ESCAPE, 0);
    }}), IDCANCEL);
}

BOOL CALLBACK FirstVisibleWindow(HWND w, LPARAM found) {
    if (!IsWindowVisible(w)) return TRUE;
    *reinterpret_cast<HWND*>(found) = w;
    return FALSE;
}

// Another thread or process ends the dialog through a sent message, as UI
// automation does; nothing else arrives to wake the loop afterwards.
TEST(ModalLoop, EndsAtOnceWhenEndedFromASentMessage) {
    CDialog dialog(IDD_ABOUT);
    const DWORD uiThread = GetCurrentThreadId();
    volatile DWORD sentAt = 0;
    std::thread other([&] {
        HWND shown = nullptr;
        for (int i = 0; i < 500 && !shown; ++i, Sleep(10))
            EnumThreadWindows(uiThread, FirstVisibleWindow, reinterpret_cast<LPARAM>(&shown));
        if (!shown) return;
        // Let the loop go idle: no call tells from another thread that a
        // loop waits with nothing queued; by then it has painted and waits.
        Sleep(200);
        SendMessageA(shown, WM_COMMAND, IDOK, 0);
        sentAt = GetTickCount();
        // Until the dialog is gone, or long enough for the check below to fail.
        for (int i = 0; i < 300 && IsWindow(shown); ++i) Sleep(10);
        PostMessageA(shown, WM_NULL, 0, 0);  // unblocks a loop that missed the end
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    DWORD ended = GetTickCount();
    other.join();
    ASSERT_NE(sentAt, 0u);
    EXPECT_LT(ended - sentAt, 1000u);
}

TEST(ModalLoop, QuitMessageEndsWithMinusOneAndIsPostedAgain) {
    CDialog dialog(IDD_ABOUT);
    EXPECT_EQ(RunModal(dialog, {[] { PostQuitMessage(7); }}), -1);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit was swallowed";
    EXPECT_EQ(msg.wParam, 7u);

    // A quit posted to the dialog window itself, as the install does.
    CDialog posted(IDD_ABOUT);
    EXPECT_EQ(RunModal(posted, {[&] { PostMessageA(posted.m_hWnd, WM_QUIT, 0, 0); }}), -1);
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
}

// Opens a second modal dialog from a command, as the about box is opened.
class OuterDialog : public CDialog {
public:
    OuterDialog() : CDialog(IDD_ABOUT) {}
    static const int kOpenInner = 4000;
    CDialog inner{IDD_ABOUT};
    INT_PTR innerResult = 0;
    bool ownerDisabledMeanwhile = false;

protected:
    void OnOpenInner() { innerResult = inner.DoModal(); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(OuterDialog, CDialog)
    ON_COMMAND(kOpenInner, OnOpenInner)
END_MESSAGE_MAP()

TEST(ModalLoop, NestedDialogDisablesItsOwnerAndAQuitEndsBothLoops) {
    OuterDialog outer;
    AfxGetApp()->m_pMainWnd = &outer;   // a dialog without parent is owned by the main window
    INT_PTR result = RunModal(outer, {
        [&] { PostMessageA(outer.m_hWnd, WM_COMMAND, OuterDialog::kOpenInner, 0); },
        [&] {
            ASSERT_TRUE(outer.inner.m_hWnd);
            EXPECT_EQ(GetWindow(outer.inner.m_hWnd, GW_OWNER), outer.m_hWnd);
            outer.ownerDisabledMeanwhile = !IsWindowEnabled(outer.m_hWnd);
            PostQuitMessage(0);
        },
    });
    AfxGetApp()->m_pMainWnd = nullptr;
    EXPECT_EQ(outer.innerResult, -1);
    EXPECT_EQ(result, -1);
    EXPECT_TRUE(outer.ownerDisabledMeanwhile);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
}

TEST(ModalLoop, TemplateThatDoesNotExistGivesMinusOne) {
    CDialog dialog(9999);
    EXPECT_EQ(dialog.DoModal(), -1);
}

// ---- message maps ----

class BaseRouted : public CDialog {
public:
    BaseRouted() : CDialog(IDD_ABOUT) {}
    std::string log;

protected:
    void OnFirst() { log += "base-first "; }
    void OnSecond() { log += "base-second "; }
    void OnCancel() override { log += "cancel "; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(BaseRouted, CDialog)
    ON_COMMAND(501, OnFirst)
    ON_COMMAND(502, OnSecond)
END_MESSAGE_MAP()

class DerivedRouted : public BaseRouted {
protected:
    void OnFirst() { log += "derived-first "; }
    void OnSelection() { log += "selchange "; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(DerivedRouted, BaseRouted)
    ON_COMMAND(501, OnFirst)
    ON_LBN_SELCHANGE(503, OnSelection)
END_MESSAGE_MAP()

TEST(MessageMap, MostDerivedEntryWinsAndNotificationCodesMatter) {
    DerivedRouted dialog;
    ASSERT_TRUE(dialog.Create(IDD_ABOUT));
    auto command = [&](int id, int code) {
        SendMessageA(dialog.m_hWnd, WM_COMMAND, MAKEWPARAM(id, code), 0);
    };
    command(501, BN_CLICKED);
    command(502, BN_CLICKED);
    command(503, BN_CLICKED);       // wrong notification: not routed
    command(503, LBN_SELCHANGE);
    command(504, BN_CLICKED);       // no entry anywhere
    command(IDCANCEL, BN_CLICKED);  // reaches the virtual through CDialog's map
    EXPECT_EQ(dialog.log, "derived-first base-second selchange cancel ");
    EXPECT_EQ(CWnd::FromHandle(dialog.m_hWnd), &dialog);
    HWND hwnd = dialog.m_hWnd;
    dialog.DestroyWindow();
    EXPECT_EQ(dialog.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandle(hwnd), nullptr);
}

// ---- data exchange ----

class RadioPage : public CDialog {
public:
    int language = -1, system = -1;
    CButton group;
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, IDC_HEADER_GROUP, group);
        DDX_Radio(dx, IDC_CHINESE, language);
        DDX_Radio(dx, IDC_WIN2000, system);
    }
};

bool Checked(const CWnd& dialog, int id) {
    return SendMessageA(dialog.GetDlgItem(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

TEST(DataExchange, RadioGroupsEndAtTheNextGroup) {
    HostWindow host;
    RadioPage page;
    page.system = 3;
    ASSERT_TRUE(page.Create(IDD_SYSTEM_LANGUAGE, &host));
    // Initialisation moved the members into the controls.
    EXPECT_EQ(page.group.m_hWnd, page.GetDlgItem(IDC_HEADER_GROUP));
    EXPECT_FALSE(Checked(page, IDC_CHINESE));
    EXPECT_FALSE(Checked(page, IDC_ENGLISH));
    for (int id = IDC_WIN2000; id <= IDC_WIN7; ++id) EXPECT_EQ(Checked(page, id), id == IDC_VISTA) << id;

    SendMessageA(page.GetDlgItem(IDC_ENGLISH), BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(page.GetDlgItem(IDC_VISTA), BM_SETCHECK, BST_UNCHECKED, 0);
    page.UpdateData(true);
    EXPECT_EQ(page.language, 1);
    EXPECT_EQ(page.system, -1);

    page.language = 0;
    page.system = 4;
    page.UpdateData(false);
    EXPECT_TRUE(Checked(page, IDC_CHINESE));
    EXPECT_FALSE(Checked(page, IDC_ENGLISH));
    EXPECT_TRUE(Checked(page, IDC_WIN7));
    EXPECT_FALSE(Checked(page, IDC_VISTA));

    page.language = 7;   // no such button: the whole group is cleared
    page.UpdateData(false);
    EXPECT_FALSE(Checked(page, IDC_CHINESE));
    EXPECT_FALSE(Checked(page, IDC_ENGLISH));
    page.DestroyWindow();
}

class CheckAndText : public CDialog {
public:
    int check = 0;
    char text[8] = "abc";
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Check(dx, IDC_DEFAULT_PRINTER, check);
        DDX_Text(dx, IDC_SERIES_NAME, text);
    }
};

TEST(DataExchange, CheckBoxAndBoundedText) {
    HostWindow host;
    CheckAndText page;
    ASSERT_TRUE(page.Create(IDD_PRINTER_SERIES, &host));
    EXPECT_FALSE(Checked(page, IDC_DEFAULT_PRINTER));
    EXPECT_EQ(wiz::WindowText(page.GetDlgItem(IDC_SERIES_NAME)), "abc");

    SendMessageA(page.GetDlgItem(IDC_DEFAULT_PRINTER), BM_SETCHECK, BST_CHECKED, 0);
    std::string longText(5000, 'x');
    SetWindowTextA(page.GetDlgItem(IDC_SERIES_NAME), longText.c_str());
    page.UpdateData(true);
    EXPECT_EQ(page.check, 1);
    EXPECT_EQ(std::string(page.text), "xxxxxxx") << "cut to the buffer";

    page.check = 0;
    page.UpdateData(false);
    EXPECT_FALSE(Checked(page, IDC_DEFAULT_PRINTER));
    page.DestroyWindow();
}

// ---- formatting ----

TEST(AfxFormat, FillsTheBufferToItsLastByteAndNeverCuts) {
    char buffer[8];
    EXPECT_TRUE(AfxFormat(buffer, "%s", "1234567"));
    EXPECT_STREQ(buffer, "1234567");
    for (const char* longer : {"12345678", "123456789"}) {   // the buffer's size exactly, and beyond
        memset(buffer, 'x', sizeof buffer);
        EXPECT_FALSE(AfxFormat(buffer, "%s", longer)) << longer;
        EXPECT_STREQ(buffer, "") << longer;
    }
    EXPECT_FALSE(AfxFormat(static_cast<char*>(buffer), 0, "%s", ""));
    char text[64];
    EXPECT_TRUE(AfxFormat(text, "%d|%u|%lu|%.*s|%s\\%s", -5, 7u, 4000000000ul, 3, "abcdef", "", "x"));
    EXPECT_STREQ(text, "-5|7|4000000000|abc|\\x");
}

// ---- wait cursor ----

TEST(WaitCursor, ShowsTheWaitCursorUntilTheLastEndAndSurvivesExceptions) {
    HCURSOR arrow = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    HCURSOR wait = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT));
    SetCursor(arrow);
    AfxDoWaitCursor(1);
    EXPECT_EQ(GetCursor(), wait);
    try {
        CWaitCursor inner;
        EXPECT_EQ(GetCursor(), wait);
        throw 1;
    } catch (int) {
    }
    EXPECT_EQ(GetCursor(), wait) << "an inner end must not end the outer wait";
    AfxDoWaitCursor(-1);
    EXPECT_EQ(GetCursor(), arrow);
    AfxDoWaitCursor(-1);   // unbalanced: harmless
    EXPECT_EQ(GetCursor(), arrow);
}

}  // namespace
