// The registry seam over advapi32 and shlwapi.
#pragma once

#include <windows.h>

#include "platform/registry.h"

namespace tw {

class Win32Registry : public Registry {
public:
    Win32Registry() = default;
    // Serves the current user's root from below an open key of the caller's,
    // so that tests keep to a key of their own. The key stays the caller's.
    explicit Win32Registry(HKEY currentUserRoot) : currentUser_(currentUserRoot) {}

    long Open(RegRoot root, const char* path, bool write, Key* key) override;
    long Create(RegRoot root, const char* path, Key* key) override;
    void Close(Key key) override;
    long Query(Key key, const char* name, std::uint32_t* type, void* data, std::uint32_t* size) override;
    long Set(Key key, const char* name, std::uint32_t type, const void* data, std::uint32_t size) override;
    long QueryWide(Key key, const char* name, std::uint32_t* type, std::vector<unsigned char>* data) override;
    long SetWide(Key key, const char* name, std::uint32_t type, const std::vector<unsigned char>& data) override;
    long DeleteValue(Key key, const char* name) override;
    long DeleteKey(RegRoot root, const char* path) override;
    long DeleteTree(RegRoot root, const char* path) override;

private:
    HKEY RootKey(RegRoot root) const;
    HKEY currentUser_ = HKEY_CURRENT_USER;
};

}  // namespace tw
