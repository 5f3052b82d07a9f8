// An in-memory file system with the platform's refusals: a read-only file
// or a file of another owner is not deleted, a folder that is not empty is
// not removed, a file in use is never deleted. Every change is logged.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace tw::fakes {

class FakeFileSystem : public FileSystem {
public:
    struct Node {
        std::string path;  // as created
        std::uint32_t attributes = 0;
        bool foreignOwner = false;  // deletion refused until taken over
        bool inUse = false;         // deletion always refused
    };

    std::map<int, std::string> specialFolders;
    std::map<std::string, std::string> shortPaths;  // lower-case long path -> short
    // Whether folder listings begin with "." and "..", as NTFS ones do.
    bool listsDotEntries = true;
    // Each change, in order: "remove P", "rmdir P", "attrib P N", "own P", "schedule P".
    std::vector<std::string> log;

    Node& AddFile(const std::string& path, std::uint32_t attributes = 0);
    Node& AddFolder(const std::string& path, std::uint32_t attributes = 0);
    bool Exists(const std::string& path) const;
    // Paths that a change was made to or tried on.
    std::vector<std::string> Touched() const;

    bool SpecialFolder(int csidl, std::string* path) override;
    Search FindFirst(const char* pattern, FindEntry* entry) override;
    bool FindNext(Search search, FindEntry* entry) override;
    void FindClose(Search search) override;
    bool GetAttributes(const char* path, std::uint32_t* attributes) override;
    bool SetAttributes(const char* path, std::uint32_t attributes) override;
    bool RemoveFile(const char* path) override;
    bool RemoveFolder(const char* path) override;
    bool CanOpenForReading(const char* path) override;
    bool TakeOwnershipForCurrentUser(const char* path) override;
    bool ScheduleRemovalAtRestart(const char* path) override;
    bool ShortPath(const char* path, std::string* shortPath) override;

    int openSearches = 0;

private:
    static std::string Key(const std::string& path);
    static std::string Parent(const std::string& key);
    Node* Lookup(const std::string& path);
    std::map<std::string, Node> nodes_;  // by lower-case path
};

}  // namespace tw::fakes
