// An in-memory URL cache with the platform's buffer protocol and its
// containers: "cookie:" finds the cookie container, "visited:" the history
// container, "*.*" (or an empty pattern) all of them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/url_cache.h"

namespace tw::fakes {

enum class Container { Content, Cookie, History };

struct FakeCacheEntry {
    std::string url;
    std::string localFile;
    bool hasLocalFile = true;
    std::uint32_t size = 1;
    std::uint32_t hitRate = 0;
    FileTime lastModified;
    FileTime expire;
    FileTime lastAccess;
    Container container = Container::Content;
    // Extra bytes of header data, to make the entry need a bigger buffer.
    std::uint32_t padding = 0;
};

class FakeUrlCache : public UrlCache {
public:
    std::vector<FakeCacheEntry> entries;
    // Every size handed in, in call order, and the deletions made.
    std::vector<std::uint32_t> sizesGiven;
    std::vector<std::string> deleted;
    // When set, also gets "cache <url>" for each deletion.
    std::vector<std::string>* journal = nullptr;
    int openSearches = 0;
    int findCalls = 0;

    Search FindFirst(const char* pattern, void* buffer, std::uint32_t* size, long* error) override;
    bool FindNext(Search search, void* buffer, std::uint32_t* size, long* error) override;
    void FindClose(Search search) override;
    CacheEntryView Decode(const void* buffer) const override;
    bool DeleteEntry(const char* url) override;

    // The buffer size that an entry needs.
    static std::uint32_t NeededSize(const FakeCacheEntry& entry);

    // Adds an entry; the container follows the URL's marker.
    FakeCacheEntry& Add(const std::string& url, const std::string& localFile = "file.htm",
                        std::uint32_t size = 100);

private:
    struct SearchState {
        std::vector<std::size_t> matches;
        std::size_t next = 0;
    };
    bool Fill(SearchState& s, void* buffer, std::uint32_t* size, long* error);
};

}  // namespace tw::fakes
