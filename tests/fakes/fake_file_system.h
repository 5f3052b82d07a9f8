// An in-memory file system with the platform's refusals: a read-only file
// or a file of another owner is not deleted, a folder that is not empty is
// not removed, a file in use is never deleted. Every change is logged.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/win_errors.h"

namespace tw::fakes {

class FakeFileSystem : public FileSystem {
public:
    struct Node {
        std::string path;  // as created
        std::uint32_t attributes = 0;
        bool foreignOwner = false;  // deletion refused until taken over
        bool inUse = false;         // deletion always refused
        std::uint64_t size = 0;
    };

    std::map<int, std::string> specialFolders;
    std::map<std::string, std::string> shortPaths;  // lower-case long path -> short
    std::string wow64Folder;                        // empty: 32-bit Windows, which has none
    // Whether folder listings begin with "." and "..", as NTFS ones do.
    bool listsDotEntries = true;
    // Each change, in order: "remove P", "rmdir P", "attrib P N", "own P", "schedule P".
    std::vector<std::string> log;
    int openSearches = 0;

    // Folders on the way exist too.
    Node& AddFile(const std::string& path, std::uint32_t attributes = 0) {
        for (std::string p = Parent(Key(path)); p.size() > 2; p = Parent(p))
            if (!nodes_.count(p))
                nodes_[p] = Node{path.substr(0, p.size()), kAttributeDirectory};
        Node& n = nodes_[Key(path)];
        n.path = path;
        n.attributes = attributes;
        return n;
    }
    Node& AddFolder(const std::string& path, std::uint32_t attributes = 0) {
        return AddFile(path, attributes | kAttributeDirectory);
    }
    bool Exists(const std::string& path) const { return nodes_.count(Key(path)) != 0; }
    // Gone without a trace in the log, as a cache entry's file goes with it.
    void Drop(const std::string& path) { nodes_.erase(Key(path)); }

    bool SpecialFolder(int csidl, std::string* path) override {
        auto it = specialFolders.find(csidl);
        if (it != specialFolders.end())
            *path = it->second;
        return it != specialFolders.end();
    }
    // A folder's listing for "F\*" and "F\*.*", else the one entry named.
    Search FindFirst(const char* pattern, FindEntry* entry) override {
        const std::string p = pattern, last = Name(p);
        std::vector<FindEntry> found;
        if (last == "*" || last == "*.*") {
            const std::string dir = Key(p.substr(0, p.size() - last.size()));
            if (const Node* d = Lookup(dir); d && (d->attributes & kAttributeDirectory)) {
                if (listsDotEntries)
                    found = {{".", kAttributeDirectory}, {"..", kAttributeDirectory}};
                for (const auto& n : nodes_)
                    if (Parent(n.first) == dir)
                        found.push_back({Name(n.second.path), n.second.attributes, n.second.size});
            }
        } else if (const Node* n = Lookup(p)) {
            found.push_back({Name(n->path), n->attributes, n->size});
        }
        if (found.empty())
            return nullptr;
        ++openSearches;
        SearchState* s = new SearchState{found, 0};
        FakeFileSystem::FindNext(s, entry);
        return s;
    }
    bool FindNext(Search search, FindEntry* entry) override {
        SearchState* s = static_cast<SearchState*>(search);
        if (s->next >= s->entries.size())
            return false;
        *entry = s->entries[s->next++];
        return true;
    }
    void FindClose(Search search) override {
        delete static_cast<SearchState*>(search);
        --openSearches;
    }
    bool GetAttributes(const char* path, std::uint32_t* attributes) override {
        const Node* n = Lookup(path);
        if (n)
            *attributes = n->attributes;
        return n != nullptr;
    }
    bool SetAttributes(const char* path, std::uint32_t attributes) override {
        Node* n = Logged("attrib ", path, " " + std::to_string(attributes));
        if (n)
            n->attributes = (n->attributes & kAttributeDirectory) | (attributes & ~kAttributeDirectory);
        return n != nullptr;
    }
    // As DeleteFileA answers: a file that is open refuses with a sharing
    // violation before its rights are looked at.
    bool RemoveFile(const char* path, long* error = nullptr) override {
        const Node* n = Logged("remove ", path);
        long why = !n                                                                  ? kErrorFileNotFound
                   : n->inUse                                                          ? kErrorSharingViolation
                   : (n->attributes & (kAttributeDirectory | kAttributeReadOnly)) || n->foreignOwner ? kErrorAccessDenied
                                                                                       : kErrorSuccess;
        if (why == kErrorSuccess)
            nodes_.erase(Key(path));
        else if (error)
            *error = why;
        return why == kErrorSuccess;
    }
    bool RemoveFolder(const char* path) override {
        const Node* n = Logged("rmdir ", path);
        if (!n || !(n->attributes & kAttributeDirectory) || (n->attributes & kAttributeReadOnly))
            return false;
        for (const auto& other : nodes_)
            if (Parent(other.first) == Key(path))
                return false;
        return nodes_.erase(Key(path)) != 0;
    }
    bool CanOpenForReading(const char* path) override {
        const Node* n = Lookup(path);
        return n && !(n->attributes & kAttributeDirectory);
    }
    bool TakeOwnershipForCurrentUser(const char* path) override {
        Node* n = Logged("own ", path);
        if (n)
            n->foreignOwner = false;
        return n != nullptr;
    }
    bool ScheduleRemovalAtRestart(const char* path) override {
        Logged("schedule ", path);
        return true;
    }
    // The short form given in shortPaths, else the path itself when it exists.
    bool ShortPath(const char* path, std::string* shortPath) override {
        auto it = shortPaths.find(Key(path));
        if (it == shortPaths.end() && !Lookup(path))
            return false;
        *shortPath = it != shortPaths.end() ? it->second : path;
        return true;
    }
    bool SystemWow64Folder(std::string* path) override {
        if (wow64Folder.empty())
            return false;
        *path = wow64Folder;
        return true;
    }

private:
    struct SearchState {
        std::vector<FindEntry> entries;
        std::size_t next = 0;
    };

    // Nodes go by lower-case path, without trailing backslashes.
    static std::string Key(std::string path) {
        for (char& c : path)
            c = char(c >= 'A' && c <= 'Z' ? c + 32 : c);
        while (path.size() > 3 && path.back() == '\\')
            path.pop_back();
        return path;
    }
    static std::string Parent(const std::string& key) {
        const std::size_t slash = key.find_last_of('\\');
        return slash == std::string::npos ? std::string() : key.substr(0, slash);
    }
    static std::string Name(const std::string& path) { return path.substr(path.find_last_of('\\') + 1); }
    Node* Lookup(const std::string& path) {
        auto it = nodes_.find(Key(path));
        return it == nodes_.end() ? nullptr : &it->second;
    }
    Node* Logged(const char* change, const char* path, const std::string& detail = std::string()) {
        log.push_back(change + std::string(path) + detail);
        return Lookup(path);
    }

    std::map<std::string, Node> nodes_;
};

}  // namespace tw::fakes
