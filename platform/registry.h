// The registry, as RegOpenKeyExA and its companions see it. Results are the
// platform's error codes (kErrorSuccess, kErrorFileNotFound, kErrorMoreData
// for a value that does not fit, ...).
#pragma once

#include <cstdint>
#include <vector>

namespace tw {

enum class RegRoot { CurrentUser, LocalMachine, ClassesRoot };

class Registry {
public:
    using Key = void*;
    virtual ~Registry() = default;

    // write: for querying, setting and deleting values (KEY_QUERY_VALUE |
    // KEY_SET_VALUE); otherwise for querying them only.
    virtual long Open(RegRoot root, const char* path, bool write, Key* key) = 0;
    // Opens or creates, with every missing key on the path.
    virtual long Create(RegRoot root, const char* path, Key* key) = 0;
    virtual void Close(Key key) = 0;
    // RegQueryValueExA: data may be null to ask for the size; an absent value
    // leaves data and *size alone; too small a buffer answers kErrorMoreData
    // with *size the needed size. Stored strings need not be terminated.
    virtual long Query(Key key, const char* name, std::uint32_t* type, void* data,
                       std::uint32_t* size) = 0;
    virtual long Set(Key key, const char* name, std::uint32_t type, const void* data,
                     std::uint32_t size) = 0;
    // RegQueryValueExW and RegSetValueExW: a text value's data as the system
    // keeps them, UTF-16 in little-endian bytes, untouched by any code page.
    // A value that is absent leaves data alone.
    virtual long QueryWide(Key key, const char* name, std::uint32_t* type, std::vector<unsigned char>* data) = 0;
    virtual long SetWide(Key key, const char* name, std::uint32_t type, const std::vector<unsigned char>& data) = 0;
    virtual long DeleteValue(Key key, const char* name) = 0;
    // RegDeleteKeyA: a key that has subkeys is not deleted.
    virtual long DeleteKey(RegRoot root, const char* path) = 0;
    // SHDeleteKeyA: the key with all that lies below it.
    virtual long DeleteTree(RegRoot root, const char* path) = 0;
};

// Closes its key when it goes.
class RegKey {
public:
    explicit RegKey(Registry& registry) : registry_(registry) {}
    ~RegKey() { Reset(); }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    long Open(RegRoot root, const char* path, bool write = false) {
        Reset();
        return registry_.Open(root, path, write, &key_);
    }
    long Create(RegRoot root, const char* path) {
        Reset();
        return registry_.Create(root, path, &key_);
    }
    void Reset() {
        if (key_)
            registry_.Close(key_);
        key_ = nullptr;
    }
    bool IsOpen() const { return key_ != nullptr; }
    Registry::Key Get() const { return key_; }
    Registry& Owner() const { return registry_; }

private:
    Registry& registry_;
    Registry::Key key_ = nullptr;
};

}  // namespace tw
