#include "platform/win32/win32_registry.h"

#include <shlwapi.h>

namespace tw {

HKEY Win32Registry::RootKey(RegRoot root) const {
    switch (root) {
    case RegRoot::CurrentUser:
        return currentUser_;
    case RegRoot::LocalMachine:
        return HKEY_LOCAL_MACHINE;
    case RegRoot::ClassesRoot:
        return HKEY_CLASSES_ROOT;
    }
    return currentUser_;
}

long Win32Registry::Open(RegRoot root, const char* path, bool write, Key* key) {
    HKEY h = nullptr;
    const LONG r = RegOpenKeyExA(RootKey(root), path, 0, write ? KEY_ALL_ACCESS : KEY_QUERY_VALUE, &h);
    *key = r == ERROR_SUCCESS ? h : nullptr;
    return r;
}

long Win32Registry::Create(RegRoot root, const char* path, Key* key) {
    HKEY h = nullptr;
    const LONG r = RegCreateKeyExA(RootKey(root), path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                   nullptr, &h, nullptr);
    *key = r == ERROR_SUCCESS ? h : nullptr;
    return r;
}

void Win32Registry::Close(Key key) {
    if (key)
        RegCloseKey(static_cast<HKEY>(key));
}

long Win32Registry::Query(Key key, const char* name, std::uint32_t* type, void* data, std::uint32_t* size) {
    DWORD t = 0, s = size ? *size : 0;
    const LONG r = RegQueryValueExA(static_cast<HKEY>(key), name, nullptr, &t, static_cast<BYTE*>(data),
                                    size ? &s : nullptr);
    if (type)
        *type = t;
    if (size)
        *size = s;
    return r;
}

long Win32Registry::Set(Key key, const char* name, std::uint32_t type, const void* data, std::uint32_t size) {
    return RegSetValueExA(static_cast<HKEY>(key), name, 0, type, static_cast<const BYTE*>(data), size);
}

long Win32Registry::DeleteValue(Key key, const char* name) {
    return RegDeleteValueA(static_cast<HKEY>(key), name);
}

long Win32Registry::DeleteKey(RegRoot root, const char* path) {
    return RegDeleteKeyA(RootKey(root), path);
}

long Win32Registry::DeleteTree(RegRoot root, const char* path) {
    return long(SHDeleteKeyA(RootKey(root), path));
}

}  // namespace tw
