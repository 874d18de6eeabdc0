// Writes under HKEY_LOCAL_MACHINE, one open and close per call.
#pragma once
#include "../framework/afx.h"
#include <string>

class RegistryKey : public CObject {
public:
    ~RegistryKey() override;

    // Creates the key (an existing one is fine); true on success.
    bool CreateKey(std::string path);
    // Opens the key and sets one value; true only if both succeed.
    bool SetValue(std::string path, std::string name, DWORD type, const BYTE* data, DWORD size);

    // Neither operation keeps its handle here; only a caller that sets it
    // hands over a handle for the destructor to close.
    HKEY m_hKey = nullptr;
};
