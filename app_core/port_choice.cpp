#include "port_choice.h"
#include "../framework/afx.h"
#include <cstring>

const char kDefaultPortName[] = "LPT1:";

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// A number of 1 to `digits` decimal digits, at most `max`; `p` moves past it.
bool ReadNumber(const char*& p, int digits, unsigned long max, unsigned long& value) {
    value = 0;
    int read = 0;
    for (; IsDigit(*p) && read < digits; ++p, ++read) value = value * 10 + static_cast<unsigned long>(*p - '0');
    return read > 0 && !IsDigit(*p) && value <= max;
}

bool IsIPv4Address(const char* host) {
    const char* p = host;
    for (int part = 0; part < 4; ++part) {
        unsigned long value;
        if ((part > 0 && *p++ != '.') || !ReadNumber(p, 3, 255, value)) return false;
    }
    return *p == '\0';
}

// Labels of letters, digits and hyphens, 1 to 63 each, no hyphen at
// either end, joined by single dots. Digits and dots alone are left to
// the address rule: 300.1.1.1 is no host name.
bool IsHostName(const char* host) {
    bool notOnlyDigits = false;
    const char* label = host;
    for (const char* p = host;; ++p) {
        if (IsLetter(*p) || *p == '-') {
            notOnlyDigits = true;
            continue;
        }
        if (IsDigit(*p)) continue;
        if (*p != '.' && *p != '\0') return false;
        const size_t length = static_cast<size_t>(p - label);
        if (length == 0 || length > 63 || label[0] == '-' || p[-1] == '-') return false;
        if (*p == '\0') return notOnlyDigits;
        label = p + 1;
    }
}

enum Group { kUsb, kCom, kLpt, kOther, kFile, kGroups };
Group GroupOf(const char* name) {
    if (SameName(name, "USB", 3)) return kUsb;
    if (SameName(name, "COM", 3)) return kCom;
    if (SameName(name, "LPT", 3)) return kLpt;
    if (SameName(name, "FILE:")) return kFile;
    return kOther;
}

}  // namespace

bool ListedPortChoice(const char* name, PortChoice& port) {
    port = PortChoice();
    return IsUsablePortName(name) && AfxFormat(port.name, "%s", name);
}

bool IsUsablePortName(const char* name) {
    const size_t length = strlen(name);
    if (length == 0 || length >= kMaxPortName || name[0] == ' ' || name[length - 1] == ' ' ||
        name[length - 1] == '\\')
        return false;
    for (const char* p = name; *p; ++p)
        if (static_cast<unsigned char>(*p) < 0x20 || *p == 0x7F || *p == '"' || *p == ',') return false;
    return true;
}

bool ParseNetworkAddress(const char* text, PortChoice& port) {
    port = PortChoice();
    const char* colon = strchr(text, ':');
    const size_t hostLength = colon ? static_cast<size_t>(colon - text) : strlen(text);
    if (hostLength == 0 || hostLength >= kMaxHostName) return false;
    memcpy(port.host, text, hostLength);
    port.host[hostLength] = '\0';
    unsigned long tcpPort = kRawTcpPort;
    const char* p = colon ? colon + 1 : "";
    const bool tcpPortRead = !colon || (ReadNumber(p, 5, 65535, tcpPort) && *p == '\0' && tcpPort != 0);
    port.tcpPort = static_cast<unsigned short>(tcpPort);
    const bool named = tcpPortRead && (IsIPv4Address(port.host) || IsHostName(port.host));
    const bool fits = tcpPort == kRawTcpPort ? AfxFormat(port.name, "IP_%s", port.host)
                                             : AfxFormat(port.name, "IP_%s_%lu", port.host, tcpPort);
    if (named && fits) return true;
    port = PortChoice();
    return false;
}

size_t OrderPorts(const char* const* names, size_t count, size_t (&ordered)[kMaxListedPorts]) {
    size_t placed = 0;
    for (int group = kUsb; group < kGroups; ++group)
        for (size_t i = 0; i < count && placed < kMaxListedPorts; ++i)
            if (names[i] && IsUsablePortName(names[i]) && GroupOf(names[i]) == group) ordered[placed++] = i;
    return placed;
}

const char* DefaultPortName(const char* const* names, size_t count) {
    for (size_t i = 0; i < count; ++i)
        if (names[i] && IsUsablePortName(names[i]) && GroupOf(names[i]) == kUsb) return names[i];
    return kDefaultPortName;
}
