// The wizard frame: page order, lazy page creation, button states, the
// modal results and the page hooks.
#include "wizard_fixture.h"
#include <gtest/gtest.h>

using wiz::Click;
using wiz::RunModal;
using wiz::Wizard;

namespace {

int VisiblePages(const WizardFrameDialog& frame) {
    int n = 0;
    for (int i = 0; i < frame.PageCount(); ++i)
        if (frame.Page(i)->m_hWnd && IsWindowVisible(frame.Page(i)->m_hWnd)) ++n;
    return n;
}

TEST(Frame, ButtonStatesThroughTheWholeWizard) {
    Wizard w;
    std::vector<std::string> states;
    auto record = [&] {
        states.push_back(std::to_string(w.activeId()) + " " + w.buttons());
        EXPECT_EQ(VisiblePages(w.dialog), 1);
    };
    INT_PTR result = RunModal(w.dialog, {
        record,
        [&] { Click(w.frame(), IDC_NEXT); record(); },
        [&] { Click(w.frame(), IDC_NEXT); record(); },
        [&] { w.SelectSeries(); record(); },
        [&] { Click(w.frame(), IDC_NEXT); record(); },
        [&] { Click(w.frame(), IDC_BACK); record(); },
        [&] { Click(w.frame(), IDC_BACK); record(); },
        [&] { Click(w.frame(), IDC_BACK); record(); },
        [&] { Click(w.frame(), IDC_CANCEL_BUTTON); },
    });
    EXPECT_EQ(result, IDCANCEL);
    std::vector<std::string> expected = {
        "138 B- N+ F-",   // opened on the welcome page
        "137 B+ N+ F-",
        "143 B+ N- F-",   // series page, nothing selected yet
        "143 B+ N+ F-",
        "140 B+ N- F+",   // last page
        "143 B+ N+ F+",   // Back does not disable Finish
        "137 B+ N+ F+",
        "138 B- N+ F-",   // first page
    };
    EXPECT_EQ(states, expected);
}

TEST(Frame, PagesAreCreatedOnceAndKeepTheirState) {
    Wizard w;
    HWND firstVisit = nullptr;
    INT_PTR result = RunModal(w.dialog, {
        [&] {
            EXPECT_TRUE(w.welcome.created);
            EXPECT_FALSE(w.language.created);
            EXPECT_FALSE(w.series.created);
            Click(w.frame(), IDC_NEXT);
        },
        [&] { Click(w.frame(), IDC_NEXT); },
        [&] {
            firstVisit = w.series.m_hWnd;
            EXPECT_EQ(GetParent(firstVisit), w.frame());
            EXPECT_FALSE(w.install.created);
            Click(w.frame(), IDC_BACK);
        },
        [&] {
            EXPECT_TRUE(w.series.created);
            EXPECT_FALSE(IsWindowVisible(w.series.m_hWnd)) << "leaving only hides a page";
            Click(w.frame(), IDC_NEXT);
        },
        [&] {
            EXPECT_EQ(w.series.m_hWnd, firstVisit);
            EXPECT_EQ(SendMessageA(w.series.GetDlgItem(IDC_SERIES_LIST), LB_GETCOUNT, 0, 0), 1)
                << "the row is added once";
            // Back enabled Next and the page does not look at its selection again.
            EXPECT_EQ(w.buttons(), "B+ N+ F-");
            Click(w.frame(), IDC_NEXT);
        },
        [&] {
            EXPECT_EQ(w.activeId(), IDD_INSTALL);
            Click(w.frame(), IDC_FINISH);
        },
    });
    EXPECT_EQ(result, IDC_FINISH);
    EXPECT_EQ(w.install.installs, 0) << "Finish before the timer ends the wizard without installing";
    EXPECT_FALSE(IsWindow(firstVisit));
    for (int i = 0; i < w.dialog.PageCount(); ++i) {
        WizardPage* page = w.dialog.Page(i);
        EXPECT_FALSE(page->created);
        EXPECT_FALSE(page->active);
        EXPECT_EQ(page->m_hWnd, nullptr);
    }
}

TEST(Frame, TheSameWizardRunsAgainWithNewWindows) {
    Wizard w;
    auto toInstall = [&] {
        Click(w.frame(), IDC_NEXT);
        Click(w.frame(), IDC_NEXT);
        w.SelectSeries();
        Click(w.frame(), IDC_NEXT);
    };
    HWND firstProgress = nullptr;
    EXPECT_EQ(RunModal(w.dialog, {toInstall, [&] {
        firstProgress = w.install.progress.m_hWnd;
        Click(w.frame(), IDC_FINISH);
    }}), IDC_FINISH);
    EXPECT_EQ(RunModal(w.dialog, {
        [&] { EXPECT_EQ(w.buttons(), "B- N+ F-"); toInstall(); },
        [&] {
            EXPECT_NE(w.install.progress.m_hWnd, firstProgress);
            EXPECT_EQ(w.install.progress.m_hWnd, w.install.GetDlgItem(IDC_PROGRESS));
            Click(w.frame(), IDC_CANCEL_BUTTON);
        },
    }), IDCANCEL);
}

TEST(Frame, PagesSitAtThePageAreaAndAreEnabled) {
    Wizard w;
    RunModal(w.dialog, {[&] {
        RECT area, page;
        GetWindowRect(w.dialog.GetDlgItem(IDC_PAGE_AREA), &area);
        GetWindowRect(w.welcome.m_hWnd, &page);
        EXPECT_EQ(page.left, area.left);
        EXPECT_EQ(page.top, area.top);
        EXPECT_TRUE(IsWindowEnabled(w.welcome.m_hWnd));
        EXPECT_TRUE(GetWindowLongA(w.frame(), GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
        EXPECT_TRUE(GetWindowLongA(w.frame(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
        Click(w.frame(), IDC_CANCEL_BUTTON);
    }});
}

// Each way of ending the wizard, on a fresh wizard.
struct EndCase {
    const char* name;
    std::function<void(Wizard&)> action;
    INT_PTR expected;
};

TEST(Frame, ModalResults) {
    const EndCase cases[] = {
        {"Cancel button", [](Wizard& w) { Click(w.frame(), IDC_CANCEL_BUTTON); }, IDCANCEL},
        {"close box", [](Wizard& w) { PostMessageA(w.frame(), WM_CLOSE, 0, 0); }, IDCANCEL},
        {"system menu Close", [](Wizard& w) { PostMessageA(w.frame(), WM_SYSCOMMAND, SC_CLOSE, 0); }, IDCANCEL},
        {"Esc on a frame button", [](Wizard& w) {
             HWND next = w.dialog.GetDlgItem(IDC_NEXT);
             SetFocus(next);
             PostMessageA(next, WM_KEYDOWN, VK_ESCAPE, 0);
         }, IDCANCEL},
        {"quit message", [](Wizard& w) { PostMessageA(w.frame(), WM_QUIT, 0, 0); }, -1},
        {"Finish on the last page", [](Wizard& w) {
             Click(w.frame(), IDC_NEXT);
             Click(w.frame(), IDC_NEXT);
             w.SelectSeries();
             Click(w.frame(), IDC_NEXT);
             Click(w.frame(), IDC_FINISH);
         }, IDC_FINISH},
    };
    for (const EndCase& c : cases) {
        Wizard w;
        EXPECT_EQ(RunModal(w.dialog, {[&] { c.action(w); }}), c.expected) << c.name;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
    }
}

TEST(Frame, CancelAndOkReachingAPageChangeNothing) {
    Wizard w;
    RunModal(w.dialog, {
        [&] { Click(w.frame(), IDC_NEXT); },
        [&] {
            SendMessageA(w.language.m_hWnd, WM_COMMAND, IDCANCEL, 0);
            SendMessageA(w.language.m_hWnd, WM_COMMAND, IDOK, 0);
            // Esc and Enter with the focus inside the page.
            HWND radio = w.language.GetDlgItem(IDC_ENGLISH);
            SetFocus(radio);
            PostMessageA(radio, WM_KEYDOWN, VK_ESCAPE, 0);
            PostMessageA(radio, WM_KEYDOWN, VK_RETURN, 0);
        },
        [&] {
            EXPECT_TRUE(IsWindowVisible(w.language.m_hWnd));
            EXPECT_TRUE(IsWindowVisible(w.frame()));
            EXPECT_EQ(w.activeId(), IDD_SYSTEM_LANGUAGE);
            Click(w.frame(), IDC_CANCEL_BUTTON);
        },
    });
}

TEST(Frame, SinglePageWizardOffersFinishOnly) {
    SetupDialog dialog;
    WelcomePage welcome;
    dialog.AddPage(&welcome, IDD_WELCOME);
    std::string buttons;
    INT_PTR result = RunModal(dialog, {[&] {
        buttons = std::string(wiz::IsEnabled(dialog.m_hWnd, IDC_BACK) ? "B+" : "B-") +
                  (wiz::IsEnabled(dialog.m_hWnd, IDC_NEXT) ? " N+" : " N-") +
                  (wiz::IsEnabled(dialog.m_hWnd, IDC_FINISH) ? " F+" : " F-");
        SendMessageA(dialog.m_hWnd, WM_COMMAND, IDC_NEXT, 0);   // ignored: no next page
        SendMessageA(dialog.m_hWnd, WM_COMMAND, IDC_BACK, 0);   // ignored: no previous page
        EXPECT_EQ(dialog.GetActivePage(), &welcome);
        Click(dialog.m_hWnd, IDC_FINISH);
    }});
    EXPECT_EQ(buttons, "B- N- F+");
    EXPECT_EQ(result, IDC_FINISH);
}

TEST(Frame, PagesBeyondItsBoundAreLeftOut) {
    SetupDialog dialog;
    WelcomePage pages[WizardFrameDialog::kMaxPages + 1];
    for (WelcomePage& page : pages) dialog.AddPage(&page, 4242);
    EXPECT_EQ(dialog.PageCount(), WizardFrameDialog::kMaxPages);
    EXPECT_EQ(dialog.GetLastPage(), &pages[WizardFrameDialog::kMaxPages - 1]);
    EXPECT_EQ(dialog.Page(WizardFrameDialog::kMaxPages), nullptr);
    EXPECT_EQ(pages[WizardFrameDialog::kMaxPages].templateId, IDD_WELCOME) << "the page left out is untouched";
}

// A page whose hooks the test sets.
class HookPage : public WizardPage {
public:
    explicit HookPage(int id) : WizardPage(id) {}
    bool leave = true, cancel = true, finish = true, create = true;
    int back = 0, next = 0;
    std::string* log = nullptr;
    bool OnPageCreate() override { Log("create"); return create; }
    void OnPageDestroy() override { Log("destroy"); }
    bool OnPageLeave() override { Log("leave"); return leave; }
    void OnPageEnter() override { Log("enter"); }
    bool OnCancelQuery() override { return cancel; }
    int OnBackTarget() override { return back; }
    int OnNextTarget() override { return next; }
    bool OnFinishQuery() override { return finish; }

private:
    void Log(const char* what) {
        if (log) *log += std::to_string(templateId) + ":" + what + " ";
    }
};

TEST(Frame, PageHooksVetoAndChooseTargets) {
    std::string log;
    SetupDialog dialog;
    HookPage a(IDD_WELCOME), b(IDD_SYSTEM_LANGUAGE), c(IDD_PRINTER_SERIES), missing(IDD_WELCOME);
    for (HookPage* p : {&a, &b, &c, &missing}) p->log = &log;
    dialog.AddPage(&a, IDD_WELCOME);
    dialog.AddPage(&b, IDD_SYSTEM_LANGUAGE);
    dialog.AddPage(&c, IDD_PRINTER_SERIES);
    dialog.AddPage(&missing, 9999);   // its template does not exist
    auto active = [&] { return dialog.GetActivePage(); };
    auto command = [&](int id) { SendMessageA(dialog.m_hWnd, WM_COMMAND, id, 0); };
    INT_PTR result = RunModal(dialog, {
        [&] {
            EXPECT_EQ(log, "138:create 138:enter ");
            a.next = IDD_PRINTER_SERIES;          // jump over 137
            command(IDC_NEXT);
            EXPECT_EQ(active(), &c);
            EXPECT_FALSE(b.created);
            c.back = -1;                          // stay
            command(IDC_BACK);
            EXPECT_EQ(active(), &c);
            c.back = 4242;                        // names no page
            command(IDC_BACK);
            EXPECT_EQ(active(), &c);
            c.leave = false;                      // vetoes leaving and Finish
            command(IDC_BACK);
            command(IDC_FINISH);
            EXPECT_EQ(active(), &c);
            c.leave = true;
            log.clear();
            // The next page cannot be made: nothing changes.
            std::string before = std::to_string(IsWindowEnabled(dialog.GetDlgItem(IDC_BACK))) +
                                 std::to_string(IsWindowEnabled(dialog.GetDlgItem(IDC_NEXT)));
            command(IDC_NEXT);
            EXPECT_EQ(active(), &c);
            EXPECT_TRUE(IsWindowVisible(c.m_hWnd));
            EXPECT_EQ(std::to_string(IsWindowEnabled(dialog.GetDlgItem(IDC_BACK))) +
                          std::to_string(IsWindowEnabled(dialog.GetDlgItem(IDC_NEXT))), before);
            EXPECT_EQ(log, "");
            a.finish = false;                     // any created page may veto Finish
            command(IDC_FINISH);
            EXPECT_TRUE(IsWindow(dialog.m_hWnd));
            a.finish = true;
            b.cancel = false;                     // a page never created is not asked
            c.cancel = false;
            command(IDCANCEL);
            EXPECT_EQ(active(), &c);
            c.cancel = true;
            log.clear();
            command(IDC_CANCEL_BUTTON);
        },
    });
    EXPECT_EQ(result, IDCANCEL);
    // Created pages are destroyed in list order when the frame goes.
    EXPECT_EQ(log, "138:leave 138:destroy 143:leave 143:destroy ");
}

TEST(Frame, PageWhoseCreateHookFailsIsNotShown) {
    SetupDialog dialog;
    HookPage a(IDD_WELCOME), b(IDD_SYSTEM_LANGUAGE);
    b.create = false;
    dialog.AddPage(&a, IDD_WELCOME);
    dialog.AddPage(&b, IDD_SYSTEM_LANGUAGE);
    RunModal(dialog, {[&] {
        SendMessageA(dialog.m_hWnd, WM_COMMAND, IDC_NEXT, 0);
        EXPECT_TRUE(b.created);
        EXPECT_FALSE(IsWindowVisible(b.m_hWnd));
        EXPECT_EQ(dialog.GetActivePage(), &a);
        EXPECT_FALSE(wiz::IsEnabled(dialog.m_hWnd, IDC_BACK));
        Click(dialog.m_hWnd, IDC_CANCEL_BUTTON);
    }});
}

}  // namespace
