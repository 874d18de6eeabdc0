// Operating-system codes: the version mapping, and detection against the
// versions Wine reports.
#include "app_core/os_version.h"
#include "test_support.h"
#include <gtest/gtest.h>

namespace {

struct Case {
    bool nonNt;
    unsigned major, minor;
    int code;
};

TEST(OsCodeForTest, MapsEachReportedVersion) {
    const Case cases[] = {
        // The NT platform: every code but NT 4.0 needs its exact minor.
        {false, 3, 51, 4}, {false, 4, 0, 5}, {false, 4, 1, 5}, {false, 4, 90, 5},
        {false, 5, 0, 6}, {false, 5, 1, 7}, {false, 5, 2, 8}, {false, 5, 3, 4},
        {false, 6, 0, 9}, {false, 6, 1, 10}, {false, 6, 2, 4}, {false, 6, 3, 4},
        {false, 10, 0, 4}, {false, 0, 0, 4},
        // The non-NT platform.
        {true, 4, 0, 1}, {true, 4, 10, 2}, {true, 4, 90, 3}, {true, 4, 3, 1},
        {true, 5, 0, 1}, {true, 0, 0, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(OsCodeFor(c.nonNt, c.major, c.minor), c.code)
            << (c.nonNt ? "9x " : "NT ") << c.major << "." << c.minor;
}

TEST(DetectWindowsVersionTest, ReadsTheVersionTheSystemReports) {
    const std::string probe = test::BuildPath("tests\\app\\os_probe.exe");
    ASSERT_TRUE(test::FileExists(probe)) << probe;
    const struct {
        const char* version;
        DWORD code;
    } runs[] = {
        {"win2k", 6}, {"winxp", 7}, {"win2003", 8}, {"vista", 9}, {"win7", 10},
        {"win10", 4}, {"nt40", 5}, {"win98", 2}, {"win95", 1},
    };
    for (const auto& run : runs) {
        test::SetWindowsVersion("os_probe.exe", run.version);
        EXPECT_EQ(test::Program("\"" + probe + "\"").WaitForExit(), run.code) << run.version;
    }
}

TEST(DetectWindowsVersionTest, GivesTheSameCodeOnEveryCall) {
    int first = DetectWindowsVersion();
    EXPECT_GE(first, 0);
    EXPECT_LE(first, 10);
    EXPECT_EQ(DetectWindowsVersion(), first);
}

}  // namespace
