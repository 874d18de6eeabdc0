// Localisation of the dialogs from a language file, the Arial font of
// English systems, and the main dialog's system menu and about box.
#include "app/language_files.h"
#include "app_core/text_language.h"
#include "app_core/set_dialog_strings.h"
#include "test_support.h"
#include "wizard_fixture.h"
#include <gtest/gtest.h>

using wiz::Click;
using wiz::RunModal;
using wiz::Wizard;
using wiz::WindowText;

namespace {

class Localisation : public ::testing::Test {
protected:
    void UseLanguageFile(const std::string& content) {
        std::string path = test::MakeTempFolder("language") + "\\Multi_test.dll";
        ASSERT_TRUE(test::WriteFileBytes(path, content));
        lstrcpynA(g_LanguageFile, path.c_str(), sizeof g_LanguageFile);
    }
    void TearDown() override { g_LanguageFile[0] = '\0'; }
};

// The text a control of a template has before any localisation.
std::string TemplateText(int templateId, int controlId) {
    CWnd host;
    host.m_hWnd = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                  nullptr, nullptr, nullptr);
    CDialog dialog;
    EXPECT_TRUE(dialog.Create(templateId, &host));
    std::string text = WindowText(controlId ? dialog.GetDlgItem(controlId) : dialog.m_hWnd);
    dialog.DestroyWindow();
    DestroyWindow(host.m_hWnd);
    host.m_hWnd = nullptr;
    return text;
}

// Controls that keep a font they are sent: all but the picture and frame
// statics and the page windows.
bool KeepsAFont(HWND control) {
    char cls[64] = {};
    GetClassNameA(control, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") == 0) return false;
    if (lstrcmpiA(cls, "Static") != 0) return true;
    const LONG type = GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK;
    return type <= SS_RIGHT || type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP;
}

// Records the texts a control is given.
std::vector<std::string>* g_textsSet = nullptr;
WNDPROC g_staticProc = nullptr;
LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETTEXT && g_textsSet && lParam)
        g_textsSet->push_back(reinterpret_cast<const char*>(lParam));
    return CallWindowProcA(g_staticProc, hwnd, message, wParam, lParam);
}

HWND ChildWithId(HWND parent, int id) {
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (GetDlgCtrlID(c) == id) return c;
    return nullptr;
}

bool HasArial13(HWND control) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    LOGFONTA lf = {};
    if (!font || !GetObjectA(font, sizeof lf, &lf)) return false;
    return lf.lfHeight == 13 && lstrcmpA(lf.lfFaceName, "Arial") == 0;
}

const bool kEnglishSystem = IsEnglishLanguage(GetSystemDefaultLangID());

TEST_F(Localisation, TitleAndDirectChildrenTakeTheFilesTexts) {
    const std::string longText(1500, 'x');
    UseLanguageFile(
        "\r\n\r\n[Setting]\r\nLanguage=English\r\n\r\n\r\n\r\n[String]\r\n"
        "IDD102_Title=Wizard Title\r\n"
        "IDD102_12323=&Back\r\n"
        "IDD102_12324=&Next\r\n"
        "IDD102_12325=\r\n"
        "IDD102_-1=separator\r\n"
        "IDD102_0=page window\r\n"
        "IDD138_1042=" + longText + "\r\n"
        "IDD138_1043=\r\n"
        "IDD143_1019=never shown\r\n"
        "IDD143_1055=Printer Series\r\n"
        "IDD137_1032=no such control\r\n");
    const std::string finishTemplate = [] {
        CDialog frame(IDD_SETUP);
        frame.Create(IDD_SETUP);
        std::string text = WindowText(frame.GetDlgItem(IDC_FINISH));
        frame.DestroyWindow();
        return text;
    }();
    const std::string welcome2Template = TemplateText(IDD_WELCOME, IDC_WELCOME_TEXT2);
    Wizard w;
    RunModal(w.dialog, {
        [&] {
            EXPECT_EQ(WindowText(w.frame()), "Wizard Title");
            EXPECT_EQ(WindowText(w.dialog.GetDlgItem(IDC_BACK)), "&Back");
            EXPECT_EQ(WindowText(w.dialog.GetDlgItem(IDC_NEXT)), "&Next");
            EXPECT_EQ(WindowText(w.dialog.GetDlgItem(IDC_FINISH)), finishTemplate) << "empty key";
            EXPECT_TRUE(ChildWithId(w.frame(), -1)) << "the extended template keeps the id -1";
            EXPECT_EQ(GetDlgCtrlID(w.welcome.m_hWnd), 0);
            EXPECT_EQ(WindowText(w.welcome.m_hWnd), "page window");
            EXPECT_EQ(WindowText(w.welcome.GetDlgItem(IDC_WELCOME_TEXT1)), std::string(999, 'x'));
            EXPECT_EQ(WindowText(w.welcome.GetDlgItem(IDC_WELCOME_TEXT2)), welcome2Template);
            Click(w.frame(), IDC_NEXT);
            Click(w.frame(), IDC_NEXT);
        },
        [&] {
            EXPECT_EQ(WindowText(w.series.GetDlgItem(IDC_SERIES_TITLE)), "Printer Series");
            EXPECT_EQ(WindowText(w.series.GetDlgItem(IDC_SERIES_NAME)), "");
            w.SelectSeries();
            EXPECT_EQ(WindowText(w.series.GetDlgItem(IDC_SERIES_NAME)), "80mm series");
            Click(w.frame(), IDC_CANCEL_BUTTON);
        },
    });
}

TEST_F(Localisation, SeparatorAndPageWindowKeysAreRead) {
    UseLanguageFile("[String]\r\nIDD102_-1=separator\r\nIDD102_0=page window\r\nIDD102_65535=wrong\r\n");
    CDialog frame(IDD_SETUP);
    ASSERT_TRUE(frame.Create(IDD_SETUP));
    HWND separator = ChildWithId(frame.m_hWnd, -1);
    ASSERT_TRUE(separator);
    // The etched line shows no text, so what it is given is recorded.
    std::vector<std::string> texts;
    g_textsSet = &texts;
    g_staticProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(separator, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingProc)));
    HWND page = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, frame.m_hWnd, nullptr,
                                nullptr, nullptr);
    g_SetDialogStrings(&frame, IDD_SETUP);
    g_textsSet = nullptr;
    EXPECT_EQ(texts, std::vector<std::string>{"separator"});
    EXPECT_EQ(GetDlgCtrlID(page), 0);
    EXPECT_EQ(WindowText(page), "page window");
    frame.DestroyWindow();
}

TEST_F(Localisation, MissingFileKeepsTheTemplateTexts) {
    lstrcpyA(g_LanguageFile, "C:\\no such folder\\Multi_eng.dll");
    const std::string text1 = TemplateText(IDD_WELCOME, IDC_WELCOME_TEXT1);
    EXPECT_FALSE(text1.empty());
    Wizard w;
    RunModal(w.dialog, {[&] {
        EXPECT_EQ(WindowText(w.frame()), "");
        EXPECT_EQ(WindowText(w.welcome.GetDlgItem(IDC_WELCOME_TEXT1)), text1);
        Click(w.frame(), IDC_CANCEL_BUTTON);
    }});
}

TEST_F(Localisation, ArialOnEveryDirectChildOnlyOnEnglishSystems) {
    UseLanguageFile("[String]\r\nIDD102_12323=&Back\r\n");
    Wizard w;
    RunModal(w.dialog, {
        [&] { Click(w.frame(), IDC_NEXT); },
        [&] {
            int children = 0;
            for (HWND page : {w.frame(), w.language.m_hWnd}) {
                for (HWND c = GetWindow(page, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
                    if (c == w.language.m_hWnd) continue;   // made after the frame's localisation
                    if (!KeepsAFont(c)) continue;
                    ++children;
                    EXPECT_EQ(HasArial13(c), kEnglishSystem) << "control " << GetDlgCtrlID(c);
                }
            }
            EXPECT_GT(children, 15);
            // Grandchildren are not visited by the frame: the page's
            // controls got their font from the page's own call.
            Click(w.frame(), IDC_CANCEL_BUTTON);
        },
    });
}

TEST_F(Localisation, AboutBoxFromTheSystemMenuKeepsItsTemplateTexts) {
    UseLanguageFile("[String]\r\nIDD102_12323=&Back\r\nIDD100_Title=\r\n");
    const std::string caption = [] {
        CDialog about(IDD_ABOUT);
        about.Create(IDD_ABOUT);
        std::string text = WindowText(about.m_hWnd);
        about.DestroyWindow();
        return text;
    }();
    Wizard w;
    HWND about = nullptr;
    auto findAbout = [&] {
        about = GetLastActivePopup(w.frame());
        if (about == w.frame()) about = nullptr;
    };
    RunModal(w.dialog, {
        [&] {
            HMENU menu = GetSystemMenu(w.frame(), FALSE);
            ASSERT_TRUE(menu);
            int n = GetMenuItemCount(menu);
            ASSERT_GE(n, 2);
            EXPECT_EQ(GetMenuItemID(menu, n - 1), static_cast<UINT>(IDM_ABOUTBOX));
            MENUITEMINFOA info = {};
            info.cbSize = sizeof info;
            info.fMask = MIIM_FTYPE;
            GetMenuItemInfoA(menu, n - 2, TRUE, &info);
            EXPECT_TRUE(info.fType & MFT_SEPARATOR);
            char entry[256] = {}, expected[256] = {};
            GetMenuStringA(menu, n - 1, entry, sizeof entry, MF_BYPOSITION);
            LoadStringA(GetModuleHandleA(nullptr), IDS_ABOUTBOX, expected, sizeof expected);
            EXPECT_STREQ(entry, expected);
            EXPECT_TRUE(SendMessageA(w.frame(), WM_GETICON, ICON_BIG, 0));
            EXPECT_EQ(SendMessageA(w.frame(), WM_QUERYDRAGICON, 0, 0),
                      reinterpret_cast<LRESULT>(w.dialog.icon));
            // Any command id 16..31 opens the box.
            PostMessageA(w.frame(), WM_SYSCOMMAND, IDM_ABOUTBOX | 0xF, 0);
        },
        [&] {
            findAbout();
            ASSERT_TRUE(about) << "no about box";
            EXPECT_EQ(GetWindow(about, GW_OWNER), w.frame());
            EXPECT_FALSE(IsWindowEnabled(w.frame()));
            EXPECT_EQ(WindowText(about), caption);
            EXPECT_FALSE(WindowText(GetDlgItem(about, IDC_ABOUT_NOTICE)).empty());
            EXPECT_EQ(HasArial13(GetDlgItem(about, IDC_ABOUT_VERSION)), kEnglishSystem);
            Click(about, IDOK);
        },
        [&] {
            EXPECT_FALSE(IsWindow(about));
            EXPECT_TRUE(IsWindowEnabled(w.frame()));
            Click(w.frame(), IDC_CANCEL_BUTTON);
        },
    });
}

}  // namespace
