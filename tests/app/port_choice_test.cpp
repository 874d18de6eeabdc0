// The port rules as data: network addresses, names that may stand on the
// printer installer's command line, the page's order and default, and the
// switches of /S that name a port.
#include "app_core/command_line.h"
#include "app_core/port_choice.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

TEST(PortChoice, NetworkAddresses) {
    const struct {
        const char* text;
        const char* name;   // null: refused
        const char* host = nullptr;
        unsigned tcpPort = 0;
    } cases[] = {
        {"192.168.1.20", "IP_192.168.1.20", "192.168.1.20", 9100},
        {"10.0.0.5:9200", "IP_10.0.0.5_9200", "10.0.0.5", 9200},
        {"10.0.0.5:9100", "IP_10.0.0.5", "10.0.0.5", 9100},
        {"till-07.shop.example:65535", "IP_till-07.shop.example_65535", "till-07.shop.example", 65535},
        {"PRN01", "IP_PRN01", "PRN01", 9100},
        {"", nullptr}, {"300.1.1.1", nullptr}, {"1.2.3", nullptr}, {"1.2.3.4.5", nullptr},
        {"10.0.0.5:", nullptr}, {"10.0.0.5:0", nullptr}, {"10.0.0.5:65536", nullptr}, {"10.0.0.5:91x", nullptr},
        {"10.0.0.5:9100:1", nullptr}, {":9100", nullptr}, {"-a.b", nullptr}, {"a-.b", nullptr}, {"a..b", nullptr},
        {"a b", nullptr}, {"a\"b", nullptr}, {"a\\b", nullptr}, {"a.b.", nullptr},
    };
    for (const auto& c : cases) {
        PortChoice port;
        const std::string text = c.text;
        const bool parsed = ParseNetworkAddress(c.text, port);
        EXPECT_EQ(parsed, c.name != nullptr) << text;
        if (!c.name) {
            EXPECT_FALSE(IsNetworkPort(port)) << text;
            continue;
        }
        EXPECT_STREQ(port.name, c.name);
        EXPECT_STREQ(port.host, c.host);
        EXPECT_EQ(port.tcpPort, c.tcpPort) << text;
        EXPECT_TRUE(IsUsablePortName(port.name)) << text;
    }
    // The longest host the monitor keeps, and one more.
    PortChoice port;
    const std::string longest(48, 'a');
    EXPECT_TRUE(ParseNetworkAddress((longest + ":65535").c_str(), port));
    EXPECT_EQ(std::string(port.name), "IP_" + longest + "_65535");
    EXPECT_FALSE(ParseNetworkAddress((longest + "a").c_str(), port));
}

// Between the quotes of /r "<port>": no quote, no comma, no backslash
// before the closing quote, nothing a blank could cut, at most 63.
TEST(PortChoice, NamesThatCanStandOnTheCommandLine) {
    for (const char* name : {"USB001", "LPT1:", "COM3:", "FILE:", "IP_10.0.0.5", "\\\\till\\receipt", "Ne00:",
                             "My Port"})
        EXPECT_TRUE(IsUsablePortName(name)) << name;
    for (const std::string& name : {std::string(""), std::string(" USB001"), std::string("USB001 "),
                                   std::string("US\"B"), std::string("LPT1:,LPT2:"), std::string("C:\\ports\\"),
                                   std::string("USB\x01"), std::string("USB\t1"), std::string(64, 'P')})
        EXPECT_FALSE(IsUsablePortName(name.c_str())) << name;
    EXPECT_TRUE(IsUsablePortName(std::string(63, 'P').c_str()));
}

TEST(PortChoice, PageOrderAndDefault) {
    const char* names[] = {"LPT1:", "COM1:", "FILE:", "USB002", "Ne00:", "usb001", "COM2:", "bad\"", "LPT2:", nullptr};
    size_t order[kMaxListedPorts];
    const size_t count = OrderPorts(names, std::size(names), order);
    std::vector<std::string> listed;
    for (size_t i = 0; i < count; ++i) listed.push_back(names[order[i]]);
    EXPECT_EQ(listed, (std::vector<std::string>{"USB002", "usb001", "COM1:", "COM2:", "LPT1:", "LPT2:", "Ne00:",
                                                 "FILE:"}));
    EXPECT_STREQ(DefaultPortName(names, std::size(names)), "USB002");
    // Without USB ports the printer goes on LPT1:, as before ports could be chosen.
    EXPECT_STREQ(DefaultPortName(names, 3), "LPT1:");
    EXPECT_STREQ(DefaultPortName(names, 0), "LPT1:");
}

TEST(PortChoice, SwitchesOfSilentRuns) {
    using P = CommandLineSwitches::PortSwitch;
    const struct {
        const char* line;
        P kind;
        const char* value;
        bool testPrint;
    } cases[] = {
        {"setup.exe /S", P::None, "", false},
        {"setup.exe /S /port=USB001 /testprint", P::Port, "USB001", true},
        {"setup.exe /S /IP=10.0.0.5:9200", P::Address, "10.0.0.5:9200", false},
        {"setup.exe /PORT=\"My Port\" /S", P::Port, "My Port", false},
        {"setup.exe /IP=10.0.0.5 /PORT=COM1: /TESTPRINT", P::Port, "COM1:", true},   // the last counts
        {"setup.exe /PORT=COM1: /IP=10.0.0.5", P::Address, "10.0.0.5", false},
        {"setup.exe /PORT= /IP /TESTPRINTS", P::None, "", false},
    };
    for (const auto& c : cases) {
        const CommandLineSwitches switches = ParseCommandLine(c.line);
        EXPECT_EQ(switches.portSwitch, c.kind) << c.line;
        EXPECT_STREQ(switches.port, c.value) << c.line;
        EXPECT_EQ(switches.testPrint, c.testPrint) << c.line;
    }
}

}  // namespace
