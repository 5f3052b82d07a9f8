#include "tests/fakes/fake_file_system.h"

namespace tw::fakes {
namespace {

struct SearchState {
    std::vector<FindEntry> entries;
    std::size_t next = 0;
};

std::string LastComponent(const std::string& path) {
    const std::size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string FakeFileSystem::Key(const std::string& path) {
    std::string k = path;
    for (char& c : k)
        if (c >= 'A' && c <= 'Z')
            c = char(c + 32);
    // "X\." names X itself, as the platform's paths do.
    for (std::size_t at; (at = k.find("\\.\\")) != std::string::npos;)
        k.erase(at, 2);
    if (k.size() > 2 && k.compare(k.size() - 2, 2, "\\.") == 0)
        k.resize(k.size() - 2);
    while (k.size() > 3 && k.back() == '\\')
        k.pop_back();
    return k;
}

std::string FakeFileSystem::Parent(const std::string& key) {
    const std::size_t slash = key.find_last_of('\\');
    return slash == std::string::npos ? std::string() : key.substr(0, slash);
}

FakeFileSystem::Node* FakeFileSystem::Lookup(const std::string& path) {
    auto it = nodes_.find(Key(path));
    return it == nodes_.end() ? nullptr : &it->second;
}

FakeFileSystem::Node& FakeFileSystem::AddFile(const std::string& path, std::uint32_t attributes) {
    // Folders on the way exist too.
    for (std::string p = Parent(Key(path)); p.size() > 2; p = Parent(p))
        if (!nodes_.count(p))
            nodes_[p] = Node{path.substr(0, p.size()), kAttributeDirectory};
    Node& n = nodes_[Key(path)];
    n.path = path;
    n.attributes = attributes;
    return n;
}

FakeFileSystem::Node& FakeFileSystem::AddFolder(const std::string& path, std::uint32_t attributes) {
    return AddFile(path, attributes | kAttributeDirectory);
}

bool FakeFileSystem::Exists(const std::string& path) const { return nodes_.count(Key(path)) != 0; }

std::vector<std::string> FakeFileSystem::Touched() const {
    std::vector<std::string> paths;
    for (const std::string& line : log) {
        std::string rest = line.substr(line.find(' ') + 1);
        if (line.rfind("attrib ", 0) == 0)
            rest = rest.substr(0, rest.find_last_of(' '));
        paths.push_back(rest);
    }
    return paths;
}

bool FakeFileSystem::SpecialFolder(int csidl, std::string* path) {
    auto it = specialFolders.find(csidl);
    if (it == specialFolders.end())
        return false;
    *path = it->second;
    return true;
}

FileSystem::Search FakeFileSystem::FindFirst(const char* pattern, FindEntry* entry) {
    const std::string p = pattern;
    const std::string last = LastComponent(p);
    SearchState* s = new SearchState;
    if (last == "*" || last == "*.*") {
        const std::string dir = Key(p.substr(0, p.size() - last.size()));
        if (const Node* d = Lookup(dir); d && (d->attributes & kAttributeDirectory)) {
            if (listsDotEntries) {
                s->entries.push_back({".", kAttributeDirectory});
                s->entries.push_back({"..", kAttributeDirectory});
            }
            for (const auto& n : nodes_)
                if (Parent(n.first) == dir)
                    s->entries.push_back({LastComponent(n.second.path), n.second.attributes});
        }
    } else if (const Node* n = Lookup(p)) {
        s->entries.push_back({LastComponent(n->path), n->attributes});
    }
    if (s->entries.empty()) {
        delete s;
        return nullptr;
    }
    *entry = s->entries[s->next++];
    ++openSearches;
    return s;
}

bool FakeFileSystem::FindNext(Search search, FindEntry* entry) {
    SearchState* s = static_cast<SearchState*>(search);
    if (s->next >= s->entries.size())
        return false;
    *entry = s->entries[s->next++];
    return true;
}

void FakeFileSystem::FindClose(Search search) {
    delete static_cast<SearchState*>(search);
    --openSearches;
}

bool FakeFileSystem::GetAttributes(const char* path, std::uint32_t* attributes) {
    const Node* n = Lookup(path);
    if (!n)
        return false;
    *attributes = n->attributes;
    return true;
}

bool FakeFileSystem::SetAttributes(const char* path, std::uint32_t attributes) {
    log.push_back("attrib " + std::string(path) + " " + std::to_string(attributes));
    Node* n = Lookup(path);
    if (!n)
        return false;
    n->attributes = (n->attributes & kAttributeDirectory) | (attributes & ~kAttributeDirectory);
    return true;
}

bool FakeFileSystem::RemoveFile(const char* path) {
    log.push_back("remove " + std::string(path));
    Node* n = Lookup(path);
    if (!n || (n->attributes & (kAttributeDirectory | kAttributeReadOnly)) || n->foreignOwner || n->inUse)
        return false;
    nodes_.erase(Key(path));
    return true;
}

bool FakeFileSystem::RemoveFolder(const char* path) {
    log.push_back("rmdir " + std::string(path));
    Node* n = Lookup(path);
    if (!n || !(n->attributes & kAttributeDirectory) || (n->attributes & kAttributeReadOnly))
        return false;
    const std::string k = Key(path);
    for (const auto& other : nodes_)
        if (Parent(other.first) == k)
            return false;
    nodes_.erase(k);
    return true;
}

bool FakeFileSystem::CanOpenForReading(const char* path) {
    const Node* n = Lookup(path);
    return n && !(n->attributes & kAttributeDirectory);
}

bool FakeFileSystem::TakeOwnershipForCurrentUser(const char* path) {
    log.push_back("own " + std::string(path));
    Node* n = Lookup(path);
    if (!n)
        return false;
    n->foreignOwner = false;
    return true;
}

bool FakeFileSystem::ScheduleRemovalAtRestart(const char* path) {
    log.push_back("schedule " + std::string(path));
    return true;
}

bool FakeFileSystem::ShortPath(const char* path, std::string* shortPath) {
    auto it = shortPaths.find(Key(path));
    if (it != shortPaths.end()) {
        *shortPath = it->second;
        return true;
    }
    if (!Lookup(path))
        return false;
    *shortPath = path;
    return true;
}

}  // namespace tw::fakes
