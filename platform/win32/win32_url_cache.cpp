#include "platform/win32/win32_url_cache.h"

#include <windows.h>
#include <wininet.h>

#include <cstring>

namespace tw {

bool RunningUnderWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

Win32UrlCache::Win32UrlCache() : underWine_(RunningUnderWine()) {}

const char* Win32UrlCache::WinePattern(const char* pattern) {
    if (!pattern)
        return nullptr;
    if (_stricmp(pattern, "cookie:") == 0)
        return "Cookie:";
    if (_stricmp(pattern, "visited:") == 0)
        return "Visited:";
    return pattern;
}

UrlCache::Search Win32UrlCache::FindFirst(const char* pattern, void* buffer, std::uint32_t* size, long* error) {
    // Windows takes only "cookie:", "visited:" or null, and null yields the
    // content entries alone; Wine yields every container's for null.
    DWORD s = *size;
    const HANDLE h = FindFirstUrlCacheEntryA(underWine_ ? WinePattern(pattern) : pattern,
                                             static_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer), &s);
    *size = s;
    *error = h ? ERROR_SUCCESS : long(GetLastError());
    return h;
}

bool Win32UrlCache::FindNext(Search search, void* buffer, std::uint32_t* size, long* error) {
    DWORD s = *size;
    const BOOL ok = FindNextUrlCacheEntryA(search, static_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer), &s);
    *size = s;
    *error = ok ? ERROR_SUCCESS : long(GetLastError());
    return ok != FALSE;
}

void Win32UrlCache::FindClose(Search search) {
    if (search)
        FindCloseUrlCache(search);
}

CacheEntryView Win32UrlCache::Decode(const void* buffer) const {
    const INTERNET_CACHE_ENTRY_INFOA* info = static_cast<const INTERNET_CACHE_ENTRY_INFOA*>(buffer);
    CacheEntryView view;
    view.sourceUrl = info->lpszSourceUrlName;
    view.localFile = info->lpszLocalFileName;
    view.hitRate = info->dwHitRate;
    view.sizeLow = info->dwSizeLow;
    view.lastModified = FileTime{info->LastModifiedTime.dwLowDateTime, info->LastModifiedTime.dwHighDateTime};
    view.expire = FileTime{info->ExpireTime.dwLowDateTime, info->ExpireTime.dwHighDateTime};
    view.lastAccess = FileTime{info->LastAccessTime.dwLowDateTime, info->LastAccessTime.dwHighDateTime};
    return view;
}

bool Win32UrlCache::DeleteEntry(const char* url, long* error) {
    // ERROR_ACCESS_DENIED: the file is locked or in use, and the entry is
    // marked and deleted when it is unlocked.
    const bool deleted = DeleteUrlCacheEntryA(url) != FALSE;
    *error = deleted ? ERROR_SUCCESS : long(GetLastError());
    return deleted;
}

}  // namespace tw
