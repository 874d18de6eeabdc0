#include "printer_name_check.h"
#include "../framework/afx.h"
#include "../payload/payload_resource.h"
#include <cstring>

namespace {

// Characters no file name may hold, and those that would break the lines
// of the INF the name is written into.
bool HasForbiddenCharacter(const char* name) {
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(name); *p; ++p) {
        if (IsDBCSLeadByte(*p) && p[1]) {
            ++p;
        } else if (*p < 0x20 || strchr("\\/:*?\"<>|;,=%[]", *p)) {
            return true;
        }
    }
    return false;
}

// CON, PRN, COM1 ... name devices whatever extension follows: C:\TEMP\PRN.GPD
// would be the printer port, not a file.
bool IsDeviceName(const char* name) {
    static const char* const kDevices[] = {"CON",  "PRN",  "AUX",  "NUL",  "CONIN$", "CONOUT$", "COM1", "COM2",
                                           "COM3", "COM4", "COM5", "COM6", "COM7",   "COM8",    "COM9", "LPT1",
                                           "LPT2", "LPT3", "LPT4", "LPT5", "LPT6",   "LPT7",    "LPT8", "LPT9"};
    size_t length = strcspn(name, ".");
    while (length > 0 && name[length - 1] == ' ') --length;
    for (const char* device : kDevices)
        if (strlen(device) == length && SameName(name, device, static_cast<int>(length))) return true;
    return false;
}

}  // namespace

bool IsPrinterNameUsable(const char* name) {
    size_t length = strlen(name);
    return length > 0 && name[0] != ' ' && name[length - 1] != ' ' && !HasForbiddenCharacter(name) &&
           !IsDeviceName(name) && ModelNameRulesFit(name);
}
