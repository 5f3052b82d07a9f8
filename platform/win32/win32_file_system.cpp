#include "platform/win32/win32_file_system.h"

#include <aclapi.h>
#include <shlobj.h>

#include <cstdio>

#include "platform/win32/handles.h"

namespace tw {
namespace {

// The user of a token, as TokenUser gives it.
class TokenUserSid {
public:
    explicit TokenUserSid(HANDLE token) {
        DWORD size = 0;
        ok_ = GetTokenInformation(token, TokenUser, buffer_, sizeof buffer_, &size) != FALSE;
    }
    PSID Get() const { return ok_ ? reinterpret_cast<const TOKEN_USER*>(buffer_)->User.Sid : nullptr; }

private:
    alignas(TOKEN_USER) unsigned char buffer_[1024];
    bool ok_ = false;
};

void Fill(const WIN32_FIND_DATAA& data, FindEntry* entry) {
    entry->name = data.cFileName;
    entry->attributes = data.dwFileAttributes;
    entry->size = std::uint64_t(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}

}  // namespace

bool EnablePrivilege(HANDLE token, const char* privilege, TOKEN_PRIVILEGES* previous) {
    *previous = TOKEN_PRIVILEGES{};
    TOKEN_PRIVILEGES privileges = {};
    if (!LookupPrivilegeValueA(nullptr, privilege, &privileges.Privileges[0].Luid))
        return false;
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    DWORD size = 0;
    SetLastError(ERROR_SUCCESS);
    const BOOL called = AdjustTokenPrivileges(token, FALSE, &privileges, sizeof *previous, previous, &size);
    // ERROR_NOT_ALL_ASSIGNED comes with a "successful" call when the token
    // does not hold the privilege.
    return called && GetLastError() == ERROR_SUCCESS;
}

void RestorePrivilege(HANDLE token, const TOKEN_PRIVILEGES& previous) {
    // Nothing was changed when the privilege was enabled already.
    if (previous.PrivilegeCount == 0)
        return;
    TOKEN_PRIVILEGES state = previous;
    AdjustTokenPrivileges(token, FALSE, &state, 0, nullptr, nullptr);
}

bool TakeOwnership(const char* path) {
    SECURITY_DESCRIPTOR descriptor;
    if (!InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION))
        return false;
    UniqueKernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY | TOKEN_ADJUST_PRIVILEGES | READ_CONTROL, token.Receive()))
        return false;
    const TokenUserSid user(token.Get());
    if (!user.Get() || !SetSecurityDescriptorOwner(&descriptor, user.Get(), FALSE))
        return false;
    TOKEN_PRIVILEGES previous = {};
    bool ok = EnablePrivilege(token.Get(), "SeTakeOwnershipPrivilege", &previous);
    ok = ok && SetFileSecurityA(path, OWNER_SECURITY_INFORMATION, &descriptor);
    // The token is the browser's own: the privilege, which would let any
    // code in the browser take any file, is on for this one change only,
    // and put back as it was whatever came of it; every other one is left
    // alone.
    RestorePrivilege(token.Get(), previous);
    return ok;
}

bool GrantAccess(const char* path, PSID sid, DWORD mask) {
    if (!sid || !IsValidSid(sid))
        return false;
    // The file's own access list, so that the new entry joins it.
    DWORD needed = 0;
    GetFileSecurityA(path, DACL_SECURITY_INFORMATION, nullptr, 0, &needed);
    if (needed == 0)
        return false;
    UniqueLocalMemory<void> current(LocalAlloc(LMEM_FIXED, needed));
    if (!current.Get() ||
        !GetFileSecurityA(path, DACL_SECURITY_INFORMATION, current.Get(), needed, &needed))
        return false;
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    if (!GetSecurityDescriptorDacl(current.Get(), &present, &dacl, &defaulted))
        return false;
    EXPLICIT_ACCESSA access = {};
    access.grfAccessPermissions = mask;
    access.grfAccessMode = GRANT_ACCESS;
    access.grfInheritance = NO_INHERITANCE;
    access.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    access.Trustee.TrusteeType = TRUSTEE_IS_USER;
    access.Trustee.ptstrName = static_cast<LPSTR>(sid);
    UniqueLocalMemory<ACL> merged;
    if (SetEntriesInAclA(1, &access, present ? dacl : nullptr, merged.Receive()) != ERROR_SUCCESS)
        return false;
    SECURITY_DESCRIPTOR descriptor;
    return InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
           SetSecurityDescriptorDacl(&descriptor, TRUE, merged.Get(), FALSE) &&
           SetFileSecurityA(path, DACL_SECURITY_INFORMATION, &descriptor);
}

bool GrantAccessToCurrentUser(const char* path, DWORD mask) {
    UniqueKernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive()))
        return false;
    const TokenUserSid user(token.Get());
    return GrantAccess(path, user.Get(), mask);
}

bool Win32FileSystem::SpecialFolder(int csidl, std::string* path) {
    char buffer[MAX_PATH] = "";
    if (!SHGetSpecialFolderPathA(nullptr, buffer, csidl, FALSE))
        return false;
    buffer[MAX_PATH - 1] = '\0';
    *path = buffer;
    return true;
}

bool Win32FileSystem::WriteableStoreFolder(int csidl, std::string* path) {
    // FOLDERID_InternetCache, FOLDERID_Cookies and FOLDERID_History.
    static const GUID kInternetCache = {0x352481E8, 0x33BE, 0x4251, {0xBA, 0x85, 0x60, 0x07, 0xCA, 0xED, 0xCF, 0x9D}};
    static const GUID kCookies = {0x2B0F765D, 0xC0E9, 0x4171, {0x90, 0x8E, 0x08, 0xA6, 0x11, 0xB8, 0x4F, 0xF6}};
    static const GUID kHistory = {0xD9DC8A3B, 0xB784, 0x432E, {0xA7, 0x81, 0x5A, 0x11, 0x30, 0xA7, 0x59, 0x63}};
    const GUID* folder = csidl == kFolderInternetCache ? &kInternetCache
                         : csidl == kFolderCookies     ? &kCookies
                         : csidl == kFolderHistory     ? &kHistory
                                                       : nullptr;
    if (!folder)
        return false;
    // Only the browser's processes have ieframe.dll loaded, and only theirs
    // have Low stores to be told of. Wine's ieframe.dll has no such export.
    HMODULE ieframe = GetModuleHandleW(L"ieframe.dll");
    typedef HRESULT(WINAPI * WriteableFolderFn)(REFGUID, LPWSTR*);
    WriteableFolderFn writeable = ieframe ? reinterpret_cast<WriteableFolderFn>(reinterpret_cast<void*>(
                                                GetProcAddress(ieframe, "IEGetWriteableFolderPath")))
                                          : nullptr;
    LPWSTR wide = nullptr;
    // E_ACCESSDENIED when the process may not write the folder at all.
    if (!writeable || FAILED(writeable(*folder, &wide)) || !wide)
        return false;
    char buffer[MAX_PATH] = "";
    const int n = WideCharToMultiByte(CP_ACP, 0, wide, -1, buffer, MAX_PATH, nullptr, nullptr);
    CoTaskMemFree(wide);
    if (n <= 1)
        return false;
    *path = buffer;
    return true;
}

FileSystem::Search Win32FileSystem::FindFirst(const char* pattern, FindEntry* entry) {
    WIN32_FIND_DATAA data;
    const HANDLE h = FindFirstFileA(pattern, &data);
    if (h == INVALID_HANDLE_VALUE)
        return nullptr;
    Fill(data, entry);
    return h;
}

bool Win32FileSystem::FindNext(Search search, FindEntry* entry) {
    WIN32_FIND_DATAA data;
    if (!FindNextFileA(search, &data))
        return false;
    Fill(data, entry);
    return true;
}

void Win32FileSystem::FindClose(Search search) {
    if (search)
        ::FindClose(search);
}

bool Win32FileSystem::GetAttributes(const char* path, std::uint32_t* attributes) {
    const DWORD a = GetFileAttributesA(path);
    if (a == INVALID_FILE_ATTRIBUTES)
        return false;
    *attributes = a;
    return true;
}

bool Win32FileSystem::SetAttributes(const char* path, std::uint32_t attributes) {
    return SetFileAttributesA(path, attributes) != FALSE;
}

bool Win32FileSystem::RemoveFile(const char* path, long* error) {
    if (DeleteFileA(path))
        return true;
    if (error)
        *error = long(GetLastError());
    return false;
}

bool Win32FileSystem::RemoveFolder(const char* path) { return RemoveDirectoryA(path) != FALSE; }

bool Win32FileSystem::CanOpenForReading(const char* path) {
    std::FILE* f = std::fopen(path, "r");
    if (!f)
        return false;
    std::fclose(f);
    return true;
}

bool Win32FileSystem::TakeOwnershipForCurrentUser(const char* path) {
    // Both are tried: either may be what the deletion lacked.
    const bool owned = TakeOwnership(path);
    const bool granted = GrantAccessToCurrentUser(path, GENERIC_ALL);
    return owned && granted;
}

// Windows refuses it with ERROR_ACCESS_DENIED to a token without
// administrator rights in effect (a filtered one under UAC included); Wine
// writes the value for anyone.
long Win32FileSystem::ScheduleRemovalAtRestart(const char* path) {
    return MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) ? ERROR_SUCCESS : long(GetLastError());
}

bool Win32FileSystem::ShortPath(const char* path, std::string* shortPath) {
    char buffer[MAX_PATH] = "";
    const DWORD n = GetShortPathNameA(path, buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return false;
    *shortPath = buffer;
    return true;
}

bool Win32FileSystem::SystemWow64Folder(std::string* path) {
    // Fails with ERROR_CALL_NOT_IMPLEMENTED on 32-bit Windows; Wine has
    // the folder in a 64-bit prefix only.
    char buffer[MAX_PATH] = "";
    const UINT n = GetSystemWow64DirectoryA(buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return false;
    *path = buffer;
    return true;
}

}  // namespace tw
