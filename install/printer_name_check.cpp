#include "printer_name_check.h"
#include "../framework/afx.h"
#include "../uninstall/uninstall_entry.h"
#include <cstring>

namespace {

bool HasForbiddenCharacter(const char* name) {
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(name); *p; ++p) {
        if (IsDBCSLeadByte(*p) && p[1]) {
            ++p;
        } else if (*p < 0x20 || strchr("\\/:*?\"<>|", *p)) {
            return true;
        }
    }
    return false;
}

// The longest text of each kind that the install and its uninstall entry
// form from the name. A rewritten line must leave room for its line feed
// within the 259 characters a line may have.
bool EverythingFits(const char* name, const char* driverDirectory) {
    char text[MAX_PATH];
    return AfxFormat(text, kUninstallKeyFormat, name) &&
           AfxFormat(text, "%s\\uninstall%s.exe,-0", driverDirectory, name) &&
           AfxFormat(text, "%s\\3\\%sRES.dll", driverDirectory, name) &&
           AfxFormat(text, "C:\\TEMP\\I386\\%sRES.DLL", name) &&
           AfxFormat(text, "*ResourceDLL: \"%sRES.DLL\"\n", name);
}

}  // namespace

bool IsPrinterNameUsable(const char* name, const char* driverDirectory) {
    return name[0] && !HasForbiddenCharacter(name) && EverythingFits(name, driverDirectory);
}
