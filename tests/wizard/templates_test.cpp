// The dialog templates exactly as stored in the program's resources, and as
// the dialog manager makes them: every control's id, class, style, place,
// size and text, and the dialogs' own style, size, font and caption.
#include "framework/dialog.h"
#include "modal_script.h"
#include "resources/resource.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <set>

namespace {

// ---- reading a dialog template (classic or extended) ----

struct Item {
    DWORD style = 0, exStyle = 0;
    int x = 0, y = 0, w = 0, h = 0;
    long id = 0;
    std::string cls;    // class name, or "#128" style for an ordinal
    std::string text;   // UTF-8, or "#144" for an ordinal (a picture)
};

struct Template {
    DWORD style = 0, exStyle = 0;
    int w = 0, h = 0;
    std::string caption, font;
    int pointSize = 0;
    std::vector<Item> items;
};

struct Reader {
    const BYTE* p;
    WORD Word() { WORD v; memcpy(&v, p, 2); p += 2; return v; }
    DWORD Dword() { DWORD v; memcpy(&v, p, 4); p += 4; return v; }
    short Short() { return static_cast<short>(Word()); }
    void Align(const BYTE* base) { while ((p - base) % 4) ++p; }
    std::string Utf8() {
        std::wstring w;
        for (WORD c; (c = Word()) != 0;) w += static_cast<wchar_t>(c);
        char out[2048] = {};
        WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, out, sizeof out, nullptr, nullptr);
        return out;
    }
    std::string SzOrOrd() {
        WORD first;
        memcpy(&first, p, 2);
        if (first == 0xFFFF) { p += 2; return "#" + std::to_string(Word()); }
        return Utf8();
    }
};

Template ReadTemplate(int id) {
    Template t;
    HRSRC r = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));
    if (!r) return t;
    const BYTE* base = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, r)));
    Reader in{base};
    const bool extended = reinterpret_cast<const WORD*>(base)[1] == 0xFFFF;
    int count;
    if (extended) {
        in.Word(); in.Word(); in.Dword();
        t.exStyle = in.Dword();
        t.style = in.Dword();
    } else {
        t.style = in.Dword();
        t.exStyle = in.Dword();
    }
    count = in.Word();
    in.Short(); in.Short();
    t.w = in.Short();
    t.h = in.Short();
    in.SzOrOrd();                 // menu
    in.SzOrOrd();                 // class
    t.caption = in.Utf8();
    if (t.style & DS_SETFONT) {
        t.pointSize = in.Word();
        if (extended) { in.Word(); in.Word(); }
        t.font = in.Utf8();
    }
    for (int i = 0; i < count; ++i) {
        in.Align(base);
        Item item;
        if (extended) {
            in.Dword();
            item.exStyle = in.Dword();
            item.style = in.Dword();
        } else {
            item.style = in.Dword();
            item.exStyle = in.Dword();
        }
        item.x = in.Short(); item.y = in.Short(); item.w = in.Short(); item.h = in.Short();
        item.id = extended ? static_cast<long>(static_cast<int>(in.Dword())) : in.Word();
        item.cls = in.SzOrOrd();
        item.text = in.SzOrOrd();
        in.p += in.Word();        // creation data
        const char* names[] = {"Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox"};
        if (item.cls.size() > 1 && item.cls[0] == '#') {
            int ordinal = std::stoi(item.cls.substr(1));
            if (ordinal >= 0x80 && ordinal <= 0x85) item.cls = names[ordinal - 0x80];
        }
        t.items.push_back(item);
    }
    return t;
}

// ---- the templates as designed ----

struct ControlSpec {
    long id;
    const char* cls;
    DWORD style;       // every style bit below WS_VISIBLE's group, exactly
    int x, y, w, h;
    const char* text;
};

struct DialogSpec {
    int templateId;
    DWORD style;
    DWORD exStyle;
    int w, h;
    const char* caption;
    std::vector<ControlSpec> controls;
};

const DWORD V = WS_CHILD | WS_VISIBLE;

const DialogSpec kDialogs[] = {
    {IDD_ABOUT, DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 235, 55,
     "关于 驱动安装向导", {
        {65535, "Static", V | SS_ICON, 7, 8, 20, 20, "#128"},
        {IDC_ABOUT_VERSION, "Static", V | SS_LEFT | SS_NOPREFIX, 40, 10, 131, 8, "驱动安装向导 1.0 版"},
        {IDC_ABOUT_NOTICE, "Static", V | SS_LEFT, 40, 25, 119, 8, nullptr},
        {IDOK, "Button", V | BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 178, 7, 50, 14, "确定"},
    }},
    {IDD_SETUP, DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU,
     WS_EX_APPWINDOW, 266, 257, "", {
        {IDC_PAGE_AREA, "Static", V | SS_GRAYFRAME, 0, 0, 265, 257, ""},
        {IDC_BACK, "Button", V | BS_PUSHBUTTON | WS_TABSTOP, 54, 234, 36, 17, "后退"},
        {IDC_NEXT, "Button", V | BS_PUSHBUTTON | WS_TABSTOP, 95, 234, 36, 17, "下一步"},
        {IDC_FINISH, "Button", V | BS_PUSHBUTTON | WS_TABSTOP, 154, 234, 36, 17, "完成"},
        {IDC_CANCEL_BUTTON, "Button", V | BS_PUSHBUTTON | WS_TABSTOP, 195, 234, 36, 17, "取消"},
        {-1, "Static", V | SS_ETCHEDHORZ, 2, 228, 264, 1, ""},
    }},
    {IDD_WELCOME, DS_SETFONT | WS_CHILD | WS_DISABLED, 0, 353, 224, "", {
        {65535, "Static", V | SS_BITMAP | SS_SUNKEN | WS_BORDER, 1, 4, 112, 231, "#144"},
        {IDC_WELCOME_TEXT1, "Static", V | SS_LEFT, 117, 20, 130, 34, "欢迎使用TAVIN系列打印机驱动安装程序向导"},
        {IDC_WELCOME_TEXT2, "Static", V | SS_LEFT, 117, 64, 130, 41, "这将会在您的计算机上安装TAVIN系列打印机驱动程序"},
        {IDC_WELCOME_TEXT3, "Static", V | SS_LEFT, 117, 112, 130, 39, "推荐在继续安装前关闭所有其他应用程序"},
        {IDC_WELCOME_TEXT4, "Static", V | SS_LEFT, 117, 155, 130, 44, "点击 下一步 继续，或者 取消 退出安装程序"},
    }},
    {IDD_SYSTEM_LANGUAGE, DS_SETFONT | WS_CHILD | WS_DISABLED, 0, 633, 203, "", {
        {IDC_HEADER_GROUP, "Button", V | BS_GROUPBOX, 0, 0, 240, 53, ""},
        {IDC_HEADER_BITMAP, "Static", V | SS_BITMAP, 202, 8, 35, 39, "#145"},
        {IDC_SYSTEM_TITLE, "Static", V | SS_LEFT, 17, 9, 120, 10, "请选择安装系统"},
        {IDC_SYSTEM_SUBTITLE, "Static", WS_CHILD | SS_LEFT, 24, 25, 168, 20, "请选择您的安装系统"},
        {IDC_SYSTEM_GROUP, "Button", V | BS_GROUPBOX, 13, 59, 211, 86, "可选安装系统"},
        {IDC_LANGUAGE_GROUP, "Button", V | BS_GROUPBOX, 13, 150, 211, 46, "可选安装语言"},
        {IDC_CHINESE, "Button", V | BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 25, 169, 97, 17, "中文"},
        {IDC_ENGLISH, "Button", V | BS_AUTORADIOBUTTON, 127, 169, 65, 17, "英文"},
        {IDC_WIN2000, "Button", V | BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 33, 68, 139, 10, "Windows 2000"},
        {IDC_WINXP, "Button", V | BS_AUTORADIOBUTTON, 33, 83, 139, 10, "Windows XP"},
        {IDC_WIN2003, "Button", V | BS_AUTORADIOBUTTON, 33, 98, 139, 10, "Windows 2003"},
        {IDC_VISTA, "Button", V | BS_AUTORADIOBUTTON, 33, 113, 139, 10, "Vista"},
        {IDC_WIN7, "Button", V | BS_AUTORADIOBUTTON, 33, 128, 139, 10, "Windows 7"},
    }},
    {IDD_AGREEMENT, DS_SETFONT | WS_CHILD | WS_DISABLED, 0, 633, 203, "", {
        {IDC_HEADER_GROUP, "Button", V | BS_GROUPBOX, 0, 0, 240, 53, ""},
        {IDC_HEADER_BITMAP, "Static", V | SS_BITMAP, 202, 8, 35, 39, "#145"},
        {IDC_AGREEMENT_TITLE, "Static", V | SS_LEFT, 17, 9, 120, 10, "授权协议"},
        {IDC_AGREEMENT_INFO, "Static", V | SS_LEFT, 24, 25, 168, 20, "在继续安装前，请阅读以下重要信息"},
        {IDC_AGREEMENT_PROMPT, "Static", V | SS_LEFT, 13, 58, 211, 12, "请阅读以下协议，并严格遵守"},
        {IDC_AGREEMENT_TEXT, "Edit", V | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_BORDER | WS_VSCROLL | WS_TABSTOP,
         13, 72, 211, 98, ""},
        {IDC_ACCEPT, "Button", V | BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 25, 176, 97, 12, "同意"},
        {IDC_DECLINE, "Button", V | BS_AUTORADIOBUTTON, 127, 176, 95, 12, "不同意"},
    }},
    {IDD_INSTALL, DS_SETFONT | WS_CHILD | WS_DISABLED, 0, 618, 195, "", {
        {IDC_HEADER_GROUP, "Button", V | BS_GROUPBOX, 0, 0, 332, 65, ""},
        {IDC_HEADER_BITMAP, "Static", V | SS_BITMAP, 292, 15, 35, 39, "#145"},
        {IDC_INSTALL_TITLE, "Static", V | SS_LEFT, 17, 9, 148, 19, "正在安装驱动，请稍候 ..."},
        {IDC_INSTALL_SUBTITLE, "Static", WS_CHILD | SS_LEFT, 21, 34, 191, 26, "目前正在您的计算机上安装打印机驱动"},
        {IDC_INSTALL_STATUS, "Static", V | SS_LEFT, 16, 79, 136, 13, "正在安装..."},
        {IDC_PROGRESS, "msctls_progress32", V | WS_BORDER, 19, 100, 183, 9, "Progress1"},
    }},
    {IDD_PRINTER_SERIES, DS_SETFONT | WS_CHILD | WS_DISABLED, 0, 340, 199, "", {
        {IDC_SERIES_TITLE, "Static", V | SS_LEFT, 7, 9, 97, 13, "可安装打印机系列"},
        {IDC_SETTING_GROUP, "Button", V | BS_GROUPBOX, 7, 116, 215, 75, "打印机设置"},
        {IDC_DEFAULT_PRINTER, "Button", V | BS_AUTOCHECKBOX | WS_TABSTOP, 24, 127, 180, 12, "设置默认打印机"},
        {IDC_NAME_LABEL, "Static", V | SS_LEFT, 19, 166, 45, 11, "名称:"},
        {IDC_SERIES_NAME, "Edit", V | ES_READONLY | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 69, 164, 143, 14, ""},
        {IDC_SERIES_LIST, "ListBox",
         V | LBS_NOTIFY | LBS_SORT | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 10, 23, 212, 22, ""},
        {IDC_PORT_LABEL, "Static", V | SS_LEFT, 7, 50, 97, 10, "端口:"},
        {IDC_PORT_LIST, "ListBox", V | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP,
         10, 61, 212, 34, ""},
        {IDC_ADDRESS_LABEL, "Static", WS_CHILD | SS_LEFT, 10, 100, 50, 10, "地址:"},
        {IDC_ADDRESS, "Edit", WS_CHILD | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 62, 98, 160, 14, ""},
        {IDC_TEST_RECEIPT, "Button", V | BS_AUTOCHECKBOX | WS_TABSTOP, 24, 143, 180, 12, "打印测试小票"},
    }},
};

TEST(Templates, StoredExactlyAsDesigned) {
    for (const DialogSpec& d : kDialogs) {
        SCOPED_TRACE("template " + std::to_string(d.templateId));
        Template t = ReadTemplate(d.templateId);
        EXPECT_EQ(t.style, d.style);
        EXPECT_EQ(t.exStyle, d.exStyle);
        EXPECT_EQ(t.w, d.w);
        EXPECT_EQ(t.h, d.h);
        EXPECT_EQ(t.caption, d.caption);
        EXPECT_EQ(t.font, "MS Sans Serif");
        EXPECT_EQ(t.pointSize, 8);
        ASSERT_EQ(t.items.size(), d.controls.size());
        for (size_t i = 0; i < t.items.size(); ++i) {
            const Item& item = t.items[i];
            const ControlSpec& c = d.controls[i];
            SCOPED_TRACE("control " + std::to_string(c.id));
            EXPECT_EQ(item.id, c.id);
            EXPECT_EQ(lstrcmpiA(item.cls.c_str(), c.cls), 0) << item.cls;
            EXPECT_EQ(item.style, c.style) << std::hex << item.style << " " << c.style;
            EXPECT_EQ(item.exStyle, 0u);
            EXPECT_EQ(item.x, c.x);
            EXPECT_EQ(item.y, c.y);
            EXPECT_EQ(item.w, c.w);
            EXPECT_EQ(item.h, c.h);
            if (c.text) {
                EXPECT_EQ(item.text, c.text);
            }
        }
    }
}

TEST(Templates, AboutNoticeIsOneShortLine) {
    Template t = ReadTemplate(IDD_ABOUT);
    ASSERT_EQ(t.items.size(), 4u);
    const std::string& notice = t.items[2].text;
    EXPECT_FALSE(notice.empty());
    EXPECT_EQ(notice.find('\n'), std::string::npos);
    // Its width in the dialog's font must fit the control.
    CDialog about(IDD_ABOUT);
    ASSERT_TRUE(about.Create(IDD_ABOUT));
    HWND control = about.GetDlgItem(IDC_ABOUT_NOTICE);
    wchar_t wide[256] = {};
    MultiByteToWideChar(CP_UTF8, 0, notice.c_str(), -1, wide, 256);
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)));
    SIZE extent;
    GetTextExtentPoint32W(dc, wide, lstrlenW(wide), &extent);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    RECT rect;
    GetClientRect(control, &rect);
    EXPECT_LE(extent.cx, rect.right);
    about.DestroyWindow();
}

// The series page's controls lie where the frame shows the page (its
// area above the separator, 265 by 228) and none covers another; the
// group box holds the three below it.
TEST(Templates, SeriesPageControlsFitTheFrameAndDoNotOverlap) {
    const DialogSpec& page = *std::find_if(std::begin(kDialogs), std::end(kDialogs),
                                           [](const DialogSpec& d) { return d.templateId == IDD_PRINTER_SERIES; });
    auto inside = [](const ControlSpec& c, int x, int y, int w, int h) {
        return c.x >= x && c.y >= y && c.x + c.w <= x + w && c.y + c.h <= y + h;
    };
    const ControlSpec* group = nullptr;
    for (const ControlSpec& c : page.controls) {
        EXPECT_TRUE(inside(c, 0, 0, 265, 228)) << c.id;
        if (c.id == IDC_SETTING_GROUP) group = &c;
    }
    ASSERT_NE(group, nullptr);
    for (const ControlSpec& a : page.controls)
        for (const ControlSpec& b : page.controls) {
            if (&a == &b) continue;
            const bool overlap = a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
            if (&a == group) EXPECT_EQ(overlap, inside(b, a.x, a.y, a.w, a.h)) << b.id << " half in the group";
            else if (&b != group) EXPECT_FALSE(overlap) << a.id << " and " << b.id;
        }
}

// Only a template with a control of another class (the install page's
// progress bar) loads the common controls; the wizard starts without them.
TEST(Templates, CommonControlsOnlyWhereATemplateHoldsOne) {
    const std::set<std::string> systemClasses = {"Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox"};
    for (const DialogSpec& d : kDialogs) {
        bool holdsOne = false;
        for (const ControlSpec& c : d.controls) holdsOne |= !systemClasses.count(c.cls);
        EXPECT_EQ(AfxTemplateHoldsCommonControl(d.templateId), holdsOne) << "template " << d.templateId;
    }
}

TEST(Templates, DialogManagerMakesEveryControl) {
    CWnd host;
    host.m_hWnd = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr,
                                  nullptr, nullptr, nullptr);
    for (const DialogSpec& d : kDialogs) {
        SCOPED_TRACE("template " + std::to_string(d.templateId));
        CDialog dialog;
        ASSERT_TRUE(dialog.Create(d.templateId, (d.style & WS_CHILD) ? &host : nullptr));
        RECT size = {0, 0, d.w, d.h}, client;
        MapDialogRect(dialog.m_hWnd, &size);
        GetClientRect(dialog.m_hWnd, &client);
        EXPECT_EQ(client.right, size.right);
        EXPECT_EQ(client.bottom, size.bottom);
        // Window order is template order: radio groups and tabbing rely on it.
        HWND child = GetWindow(dialog.m_hWnd, GW_CHILD);
        for (const ControlSpec& c : d.controls) {
            ASSERT_TRUE(child) << "control " << c.id << " missing";
            EXPECT_EQ(GetDlgCtrlID(child), static_cast<int>(c.id));
            child = GetWindow(child, GW_HWNDNEXT);
        }
        EXPECT_EQ(child, nullptr);
        dialog.DestroyWindow();
    }
    DestroyWindow(host.m_hWnd);
    host.m_hWnd = nullptr;
}

}  // namespace
