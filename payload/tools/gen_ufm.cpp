// Build tool (runs on the build machine): writes ZIKU.UFM, the Unidrv font
// metrics of the printer's built-in font, a fixed-pitch bitmap font of
// 12 by 24 dots for single-byte and 24 by 24 dots for GB2312 characters.
//
//   gen_ufm OUT.UFM
//
// Layout: UNIFM_HDR, UNIDRVINFO with its select and unselect commands,
// IFIMETRICS with its names, and a width table. Every number is written
// little-endian at the offset the 32-bit Windows structures give it, so
// the file is the same whatever machine builds it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

class Writer {
public:
    std::vector<uint8_t> bytes;
    size_t Size() const { return bytes.size(); }
    void U8(unsigned v) { bytes.push_back(static_cast<uint8_t>(v)); }
    void U16(unsigned v) { U8(v & 0xFF); U8((v >> 8) & 0xFF); }
    void U32(uint32_t v) { U16(v & 0xFFFF); U16(v >> 16); }
    void Raw(const std::string& s) { bytes.insert(bytes.end(), s.begin(), s.end()); }
    // A UTF-16 name with its terminating zero; names are ASCII.
    void Wide(const char* s) {
        do U16(static_cast<unsigned char>(*s)); while (*s++);
    }
    void Align4() { while (bytes.size() % 4) U8(0); }
    void Patch32(size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(v >> (8 * i));
    }
};

// The font's numbers, in printer dots at 203 dpi.
const int kDpi = 203;
const int kHeight = 24, kAscent = 20, kDescent = 4;
const int kSingleWidth = 12, kDoubleWidth = 24;
const int kCodePage = 936;
const int kGlyphSetGb2312 = -16;   // the predefined GB2312 glyph set
// The single-byte glyphs, space to tilde, head the glyph set.
const unsigned kFirstGlyph = 1, kSingleByteGlyphs = 95;

// Select: standard character font, then Chinese character mode.
const std::string kSelect("\x1B" "M" "\x00" "\x1C" "&", 5);
// Unselect: leave Chinese character mode.
const std::string kUnselect = "\x1C" ".";

void WriteUnidrvInfo(Writer& w) {
    size_t start = w.Size();
    const uint32_t fixedSize = 48;
    w.U32(0);                   // dwSize, patched below
    w.U32(0);                   // flGenFlags: resident, not soft, not scalable
    w.U16(0);                   // wType
    w.U16(0x1 | 0x2 | 0x4 | 0x10 | 0x20);  // fCaps: no italic, underline,
                                // double underline, strike-out; CR to x 0
    w.U16(kDpi);                // wXRes
    w.U16(kDpi);                // wYRes
    w.U16(0);                   // sYAdjust
    w.U16(0);                   // sYMoved
    w.U16(0);                   // wPrivateData
    w.U16(0);                   // sShift
    w.U32(static_cast<uint32_t>(kSelect.size()));
    w.U32(fixedSize);           // SelectFont.loOffset, from this block
    w.U32(static_cast<uint32_t>(kUnselect.size()));
    w.U32(fixedSize + static_cast<uint32_t>(kSelect.size()));
    for (int i = 0; i < 4; ++i) w.U16(0);  // wReserved
    w.Raw(kSelect);
    w.Raw(kUnselect);
    w.Align4();
    w.Patch32(start, static_cast<uint32_t>(w.Size() - start));
}

void WriteIfiMetrics(Writer& w) {
    size_t start = w.Size();
    const uint32_t fixedSize = 184;
    // The names follow the fixed part: family, style, face, unique.
    const char* family = "ZIKU";
    const char* style = "Regular";
    const char* face = "ZIKU";
    const char* unique = "ZIKU 24";
    auto wideSize = [](const char* s) { return static_cast<uint32_t>(2 * (std::string(s).size() + 1)); };
    uint32_t familyAt = fixedSize, styleAt = familyAt + wideSize(family);
    uint32_t faceAt = styleAt + wideSize(style), uniqueAt = faceAt + wideSize(face);

    w.U32(0);                   // cjThis, patched below
    w.U32(0);                   // cjIfiExtra
    w.U32(familyAt);            // dpwszFamilyName
    w.U32(styleAt);             // dpwszStyleName
    w.U32(faceAt);              // dpwszFaceName
    w.U32(uniqueAt);            // dpwszUniqueName
    w.U32(0);                   // dpFontSim: no simulations
    w.U32(0);                   // lEmbedId
    w.U32(0);                   // lItalicAngle
    w.U32(0);                   // lCharBias
    w.U32(0);                   // dpCharSets
    w.U8(134);                  // jWinCharSet: GB2312_CHARSET
    w.U8(0x01 | 0x30);          // jWinPitchAndFamily: FIXED_PITCH, FF_MODERN
    w.U16(400);                 // usWinWeight: FW_NORMAL
    w.U32(0x2 | 0x20 | 0x800 | 0x80000 | 0x10000000);  // flInfo: bitmap,
                                // 1 bpp, integer widths, right-handed,
                                // fixed-pitch double-byte characters
    w.U16(0x0040);              // fsSelection: FM_SEL_REGULAR
    w.U16(0x0002);              // fsType: FM_NO_EMBEDDING
    w.U16(kHeight);             // fwdUnitsPerEm
    w.U16(kHeight);             // fwdLowestPPEm
    w.U16(kAscent);             // fwdWinAscender
    w.U16(kDescent);            // fwdWinDescender
    w.U16(kAscent);             // fwdMacAscender
    w.U16(-kDescent);           // fwdMacDescender
    w.U16(0);                   // fwdMacLineGap
    w.U16(kAscent);             // fwdTypoAscender
    w.U16(-kDescent);           // fwdTypoDescender
    w.U16(0);                   // fwdTypoLineGap
    w.U16(kSingleWidth);        // fwdAveCharWidth
    w.U16(kDoubleWidth);        // fwdMaxCharInc
    w.U16(17);                  // fwdCapHeight
    w.U16(12);                  // fwdXHeight
    w.U16(kSingleWidth / 2);    // fwdSubscriptXSize
    w.U16(kHeight / 2);         // fwdSubscriptYSize
    w.U16(0);                   // fwdSubscriptXOffset
    w.U16(-kDescent);           // fwdSubscriptYOffset
    w.U16(kSingleWidth / 2);    // fwdSuperscriptXSize
    w.U16(kHeight / 2);         // fwdSuperscriptYSize
    w.U16(0);                   // fwdSuperscriptXOffset
    w.U16(kAscent / 2);         // fwdSuperscriptYOffset
    w.U16(2);                   // fwdUnderscoreSize
    w.U16(-2);                  // fwdUnderscorePosition
    w.U16(2);                   // fwdStrikeoutSize
    w.U16(8);                   // fwdStrikeoutPosition
    w.U8(0x20);                 // chFirstChar
    w.U8(0xFE);                 // chLastChar
    w.U8(0x20);                 // chDefaultChar
    w.U8(0x20);                 // chBreakChar
    w.U16(0x0020);              // wcFirstChar
    w.U16(0xFFE5);              // wcLastChar: the last GB2312 character
    w.U16(0x0020);              // wcDefaultChar
    w.U16(0x0020);              // wcBreakChar
    w.U32(1); w.U32(0);         // ptlBaseline
    w.U32(kDpi); w.U32(kDpi);   // ptlAspect
    w.U32(0); w.U32(1);         // ptlCaret
    w.U32(0); w.U32(kAscent);   // rclFontBox: left, top,
    w.U32(kDoubleWidth); w.U32(static_cast<uint32_t>(-kDescent));  // right, bottom
    w.Raw("KRX ");              // achVendId
    w.U32(0);                   // cKerningPairs
    w.U32(0);                   // ulPanoseCulture: FM_PANOSE_CULTURE_LATIN
    // PANOSE: text and display family, monospaced, the rest "any".
    const uint8_t panose[10] = {2, 0, 0, 9, 0, 0, 0, 0, 0, 0};
    for (uint8_t b : panose) w.U8(b);
    w.Align4();
    if (w.Size() - start != fixedSize) {
        fprintf(stderr, "gen_ufm: IFIMETRICS is %zu bytes\n", w.Size() - start);
        exit(1);
    }
    w.Wide(family);
    w.Wide(style);
    w.Wide(face);
    w.Wide(unique);
    w.Align4();
    w.Patch32(start, static_cast<uint32_t>(w.Size() - start));
}

// One run: the single-byte glyphs at half the width of a GB2312 character.
void WriteWidthTable(Writer& w) {
    size_t start = w.Size();
    const uint32_t headerSize = 16;   // dwSize, dwRunNum, one WIDTHRUN
    w.U32(0);                         // dwSize, patched below
    w.U32(1);                         // dwRunNum
    w.U16(kFirstGlyph);               // wStartGlyph
    w.U16(kSingleByteGlyphs);         // wGlyphCount
    w.U32(headerSize);                // loCharWidthOffset, from the table
    for (unsigned i = 0; i < kSingleByteGlyphs; ++i) w.U16(kSingleWidth);
    w.Align4();
    w.Patch32(start, static_cast<uint32_t>(w.Size() - start));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: gen_ufm OUT.UFM\n");
        return 2;
    }
    Writer w;
    const uint32_t headerSize = 44;
    w.U32(0);                   // dwSize, patched below
    w.U32(0x10000);             // dwVersion: UNIFM_VERSION_1_0
    w.U32(kCodePage);           // ulDefaultCodepage
    w.U32(static_cast<uint32_t>(kGlyphSetGb2312));  // lGlyphSetDataRCID
    w.U32(headerSize);          // loUnidrvInfo
    w.U32(0);                   // loIFIMetrics, patched below
    w.U32(0);                   // loExtTextMetric: none
    w.U32(0);                   // loWidthTable, patched below
    w.U32(0);                   // loKernPair: none
    w.U32(0); w.U32(0);         // dwReserved

    WriteUnidrvInfo(w);
    w.Patch32(20, static_cast<uint32_t>(w.Size()));
    WriteIfiMetrics(w);
    w.Patch32(28, static_cast<uint32_t>(w.Size()));
    WriteWidthTable(w);
    w.Patch32(0, static_cast<uint32_t>(w.Size()));

    std::string tmp = std::string(argv[1]) + ".tmp";
    FILE* f = fopen(tmp.c_str(), "wb");
    if (!f) return 1;
    bool ok = fwrite(w.bytes.data(), 1, w.bytes.size(), f) == w.bytes.size();
    ok = fclose(f) == 0 && ok;
    return ok && rename(tmp.c_str(), argv[1]) == 0 ? 0 : 1;
}
