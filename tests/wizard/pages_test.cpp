// The four pages: preselection, the series row and its check box, the
// install step on the last page, the pages' colours and the header band.
#include "app/language_files.h"
#include "app_core/text_language.h"
#include "app_core/os_version.h"
#include "wizard_fixture.h"
#include <gtest/gtest.h>
#include <memory>

using wiz::Click;
using wiz::RunModal;
using wiz::Wizard;

namespace {

bool Checked(const CWnd& page, int id) {
    return SendMessageA(page.GetDlgItem(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// ---- system and language page ----

TEST(SystemLanguagePage, OperatingSystemCodesMapToTheirButtons) {
    const int expected[] = {-1, -1, -1, -1, -1, -1, 0, 1, 2, 3, 4, -1, -1};
    for (int code = 0; code <= 12; ++code) EXPECT_EQ(SystemIndexForOsCode(code), expected[code]) << code;
}

TEST(SystemLanguagePage, PreselectsFromTheSystemAndFillsTheChoices) {
    const LANGID lang = GetSystemDefaultLangID();
    const int expectedLanguage = IsChineseLanguage(lang) ? 0 : IsEnglishLanguage(lang) ? 1 : -1;
    const int expectedSystem = SystemIndexForOsCode(DetectWindowsVersion());
    Wizard w;
    EXPECT_EQ(w.choices.languageIndex, expectedLanguage);
    std::vector<short> published;
    RunModal(w.dialog, {
        [&] { Click(w.frame(), IDC_NEXT); },
        [&] {
            published.push_back(w.choices.languageIndex);
            EXPECT_EQ(w.language.languageIndex, expectedLanguage);
            EXPECT_EQ(Checked(w.language, IDC_CHINESE), expectedLanguage == 0);
            EXPECT_EQ(Checked(w.language, IDC_ENGLISH), expectedLanguage == 1);
            for (int i = 0; i < 5; ++i)
                EXPECT_EQ(Checked(w.language, IDC_WIN2000 + i), i == expectedSystem) << i;
            EXPECT_TRUE(wiz::IsEnabled(w.frame(), IDC_NEXT));
            // A user's choices: another system (no handler), then a language.
            Click(w.language.m_hWnd, IDC_WIN7);
            EXPECT_EQ(w.language.systemIndex, expectedSystem) << "read only with the next language click";
            Click(w.language.m_hWnd, IDC_CHINESE);
            published.push_back(w.choices.languageIndex);
            EXPECT_EQ(w.language.systemIndex, 4);
            Click(w.language.m_hWnd, IDC_ENGLISH);
            published.push_back(w.choices.languageIndex);
            Click(w.frame(), IDC_BACK);
        },
        // The preselection runs once: a later visit keeps the user's choice.
        [&] { Click(w.frame(), IDC_NEXT); },
        [&] {
            EXPECT_TRUE(Checked(w.language, IDC_ENGLISH));
            EXPECT_TRUE(Checked(w.language, IDC_WIN7));
            published.push_back(w.choices.languageIndex);
            Click(w.frame(), IDC_CANCEL_BUTTON);
        },
    });
    EXPECT_EQ(published, (std::vector<short>{static_cast<short>(expectedLanguage), 0, 1, 1}));
}

// ---- printer series page ----

TEST(PrinterSeriesPage, FirstArrivalSelectionAndTheCheckBox) {
    Wizard w;
    RunModal(w.dialog, {
        [&] { Click(w.frame(), IDC_NEXT); },
        [&] { Click(w.frame(), IDC_NEXT); },
        [&] {
            HWND list = w.series.GetDlgItem(IDC_SERIES_LIST);
            ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 1);
            char row[64] = {};
            SendMessageA(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(row));
            EXPECT_STREQ(row, "80mm series");
            EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), LB_ERR);
            EXPECT_FALSE(wiz::IsEnabled(w.frame(), IDC_NEXT));
            EXPECT_TRUE(Checked(w.series, IDC_DEFAULT_PRINTER));
            HWND name = w.series.GetDlgItem(IDC_SERIES_NAME);
            EXPECT_EQ(wiz::WindowText(name), "");
            EXPECT_TRUE(GetWindowLongA(name, GWL_STYLE) & ES_READONLY);

            // Clearing the box before selecting: the selection sets it again.
            Click(w.series.m_hWnd, IDC_DEFAULT_PRINTER);
            EXPECT_FALSE(Checked(w.series, IDC_DEFAULT_PRINTER));
            w.SelectSeries();
            EXPECT_TRUE(Checked(w.series, IDC_DEFAULT_PRINTER));
            EXPECT_EQ(wiz::WindowText(name), "80mm series");
            EXPECT_TRUE(wiz::IsEnabled(w.frame(), IDC_NEXT));

            // Clearing it after selecting is kept and decides the install.
            Click(w.series.m_hWnd, IDC_DEFAULT_PRINTER);
            Click(w.frame(), IDC_NEXT);
            EXPECT_EQ(w.series.setDefaultPrinter, 0);
            EXPECT_FALSE(w.choices.setDefaultPrinter);
            Click(w.frame(), IDC_BACK);
        },
        [&] {
            Click(w.series.m_hWnd, IDC_DEFAULT_PRINTER);
            Click(w.frame(), IDC_NEXT);
            EXPECT_TRUE(w.choices.setDefaultPrinter);
            Click(w.frame(), IDC_FINISH);
        },
    });
}

// The spooler's ports with a USB one added, USB first and FILE: last,
// then the network entry, all in the language file's language; the USB
// port chosen; the network entry shows the address field and holds Next
// back until the address is valid, also after Back and Next; the port and
// the test receipt box (off at first) reach the install's choices.
TEST(PrinterSeriesPage, PortListNetworkAddressAndTestReceipt) {
    HKEY ports;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Ports", 0, nullptr,
                              0, KEY_SET_VALUE, nullptr, &ports, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(ports, "USB001", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
    RegCloseKey(ports);
    const std::string language = "C:\\Multi_eng.dll";
    ASSERT_TRUE(WritePrivateProfileStringA("Setting", "Language", "English", language.c_str()));
    lstrcpyA(g_LanguageFile, language.c_str());
    Wizard w;
    auto rows = [&w] {
        std::vector<std::string> texts;
        HWND list = w.series.GetDlgItem(IDC_PORT_LIST);
        for (int i = 0, n = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0)); i < n; ++i) {
            char row[128] = {};
            SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(row));
            texts.push_back(row);
        }
        return texts;
    };
    auto choosePort = [&w](int row) {
        HWND list = w.series.GetDlgItem(IDC_PORT_LIST);
        SendMessageA(list, LB_SETCURSEL, row, 0);
        SendMessageA(w.series.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_PORT_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    };
    auto shown = [&w](int id) { return IsWindowVisible(w.series.GetDlgItem(id)) != FALSE; };
    RunModal(w.dialog, {
        [&] { Click(w.frame(), IDC_NEXT); },
        [&] { Click(w.frame(), IDC_NEXT); },
        [&] {
            EXPECT_EQ(rows(), (std::vector<std::string>{"USB001", "COM1:", "COM2:", "COM3:", "COM4:", "LPT1:", "LPT2:",
                                                         "LPT3:", "FILE:", "Network printer (TCP/IP)"}));
            EXPECT_EQ(wiz::WindowText(w.series.GetDlgItem(IDC_PORT_LABEL)), "Port:");
            EXPECT_EQ(wiz::WindowText(w.series.GetDlgItem(IDC_TEST_RECEIPT)), "Print a test receipt");
            EXPECT_EQ(SendMessageA(w.series.GetDlgItem(IDC_PORT_LIST), LB_GETCURSEL, 0, 0), 0);
            EXPECT_FALSE(Checked(w.series, IDC_TEST_RECEIPT));
            EXPECT_FALSE(shown(IDC_ADDRESS));
            w.SelectSeries();
            EXPECT_TRUE(wiz::IsEnabled(w.frame(), IDC_NEXT));
            choosePort(9);
            EXPECT_TRUE(shown(IDC_ADDRESS));
            EXPECT_TRUE(shown(IDC_ADDRESS_LABEL));
            EXPECT_FALSE(wiz::IsEnabled(w.frame(), IDC_NEXT));
            SetDlgItemTextA(w.series.m_hWnd, IDC_ADDRESS, "300.1.1.1");
            EXPECT_FALSE(wiz::IsEnabled(w.frame(), IDC_NEXT));
            SetDlgItemTextA(w.series.m_hWnd, IDC_ADDRESS, "10.0.0.5:9200");
            EXPECT_TRUE(wiz::IsEnabled(w.frame(), IDC_NEXT));
            Click(w.series.m_hWnd, IDC_TEST_RECEIPT);
            Click(w.frame(), IDC_NEXT);
            EXPECT_STREQ(w.choices.port.name, "IP_10.0.0.5_9200");
            EXPECT_EQ(w.choices.port.tcpPort, 9200);
            EXPECT_TRUE(w.choices.testReceipt);
            Click(w.frame(), IDC_BACK);
        },
        [&] {
            // Back here: a valid address keeps Next; one made invalid takes it away.
            EXPECT_TRUE(wiz::IsEnabled(w.frame(), IDC_NEXT));
            SetDlgItemTextA(w.series.m_hWnd, IDC_ADDRESS, "till..example");
            EXPECT_FALSE(wiz::IsEnabled(w.frame(), IDC_NEXT));
            choosePort(5);
            EXPECT_FALSE(shown(IDC_ADDRESS));
            EXPECT_TRUE(wiz::IsEnabled(w.frame(), IDC_NEXT));
            Click(w.frame(), IDC_NEXT);
            EXPECT_STREQ(w.choices.port.name, "LPT1:");
            EXPECT_FALSE(IsNetworkPort(w.choices.port));
            Click(w.frame(), IDC_FINISH);
        },
    });
    g_LanguageFile[0] = '\0';
}

// ---- install progress page ----

// Goes from the welcome page to the install page.
std::vector<wiz::Step> ToInstallPage(Wizard& w) {
    return {
        [&w] { Click(w.frame(), IDC_NEXT); },
        [&w] { Click(w.frame(), IDC_NEXT); w.SelectSeries(); },
        [&w] { Click(w.frame(), IDC_NEXT); },
    };
}

// Waits (checking once a tick) until `done` holds, at most `ticks` ticks.
std::vector<wiz::Step> WaitFor(std::function<bool()> done, int ticks) { return {wiz::Until(std::move(done), ticks)}; }

// Waits until the page's timer, set no later than `since`, would have fired,
// and one tick more: a timer due by then is handled before that tick.
std::vector<wiz::Step> PastTheInstallDelay(const DWORD& since) {
    auto steps = WaitFor([at = &since] { return GetTickCount() - *at > InstallProgressPage::kInstallDelayMs; }, 100);
    steps.push_back([] {});
    return steps;
}

TEST(InstallProgressPage, InstallsOnceHalfASecondAfterShowingAndAgainAfterBack) {
    Wizard w;
    DWORD shownAt = 0, installedAt = 0;
    w.install.during = [&] { installedAt = GetTickCount(); };
    auto steps = ToInstallPage(w);
    steps.push_back([&] {
        shownAt = GetTickCount();
        EXPECT_EQ(w.install.progress.SendMessage(PBM_GETPOS), 0);
        EXPECT_EQ(w.install.installs, 0);
    });
    for (auto& s : WaitFor([&] { return w.install.installs == 1; }, 100)) steps.push_back(s);
    steps.push_back([&] {
        ASSERT_EQ(w.install.installs, 1);
        EXPECT_GE(installedAt - shownAt, 400u);
        EXPECT_EQ(w.install.positionDuringInstall, 50);
        EXPECT_TRUE(w.install.waitCursorDuringInstall);
        EXPECT_EQ(w.install.progress.SendMessage(PBM_GETPOS), 100);
        EXPECT_EQ(w.install.told, std::vector<InstallResult>{InstallResult::PrinterNotCreated});
        EXPECT_NE(GetCursor(), LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
        EXPECT_EQ(w.buttons(), "B+ N- F+");
    });
    // The timer is one-shot: nothing more happens while the page stays.
    for (auto& s : PastTheInstallDelay(installedAt)) steps.push_back(s);
    steps.push_back([&] {
        EXPECT_EQ(w.install.installs, 1);
        Click(w.frame(), IDC_BACK);
        Click(w.frame(), IDC_NEXT);
    });
    for (auto& s : WaitFor([&] { return w.install.installs == 2; }, 100)) steps.push_back(s);
    steps.push_back([&] { Click(w.frame(), IDC_FINISH); });
    EXPECT_EQ(RunModal(w.dialog, steps), IDC_FINISH);
    EXPECT_EQ(w.install.installs, 2);
}

TEST(InstallProgressPage, BackBeforeTheTimerCancelsThePendingInstall) {
    Wizard w;
    DWORD shownAt = 0;
    auto steps = ToInstallPage(w);
    steps.push_back([&] {
        shownAt = GetTickCount();
        Click(w.frame(), IDC_BACK);
    });
    for (auto& s : PastTheInstallDelay(shownAt)) steps.push_back(s);
    steps.push_back([&] {
        EXPECT_EQ(w.install.installs, 0);
        Click(w.frame(), IDC_CANCEL_BUTTON);
    });
    EXPECT_EQ(RunModal(w.dialog, steps), IDCANCEL);
}

// Shown again without going back (the wizard restored after it was
// minimised), the page does not install again.
TEST(InstallProgressPage, ShownAgainAfterAnInstallDoesNotStartIt) {
    Wizard w;
    auto steps = ToInstallPage(w);
    for (auto& s : WaitFor([&] { return w.install.installs == 1; }, 100)) steps.push_back(s);
    DWORD shownAt = 0;
    steps.push_back([&] {
        SendMessageA(w.install.m_hWnd, WM_SHOWWINDOW, FALSE, SW_PARENTCLOSING);
        SendMessageA(w.install.m_hWnd, WM_SHOWWINDOW, TRUE, SW_PARENTOPENING);
        shownAt = GetTickCount();
    });
    for (auto& s : PastTheInstallDelay(shownAt)) steps.push_back(s);
    steps.push_back([&] {
        EXPECT_EQ(w.install.installs, 1);
        Click(w.frame(), IDC_CANCEL_BUTTON);
    });
    RunModal(w.dialog, steps);
    EXPECT_EQ(w.install.ExitCode(), 1);
}

// The install gets the pages' choices and hands back its outcome: a
// completed one ends the wizard once it is told, with its exit code.
TEST(InstallProgressPage, CompletedInstallEndsTheWizardWithTheChoicesOfThePages) {
    Wizard w;
    w.install.outcome = MakeOutcome(InstallResult::Installed, "KRX");
    auto steps = ToInstallPage(w);
    steps.insert(steps.begin() + 2, [&] { Click(w.series.m_hWnd, IDC_DEFAULT_PRINTER); });
    steps.insert(steps.begin() + 1, [&] { Click(w.language.m_hWnd, IDC_ENGLISH); });
    EXPECT_EQ(RunModal(w.dialog, steps), IDOK);
    EXPECT_EQ(w.install.installs, 1);
    EXPECT_EQ(w.install.told, std::vector<InstallResult>{InstallResult::Installed});
    EXPECT_EQ(w.install.ExitCode(), 0);
    EXPECT_EQ(w.install.choicesOfInstall.languageIndex, 1);
    EXPECT_FALSE(w.install.choicesOfInstall.setDefaultPrinter);
    EXPECT_STREQ(w.install.choicesOfInstall.printerName, "KRX");
}

// A file the install could not write is told in the chosen language with
// the wizard's buttons back; the bar stays at 50 and the wizard open.
TEST(InstallProgressPage, FailedWriteIsToldAndLeavesTheBarAtFifty) {
    Wizard w;
    w.install.outcome = MakeOutcome(InstallResult::FileNotWritten, "C:\\TEMP\\KRX.GPD", ERROR_ACCESS_DENIED);
    w.install.showMessage = true;
    w.choices.languageIndex = 1;
    std::string report;
    auto steps = ToInstallPage(w);
    for (auto& s : WaitFor([] { return wiz::FindForeignDialog() != nullptr; }, 100)) steps.push_back(s);
    steps.push_back([&] {
        HWND box = wiz::FindForeignDialog();
        ASSERT_TRUE(box);
        report = wiz::MessageBoxText(box);
        EXPECT_TRUE(wiz::IsEnabled(w.frame(), IDC_BACK));
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    steps.push_back([&] {
        EXPECT_EQ(w.install.progress.SendMessage(PBM_GETPOS), 50);
        EXPECT_NE(GetCursor(), LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
        EXPECT_TRUE(IsWindowVisible(w.frame()));
        Click(w.frame(), IDC_CANCEL_BUTTON);
    });
    EXPECT_EQ(RunModal(w.dialog, steps), IDCANCEL);
    EXPECT_EQ(report, "Access to C:\\TEMP\\KRX.GPD was denied.");
    EXPECT_EQ(w.install.ExitCode(), 4);
}

// ---- colours and background ----

TEST(PageColours, WhiteBackgroundsBlackTextAndNoErasing) {
    Wizard w;
    RunModal(w.dialog, {
        [&] { Click(w.frame(), IDC_NEXT); },
        [&] { Click(w.frame(), IDC_NEXT); },
        [&] {
            HDC dc = CreateCompatibleDC(nullptr);
            auto color = [&](CWnd& page, UINT message, int id) {
                SetBkColor(dc, RGB(1, 2, 3));
                SetTextColor(dc, RGB(4, 5, 6));
                SetBkMode(dc, OPAQUE);
                HWND control = id ? page.GetDlgItem(id) : page.m_hWnd;
                return reinterpret_cast<HBRUSH>(SendMessageA(page.m_hWnd, message,
                    reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control)));
            };
            auto brushColor = [](HBRUSH b) {
                LOGBRUSH lb = {};
                GetObjectA(b, sizeof lb, &lb);
                return lb.lbColor;
            };
            const COLORREF white = RGB(255, 255, 255), black = RGB(0, 0, 0);

            // The name field, reporting as static (read-only): black on white.
            HBRUSH name = color(w.series, WM_CTLCOLORSTATIC, IDC_SERIES_NAME);
            EXPECT_EQ(name, SharedWhiteEditBrush());
            EXPECT_EQ(GetBkColor(dc), white);
            EXPECT_EQ(GetTextColor(dc), black);
            EXPECT_EQ(GetBkMode(dc), OPAQUE);
            EXPECT_EQ(color(w.series, WM_CTLCOLOREDIT, IDC_SERIES_NAME), SharedWhiteEditBrush());

            // Other statics: black, transparent, standard brush.
            HBRUSH label = color(w.series, WM_CTLCOLORSTATIC, IDC_NAME_LABEL);
            EXPECT_NE(label, SharedWhiteEditBrush());
            EXPECT_EQ(GetTextColor(dc), black);
            EXPECT_EQ(GetBkMode(dc), TRANSPARENT);

            HBRUSH dialogBrush = color(w.series, WM_CTLCOLORDLG, 0);
            EXPECT_EQ(brushColor(dialogBrush), white);
            EXPECT_NE(dialogBrush, SharedWhiteEditBrush());

            color(w.series, WM_CTLCOLORLISTBOX, IDC_SERIES_LIST);
            EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
            EXPECT_EQ(GetTextColor(dc), black);

            // Message-box colours are the standard answer, untouched.
            SetTextColor(dc, RGB(4, 5, 6));
            LRESULT standard = DefWindowProcA(w.series.m_hWnd, WM_CTLCOLORMSGBOX,
                                              reinterpret_cast<WPARAM>(dc), 0);
            const COLORREF standardText = GetTextColor(dc);
            EXPECT_EQ(reinterpret_cast<LRESULT>(color(w.series, WM_CTLCOLORMSGBOX, 0)), standard);
            EXPECT_EQ(GetTextColor(dc), standardText);
            EXPECT_EQ(GetBkMode(dc), OPAQUE);

            // The page never paints its own background.
            HBITMAP bitmap = CreateCompatibleBitmap(GetDC(nullptr), 8, 8);
            HGDIOBJ old = SelectObject(dc, bitmap);
            SetPixel(dc, 3, 3, RGB(10, 20, 30));
            EXPECT_NE(SendMessageA(w.series.m_hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 0);
            EXPECT_EQ(GetPixel(dc, 3, 3), RGB(10, 20, 30));
            SelectObject(dc, old);
            DeleteObject(bitmap);
            DeleteDC(dc);
            Click(w.frame(), IDC_CANCEL_BUTTON);
        },
    });
}

// ---- header band ----

struct Band {
    RECT group;   // in page coordinates
    RECT bitmap;  // in frame client coordinates
    RECT main;    // the frame's window rectangle in its client coordinates
};

Band MeasureBand(const CWnd& frame, const CWnd& page) {
    Band b;
    GetWindowRect(frame.m_hWnd, &b.main);
    MapWindowPoints(nullptr, frame.m_hWnd, reinterpret_cast<POINT*>(&b.main), 2);
    GetWindowRect(page.GetDlgItem(IDC_HEADER_GROUP), &b.group);
    MapWindowPoints(nullptr, page.m_hWnd, reinterpret_cast<POINT*>(&b.group), 2);
    GetWindowRect(page.GetDlgItem(IDC_HEADER_BITMAP), &b.bitmap);
    MapWindowPoints(nullptr, frame.m_hWnd, reinterpret_cast<POINT*>(&b.bitmap), 2);
    return b;
}

void ExpectBandFollowsFrame(const Band& b, int groupBottom, const char* where) {
    SCOPED_TRACE(where);
    EXPECT_LT(b.main.left, 0);
    EXPECT_LT(b.main.top, 0);
    EXPECT_EQ(b.group.left, b.main.left);
    EXPECT_EQ(b.group.top, b.main.top);
    EXPECT_EQ(b.group.right, b.main.right);
    EXPECT_EQ(b.group.bottom, groupBottom);
    EXPECT_EQ(b.bitmap.right, b.main.right - 5);
    EXPECT_EQ(b.bitmap.top, 18);
    EXPECT_EQ(b.bitmap.right - b.bitmap.left, 53) << "the bitmap keeps its own size";
    EXPECT_EQ(b.bitmap.bottom - b.bitmap.top, 53);
}

// Bottom of a template rectangle of the page, in pixels.
int TemplateBottom(const CWnd& page, int y, int height) {
    RECT r = {0, y, 0, y + height};
    MapDialogRect(page.m_hWnd, &r);
    return r.bottom;
}

TEST(HeaderBand, FollowsTheFramesCurrentBordersAndCaption) {
    Wizard w;
    RunModal(w.dialog, {
        [&] { Click(w.frame(), IDC_NEXT); },
        [&] {
            ExpectBandFollowsFrame(MeasureBand(w.dialog, w.language), TemplateBottom(w.language, 0, 53),
                                   "page 137");
            // Thinner borders and no caption: the next visit lays it out again.
            LONG style = GetWindowLongA(w.frame(), GWL_STYLE);
            SetWindowLongA(w.frame(), GWL_STYLE, (style & ~WS_CAPTION) | WS_BORDER);
            SetWindowPos(w.frame(), nullptr, 0, 0, 0, 0,
                         SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
            Click(w.frame(), IDC_BACK);
            Click(w.frame(), IDC_NEXT);
            Band b = MeasureBand(w.dialog, w.language);
            ExpectBandFollowsFrame(b, TemplateBottom(w.language, 0, 53), "page 137 without caption");
            EXPECT_GT(b.main.top, -10);
            SetWindowLongA(w.frame(), GWL_STYLE, style);
            SetWindowPos(w.frame(), nullptr, 0, 0, 0, 0,
                         SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
            Click(w.frame(), IDC_NEXT);
            w.SelectSeries();
            Click(w.frame(), IDC_NEXT);
            ExpectBandFollowsFrame(MeasureBand(w.dialog, w.install), TemplateBottom(w.install, 0, 65),
                                   "page 140");
            Click(w.frame(), IDC_FINISH);
        },
    });
}

TEST(HeaderBand, InstallPagePaintsItsGroupBoxWhite) {
    Wizard w;
    auto steps = ToInstallPage(w);
    steps.push_back([&] {
        HDC dc = CreateCompatibleDC(nullptr);
        HBRUSH b = reinterpret_cast<HBRUSH>(SendMessageA(w.install.m_hWnd, WM_CTLCOLORSTATIC,
            reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(w.install.headerGroup.m_hWnd)));
        EXPECT_EQ(b, static_cast<HBRUSH>(w.install.headerBrush));
        EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));
        DeleteDC(dc);
        Click(w.frame(), IDC_FINISH);
    });
    RunModal(w.dialog, steps);
}

}  // namespace
