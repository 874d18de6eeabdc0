#include "command_line.h"
#include "../framework/afx.h"
#include <cstring>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The first `length` characters of `text` are all of `upper`, letter case
// aside. ASCII letters only: the trail byte of a GBK or Big5 character
// never matches.
bool IsNoCase(const char* text, size_t length, const char* upper) {
    for (size_t i = 0; i < length; ++i) {
        char a = text[i];
        if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 'a' + 'A');
        if (a != upper[i]) return false;
    }
    return !upper[length];
}

// The program's own name, quoted or up to the first blank.
const char* SkipProgramName(const char* p) {
    if (*p != '"') {
        while (*p && !IsBlank(*p)) ++p;
        return p;
    }
    ++p;
    while (*p && *p != '"') ++p;
    return *p ? p + 1 : p;
}

// Copies the next word, quotes taken out, into `word`; false when it does
// not fit (it is skipped all the same). `p` moves past it.
bool NextWord(const char*& p, char (&word)[MAX_PATH + 8]) {
    size_t length = 0;
    bool fits = true, quoted = false;
    for (; *p && (quoted || !IsBlank(*p)); ++p) {
        if (*p == '"') {
            quoted = !quoted;
        } else if (length + 1 < sizeof word) {
            word[length++] = *p;
        } else {
            fits = false;
        }
    }
    word[length] = '\0';
    return fits;
}

}  // namespace

CommandLineSwitches ParseCommandLine(const char* commandLine) {
    CommandLineSwitches switches;
    const char kLog[] = "/LOG=", kPort[] = "/PORT=", kAddress[] = "/IP=";
    const size_t logLength = sizeof kLog - 1, portLength = sizeof kPort - 1, addressLength = sizeof kAddress - 1;
    for (const char* p = SkipProgramName(commandLine); *p;) {
        while (IsBlank(*p)) ++p;
        char word[MAX_PATH + 8];
        if (!NextWord(p, word)) continue;
        const size_t length = strlen(word);
        if (IsNoCase(word, length, "/S")) switches.silent = true;
        else if (IsNoCase(word, length, "/?")) switches.usage = true;
        else if (IsNoCase(word, length, "/TESTPRINT")) switches.testPrint = true;
        else if (length > logLength && IsNoCase(word, logLength, kLog))
            AfxFormat(switches.logPath, "%s", word + logLength);   // a path that does not fit stays empty
        else if (length > portLength && IsNoCase(word, portLength, kPort)) {
            switches.portSwitch = CommandLineSwitches::PortSwitch::Port;
            lstrcpynA(switches.port, word + portLength, sizeof switches.port);
        } else if (length > addressLength && IsNoCase(word, addressLength, kAddress)) {
            switches.portSwitch = CommandLineSwitches::PortSwitch::Address;
            lstrcpynA(switches.port, word + addressLength, sizeof switches.port);
        }
    }
    return switches;
}
