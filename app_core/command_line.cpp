#include "command_line.h"
#include "../framework/afx.h"
#include <cstring>
#include <initializer_list>

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

// /S and the quiet switches that management tools pass by default.
bool IsQuietSwitch(const char* word, size_t length) {
    for (const char* quiet : {"/S", "/QUIET", "/QN", "/SILENT", "/VERYSILENT"})
        if (IsNoCase(word, length, quiet)) return true;
    return false;
}

void KeepUnknown(CommandLineSwitches& switches, const char* word) {
    if (!switches.unknown[0]) lstrcpynA(switches.unknown, word[0] ? word : "\"\"", sizeof switches.unknown);
}

}  // namespace

CommandLineSwitches ParseCommandLine(const char* commandLine) {
    CommandLineSwitches switches;
    const char kLog[] = "/LOG=", kPort[] = "/PORT=", kAddress[] = "/IP=";
    const size_t logLength = sizeof kLog - 1, portLength = sizeof kPort - 1, addressLength = sizeof kAddress - 1;
    for (const char* p = SkipProgramName(commandLine); *p;) {
        while (IsBlank(*p)) ++p;
        if (!*p) break;
        char word[MAX_PATH + 8];
        const bool fits = NextWord(p, word);
        const size_t length = strlen(word);
        if (!fits) KeepUnknown(switches, word);
        else if (IsQuietSwitch(word, length)) switches.silent = true;
        else if (IsNoCase(word, length, "/?")) switches.usage = true;
        else if (IsNoCase(word, length, "/TESTPRINT")) switches.testPrint = true;
        else if (length > logLength && IsNoCase(word, logLength, kLog)) {
            // A path cut short would name another file.
            if (!AfxFormat(switches.logPath, "%s", word + logLength)) KeepUnknown(switches, word);
        } else if (length > portLength && IsNoCase(word, portLength, kPort)) {
            switches.portSwitch = CommandLineSwitches::PortSwitch::Port;
            lstrcpynA(switches.port, word + portLength, sizeof switches.port);
        } else if (length > addressLength && IsNoCase(word, addressLength, kAddress)) {
            switches.portSwitch = CommandLineSwitches::PortSwitch::Address;
            lstrcpynA(switches.port, word + addressLength, sizeof switches.port);
        } else if (IsNoCase(word, length, "/ALLUSERS")) switches.allUsers = true;
        else if (IsNoCase(word, length, "/NODEFAULT")) switches.noDefault = true;
        else if (IsNoCase(word, length, "/FORCE")) switches.force = true;
        else KeepUnknown(switches, word);
    }
    return switches;
}
