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

class HeldFolder;
struct FileDigest;
// Writes embedded file `id` as `name` into a held folder, rewritten as
// `rewrite` says with the printer name. 0 when it was written, and then
// `digest` (unless null) tells what it holds; ERROR_RESOURCE_NAME_NOT_FOUND
// when the program holds no such file, and nothing is written; else the
// Win32 error of the failed make or write (no partial file stays). A name
// too long for the model lines writes nothing.
DWORD WritePayload(const HeldFolder& folder, const char* name, unsigned id, unsigned char rewrite,
                   const char* printerName, FileDigest* digest = nullptr);
