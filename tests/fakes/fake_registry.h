// An in-memory registry that answers as the platform does: absent values
// leave the caller's buffer alone, too small a buffer gets kErrorMoreData
// with the needed size, stored strings are kept byte for byte (terminated
// or not), and key and value names compare without regard to case.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/win_errors.h"

namespace tw::fakes {

class FakeRegistry : public Registry {
public:
    struct Value {
        std::string name;
        std::uint32_t type = 0;
        std::vector<unsigned char> data;
    };

    long Open(RegRoot root, const char* path, bool write, Key* key) override;
    long Create(RegRoot root, const char* path, Key* key) override;
    void Close(Key key) override;
    long Query(Key key, const char* name, std::uint32_t* type, void* data, std::uint32_t* size) override;
    long Set(Key key, const char* name, std::uint32_t type, const void* data, std::uint32_t size) override;
    long DeleteValue(Key key, const char* name) override;
    // No portable code removes keys.
    long DeleteKey(RegRoot, const char*) override { return kErrorAccessDenied; }
    long DeleteTree(RegRoot, const char*) override { return kErrorAccessDenied; }

    // Test set-up and inspection, by full path.
    void SetString(RegRoot root, const std::string& path, const std::string& name, const std::string& text,
                   bool terminated = true);
    void SetDword(RegRoot root, const std::string& path, const std::string& name, std::uint32_t value);
    void SetRaw(RegRoot root, const std::string& path, const std::string& name, std::uint32_t type,
                std::vector<unsigned char> data);
    bool HasKey(RegRoot root, const std::string& path) const;
    const Value* Find(RegRoot root, const std::string& path, const std::string& name) const;
    std::vector<std::string> ValueNames(RegRoot root, const std::string& path) const;

    int openKeys = 0;
    // Names of the values set through the seam, in the order of writing.
    std::vector<std::string> writes;
    // Paths (lower case) whose opening fails with kErrorAccessDenied, and
    // those that open for reading only.
    std::vector<std::string> deniedPaths, readOnlyPaths;

private:
    struct KeyData {
        std::map<std::string, Value> values;  // by lower-case name
    };
    struct Handle {
        RegRoot root;
        std::string path;  // lower case
    };
    static std::string Normal(RegRoot root, const std::string& path);
    KeyData* Lookup(const Handle* h);
    std::map<std::string, KeyData> keys_;  // by normal path
};

}  // namespace tw::fakes
