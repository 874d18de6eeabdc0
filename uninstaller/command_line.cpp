#include "command_line.h"
#include "framework/afx.h"
#include <cstring>

bool PrinterNameFromProgramPath(const char* programPath, char* printerName, size_t size) {
    if (size == 0) return false;
    printerName[0] = '\0';
    const char* base = AfxFindFileName(programPath);

    const char kPrefix[] = "uninstall";
    const char kExtension[] = ".exe";
    const size_t prefixLength = sizeof kPrefix - 1, extensionLength = sizeof kExtension - 1;
    size_t length = strlen(base);
    if (length <= prefixLength + extensionLength) return false;
    if (!SameName(base, kPrefix, static_cast<int>(prefixLength)) ||
        !SameName(base + length - extensionLength, kExtension, static_cast<int>(extensionLength)))
        return false;
    // %.*s copies exactly the name between prefix and extension.
    int nameLength = static_cast<int>(length - prefixLength - extensionLength);
    return AfxFormat(printerName, size, "%.*s", nameLength, base + prefixLength);
}
