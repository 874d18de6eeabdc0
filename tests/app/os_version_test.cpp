// Operating-system codes: the version mapping, and detection against the
// versions Wine reports; the machine Windows runs on.
#include "app_core/os_version.h"
#include "app_core/install_choices.h"
#include "app_core/start_checks.h"
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

// IsWow64Process2 where it answered, else IsWow64Process with
// GetNativeSystemInfo; a process outside WoW64 runs on its own machine.
TEST(NativeMachineTest, FromWhatTheSystemSays) {
    const USHORT x86 = IMAGE_FILE_MACHINE_I386, amd64 = IMAGE_FILE_MACHINE_AMD64, arm64 = 0xAA64;
    const struct {
        MachineFacts facts;
        USHORT own, native;
        Machine machine;
        const char* name;
    } cases[] = {
        {{true, amd64, true, TRUE, PROCESSOR_ARCHITECTURE_AMD64}, x86, amd64, Machine::X64, "x64"},
        // An x86 program emulated on ARM64: only IsWow64Process2 tells.
        {{true, arm64, true, TRUE, PROCESSOR_ARCHITECTURE_INTEL}, x86, arm64, Machine::Other, "ARM64"},
        {{true, x86, true, FALSE, PROCESSOR_ARCHITECTURE_INTEL}, x86, x86, Machine::X86, "x86"},
        {{true, amd64, true, FALSE, PROCESSOR_ARCHITECTURE_AMD64}, amd64, amd64, Machine::X64, "x64"},
        // Windows before 10 (1511): no IsWow64Process2, or one that failed.
        {{false, 0, true, TRUE, PROCESSOR_ARCHITECTURE_AMD64}, x86, amd64, Machine::X64, "x64"},
        {{true, 0, true, TRUE, PROCESSOR_ARCHITECTURE_AMD64}, x86, amd64, Machine::X64, "x64"},
        {{false, 0, true, TRUE, PROCESSOR_ARCHITECTURE_IA64}, x86, IMAGE_FILE_MACHINE_IA64, Machine::Other, "Itanium"},
        {{false, 0, true, TRUE, 0x7777}, x86, IMAGE_FILE_MACHINE_UNKNOWN, Machine::Other, "machine 0x0000"},
        {{false, 0, true, FALSE, PROCESSOR_ARCHITECTURE_INTEL}, x86, x86, Machine::X86, "x86"},
        // Windows 2000 and XP before SP2: neither; 32-bit Windows then.
        {{false, 0, false, FALSE, PROCESSOR_ARCHITECTURE_UNKNOWN}, x86, x86, Machine::X86, "x86"},
        {{false, 0, false, TRUE, PROCESSOR_ARCHITECTURE_AMD64}, x86, x86, Machine::X86, "x86"},
    };
    int row = 0;
    for (const auto& c : cases) {
        const USHORT native = NativeMachineFrom(c.facts, c.own);
        char name[32];
        MachineName(native, name);
        EXPECT_EQ(native, c.native) << "row " << row;
        EXPECT_EQ(MachineOf(native), c.machine) << "row " << row;
        EXPECT_STREQ(name, c.name) << "row " << row++;
    }
}

// Wine reports the machine of the prefix: x64 in a 64-bit one, whatever
// the process's bits.
TEST(NativeMachineTest, DetectedAsThePrefixIs) {
    SYSTEM_INFO system;
    GetNativeSystemInfo(&system);
    const Machine expected =
        system.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ? Machine::X64 : Machine::X86;
    EXPECT_EQ(MachineOf(DetectNativeMachine()), expected);
    EXPECT_EQ(PreselectedChoices("KRX").machine, expected);
}

TEST(DetectWindowsVersionTest, GivesTheSameCodeOnEveryCall) {
    int first = DetectWindowsVersion();
    EXPECT_GE(first, 0);
    EXPECT_LE(first, 10);
    EXPECT_EQ(DetectWindowsVersion(), first);
}

}  // namespace
