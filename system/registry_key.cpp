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

LONG RegistryKey::SetText(const char* path, const char* name, const char* text) {
    return SetData(path, name, REG_SZ, text, lstrlenA(text) + 1);
}

LONG RegistryKey::SetData(const char* path, const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_SET_VALUE, &key);
    if (result != ERROR_SUCCESS) return result;
    result = RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
    return result;
}

bool RegistryKey::ReadData(const char* path, const char* name, DWORD& type, BYTE* data, DWORD& size) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    const bool read = RegQueryValueExA(key, name, nullptr, &type, data, &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    return read;
}

bool RegistryKey::ReadText(const char* path, const char* name, char (&text)[MAX_PATH]) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    DWORD type = 0, size = sizeof text - 1;
    const bool read = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) ==
                          ERROR_SUCCESS && type == REG_SZ;
    RegCloseKey(key);
    text[read ? size : 0] = '\0';   // a text stored without its NUL still ends
    return read;
}

LONG RegistryKey::DeleteValue(const char* path, const char* name) {
    HKEY key;
    LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_SET_VALUE, &key);
    if (result != ERROR_SUCCESS) return result;
    result = RegDeleteValueA(key, name);
    RegCloseKey(key);
    return result;
}

LONG RegistryKey::DeleteKey(const char* path) { return RegDeleteKeyA(HKEY_LOCAL_MACHINE, path); }
