// The WinINet URL cache, with the platform's own buffer protocol: a call
// given too small a buffer fails with kErrorInsufficientBuffer and writes
// back the size it needs.
#pragma once

#include <cstdint>

#include "core/entry.h"
#include "platform/unique_handle.h"

namespace tw {

// The fields of one INTERNET_CACHE_ENTRY_INFOA that are read. The texts
// point into the caller's buffer and may be null.
struct CacheEntryView {
    const char* sourceUrl = nullptr;
    const char* localFile = nullptr;
    std::uint32_t hitRate = 0;
    std::uint32_t sizeLow = 0;
    FileTime lastModified;
    FileTime expire;
    FileTime lastAccess;
};

class UrlCache {
public:
    using Search = void*;
    virtual ~UrlCache() = default;

    // A search handle, or null with error set (kErrorInsufficientBuffer with
    // *size the needed size, or any other error for "no items").
    virtual Search FindFirst(const char* pattern, void* buffer, std::uint32_t* size, long* error) = 0;
    // False with error set: kErrorInsufficientBuffer as above, any other at the end.
    virtual bool FindNext(Search search, void* buffer, std::uint32_t* size, long* error) = 0;
    virtual void FindClose(Search search) = 0;
    // Reads the entry that a successful find left in the buffer.
    virtual CacheEntryView Decode(const void* buffer) const = 0;
    // Removes the entry whose URL is exactly url, with its local file; false
    // with error set otherwise. kErrorAccessDenied says that the file is in
    // use: the entry is marked and goes when the file is unlocked.
    virtual bool DeleteEntry(const char* url, long* error) = 0;
};

// A search of FindFirst, closed by the cache that opened it.
struct CloseCacheSearch {
    UrlCache* cache = nullptr;
    static UrlCache::Search Invalid() { return nullptr; }
    void operator()(UrlCache::Search s) const { cache->FindClose(s); }
};
using CacheSearch = UniqueHandle<UrlCache::Search, CloseCacheSearch>;

}  // namespace tw
