// The pictures inside setup.exe: sizes and bit depths as the dialogs expect
// them, that the system loads every one of them, and how the wizard draws
// them on a scaled screen.
#include "e2e_support.h"
#include "page_checks.h"
#include "resources/resource.h"
#include "test_support.h"
#include <gtest/gtest.h>
#include <set>
#include <utility>

namespace {

class Pictures : public ::testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryExA(test::BuildPath("setup.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr);
    }
    void TearDown() override {
        if (module) FreeLibrary(module);
    }
    const BYTE* Resource(int id, LPCSTR type, DWORD* size) {
        HRSRC r = FindResourceA(module, MAKEINTRESOURCEA(id), type);
        if (!r) return nullptr;
        *size = SizeofResource(module, r);
        return static_cast<const BYTE*>(LockResource(LoadResource(module, r)));
    }
    HMODULE module = nullptr;
};

TEST_F(Pictures, BitmapsAreEightBitsPerPixelAtTheirSizes) {
    struct Expected { int id, width, height; };
    for (Expected e : {Expected{IDB_WELCOME, 164, 314}, Expected{IDB_HEADER, 53, 53}}) {
        SCOPED_TRACE(e.id);
        DWORD size = 0;
        const BYTE* data = Resource(e.id, MAKEINTRESOURCEA(2) /* RT_BITMAP */, &size);
        ASSERT_NE(data, nullptr);
        ASSERT_GE(size, sizeof(BITMAPINFOHEADER));
        auto* info = reinterpret_cast<const BITMAPINFOHEADER*>(data);
        EXPECT_EQ(info->biWidth, e.width);
        EXPECT_EQ(info->biHeight, e.height);  // bottom-up, as a bitmap static draws it
        EXPECT_EQ(info->biBitCount, 8);
        // Run-length encoded, as the pictures are mostly plain areas: a
        // fraction of the program's bytes, the same pixels.
        EXPECT_EQ(info->biCompression, static_cast<DWORD>(BI_RLE8));
        // Header, a full palette and the encoded rows: the resource is whole.
        EXPECT_EQ(size, 40u + 256 * 4 + info->biSizeImage);

        HANDLE image = LoadImageA(module, MAKEINTRESOURCEA(e.id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
        ASSERT_NE(image, nullptr);
        DIBSECTION dib = {};
        ASSERT_EQ(GetObjectA(image, sizeof dib, &dib), static_cast<int>(sizeof dib));
        EXPECT_EQ(dib.dsBm.bmWidth, e.width);
        EXPECT_EQ(dib.dsBm.bmHeight, e.height);
        EXPECT_EQ(dib.dsBm.bmBitsPixel, 8);
        DeleteObject(image);
    }
}

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST_F(Pictures, IconHoldsFourImagesAndLoadsAtBothSizes) {
    DWORD size = 0;
    const BYTE* group = Resource(IDR_MAINFRAME, MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */, &size);
    ASSERT_NE(group, nullptr);
    WORD count = reinterpret_cast<const WORD*>(group)[2];
    ASSERT_EQ(count, 4);
    ASSERT_EQ(size, 6u + count * sizeof(GroupIconEntry));
    std::set<std::pair<int, int>> images;
    auto* entries = reinterpret_cast<const GroupIconEntry*>(group + 6);
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(entries[i].width, entries[i].height);
        // The image itself says the same as the directory.
        DWORD imageSize = 0;
        const BYTE* image = Resource(entries[i].id, MAKEINTRESOURCEA(3) /* RT_ICON */, &imageSize);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(imageSize, entries[i].bytes);
        auto* info = reinterpret_cast<const BITMAPINFOHEADER*>(image);
        EXPECT_EQ(info->biWidth, entries[i].width);
        EXPECT_EQ(info->biHeight, 2 * entries[i].width);  // colour rows and mask rows
        EXPECT_EQ(info->biBitCount, entries[i].bitCount);
        images.insert({entries[i].width, entries[i].bitCount});
    }
    EXPECT_EQ(images, (std::set<std::pair<int, int>>{{32, 4}, {32, 8}, {16, 4}, {16, 8}}));

    for (int side : {32, 16}) {
        HICON icon = static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, side, side, 0));
        ASSERT_NE(icon, nullptr) << side;
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP colour = {};
        GetObjectA(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, side);
        EXPECT_EQ(colour.bmHeight, side);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

// The screen's DPI for the programs started from now on, as the display
// settings' scaling sets it (150 % is 144 dpi).
void SetScreenDpi(DWORD dpi) {
    const std::pair<HKEY, const char*> keys[] = {{HKEY_CURRENT_USER, "Control Panel\\Desktop"},
                                                 {HKEY_CURRENT_CONFIG, "Software\\Fonts"}};
    for (const auto& key : keys) {
        HKEY h;
        ASSERT_EQ(RegCreateKeyExA(key.first, key.second, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr), 0);
        RegSetValueExA(h, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
        RegCloseKey(h);
    }
}

// At 144 dpi the wizard is drawn for the screen, not left at 96-dpi pixels:
// the welcome picture and the header bitmap one and a half times their
// size, the header's place likewise, the English font 20 pixels high.
// Every page is kept as a screenshot.
TEST(ScaledScreen, EveryPageIsDrawnAt144Dpi) {
    const int dpi = 144;
    SetScreenDpi(dpi);
    const std::string exe = e2e::CopyProgram("setup_standin.exe", "dpi144");
    test::Program setup(e2e::Quoted(exe));
    HWND wizard = ui::WaitForWizard(setup);
    ASSERT_NE(wizard, nullptr);

    HWND page = ui::WaitForPage(wizard, ui::kWelcomePage);
    ASSERT_NE(page, nullptr);
    RECT picture = ui::ScreenRect(ui::Control(page, 0xFFFF));   // a picture static takes its bitmap's size
    EXPECT_EQ(picture.right - picture.left, 246);
    EXPECT_EQ(picture.bottom - picture.top, 471);
    e2e::ExpectFonts(page, dpi);
    e2e::Screenshot(wizard, e2e::RunName("1_welcome_144dpi"));

    e2e::ClickAndSettle(wizard, 12324);
    page = ui::WaitForPage(wizard, ui::kSystemLanguagePage);
    ASSERT_NE(page, nullptr);
    e2e::ExpectHeaderBand(wizard, page, dpi);
    e2e::ExpectFonts(page, dpi);
    e2e::Screenshot(wizard, e2e::RunName("2_system_language_144dpi"));

    e2e::ClickAndSettle(wizard, 12324);
    page = ui::WaitForPage(wizard, ui::kSeriesPage);
    ASSERT_NE(page, nullptr);
    ui::SelectListRow(page, 1006, 0);
    ui::Settle(wizard);
    e2e::Screenshot(wizard, e2e::RunName("3_series_144dpi"));

    e2e::ClickAndSettle(wizard, 12324);
    page = ui::WaitForPage(wizard, ui::kInstallPage);
    ASSERT_NE(page, nullptr);
    e2e::ExpectHeaderBand(wizard, page, dpi);
    e2e::Screenshot(wizard, e2e::RunName("4_install_144dpi"));

    HWND box = setup.WaitForMessageBox(60000);
    ASSERT_NE(box, nullptr);
    e2e::Screenshot(box, e2e::RunName("5_message_144dpi"));
    ui::Click(box, IDOK);
    EXPECT_EQ(setup.WaitForExit(), 0u);
}

}  // namespace
