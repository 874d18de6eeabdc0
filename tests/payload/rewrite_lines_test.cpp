// The line copier: rule matching, line ends and odd input.
#include "payload/rewrite_lines.h"
#include "system/held_folder.h"
#include "test_support.h"
#include <gtest/gtest.h>
#include <cstring>

namespace {

LineRule Rule(const char* key, const char* replacement) {
    LineRule r = {};
    strcpy(r.key, key);
    strcpy(r.replacement, replacement);
    return r;
}

class RewriteLinesTest : public ::testing::Test {
protected:
    std::string folder = test::MakeTempFolder("rewrite");
    std::string destination = folder + "\\out.txt";

    std::string Rewrite(const std::string& input, const std::vector<LineRule>& rules) {
        HeldFolder held;
        EXPECT_EQ(held.Hold(folder.c_str(), false, false), FolderCheck::Held);
        NewFile out(held, "out.txt");
        EXPECT_TRUE(RewriteLines(input.data(), static_cast<DWORD>(input.size()), out, rules.data(),
                                 static_cast<int>(rules.size())));
        return test::ReadFileBytes(destination);
    }
};

TEST_F(RewriteLinesTest, ReplacesWholeLinesByFirstMatchingRuleAndEndsLinesWithLf) {
    std::vector<LineRule> rules = {Rule("A=", "A=new"), Rule("B=", "B=new")};
    EXPECT_EQ(Rewrite("x\r\nA=old\r\nprefix B=old suffix\r\nA= and B=\r\n", rules),
              "x\nA=new\nB=new\nA=new\n");
}

TEST_F(RewriteLinesTest, KeysAreCaseSensitive) {
    std::vector<LineRule> rules = {Rule("*ModelName:", "*ModelName: \"M\"")};
    EXPECT_EQ(Rewrite("*modelname: \"KRX\"\r\n*MODELNAME:\r\n", rules), "*modelname: \"KRX\"\n*MODELNAME:\n");
}

TEST_F(RewriteLinesTest, LineEndsAndEmptyLines) {
    std::vector<LineRule> rules;
    EXPECT_EQ(Rewrite("last line without break", rules), "last line without break\n");
    EXPECT_EQ(Rewrite("\r\n\r\na\n\nb\r\n", rules), "\n\na\n\nb\n");
    EXPECT_EQ(Rewrite("", rules), "");
    // A lone CR is data, not a line break.
    EXPECT_EQ(Rewrite("a\rb\r\n", rules), "a\rb\n");
}

TEST_F(RewriteLinesTest, BytesPassUnchangedIncludingControlAndHighBytes) {
    std::vector<LineRule> rules = {Rule("KEY", "REPLACED")};
    std::string odd = std::string("\x1a\x00\xff\xb4\xf2", 5) + "\t ";
    EXPECT_EQ(Rewrite(odd + "\r\n", rules), odd + "\n");
}

TEST_F(RewriteLinesTest, LongLinesAreCopiedWholeAndUnchanged) {
    std::vector<LineRule> rules = {Rule("KEY", "REPLACED")};
    std::string exact(kLineLength - 3, 'x');
    std::string longLine(5000, 'y');
    EXPECT_EQ(Rewrite(exact + "KEY\r\n" + longLine + "KEY\r\n", rules), "REPLACED\n" + longLine + "KEY\n");
    // One byte over the limit, its break read apart from it; a line of
    // exactly two such pieces; a last line over the limit without a break.
    std::string over(kLineLength - 2, 'x'), twoPieces(2 * (kLineLength + 1), 'z');
    EXPECT_EQ(Rewrite(over + "KEY\r\n" + twoPieces + "\r\nKEY\r\n" + over + "KEY", rules),
              over + "KEY\n" + twoPieces + "\nREPLACED\n" + over + "KEY\n");
}

TEST_F(RewriteLinesTest, EmptyTextGivesEmptyFile) {
    EXPECT_EQ(Rewrite("", {Rule("A", "B")}), "");
    EXPECT_TRUE(test::FileExists(destination));
}

}  // namespace
