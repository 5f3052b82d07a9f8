// The file system as the stores of this process see it. In Protected Mode
// the browser's WinINet and history store keep the low process's items in
// the Low folders (Temporary Internet Files\Low, Cookies\Low, History\Low),
// which are also the only store folders it may write; there the folders of
// the three stores are those, and every other folder and operation is the
// platform's own.
#pragma once

#include <string>

#include "platform/file_system.h"
#include "platform/process_rights.h"

namespace tw {

// True for the folders of the three stores: the Internet cache, the
// cookies and the history.
inline bool IsStoreFolder(int csidl) {
    return csidl == kFolderInternetCache || csidl == kFolderCookies || csidl == kFolderHistory;
}

class ProcessFileSystem : public FileSystem {
public:
    // Both must outlive this object.
    ProcessFileSystem(FileSystem& files, const ProcessRights& rights) : files_(files), rights_(rights) {}

    // A store folder: in Protected Mode the writeable one, or none. The
    // normal folder of a store is not the low process's to purge or to
    // read its index from: that is the broker's work.
    bool SpecialFolder(int csidl, std::string* path) override {
        if (rights_.IsProtectedMode() && IsStoreFolder(csidl))
            return files_.WriteableStoreFolder(csidl, path);
        return files_.SpecialFolder(csidl, path);
    }
    bool WriteableStoreFolder(int csidl, std::string* path) override {
        return files_.WriteableStoreFolder(csidl, path);
    }
    Search FindFirst(const char* pattern, FindEntry* entry) override { return files_.FindFirst(pattern, entry); }
    bool FindNext(Search search, FindEntry* entry) override { return files_.FindNext(search, entry); }
    void FindClose(Search search) override { files_.FindClose(search); }
    bool GetAttributes(const char* path, std::uint32_t* attributes) override {
        return files_.GetAttributes(path, attributes);
    }
    bool SetAttributes(const char* path, std::uint32_t attributes) override {
        return files_.SetAttributes(path, attributes);
    }
    bool RemoveFile(const char* path, long* error = nullptr) override { return files_.RemoveFile(path, error); }
    bool RemoveFolder(const char* path) override { return files_.RemoveFolder(path); }
    bool CanOpenForReading(const char* path) override { return files_.CanOpenForReading(path); }
    bool TakeOwnershipForCurrentUser(const char* path) override { return files_.TakeOwnershipForCurrentUser(path); }
    long ScheduleRemovalAtRestart(const char* path) override { return files_.ScheduleRemovalAtRestart(path); }
    bool ShortPath(const char* path, std::string* shortPath) override { return files_.ShortPath(path, shortPath); }
    bool SystemWow64Folder(std::string* path) override { return files_.SystemWow64Folder(path); }

private:
    FileSystem& files_;
    const ProcessRights& rights_;
};

}  // namespace tw
