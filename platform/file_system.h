// Files, folders and the special folders of the current user, with the one
// security operation that a refused deletion needs.
#pragma once

#include <cstdint>
#include <string>

#include "platform/unique_handle.h"

namespace tw {

const std::uint32_t kAttributeReadOnly = 0x1;
const std::uint32_t kAttributeHidden = 0x2;
const std::uint32_t kAttributeSystem = 0x4;
const std::uint32_t kAttributeDirectory = 0x10;

// CSIDL values of the folders used.
const int kFolderInternetCache = 0x20;
const int kFolderCookies = 0x21;
const int kFolderHistory = 0x22;
const int kFolderFavorites = 0x06;
const int kFolderRecent = 0x08;

struct FindEntry {
    std::string name;
    std::uint32_t attributes = 0;
    std::uint64_t size = 0;  // in bytes; 0 for a folder
};

class FileSystem {
public:
    using Search = void*;
    virtual ~FileSystem() = default;

    // SHGetSpecialFolderPathA without creation; false when there is none.
    virtual bool SpecialFolder(int csidl, std::string* path) = 0;
    // IEGetWriteableFolderPath for the store folder csidl names (the
    // Internet cache, the cookies or the history): the folder this
    // process's WinINet and history store use and it may write, the Low
    // one in Protected Mode. False when there is none or the process may
    // not write it.
    virtual bool WriteableStoreFolder(int csidl, std::string* path) = 0;
    // FindFirstFileA and companions: null when nothing matches.
    virtual Search FindFirst(const char* pattern, FindEntry* entry) = 0;
    virtual bool FindNext(Search search, FindEntry* entry) = 0;
    virtual void FindClose(Search search) = 0;

    virtual bool GetAttributes(const char* path, std::uint32_t* attributes) = 0;
    virtual bool SetAttributes(const char* path, std::uint32_t attributes) = 0;
    // DeleteFileA; when it fails, *error (if given) is the platform's reason:
    // kErrorAccessDenied for a file the user may not delete (read-only, or
    // another owner's), kErrorSharingViolation for one that is open.
    virtual bool RemoveFile(const char* path, long* error = nullptr) = 0;
    virtual bool RemoveFolder(const char* path) = 0;
    // Whether the file opens for reading (fopen mode "r").
    virtual bool CanOpenForReading(const char* path) = 0;
    // Makes the current user the owner of path and grants that user full
    // access to it, so that a refused deletion can be tried again. Never
    // widens access for anyone else.
    virtual bool TakeOwnershipForCurrentUser(const char* path) = 0;
    // MoveFileExA(path, no new name, MOVEFILE_DELAY_UNTIL_REBOOT): the
    // platform's error, kErrorAccessDenied without administrator rights in
    // effect.
    virtual long ScheduleRemovalAtRestart(const char* path) = 0;
    // GetShortPathNameA; false when the path has none.
    virtual bool ShortPath(const char* path, std::string* shortPath) = 0;
    // GetSystemWow64DirectoryA: the folder of the 32-bit system files on
    // 64-bit Windows, without a trailing "\"; false on 32-bit Windows.
    virtual bool SystemWow64Folder(std::string* path) = 0;
};

// A search of FindFirst, closed by the file system that opened it.
struct CloseFileSearch {
    FileSystem* files = nullptr;
    static FileSystem::Search Invalid() { return nullptr; }
    void operator()(FileSystem::Search s) const { files->FindClose(s); }
};
using FileSearch = UniqueHandle<FileSystem::Search, CloseFileSearch>;

inline FileSearch StartFileSearch(FileSystem& files, const char* pattern, FindEntry* entry) {
    return FileSearch(files.FindFirst(pattern, entry), CloseFileSearch{&files});
}

}  // namespace tw
