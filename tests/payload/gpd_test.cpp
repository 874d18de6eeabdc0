// The embedded GPD and its standard-names include: the lines the install
// relies on, internal consistency (features, defaults, switches, names),
// the names it takes from the resource DLLs, and the model-name rewrite.
#include "app_core/app_state.h"
#include "app/setup_app.h"
#include "test_support.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

// Splits CR LF text into lines; a bare CR or LF stays inside its line.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(' '), e = s.find_last_not_of(' ');
    return b == std::string::npos ? "" : s.substr(b, e - b + 1);
}

// A GPD entry "*Key: value" with the entries of the block that follows it.
struct Entry {
    std::string key, value;
    std::vector<std::unique_ptr<Entry>> children;
    std::vector<const Entry*> All(const std::string& k) const {
        std::vector<const Entry*> found;
        for (const auto& c : children)
            if (c->key == k) found.push_back(c.get());
        return found;
    }
    const Entry* Find(const std::string& k, const std::string& v = "") const {
        for (const auto& c : children)
            if (c->key == k && (v.empty() || c->value == v)) return c.get();
        return nullptr;
    }
    std::string Value(const std::string& k) const {
        const Entry* e = Find(k);
        return e ? e->value : "<none>";
    }
};

// Parses the block structure: "{" and "}" stand on lines of their own,
// "+" lines continue the entry before them, "*%" lines are comments.
std::unique_ptr<Entry> ParseGpd(const std::string& text, std::string& error) {
    auto root = std::make_unique<Entry>();
    std::vector<Entry*> open = {root.get()};
    Entry* last = nullptr;
    for (const std::string& raw : Lines(text)) {
        std::string line = Trim(raw);
        if (line.empty() || line.rfind("*%", 0) == 0) continue;
        if (line == "{") {
            if (!last) return error = "block without entry", nullptr;
            open.push_back(last);
            last = nullptr;
        } else if (line == "}") {
            if (open.size() < 2) return error = "unbalanced }", nullptr;
            open.pop_back();
            last = nullptr;
        } else if (line[0] == '+' && last) {
            last->value += " " + Trim(line.substr(1));
        } else {
            size_t colon = line.find(':');
            // Macro definitions inside a *Macros block carry no "*".
            bool macro = open.back()->key == "*Macros";
            if ((line[0] != '*' && !macro) || colon == std::string::npos ||
                line.find_first_of("{}") < line.find('"'))
                return error = "not an entry: " + line, nullptr;
            auto entry = std::make_unique<Entry>();
            entry->key = line.substr(0, colon);
            entry->value = Trim(line.substr(colon + 1));
            last = entry.get();
            open.back()->children.push_back(std::move(entry));
        }
    }
    if (open.size() != 1) return error = "unclosed block", nullptr;
    return root;
}

class GpdTest : public ::testing::Test {
protected:
    std::string gpd = test::EmbeddedPayload(155);
    std::string stdnames = test::EmbeddedPayload(153);
};

TEST_F(GpdTest, TextFilesUseCrLfAndShortLines) {
    for (const std::string* text : {&gpd, &stdnames}) {
        ASSERT_FALSE(text->empty());
        ASSERT_EQ(text->substr(text->size() - 2), "\r\n");
        for (const std::string& line : Lines(*text)) {
            EXPECT_EQ(line.find_first_of("\r\n\t"), std::string::npos) << line;
            EXPECT_LT(line.size(), 62u) << line;
        }
    }
}

TEST_F(GpdTest, HoldsTheLinesTheInstallRewritesAndReliesOn) {
    std::vector<std::string> lines = Lines(gpd);
    for (const char* expected : {"*GPDFileName: \"KRX.GPD\"", "*ModelName: \"KRX\"", "*ResourceDLL: \"KRXRES.DLL\"",
                                 "*Include: \"stdnames.gpd\"", "*PrinterType: SERIAL",
                                 "*MasterUnits: PAIR(203, 203)", "*CodePage: 936"})
        EXPECT_EQ(std::count(lines.begin(), lines.end(), expected), 1) << expected;
    // Each rewrite key stands on its own line only, or the rewrite would
    // replace another line too.
    for (const char* key : {"*GPDFileName:", "*ModelName:", "*ResourceDLL:", "OEMDriverFile1=", "OEMConfigFile1="}) {
        int n = 0;
        for (const std::string& line : lines) n += line.find(key) != std::string::npos;
        EXPECT_EQ(n, std::string(key)[0] == '*' ? 1 : 0) << key;
    }
}

TEST_F(GpdTest, FeaturesAreConsistent) {
    std::string error;
    auto root = ParseGpd(gpd, error);
    ASSERT_TRUE(root) << error;
    std::map<std::string, std::set<std::string>> options;
    for (const Entry* f : root->All("*Feature")) {
        SCOPED_TRACE(f->value);
        EXPECT_NE(f->Value("*rcNameID"), "<none>");
        for (const Entry* o : f->All("*Option")) {
            EXPECT_TRUE(options[f->value].insert(o->value).second) << "duplicate option " << o->value;
            EXPECT_TRUE(o->Find("*rcNameID") || o->Find("*Name")) << o->value;
        }
        EXPECT_EQ(options[f->value].count(f->Value("*DefaultOption")), 1u);
    }
    // Every *case names an option of the feature its *switch names.
    std::vector<const Entry*> stack = {root.get()};
    while (!stack.empty()) {
        const Entry* e = stack.back();
        stack.pop_back();
        if (e->key == "*switch") {
            ASSERT_TRUE(options.count(e->value)) << e->value;
            for (const Entry* c : e->All("*case")) EXPECT_EQ(options[e->value].count(c->value), 1u) << c->value;
        }
        for (const auto& c : e->children) stack.push_back(c.get());
    }

    EXPECT_EQ(root->All("*Feature").size(), 17u);
    const Entry* resolution = root->Find("*Feature", "Resolution");
    ASSERT_TRUE(resolution);
    ASSERT_EQ(resolution->All("*Option").size(), 1u);
    EXPECT_EQ(resolution->All("*Option")[0]->Value("*DPI"), "PAIR(203, 203)");
    EXPECT_EQ(resolution->All("*Option")[0]->Value("*TextDPI"), "PAIR(203, 203)");

    const Entry* paper = root->Find("*Feature", "PaperSize");
    ASSERT_TRUE(paper);
    EXPECT_EQ(options["PaperSize"], (std::set<std::string>{"A4", "PAPER80", "CUSTOMSIZE"}));
    EXPECT_EQ(paper->Value("*DefaultOption"), "PAPER80");
    const Entry* paper80 = paper->Find("*Option", "PAPER80");
    EXPECT_EQ(paper80->Value("*PageDimensions"), "PAIR(635, 26175)");
    EXPECT_EQ(paper80->Value("*rcNameID"), "800");

    EXPECT_EQ(options["Orientation"], (std::set<std::string>{"PORTRAIT", "LANDSCAPE_CC270"}));
    EXPECT_EQ(options["InputBin"], (std::set<std::string>{"MANUAL"}));
    EXPECT_EQ(options["ColorMode"], (std::set<std::string>{"Mono"}));
    EXPECT_EQ(root->Find("*Feature", "Halftone")->Value("*DefaultOption"), "HT_PATSIZE_4x4");
    EXPECT_EQ(options["Halftone"], (std::set<std::string>{"HT_PATSIZE_4x4", "HT_PATSIZE_6x6", "HT_PATSIZE_8x8",
                                                           "HT_PATSIZE_10x10", "HT_PATSIZE_12x12",
                                                           "HT_PATSIZE_14x14", "HT_PATSIZE_16x16"}));
    std::set<std::string> properties;
    for (const Entry* f : root->All("*Feature"))
        if (f->Value("*FeatureType") == "PRINTER_PROPERTY") properties.insert(f->Value("*rcNameID"));
    EXPECT_EQ(properties, (std::set<std::string>{"700", "704", "707", "713", "717", "721", "725", "729", "732",
                                                  "733", "801"}));
}

TEST_F(GpdTest, NamesComeFromTheResourceDllsAndTheStandardNames) {
    std::string error;
    auto root = ParseGpd(gpd, error);
    auto names = ParseGpd(stdnames, error);
    ASSERT_TRUE(root && names) << error;
    std::set<std::string> macros;
    for (const Entry* group : names->All("*Macros"))
        for (const auto& m : group->children) macros.insert(m->key.substr(m->key[0] == '*'));
    std::set<int> numbers;
    std::set<std::string> used;
    std::vector<const Entry*> stack = {root.get()};
    while (!stack.empty()) {
        const Entry* e = stack.back();
        stack.pop_back();
        if (!e->value.empty() && e->value[0] == '=') used.insert(e->value.substr(1));
        if (e->key == "*rcNameID" && e->value[0] != '=') numbers.insert(std::stoi(e->value));
        for (const auto& c : e->children) stack.push_back(c.get());
    }
    // The include defines exactly the names the model uses.
    EXPECT_EQ(used, macros);
    EXPECT_EQ(used.size(), 19u);

    std::set<int> expected = {800, 801};
    for (int id = 700; id <= 733; ++id) expected.insert(id);
    EXPECT_EQ(numbers, expected);
    for (const char* dll : {"KRXRES_chs.dll", "KRXRES_cht.dll", "KRXRES_eng.dll", "KRXRES_chs_general.dll"}) {
        HMODULE m = LoadLibraryExA(test::BuildPath("payload\\" + std::string(dll)).c_str(), nullptr,
                                   LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_TRUE(m) << dll;
        for (int id : numbers) {
            WCHAR text[256];
            EXPECT_GT(LoadStringW(m, id, text, 256), 0) << dll << " lacks string " << id;
        }
        FreeLibrary(m);
    }
}

// The three model lines become the printer's; every other line is copied
// with an LF line end.
std::string ExpectedRewrite(const std::string& gpd, const std::string& printer) {
    std::string out;
    for (const std::string& line : Lines(gpd)) {
        if (line.find("*GPDFileName:") != std::string::npos) out += "*GPDFileName: \"" + printer + ".GPD\"";
        else if (line.find("*ModelName:") != std::string::npos) out += "*ModelName: \"" + printer + "\"";
        else if (line.find("*ResourceDLL:") != std::string::npos) out += "*ResourceDLL: \"" + printer + "RES.DLL\"";
        else out += line;
        out += "\n";
    }
    return out;
}

TEST_F(GpdTest, RewrittenForThePrinterName) {
    CreateDirectoryA("C:\\TEMP", nullptr);
    std::string folder = test::MakeTempFolder("gpd");
    std::string krx = gpd;
    for (size_t at; (at = krx.find("\r\n")) != std::string::npos;) krx.replace(at, 2, "\n");

    for (const char* printer : {"KRX", "MERLO"}) {
        lstrcpyA(g_PrinterName, printer);
        for (unsigned id : {155u, 169u, 187u}) {
            std::string path = folder + "\\" + printer + std::to_string(id) + ".GPD";
            EXPECT_TRUE(theApp.ExtractPayload(id, path.c_str(), 1));
            std::string written = test::ReadFileBytes(path);
            EXPECT_EQ(written, ExpectedRewrite(gpd, printer)) << printer << " " << id;
            if (std::string(printer) == "KRX") {
                EXPECT_EQ(written, krx);
            }
        }
        std::string ini = folder + "\\" + printer + ".INI";
        theApp.ExtractPayload(188, ini.c_str(), 1);
        EXPECT_EQ(test::ReadFileBytes(ini), "[OEMFiles]\nOEMDriverFile1=" + std::string(printer) +
                                                "D.DLL\nOEMConfigFile1=" + printer + "F.DLL\n\n");
    }
    lstrcpyA(g_PrinterName, "MERLO");
    std::string merlo = test::ReadFileBytes(folder + "\\MERLO155.GPD");
    EXPECT_NE(merlo.find("\n*GPDFileName: \"MERLO.GPD\"\n"), std::string::npos);
    EXPECT_NE(merlo.find("\n*ModelName: \"MERLO\"\n"), std::string::npos);
    EXPECT_NE(merlo.find("\n*ResourceDLL: \"MERLORES.DLL\"\n"), std::string::npos);
    EXPECT_EQ(merlo.find('\r'), std::string::npos);
}

// The longest rule line, *ResourceDLL, holds 23 characters besides the name
// and must fit 259 characters.
TEST_F(GpdTest, PrinterNamesUpToTheLongestRuleLine) {
    CreateDirectoryA("C:\\TEMP", nullptr);
    std::string folder = test::MakeTempFolder("gpdlong");
    std::string longest(259 - 23, 'L');
    lstrcpyA(g_PrinterName, longest.c_str());
    std::string path = folder + "\\longest.GPD";
    EXPECT_TRUE(theApp.ExtractPayload(187, path.c_str(), 1));
    EXPECT_EQ(test::ReadFileBytes(path), ExpectedRewrite(gpd, longest));

    std::string tooLong = longest + "L";
    lstrcpyA(g_PrinterName, tooLong.c_str());
    path = folder + "\\tooLong.GPD";
    EXPECT_TRUE(theApp.ExtractPayload(187, path.c_str(), 1));
    EXPECT_FALSE(test::FileExists(path));
    lstrcpyA(g_PrinterName, "KRX");
}

}  // namespace
