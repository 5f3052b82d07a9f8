// The file-system seam over the Windows file and security functions, and
// the security operations that a refused deletion needs.
#pragma once

#include <windows.h>

#include "platform/file_system.h"

namespace tw {

class Win32FileSystem : public FileSystem {
public:
    bool SpecialFolder(int csidl, std::string* path) override;
    bool WriteableStoreFolder(int csidl, std::string* path) override;
    Search FindFirst(const char* pattern, FindEntry* entry) override;
    bool FindNext(Search search, FindEntry* entry) override;
    void FindClose(Search search) override;
    bool GetAttributes(const char* path, std::uint32_t* attributes) override;
    bool SetAttributes(const char* path, std::uint32_t attributes) override;
    bool RemoveFile(const char* path, long* error = nullptr) override;
    bool RemoveFolder(const char* path) override;
    bool CanOpenForReading(const char* path) override;
    bool TakeOwnershipForCurrentUser(const char* path) override;
    long ScheduleRemovalAtRestart(const char* path) override;
    bool ShortPath(const char* path, std::string* shortPath) override;
    bool SystemWow64Folder(std::string* path) override;
};

// Enables the named privilege in token; previous receives what the change
// replaced, for RestorePrivilege. True only when the token holds it.
bool EnablePrivilege(HANDLE token, const char* privilege, TOKEN_PRIVILEGES* previous);
void RestorePrivilege(HANDLE token, const TOKEN_PRIVILEGES& previous);

// Makes the current process's user the owner of path, with
// SeTakeOwnershipPrivilege enabled for that one change and put back as it
// was right after it, whether it succeeded or not.
bool TakeOwnership(const char* path);

// Adds to the access list of path one entry that allows mask to sid; the
// entries already there stay. Nothing changes when the list cannot be read.
bool GrantAccess(const char* path, PSID sid, DWORD mask);

// GrantAccess for the user of the current process's token.
bool GrantAccessToCurrentUser(const char* path, DWORD mask);

}  // namespace tw
