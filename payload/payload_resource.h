// The embedded files of the running program: resources of type
// "OWNER_DATA" under a 16-bit numeric identifier.
#pragma once
#include <windows.h>

// How an embedded file is written: unchanged, through the model-name line
// rules (the GPD and the plug-in INI), or with the model name replaced
// wherever it stands (the INF).
enum PayloadRewrite : unsigned char { kWriteUnchanged = 0, kRewriteModelLines = 1, kReplaceModelName = 2 };

struct PayloadBytes {
    const void* data = nullptr;   // in place in the loaded resource, never copied
    DWORD size = 0;
};

// True when the model-name lines formed from the printer name, each with
// its line feed, fit the lines a rewritten file may have.
bool ModelNameRulesFit(const char* printerName);

// The bytes of embedded file `id` (its low 16 bits); false when the program
// does not hold it or it cannot be loaded.
bool FindPayload(unsigned id, PayloadBytes& bytes);
