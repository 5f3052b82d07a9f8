// A key of the test's own below HKEY_CURRENT_USER, which the registry
// realisation takes as the current user's root: fresh when made, and gone,
// with everything below it, when it goes.
#pragma once

#include <windows.h>
#include <shlwapi.h>

#include <string>

#include "platform/win32/handles.h"

namespace tw::testing {

class PrivateUserKey {
public:
    explicit PrivateUserKey(const std::string& name)
        : tree_{"Software\\TidewellTests\\" + name + "-" + std::to_string(GetCurrentProcessId())} {
        SHDeleteKeyA(HKEY_CURRENT_USER, tree_.path.c_str());
        RegCreateKeyExA(HKEY_CURRENT_USER, tree_.path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        key_.Receive(), nullptr);
    }
    HKEY Get() const { return key_.Get(); }

private:
    // Declared before the key, so that the key is closed before its tree goes.
    struct Tree {
        std::string path;
        ~Tree() { SHDeleteKeyA(HKEY_CURRENT_USER, path.c_str()); }
    };
    Tree tree_;
    UniqueKey key_;
};

}  // namespace tw::testing
