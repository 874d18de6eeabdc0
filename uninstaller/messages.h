// The uninstaller's texts in English, Simplified Chinese (GBK bytes) and
// Traditional Chinese (Big5 bytes), chosen by the system's language.
#pragma once
#include "removal.h"
#include "app/text_language.h"

struct UninstallTexts {
    const char* confirm;         // %s: the printer name
    const char* removed;         // %s
    const char* incomplete;      // %s; followed by one line per remaining item
    const char* notInstalled;    // %s
    const char* badProgramName;
    const char* more;            // %u: items not listed
    const char* printer;         // labels of the remaining items
    const char* driver;
    const char* file;
    const char* registryKey;
    const char* inUse;           // reasons after an item
    const char* accessDenied;
    const char* otherError;      // %lu: the Win32 error
};

const UninstallTexts& TextsIn(TextLanguage language);

// The outcome message of a removal: removed, or incomplete with the items
// that remain, as many as fit into `size` and a count of the others. False
// only when not even the first line fits.
bool ComposeOutcome(const UninstallTexts& texts, const char* printerName, const RemovalReport& report,
                    char* text, size_t size);
