// The uninstaller's texts, in the language of the system, and its
// outcome message.
#pragma once
#include "removal.h"
#include "app_core/texts.h"

struct UninstallTexts {
    const LocalizedText& confirm;         // %s: the printer name
    const LocalizedText& removed;         // %s
    const LocalizedText& incomplete;      // %s; followed by one line per remaining item
    const LocalizedText& restart;         // %s; followed by one line per file deleted at the restart
    const LocalizedText& notInstalled;    // %s
    const LocalizedText& badProgramName;
    const LocalizedText& more;            // %u: items not listed
    const LocalizedText& printer;         // labels of the remaining items
    const LocalizedText& driver;
    const LocalizedText& file;
    const LocalizedText& registryKey;
    const LocalizedText& inUse;           // reasons after an item
    const LocalizedText& accessDenied;
    const LocalizedText& otherError;      // %lu: the Win32 error
};

extern const UninstallTexts kUninstallTexts;

// The outcome message of a removal: removed; removed once the computer
// restarts, with the files that wait for it; or incomplete with the items
// that remain, as many as fit into `size` and a count of the others. False
// only when not even the first line fits.
bool ComposeOutcome(TextLanguage language, const char* printerName, const RemovalReport& report, char* text,
                    size_t size);
