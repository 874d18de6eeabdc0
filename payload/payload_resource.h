// The embedded files of the running program: resources of type
// "OWNER_DATA" under a 16-bit numeric identifier.
#pragma once
#include <windows.h>

struct PayloadBytes {
    const void* data = nullptr;   // in place in the loaded resource, never copied
    DWORD size = 0;
};

// The bytes of embedded file `id` (its low 16 bits); false when the program
// does not hold it or it cannot be loaded.
bool FindPayload(unsigned id, PayloadBytes& bytes);
