// The uninstaller's texts in English, Simplified Chinese (GBK bytes) and
// Traditional Chinese (Big5 bytes), chosen by the system's language.
#pragma once
#include "removal.h"
#include "app/text_language.h"

struct UninstallTexts {
    LocalizedText confirm;         // %s: the printer name
    LocalizedText removed;         // %s
    LocalizedText incomplete;      // %s; followed by one line per remaining item
    LocalizedText notInstalled;    // %s
    LocalizedText badProgramName;
    LocalizedText more;            // %u: items not listed
    LocalizedText printer;         // labels of the remaining items
    LocalizedText driver;
    LocalizedText file;
    LocalizedText registryKey;
    LocalizedText inUse;           // reasons after an item
    LocalizedText accessDenied;
    LocalizedText otherError;      // %lu: the Win32 error
};

extern const UninstallTexts kUninstallTexts;

// The outcome message of a removal: removed, or incomplete with the items
// that remain, as many as fit into `size` and a count of the others. False
// only when not even the first line fits.
bool ComposeOutcome(TextLanguage language, const char* printerName, const RemovalReport& report, char* text,
                    size_t size);
