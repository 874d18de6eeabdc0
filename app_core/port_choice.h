// The port the new printer is created on: one the spooler lists (USB001,
// COM1:, LPT1:, ...), or a network port that the install makes through the
// spooler's Standard TCP/IP Port monitor. The rules for both, as plain data:
// which names may stand on the printer installer's command line, how a
// network address reads, and the order and default of the page's list.
#pragma once
#include <windows.h>

// The monitor's limits, with the terminating NUL: a port name of 63
// characters, a host of 48.
const size_t kMaxPortName = 64;
const size_t kMaxHostName = 49;
// Raw printing on TCP, the port receipt printers listen on.
const unsigned short kRawTcpPort = 9100;
// The port of a system without USB printer ports, as before ports could be chosen.
extern const char kDefaultPortName[];

struct PortChoice {
    char name[kMaxPortName];   // "USB001", "LPT1:", "IP_192.168.1.20"
    char host[kMaxHostName];   // a network port's IPv4 address or host name; "" for a listed port
    unsigned short tcpPort;    // a network port's TCP port
};
inline bool IsNetworkPort(const PortChoice& port) { return port.host[0] != '\0'; }

// A listed port the choice takes: its name, no host.
bool ListedPortChoice(const char* name, PortChoice& port);

// A port name that can go between the quotes of the printer installer's
// command line: 1 to 63 characters, no control character, no quote, no
// comma (a printer's port list), no blank at either end, and no backslash
// at its end (which would escape the closing quote).
bool IsUsablePortName(const char* name);

// "<IPv4 address or host name>[:<TCP port>]": four numbers 0 to 255, or
// labels of letters, digits and hyphens (no hyphen at a label's ends)
// joined by dots, at most 48 characters; the TCP port 1 to 65535, 9100
// when none is given. The port is named IP_<host>, and IP_<host>_<TCP
// port> on another TCP port than 9100. False for anything else.
bool ParseNetworkAddress(const char* text, PortChoice& port);

// The page's order of the spooler's ports: USB printer ports first, then
// COM, LPT and the rest, FILE: last, each group in the spooler's order;
// names that cannot be used are left out. Fills `ordered` with indexes
// into `names` and returns how many.
const size_t kMaxListedPorts = 128;
size_t OrderPorts(const char* const* names, size_t count, size_t (&ordered)[kMaxListedPorts]);

// The first USB port the spooler lists; LPT1: when it lists none.
const char* DefaultPortName(const char* const* names, size_t count);
