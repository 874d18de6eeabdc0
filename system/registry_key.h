// Keys and values under HKEY_LOCAL_MACHINE, one open and close per call.
#pragma once
#include "../framework/afx.h"

class RegistryKey : public CObject {
public:
    ~RegistryKey() override;

    // Creates the key (an existing one is fine); true on success.
    bool CreateKey(const char* path);
    // Opens the key and sets one value; true only if both succeed.
    bool SetValue(const char* path, const char* name, DWORD type, const BYTE* data, DWORD size);

    // True when the key is there.
    static bool Exists(const char* path);
    // A text value with its terminating NUL: ERROR_SUCCESS, or the error.
    static LONG SetText(const char* path, const char* name, const char* text);
    // A value of any type: ERROR_SUCCESS, or the error.
    static LONG SetData(const char* path, const char* name, DWORD type, const void* data, DWORD size);
    // A value of any type that fits `size` bytes: its type, bytes and size;
    // false when there is none.
    static bool ReadData(const char* path, const char* name, DWORD& type, BYTE* data, DWORD& size);
    // A text value that fits `text`; false when there is none.
    static bool ReadText(const char* path, const char* name, char (&text)[MAX_PATH]);
    static LONG DeleteValue(const char* path, const char* name);
    // Deletes the key, which must have no subkeys.
    static LONG DeleteKey(const char* path);

    // Neither operation keeps its handle here; only a caller that sets it
    // hands over a handle for the destructor to close.
    HKEY m_hKey = nullptr;
};
