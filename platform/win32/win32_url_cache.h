// The URL cache seam over WinINet.
#pragma once

#include <string>

#include "platform/url_cache.h"

namespace tw {

class Win32UrlCache : public UrlCache {
public:
    Win32UrlCache();

    Search FindFirst(const char* pattern, void* buffer, std::uint32_t* size, long* error) override;
    bool FindNext(Search search, void* buffer, std::uint32_t* size, long* error) override;
    void FindClose(Search search) override;
    CacheEntryView Decode(const void* buffer) const override;
    bool DeleteEntry(const char* url, long* error) override;

    // Wine matches search patterns against its container prefixes, with
    // case, instead of the way Windows does; the system's own patterns are
    // translated to what gives the same items there; null stays null.
    static const char* WinePattern(const char* pattern);

private:
    bool underWine_;
};

// Whether this process runs under Wine (ntdll exports wine_get_version).
bool RunningUnderWine();

}  // namespace tw
