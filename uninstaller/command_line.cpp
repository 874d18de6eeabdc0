#include "command_line.h"
#include "framework/afx.h"
#include <cstring>

namespace {

// ASCII-only, so the trail byte of a GBK or Big5 character never matches.
bool StartsWithNoCase(const char* text, const char* prefix) {
    for (; *prefix; ++text, ++prefix) {
        char a = *text, b = *prefix;
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
        if (a != b) return false;
    }
    return true;
}

}  // namespace

bool PrinterNameFromProgramPath(const char* programPath, char* printerName, size_t size) {
    if (size == 0) return false;
    printerName[0] = '\0';
    const char* base = AfxFindFileName(programPath);

    const char kPrefix[] = "uninstall";
    const char kExtension[] = ".exe";
    const size_t prefixLength = sizeof kPrefix - 1, extensionLength = sizeof kExtension - 1;
    size_t length = strlen(base);
    if (length <= prefixLength + extensionLength) return false;
    if (!StartsWithNoCase(base, kPrefix) || !StartsWithNoCase(base + length - extensionLength, kExtension))
        return false;
    // %.*s copies exactly the name between prefix and extension.
    int nameLength = static_cast<int>(length - prefixLength - extensionLength);
    return AfxFormat(printerName, size, "%.*s", nameLength, base + prefixLength);
}
