// ZIKU.UFM read through the platform's own font-metrics structures: every
// offset and size inside the file, and the numbers of the built-in font.
#include <windows.h>
#include <winddi.h>
#include <prntfont.h>
#include "test_support.h"
#include <gtest/gtest.h>
#include <string>

namespace {

class UfmTest : public ::testing::Test {
protected:
    void SetUp() override {
        HRSRC r = FindResourceA(nullptr, MAKEINTRESOURCEA(154), "OWNER_DATA");
        ASSERT_TRUE(r);
        bytes.assign(static_cast<const char*>(LockResource(LoadResource(nullptr, r))), SizeofResource(nullptr, r));
        ASSERT_EQ(bytes, test::ReadFileBytes(test::BuildPath("payload\\ZIKU.UFM")));
        ASSERT_GE(bytes.size(), sizeof(UNIFM_HDR));
        header = reinterpret_cast<const UNIFM_HDR*>(bytes.data());
    }
    // A structure of `size` bytes at `offset`, inside the file and aligned.
    bool Fits(DWORD offset, size_t size) const {
        return offset % 4 == 0 && offset <= bytes.size() && size <= bytes.size() - offset;
    }
    template <class T> const T* At(DWORD offset) const { return reinterpret_cast<const T*>(bytes.data() + offset); }
    std::wstring Name(const IFIMETRICS* ifi, PTRDIFF offset) const {
        const WCHAR* s = reinterpret_cast<const WCHAR*>(reinterpret_cast<const BYTE*>(ifi) + offset);
        return std::wstring(s, wcsnlen(s, (ifi->cjThis - offset) / 2));
    }
    std::string bytes;
    const UNIFM_HDR* header = nullptr;
};

TEST_F(UfmTest, HeaderLaysOutTheParts) {
    EXPECT_EQ(header->dwSize, bytes.size());
    EXPECT_EQ(header->dwVersion, static_cast<DWORD>(UNIFM_VERSION_1_0));
    EXPECT_EQ(header->ulDefaultCodepage, 936u);
    EXPECT_EQ(header->lGlyphSetDataRCID, CC_GB2312);
    EXPECT_EQ(header->loUnidrvInfo, sizeof(UNIFM_HDR));
    EXPECT_EQ(header->loExtTextMetric, 0u);
    EXPECT_EQ(header->loKernPair, 0u);
    EXPECT_EQ(header->dwReserved[0] | header->dwReserved[1], 0u);
    // The parts follow one another without gaps or overlaps.
    const UNIDRVINFO* unidrv = At<UNIDRVINFO>(header->loUnidrvInfo);
    ASSERT_TRUE(Fits(header->loUnidrvInfo, sizeof(UNIDRVINFO)));
    EXPECT_EQ(header->loIFIMetrics, header->loUnidrvInfo + unidrv->dwSize);
    ASSERT_TRUE(Fits(header->loIFIMetrics, sizeof(IFIMETRICS)));
    EXPECT_EQ(header->loWidthTable, header->loIFIMetrics + At<IFIMETRICS>(header->loIFIMetrics)->cjThis);
    ASSERT_TRUE(Fits(header->loWidthTable, sizeof(WIDTHTABLE)));
    EXPECT_EQ(bytes.size(), header->loWidthTable + At<WIDTHTABLE>(header->loWidthTable)->dwSize);
}

TEST_F(UfmTest, DriverInfoAndFontCommands) {
    const UNIDRVINFO* unidrv = At<UNIDRVINFO>(header->loUnidrvInfo);
    EXPECT_EQ(unidrv->dwSize % 4, 0u);
    EXPECT_EQ(unidrv->flGenFlags & (UFM_SOFT | UFM_CART | UFM_SCALABLE), 0u);
    EXPECT_EQ(unidrv->wXRes, 203);
    EXPECT_EQ(unidrv->wYRes, 203);
    EXPECT_TRUE(unidrv->fCaps & DF_XM_CR);
    for (const INVOC* command : {&unidrv->SelectFont, &unidrv->UnSelectFont})
        EXPECT_LE(command->loOffset + command->dwCount, unidrv->dwSize);
    const char* base = reinterpret_cast<const char*>(unidrv);
    EXPECT_EQ(std::string(base + unidrv->SelectFont.loOffset, unidrv->SelectFont.dwCount),
              std::string("\x1B" "M" "\x00" "\x1C" "&", 5));
    EXPECT_EQ(std::string(base + unidrv->UnSelectFont.loOffset, unidrv->UnSelectFont.dwCount), "\x1C.");
}

TEST_F(UfmTest, MetricsOfAFixedPitchGb2312Font) {
    const IFIMETRICS* ifi = At<IFIMETRICS>(header->loIFIMetrics);
    EXPECT_EQ(ifi->cjIfiExtra, 0u);
    for (PTRDIFF name : {ifi->dpwszFamilyName, ifi->dpwszStyleName, ifi->dpwszFaceName, ifi->dpwszUniqueName}) {
        EXPECT_GE(name, static_cast<PTRDIFF>(sizeof(IFIMETRICS)));
        EXPECT_LT(name, static_cast<PTRDIFF>(ifi->cjThis));
    }
    EXPECT_EQ(Name(ifi, ifi->dpwszFamilyName), L"ZIKU");
    EXPECT_EQ(Name(ifi, ifi->dpwszFaceName), L"ZIKU");
    EXPECT_EQ(Name(ifi, ifi->dpwszStyleName), L"Regular");
    EXPECT_EQ(Name(ifi, ifi->dpwszUniqueName), L"ZIKU 24");
    EXPECT_EQ(ifi->dpFontSim, 0);
    EXPECT_EQ(ifi->dpCharSets, 0);
    EXPECT_EQ(ifi->jWinCharSet, GB2312_CHARSET);
    EXPECT_EQ(ifi->jWinPitchAndFamily & 0x0F, FIXED_PITCH);
    EXPECT_EQ(ifi->usWinWeight, FW_NORMAL);
    EXPECT_TRUE(ifi->flInfo & FM_INFO_TECH_BITMAP);
    EXPECT_TRUE(ifi->flInfo & FM_INFO_DBCS_FIXED_PITCH);
    EXPECT_FALSE(ifi->flInfo & FM_INFO_TECH_TRUETYPE);
    EXPECT_EQ(ifi->fsSelection, FM_SEL_REGULAR);
    EXPECT_EQ(ifi->fwdUnitsPerEm, 24);
    EXPECT_EQ(ifi->fwdWinAscender + ifi->fwdWinDescender, 24);
    EXPECT_EQ(ifi->fwdMacAscender - ifi->fwdMacDescender, 24);
    EXPECT_EQ(ifi->fwdAveCharWidth, 12);
    EXPECT_EQ(ifi->fwdMaxCharInc, 24);
    EXPECT_LE(ifi->wcFirstChar, ifi->wcDefaultChar);
    EXPECT_LE(ifi->wcDefaultChar, ifi->wcLastChar);
    EXPECT_EQ(ifi->ptlAspect.x, 203);
    EXPECT_EQ(ifi->ptlAspect.y, 203);
    EXPECT_EQ(ifi->ptlBaseline.x, 1);
    EXPECT_EQ(ifi->ptlCaret.y, 1);
    EXPECT_EQ(ifi->rclFontBox.top - ifi->rclFontBox.bottom, 24);
    EXPECT_EQ(ifi->rclFontBox.right - ifi->rclFontBox.left, 24);
    EXPECT_EQ(ifi->cKerningPairs, 0u);
}

TEST_F(UfmTest, WidthTableGivesTheSingleByteGlyphsHalfWidth) {
    const WIDTHTABLE* table = At<WIDTHTABLE>(header->loWidthTable);
    ASSERT_EQ(table->dwRunNum, 1u);
    const WIDTHRUN& run = table->WidthRun[0];
    EXPECT_EQ(run.wStartGlyph, 1);
    EXPECT_EQ(run.wGlyphCount, 95);
    ASSERT_LE(run.loCharWidthOffset + run.wGlyphCount * sizeof(SHORT), table->dwSize);
    const SHORT* widths = reinterpret_cast<const SHORT*>(reinterpret_cast<const BYTE*>(table) + run.loCharWidthOffset);
    for (int i = 0; i < run.wGlyphCount; ++i) EXPECT_EQ(widths[i], 12) << i;
}

}  // namespace
