// An in-memory registry that answers as the platform does: absent values
// leave the caller's buffer alone, too small a buffer gets kErrorMoreData
// with the needed size, stored strings are kept byte for byte (terminated
// or not), and key and value names compare without regard to case. Text
// set through the wide functions is kept as UTF-16 and reaches the ANSI
// functions through a Latin-1 code page ('?' for what it cannot hold);
// ANSI text reaches the wide functions widened. Given rights, it refuses
// what Windows refuses a process that holds them.
#pragma once

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/win_errors.h"
#include "tests/fakes/fake_process_rights.h"

namespace tw::fakes {

class FakeRegistry : public Registry {
public:
    struct Value {
        std::string name;
        std::uint32_t type = 0;
        std::vector<unsigned char> data;
        bool wide = false;  // data are UTF-16, little-endian

        std::vector<unsigned char> Ansi() const {
            if (!wide)
                return data;
            std::vector<unsigned char> narrow;
            for (std::size_t i = 0; i + 1 < data.size(); i += 2)
                narrow.push_back(data[i + 1] == 0 ? data[i] : '?');
            return narrow;
        }
        std::vector<unsigned char> Wide() const {
            if (wide)
                return data;
            std::vector<unsigned char> units;
            for (unsigned char b : data)
                units.insert(units.end(), {b, 0});
            return units;
        }
    };

    long Open(RegRoot root, const char* path, bool write, Key* key) override {
        const std::string p = Lower(path);
        if (Listed(deniedPaths, p) || (write && (Listed(readOnlyPaths, p) || !MayWriteKey(rights, root, p))))
            return kErrorAccessDenied;
        return keys_.count(Normal(root, p)) ? Hand(root, p, write, key) : kErrorFileNotFound;
    }
    long Create(RegRoot root, const char* path, Key* key) override {
        const std::string p = Lower(path);
        // Creating opens for writing, so a key the user may only read refuses it too.
        if (Listed(deniedPaths, p) || Listed(readOnlyPaths, p) || !MayWriteKey(rights, root, p))
            return kErrorAccessDenied;
        return Made(root, p, key);
    }
    void Close(Key key) override {
        delete static_cast<OpenKey*>(key);
        --openKeys;
    }
    long Query(Key key, const char* name, std::uint32_t* type, void* data, std::uint32_t* size) override {
        const Values& values = keys_[static_cast<OpenKey*>(key)->path];
        auto it = values.find(Lower(name ? name : ""));
        if (it == values.end())
            return kErrorFileNotFound;
        // Every caller passes a type and a size.
        const std::vector<unsigned char> bytes = it->second.Ansi();
        const std::uint32_t room = *size;
        *type = it->second.type;
        *size = std::uint32_t(bytes.size());
        if (!data)
            return kErrorSuccess;
        if (room < *size)
            return kErrorMoreData;
        std::copy(bytes.begin(), bytes.end(), static_cast<unsigned char*>(data));
        return kErrorSuccess;
    }
    long QueryWide(Key key, const char* name, std::uint32_t* type, std::vector<unsigned char>* data) override {
        const Values& values = keys_[static_cast<OpenKey*>(key)->path];
        auto it = values.find(Lower(name ? name : ""));
        if (it == values.end())
            return kErrorFileNotFound;
        *type = it->second.type;
        *data = it->second.Wide();
        return kErrorSuccess;
    }
    long SetWide(Key key, const char* name, std::uint32_t type, const std::vector<unsigned char>& data) override {
        if (!static_cast<OpenKey*>(key)->write)
            return kErrorAccessDenied;
        keys_[static_cast<OpenKey*>(key)->path][Lower(name ? name : "")] = Value{name ? name : "", type, data, true};
        return kErrorSuccess;
    }
    long Set(Key key, const char* name, std::uint32_t type, const void* data, std::uint32_t size) override {
        if (!static_cast<OpenKey*>(key)->write)
            return kErrorAccessDenied;
        const unsigned char* bytes = static_cast<const unsigned char*>(data);
        const Value v{name ? name : "", type, std::vector<unsigned char>(bytes, bytes + size)};
        keys_[static_cast<OpenKey*>(key)->path][Lower(v.name)] = v;
        return kErrorSuccess;
    }
    long DeleteValue(Key key, const char* name) override {
        if (!static_cast<OpenKey*>(key)->write || Listed(refusedValues, Lower(name ? name : "")))
            return kErrorAccessDenied;
        const bool erased = keys_[static_cast<OpenKey*>(key)->path].erase(Lower(name ? name : "")) != 0;
        return erased ? kErrorSuccess : kErrorFileNotFound;
    }
    // No portable code removes keys.
    long DeleteKey(RegRoot, const char*) override { return kErrorAccessDenied; }
    long DeleteTree(RegRoot, const char*) override { return kErrorAccessDenied; }

    // Test set-up and inspection, by full path.
    void SetString(RegRoot root, const std::string& path, const std::string& name, const std::string& text,
                   bool terminated = true) {
        std::vector<unsigned char> data(text.begin(), text.end());
        if (terminated)
            data.push_back(0);
        SetRaw(root, path, name, kRegSz, data);
    }
    void SetDword(RegRoot root, const std::string& path, const std::string& name, std::uint32_t value) {
        const std::uint8_t bytes[] = {std::uint8_t(value), std::uint8_t(value >> 8), std::uint8_t(value >> 16),
                                      std::uint8_t(value >> 24)};
        SetRaw(root, path, name, kRegDword, {std::begin(bytes), std::end(bytes)});
    }
    void SetRaw(RegRoot root, const std::string& path, const std::string& name, std::uint32_t type,
                std::vector<unsigned char> data, bool wide = false) {
        Key key = nullptr;
        Made(root, Lower(path), &key);  // as another program, whatever the user may do
        if (wide)
            SetWide(key, name.c_str(), type, data);
        else
            Set(key, name.c_str(), type, data.data(), std::uint32_t(data.size()));
        Close(key);
    }
    // What MoveFileExA with MOVEFILE_DELAY_UNTIL_REBOOT records: a deletion
    // ("\\??\\" + path, an empty destination) appended to the system's
    // pending operations, before the list's closing zero.
    void RecordDeletionAtRestart(const std::string& path) {
        const char* key = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
        const Value* v = Find(RegRoot::LocalMachine, key, "PendingFileRenameOperations");
        std::vector<unsigned char> data = v ? v->Wide() : std::vector<unsigned char>();
        if (data.size() >= 2 && data[data.size() - 1] == 0 && data[data.size() - 2] == 0)
            data.resize(data.size() - 2);
        for (unsigned char c : "\\??\\" + path)
            data.insert(data.end(), {c, 0});
        data.insert(data.end(), {0, 0, 0, 0, 0, 0});
        SetRaw(RegRoot::LocalMachine, key, "PendingFileRenameOperations", kRegMultiSz, data, true);
    }
    bool HasKey(RegRoot root, const std::string& path) const { return keys_.count(Normal(root, path)) != 0; }
    const Value* Find(RegRoot root, const std::string& path, const std::string& name) const {
        auto k = keys_.find(Normal(root, path));
        if (k == keys_.end())
            return nullptr;
        auto v = k->second.find(Lower(name));
        return v == k->second.end() ? nullptr : &v->second;
    }
    std::vector<std::string> ValueNames(RegRoot root, const std::string& path) const {
        std::vector<std::string> names;
        auto k = keys_.find(Normal(root, path));
        if (k != keys_.end())
            for (const auto& v : k->second)
                names.push_back(v.second.name);
        return names;
    }

    int openKeys = 0;
    // The process's rights; none: an elevated administrator's.
    const ProcessRights* rights = nullptr;
    // Paths (lower case) whose opening fails with kErrorAccessDenied, and
    // those that open for reading only.
    std::vector<std::string> deniedPaths, readOnlyPaths;
    // Names (lower case) of values whose deletion is refused, as a value
    // with an access list of its own would be.
    std::vector<std::string> refusedValues;

private:
    using Values = std::map<std::string, Value>;  // by lower-case name
    // What an open key's handle points to: a key opened for reading refuses
    // writes, as the platform's does.
    struct OpenKey {
        std::string path;
        bool write;
    };

    static std::string Lower(std::string s) {
        for (char& c : s)
            c = char(c >= 'A' && c <= 'Z' ? c + 32 : c);
        return s;
    }
    static bool Listed(const std::vector<std::string>& paths, const std::string& p) {
        return std::find(paths.begin(), paths.end(), p) != paths.end();
    }
    // A key is named by its root and lower-case path.
    static std::string Normal(RegRoot root, const std::string& path) {
        std::string p = Lower(path);
        while (!p.empty() && p.back() == '\\')
            p.pop_back();
        return std::to_string(int(root)) + ":" + p;
    }
    long Made(RegRoot root, const std::string& p, Key* key) {
        // Every key on the way exists afterwards.
        for (std::size_t at = 0; (at = p.find('\\', at)) != std::string::npos; ++at)
            keys_[Normal(root, p.substr(0, at))];
        keys_[Normal(root, p)];
        return Hand(root, p, true, key);
    }
    long Hand(RegRoot root, const std::string& path, bool write, Key* key) {
        *key = new OpenKey{Normal(root, path), write};
        ++openKeys;
        return kErrorSuccess;
    }

    std::map<std::string, Values> keys_;  // by normal path
};

}  // namespace tw::fakes
