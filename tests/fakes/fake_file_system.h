// An in-memory file system with the platform's refusals: a read-only file
// or a file of another owner is not deleted, a folder that is not empty is
// not removed, a file in use is never deleted. Every change is logged.
// Given rights, it refuses what Windows refuses a process that holds them:
// at low integrity every change outside the folders labelled low (the Low
// stores), and restart operations without administrator rights in effect.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/win_errors.h"
#include "tests/fakes/fake_process_rights.h"
#include "tests/fakes/fake_registry.h"

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
    // What IEGetWriteableFolderPath answers, by CSIDL of the store.
    std::map<int, std::string> writeableStoreFolders;
    std::map<std::string, std::string> shortPaths;  // lower-case long path -> short
    std::string wow64Folder;                        // empty: 32-bit Windows, which has none
    // Whether folder listings begin with "." and "..", as NTFS ones do.
    bool listsDotEntries = true;
    // Each change, in order: "remove P", "rmdir P", "attrib P N", "own P", "schedule P".
    std::vector<std::string> log;
    int openSearches = 0;
    // The process's rights; none: an elevated administrator's.
    const ProcessRights* rights = nullptr;
    // Folders labelled low integrity, with all that lies below them.
    std::vector<std::string> lowFolders;
    // Where restart operations are recorded, when a test reads them back.
    FakeRegistry* systemRecords = nullptr;

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
    bool WriteableStoreFolder(int csidl, std::string* path) override {
        auto it = writeableStoreFolders.find(csidl);
        if (it != writeableStoreFolders.end())
            *path = it->second;
        return it != writeableStoreFolders.end();
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
        if (n && Writable(path))
            n->attributes = (n->attributes & kAttributeDirectory) | (attributes & ~kAttributeDirectory);
        return n != nullptr && Writable(path);
    }
    // As DeleteFileA answers: a file that is open refuses with a sharing
    // violation before its rights are looked at.
    bool RemoveFile(const char* path, long* error = nullptr) override {
        const Node* n = Logged("remove ", path);
        // A low process is refused the change by the file's integrity label.
        long why = !n                                                                  ? kErrorFileNotFound
                   : n->inUse                                                          ? kErrorSharingViolation
                   : (n->attributes & (kAttributeDirectory | kAttributeReadOnly)) || n->foreignOwner ||
                           !Writable(path)
                       ? kErrorAccessDenied
                       : kErrorSuccess;
        if (why == kErrorSuccess)
            nodes_.erase(Key(path));
        else if (error)
            *error = why;
        return why == kErrorSuccess;
    }
    bool RemoveFolder(const char* path) override {
        const Node* n = Logged("rmdir ", path);
        if (!n || !Writable(path) || !(n->attributes & kAttributeDirectory) || (n->attributes & kAttributeReadOnly))
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
        if (n && Writable(path))
            n->foreignOwner = false;
        return n != nullptr && Writable(path);
    }
    // Logged when it is done, as the system's records then hold it.
    long ScheduleRemovalAtRestart(const char* path) override {
        if (!MayScheduleAtRestart(rights))
            return kErrorAccessDenied;
        Logged("schedule ", path);
        if (systemRecords)
            systemRecords->RecordDeletionAtRestart(path);
        return kErrorSuccess;
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
    // A low process changes only what is labelled low; the label of a
    // folder goes to all that is made in it.
    bool Writable(const std::string& path) const {
        if (!rights || !rights->IsProtectedMode())
            return true;
        const std::string k = Key(path);
        for (const std::string& low : lowFolders) {
            const std::string l = Key(low);
            if (k.compare(0, l.size(), l) == 0 && (k.size() == l.size() || k[l.size()] == '\\'))
                return true;
        }
        return false;
    }
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
