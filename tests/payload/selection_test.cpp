// Which embedded file an install writes where, for every system, system
// language and language choice, checked against ids written out here.
#include "payload/selection.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// The ids of one payload set, written out by hand: variants in the order
// Chinese / non-Chinese core, Simplified / Traditional / English plug-ins.
struct SetIds {
    unsigned short stdnames, gpd, ini, render, ufm;
    unsigned short chineseCore[4], otherCore[4];   // DLL, HLP, UI, RES
    unsigned short uiPlugin[3], resourceDll[3];    // Simplified, Traditional, English
};
const SetIds kXp = {153, 155, 159, 156, 154, {149, 152, 150, 151}, {163, 164, 165, 166},
                    {157, 249, 161}, {158, 254, 162}};
const SetIds kWin2000 = {168, 169, 170, 171, 154, {172, 173, 174, 175}, {176, 177, 178, 179},
                         {184, 250, 182}, {185, 252, 183}};
const SetIds kGeneral = {186, 187, 188, 189, 154, {190, 191, 192, 193}, {196, 197, 198, 199},
                         {194, 251, 200}, {195, 253, 201}};

struct Write {
    unsigned short id;
    std::string destination;
    bool rewrite;
    bool operator==(const Write& o) const {
        return id == o.id && destination == o.destination && rewrite == o.rewrite;
    }
};
std::ostream& operator<<(std::ostream& os, const Write& w) {
    return os << w.id << " " << w.destination << (w.rewrite ? " (rewrite)" : "");
}

std::vector<Write> Select(int os, unsigned short language, short choice, const char* printer) {
    PayloadWrite out[kDriverPayloadWrites + 3];
    size_t n = SelectDriverPayload(os, language, choice, printer, out, sizeof out / sizeof out[0]);
    std::vector<Write> writes;
    for (size_t i = 0; i < n; ++i) writes.push_back({out[i].id, out[i].destination, out[i].rewrite});
    return writes;
}

std::vector<Write> Expected(const SetIds& s, bool chineseCore, int plugin, const std::string& p) {
    const unsigned short* core = chineseCore ? s.chineseCore : s.otherCore;
    const std::string t = "C:\\TEMP\\", i386Dir = "C:\\TEMP\\I386\\", x86Dir = "C:\\TEMP\\x86\\";
    unsigned short ui = s.uiPlugin[plugin], res = s.resourceDll[plugin];
    return {
        {s.stdnames, t + "STDNAMES.GPD", false},
        {s.gpd, t + p + ".GPD", true},
        {s.ini, t + p + ".INI", true},
        {s.render, t + p + "D.dll", false},
        {s.render, i386Dir + p + "D.dll", false},
        {s.render, x86Dir + p + "D.dll", false},
        {s.ufm, t + "ZIKU.UFM", false},
        {core[0], t + "UNIDRV.DLL", false},
        {core[1], t + "UNIDRV.HLP", false},
        {core[2], t + "UNIDRVUI.DLL", false},
        {core[3], t + "UNIRES.DLL", false},
        {ui, t + p + "F.dll", false},
        {ui, i386Dir + p + "F.dll", false},
        {ui, x86Dir + p + "F.dll", false},
        {res, t + p + "RES.DLL", false},
        {res, i386Dir + p + "RES.DLL", false},
        {res, x86Dir + p + "RES.DLL", false},
    };
}

std::vector<unsigned short> Ids(const std::vector<Write>& writes) {
    std::vector<unsigned short> ids;
    for (const Write& w : writes)
        if (ids.empty() || ids.back() != w.id) ids.push_back(w.id);
    return ids;
}

TEST(SelectionTest, WorkedExamples) {
    using V = std::vector<unsigned short>;
    EXPECT_EQ(Ids(Select(7, 0x0804, 0, "KRX")), (V{153, 155, 159, 156, 154, 149, 152, 150, 151, 157, 158}));
    EXPECT_EQ(Ids(Select(10, 0x0409, 1, "KRX")), (V{186, 187, 188, 189, 154, 196, 197, 198, 199, 200, 201}));
    EXPECT_EQ(Ids(Select(6, 0x0404, 0, "KRX")), (V{168, 169, 170, 171, 154, 172, 173, 174, 175, 250, 252}));
}

TEST(SelectionTest, ChineseButNotSimplifiedSystemGetsChineseCoreAndTraditionalPlugins) {
    EXPECT_EQ(Select(10, 0x0404, 0, "KRX"), Expected(kGeneral, true, 1, "KRX"));
    EXPECT_EQ(Select(7, 0x0C04, 0, "KRX"), Expected(kXp, true, 1, "KRX"));
}

TEST(SelectionTest, NonChineseSystemWithChineseChoiceGetsTraditionalPlugins) {
    EXPECT_EQ(Select(7, 0x0409, 0, "KRX"), Expected(kXp, false, 1, "KRX"));
    EXPECT_EQ(Select(6, 0x0407, 0, "KRX"), Expected(kWin2000, false, 1, "KRX"));
}

TEST(SelectionTest, NoLanguageChoiceCountsAsEnglish) {
    EXPECT_EQ(Select(7, 0x0804, -1, "KRX"), Expected(kXp, true, 2, "KRX"));
    EXPECT_EQ(Select(7, 0x0804, 1, "KRX"), Select(7, 0x0804, -1, "KRX"));
}

TEST(SelectionTest, OnlyXpAnd2000HaveTheirOwnSets) {
    for (int os : {0, 1, 2, 3, 4, 5, 8, 9, 10, 11, -1, 1000})
        EXPECT_EQ(Select(os, 0x0409, 1, "KRX"), Expected(kGeneral, false, 2, "KRX")) << os;
}

TEST(SelectionTest, WholeInputSpaceMatchesTheTableWrittenOut) {
    for (int os = 0; os <= 10; ++os)
        for (unsigned short language : {0x0804, 0x0404, 0x0C04, 0x0409, 0x0407})
            for (short choice : {-1, 0, 1}) {
                const SetIds& set = os == 7 ? kXp : os == 6 ? kWin2000 : kGeneral;
                bool chineseSystem = language == 0x0804 || language == 0x0404 || language == 0x0C04;
                int plugin = choice != 0 ? 2 : language == 0x0804 ? 0 : 1;
                EXPECT_EQ(Select(os, language, choice, "KRX"), Expected(set, chineseSystem, plugin, "KRX"))
                    << "os " << os << " language " << std::hex << language << " choice " << choice;
            }
}

TEST(SelectionTest, PrinterNameFormsTheModelFileNamesOnly) {
    EXPECT_EQ(Select(9, 0x0804, 0, "MERLO"), Expected(kGeneral, true, 0, "MERLO"));
    // A name is text, never a format.
    EXPECT_EQ(Select(9, 0x0804, 0, "%s%n%d"), Expected(kGeneral, true, 0, "%s%n%d"));
    EXPECT_EQ(Select(9, 0x0804, 0, ""), Expected(kGeneral, true, 0, ""));
}

TEST(SelectionTest, NamesThatDoNotFitAPathAreRefused) {
    // "C:\TEMP\I386\" + name + "RES.DLL" is the longest destination.
    std::string longest(259 - 13 - 7, 'N');
    EXPECT_EQ(Select(7, 0x0804, 0, longest.c_str()), Expected(kXp, true, 0, longest));
    std::string tooLong = longest + "N";
    EXPECT_TRUE(Select(7, 0x0804, 0, tooLong.c_str()).empty());
    std::string huge(5000, 'N');
    EXPECT_TRUE(Select(7, 0x0804, 0, huge.c_str()).empty());
}

TEST(SelectionTest, TooSmallOutputIsRefused) {
    PayloadWrite out[kDriverPayloadWrites];
    EXPECT_EQ(SelectDriverPayload(7, 0x0804, 0, "KRX", out, kDriverPayloadWrites), kDriverPayloadWrites);
    EXPECT_EQ(SelectDriverPayload(7, 0x0804, 0, "KRX", out, kDriverPayloadWrites - 1), 0u);
}

}  // namespace
