#include "tests/fakes/fake_registry.h"

#include <algorithm>
#include <cstring>

#include "platform/win_errors.h"

namespace tw::fakes {
namespace {

std::string Lower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = char(c + 32);
    return s;
}

}  // namespace

std::string FakeRegistry::Normal(RegRoot root, const std::string& path) {
    std::string p = Lower(path);
    while (!p.empty() && p.back() == '\\')
        p.pop_back();
    return std::to_string(int(root)) + ":" + p;
}

FakeRegistry::KeyData* FakeRegistry::Lookup(const Handle* h) {
    auto it = keys_.find(Normal(h->root, h->path));
    return it == keys_.end() ? nullptr : &it->second;
}

long FakeRegistry::Open(RegRoot root, const char* path, bool write, Key* key) {
    const std::string p = Lower(path);
    if (std::find(deniedPaths.begin(), deniedPaths.end(), p) != deniedPaths.end() ||
        (write && std::find(readOnlyPaths.begin(), readOnlyPaths.end(), p) != readOnlyPaths.end()))
        return kErrorAccessDenied;
    if (!keys_.count(Normal(root, p)))
        return kErrorFileNotFound;
    *key = new Handle{root, p};
    ++openKeys;
    return kErrorSuccess;
}

long FakeRegistry::Create(RegRoot root, const char* path, Key* key) {
    const std::string p = Lower(path);
    if (std::find(deniedPaths.begin(), deniedPaths.end(), p) != deniedPaths.end())
        return kErrorAccessDenied;
    // Every key on the way exists afterwards.
    for (std::size_t at = 0; (at = p.find('\\', at)) != std::string::npos; ++at)
        keys_[Normal(root, p.substr(0, at))];
    keys_[Normal(root, p)];
    *key = new Handle{root, p};
    ++openKeys;
    return kErrorSuccess;
}

void FakeRegistry::Close(Key key) {
    delete static_cast<Handle*>(key);
    --openKeys;
}

long FakeRegistry::Query(Key key, const char* name, std::uint32_t* type, void* data, std::uint32_t* size) {
    KeyData* k = Lookup(static_cast<Handle*>(key));
    if (!k)
        return kErrorFileNotFound;
    auto it = k->values.find(Lower(name ? name : ""));
    if (it == k->values.end())
        return kErrorFileNotFound;
    const Value& v = it->second;
    if (type)
        *type = v.type;
    const std::uint32_t needed = std::uint32_t(v.data.size());
    if (!data) {
        if (size)
            *size = needed;
        return kErrorSuccess;
    }
    if (!size)
        return kErrorInvalidParameter;
    if (*size < needed) {
        *size = needed;
        return kErrorMoreData;
    }
    if (needed)
        std::memcpy(data, v.data.data(), needed);
    *size = needed;
    return kErrorSuccess;
}

long FakeRegistry::Set(Key key, const char* name, std::uint32_t type, const void* data, std::uint32_t size) {
    KeyData* k = Lookup(static_cast<Handle*>(key));
    if (!k)
        return kErrorFileNotFound;
    Value v;
    v.name = name ? name : "";
    v.type = type;
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    v.data.assign(bytes, bytes + size);
    writes.push_back(v.name);
    k->values[Lower(v.name)] = v;
    return kErrorSuccess;
}

long FakeRegistry::DeleteValue(Key key, const char* name) {
    KeyData* k = Lookup(static_cast<Handle*>(key));
    if (!k)
        return kErrorFileNotFound;
    return k->values.erase(Lower(name ? name : "")) ? kErrorSuccess : kErrorFileNotFound;
}

void FakeRegistry::SetRaw(RegRoot root, const std::string& path, const std::string& name, std::uint32_t type,
                          std::vector<unsigned char> data) {
    Key key = nullptr;
    Create(root, path.c_str(), &key);
    Set(key, name.c_str(), type, data.data(), std::uint32_t(data.size()));
    Close(key);
}

void FakeRegistry::SetString(RegRoot root, const std::string& path, const std::string& name,
                             const std::string& text, bool terminated) {
    std::vector<unsigned char> data(text.begin(), text.end());
    if (terminated)
        data.push_back(0);
    SetRaw(root, path, name, kRegSz, data);
}

void FakeRegistry::SetDword(RegRoot root, const std::string& path, const std::string& name, std::uint32_t value) {
    std::vector<unsigned char> data(4);
    for (int i = 0; i < 4; ++i)
        data[i] = static_cast<unsigned char>(value >> (8 * i));
    SetRaw(root, path, name, kRegDword, data);
}

bool FakeRegistry::HasKey(RegRoot root, const std::string& path) const {
    return keys_.count(Normal(root, path)) != 0;
}

const FakeRegistry::Value* FakeRegistry::Find(RegRoot root, const std::string& path,
                                              const std::string& name) const {
    auto k = keys_.find(Normal(root, path));
    if (k == keys_.end())
        return nullptr;
    auto v = k->second.values.find(Lower(name));
    return v == k->second.values.end() ? nullptr : &v->second;
}

std::vector<std::string> FakeRegistry::ValueNames(RegRoot root, const std::string& path) const {
    std::vector<std::string> names;
    auto k = keys_.find(Normal(root, path));
    if (k != keys_.end())
        for (const auto& v : k->second.values)
            names.push_back(v.second.name);
    return names;
}

}  // namespace tw::fakes
