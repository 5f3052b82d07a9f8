#include "platform/win32/win32_registry.h"

#include <algorithm>
#include <string>

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
    // Writing is setting and deleting values (RegDeleteValue needs
    // KEY_SET_VALUE, nothing more). KEY_ALL_ACCESS would also ask for rights
    // over subkeys and the key's security, which a key the user may write
    // but not administer refuses on Windows; Wine grants every access asked.
    const REGSAM access = write ? KEY_QUERY_VALUE | KEY_SET_VALUE : KEY_QUERY_VALUE;
    const LONG r = RegOpenKeyExA(RootKey(root), path, 0, access, &h);
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

namespace {

// Value names are the system's own ASCII names.
std::wstring WideName(const char* name) {
    std::wstring wide;
    for (const char* p = name ? name : ""; *p; ++p)
        wide.push_back(wchar_t(static_cast<unsigned char>(*p)));
    return wide;
}

}  // namespace

long Win32Registry::QueryWide(Key key, const char* name, std::uint32_t* type, std::vector<unsigned char>* data) {
    const std::wstring wide = WideName(name);
    DWORD t = 0, size = 0;
    LONG r = RegQueryValueExW(static_cast<HKEY>(key), wide.c_str(), nullptr, &t, nullptr, &size);
    // The value may grow between the two calls; its new size is asked again.
    for (int tries = 0; r == ERROR_SUCCESS && tries < 4; ++tries) {
        std::vector<unsigned char> bytes(std::size_t(size) + 2, 0);
        DWORD got = DWORD(bytes.size());
        r = RegQueryValueExW(static_cast<HKEY>(key), wide.c_str(), nullptr, &t, bytes.data(), &got);
        if (r == ERROR_MORE_DATA) {
            size = got;
            r = ERROR_SUCCESS;
            continue;
        }
        if (r == ERROR_SUCCESS) {
            bytes.resize(std::min<std::size_t>(got, bytes.size()));
            data->swap(bytes);
            *type = t;
        }
        return r;
    }
    return r == ERROR_SUCCESS ? ERROR_MORE_DATA : r;
}

long Win32Registry::SetWide(Key key, const char* name, std::uint32_t type, const std::vector<unsigned char>& data) {
    return RegSetValueExW(static_cast<HKEY>(key), WideName(name).c_str(), 0, type, data.data(), DWORD(data.size()));
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
