// Which embedded files an install writes where: a pure function of the
// operating-system code, the system language, the language choice and the
// printer name.
#pragma once
#include "catalogue.h"

const size_t kPathSize = 260;

struct PayloadWrite {
    unsigned short id;
    char destination[kPathSize];
    bool rewrite;   // passes the file through the model-name line rules
};

// 7 (XP) and 6 (2000) have their own sets; every other system the general one.
PayloadSet ChoosePayloadSet(int osCode);
// Chinese Unidrv core on any Chinese system language.
PayloadVariant ChooseCoreVariant(unsigned short systemLanguage);
// English unless Chinese was chosen; then Simplified on 0x0804 only.
PayloadVariant ChoosePluginLanguage(short languageIndex, unsigned short systemLanguage);

const size_t kDriverPayloadWrites = 17;

// The driver files in the order the install writes them. Returns the number
// of writes (kDriverPayloadWrites), or 0 when a destination would not fit
// its buffer or the table lacks an entry.
size_t SelectDriverPayload(int osCode, unsigned short systemLanguage, short languageIndex,
                           const char* printerName, PayloadWrite* out, size_t capacity);

// Name formats ("%s" the printer name) under which the resource DLL, the
// rendering plug-in and the user-interface plug-in are copied into the
// driver folder; their letter case differs by set.
struct PluginCopyFormats {
    const char* resourceDll;
    const char* renderPlugin;
    const char* uiPlugin;
};
PluginCopyFormats PluginCopyFormatsFor(PayloadSet set);
