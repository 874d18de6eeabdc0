#include "printer_name_check.h"
#include "../framework/afx.h"
#include "../payload/payload_resource.h"
#include <cstring>
#include <cwchar>

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
// would be the printer port, not a file. Windows also takes COM and LPT
// with a superscript one, two or three for devices. The name is bytes of
// the system's code page, where those are other bytes or none (0xB9, 0xB2
// and 0xB3 in 1252, only two of them in 1253, double bytes in 949, none
// in 936 or 950), so the characters decide.
bool IsDeviceName(const char* name) {
    static const wchar_t* const kDevices[] = {
        L"CON",  L"PRN",  L"AUX",  L"NUL",  L"CONIN$", L"CONOUT$", L"COM1", L"COM2", L"COM3",
        L"COM4", L"COM5", L"COM6", L"COM7", L"COM8",   L"COM9",    L"LPT1", L"LPT2", L"LPT3",
        L"LPT4", L"LPT5", L"LPT6", L"LPT7", L"LPT8",   L"LPT9",    L"COM\u00B9", L"COM\u00B2",
        L"COM\u00B3", L"LPT\u00B9", L"LPT\u00B2", L"LPT\u00B3"};
    // The part before the first dot, which no trail byte can be; longer
    // than any device name, it is none.
    const int bytes = static_cast<int>(strcspn(name, "."));
    wchar_t base[16];
    if (bytes >= static_cast<int>(sizeof base / sizeof base[0])) return false;
    int length = bytes ? MultiByteToWideChar(CP_ACP, 0, name, bytes, base, bytes) : 0;
    while (length > 0 && base[length - 1] == L' ') --length;
    base[length] = L'\0';
    for (int i = 0; i < length; ++i)
        if (base[i] >= L'a' && base[i] <= L'z') base[i] = static_cast<wchar_t>(base[i] - L'a' + L'A');
    for (const wchar_t* device : kDevices)
        if (wcscmp(base, device) == 0) return true;
    return false;
}

// A name read with the system's code page is its bytes only when every
// byte sequence is a character of that page and the characters give the
// same bytes back: UTF-8 on a GBK system is neither.
bool IsInCodePage(const char* name) {
    wchar_t wide[MAX_PATH];
    char back[MAX_PATH * 2];
    const int length = static_cast<int>(strlen(name));
    if (length >= MAX_PATH) return true;   // too long a name is told as such
    const int characters = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, name, length, wide, MAX_PATH);
    if (characters <= 0) return false;
    BOOL lossy = FALSE;
    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide, characters, back, sizeof back, nullptr, &lossy);
    return !lossy && bytes == length && memcmp(back, name, length) == 0;
}

}  // namespace

NameRule CheckPrinterName(const char* name) {
    const size_t length = strlen(name);
    if (length == 0) return NameRule::Empty;
    if (!IsInCodePage(name)) return NameRule::NotInCodePage;
    if (name[0] == ' ' || name[length - 1] == ' ') return NameRule::BlankAtEnd;
    if (HasForbiddenCharacter(name)) return NameRule::Forbidden;
    if (IsDeviceName(name)) return NameRule::DeviceName;
    if (!ModelNameRulesFit(name)) return NameRule::TooLong;
    return NameRule::Usable;
}
