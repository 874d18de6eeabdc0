#include "registry_key.h"

RegistryKey::~RegistryKey() {
    if (m_hKey) RegCloseKey(m_hKey);
}

bool RegistryKey::CreateKey(const char* path) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool RegistryKey::SetValue(const char* path, const char* name, DWORD type, const BYTE* data, DWORD size) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return false;
    bool ok = RegSetValueExA(key, name, 0, type, data, size) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok;
}

bool RegistryKey::Exists(const char* path) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}
