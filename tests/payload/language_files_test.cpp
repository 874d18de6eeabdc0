// The three embedded language files: layout, keys in file order, and texts
// in the encoding each file is read in.
#include "app/setup_app.h"
#include "test_support.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const char* const kKeys[] = {
    "IDD138_Title", "IDD138_65535", "IDD138_1042", "IDD138_1043", "IDD138_1044", "IDD138_1045",
    "IDD102_Title", "IDD102_1000", "IDD102_12323", "IDD102_12324", "IDD102_1061", "IDD102_12325",
    "IDD102_-1", "IDD102_0",
    "IDD139_Title", "IDD139_1040", "IDD139_1065", "IDD139_1046", "IDD139_1047", "IDD139_1048",
    "IDD139_1019", "IDD139_1049", "IDD139_1050",
    "IDD137_Title", "IDD137_1040", "IDD137_1065", "IDD137_1051", "IDD137_1052", "IDD137_1032",
    "IDD137_1033", "IDD137_1036", "IDD137_1053", "IDD137_1054", "IDD137_1037", "IDD137_1038",
    "IDD143_Title", "IDD143_1055", "IDD143_1056", "IDD143_1039", "IDD143_1057", "IDD143_1019",
    "IDD143_1006",
    "IDD140_Title", "IDD140_1040", "IDD140_1065", "IDD140_1058", "IDD140_1059", "IDD140_1060",
    "IDD140_1035",
};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
        EXPECT_EQ(lines.back().find_first_of("\r\n"), std::string::npos) << "bare CR or LF";
    }
    EXPECT_EQ(start, text.size()) << "the last line ends with CR LF";
    return lines;
}

struct LanguageFile {
    unsigned id;
    const char* language;
    UINT codePage;
};
const LanguageFile kFiles[] = {{147, "English", 1252}, {146, "Chinese", 936}, {248, "Chinese", 950}};

TEST(LanguageFilesTest, LayoutAndKeysInFileOrder) {
    for (const LanguageFile& file : kFiles) {
        SCOPED_TRACE(file.id);
        std::string text = test::EmbeddedPayload(file.id);
        std::vector<std::string> lines = Lines(text);
        ASSERT_GT(lines.size(), 8u);
        std::vector<std::string> head(lines.begin(), lines.begin() + 8);
        EXPECT_EQ(head, (std::vector<std::string>{"", "", "[Setting]", std::string("Language=") + file.language,
                                                   "", "", "", "[String]"}));
        std::vector<std::string> keys;
        for (size_t i = 8; i < lines.size(); ++i) {
            size_t eq = lines[i].find('=');
            // Lines without "=" continue the licence text of IDD139_1019.
            if (eq != std::string::npos) keys.push_back(lines[i].substr(0, eq));
            else EXPECT_EQ(keys.back(), "IDD139_1019") << lines[i];
        }
        EXPECT_EQ(keys, std::vector<std::string>(std::begin(kKeys), std::end(kKeys)));
    }
}

TEST(LanguageFilesTest, TextsDecodeInTheirCodePage) {
    for (const LanguageFile& file : kFiles) {
        std::string text = test::EmbeddedPayload(file.id);
        int n = MultiByteToWideChar(file.codePage, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()),
                                    nullptr, 0);
        EXPECT_GT(n, 0) << file.id;
        if (file.codePage == 1252) {
            for (char c : text) EXPECT_TRUE(c >= 0x0A && c < 0x7F) << "plain ASCII";
        }
    }
    // Bytes of a few texts, as GBK and Big5 encode them.
    std::string gbk = test::EmbeddedPayload(146), big5 = test::EmbeddedPayload(248), english = test::EmbeddedPayload(147);
    EXPECT_NE(gbk.find("\r\nIDD102_12324=\xCF\xC2\xD2\xBB\xB2\xBD\r\n"), std::string::npos);
    EXPECT_NE(gbk.find("\r\nIDD143_1057=\xC3\xFB\xB3\xC6:\r\n"), std::string::npos);
    EXPECT_NE(gbk.find("\r\nIDD138_1042=\xBB\xB6\xD3\xAD\xCA\xB9\xD3\xC3\xB4\xF2\xD3\xA1\xBB\xFA\xC7\xFD\xB6\xAF"
                       "\xB0\xB2\xD7\xB0\xB3\xCC\xD0\xF2\xCF\xF2\xB5\xBC\r\n"),
              std::string::npos);
    EXPECT_NE(big5.find("\r\nIDD102_12324=\xA4\x55\xA4\x40\xA8\x42\r\n"), std::string::npos);
    EXPECT_NE(big5.find("\r\nIDD102_12323=\xAB\xE1\xB0\x68\r\n"), std::string::npos);
    EXPECT_NE(big5.find("\r\nIDD143_1057=\xA6\x57\xBA\xD9:\r\n"), std::string::npos);
    EXPECT_NE(english.find("\r\nIDD102_12323=&Back\r\n"), std::string::npos);
    EXPECT_NE(english.find("\r\nIDD140_1035=Progress1\r\n"), std::string::npos);
}

// Written to disk and read back the way the dialogs read them, under the
// code page the system language gives (the test runs once per language).
TEST(LanguageFilesTest, ProfileReadsGiveTheTextsOfTheSystemsCodePage) {
    std::string folder = test::MakeTempFolder("language");
    auto read = [](const std::string& path, const char* section, const char* key) {
        char value[1000] = {};
        GetPrivateProfileStringA(section, key, "<missing>", value, sizeof value, path.c_str());
        return std::string(value);
    };
    std::string english = folder + "\\Multi_eng.dll";
    theApp.ExtractPayload(147, english.c_str(), 0);
    EXPECT_EQ(read(english, "Setting", "Language"), "English");
    EXPECT_EQ(read(english, "String", "IDD102_12324"), "&Next");
    EXPECT_EQ(read(english, "String", "IDD138_Title"), "");
    EXPECT_EQ(read(english, "String", "IDD139_1049"), "I accept the agreement");
    EXPECT_EQ(read(english, "String", "IDD102_-1"), "");

    UINT acp = GetACP();
    if (acp != 936 && acp != 950) return;
    std::string chinese = folder + (acp == 936 ? "\\Multi_ch.dll" : "\\Multi_ch_BIG5.dll");
    theApp.ExtractPayload(acp == 936 ? 146 : 248, chinese.c_str(), 0);
    EXPECT_EQ(read(chinese, "Setting", "Language"), "Chinese");
    EXPECT_EQ(read(chinese, "String", "IDD102_12324"), acp == 936 ? "\xCF\xC2\xD2\xBB\xB2\xBD" : "\xA4\x55\xA4\x40\xA8\x42");
    EXPECT_EQ(read(chinese, "String", "IDD143_1057"), acp == 936 ? "\xC3\xFB\xB3\xC6:" : "\xA6\x57\xBA\xD9:");
    EXPECT_EQ(read(chinese, "String", "IDD137_1032"), "Windows 2000");
    EXPECT_EQ(read(chinese, "String", "IDD140_1035"), "Progress1");
}

}  // namespace
