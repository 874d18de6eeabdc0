// The pictures inside setup.exe: sizes and bit depths as the dialogs expect
// them, and that the system loads every one of them.
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
        EXPECT_EQ(info->biCompression, static_cast<DWORD>(BI_RGB));
        // Header, a full palette and the padded rows: the resource is whole.
        EXPECT_EQ(size, 40u + 256 * 4 + ((e.width + 3) & ~3) * e.height);

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

}  // namespace
