// An in-memory URL cache with the platform's buffer protocol and its
// patterns as Windows takes them: "cookie:" finds the cookie container,
// "visited:" the history container, null the content entries only; any
// other pattern is refused.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/url_cache.h"
#include "platform/win_errors.h"
#include "tests/fakes/fake_file_system.h"

namespace tw::fakes {

struct FakeCacheEntry {
    std::string url;
    std::string localFile;
    bool hasLocalFile = true;
    std::uint32_t size = 1;
    std::uint32_t hitRate = 0;
    FileTime lastModified;
    FileTime expire;
    FileTime lastAccess;
    bool inCookieContainer = false;
    bool inHistoryContainer = false;
    // In use: its deletion fails with kErrorAccessDenied and marks it, and
    // it goes, with its file, when Unlock is called.
    bool locked = false;
    bool marked = false;
    // When not 0, the error its deletion fails with, the entry staying.
    long refusal = 0;
    // Extra bytes of header data, to make the entry need a bigger buffer.
    std::uint32_t padding = 0;
};

class FakeUrlCache : public UrlCache {
public:
    std::vector<FakeCacheEntry> entries;
    // Every size handed in, in call order, and the deletions made.
    std::vector<std::uint32_t> sizesGiven;
    std::vector<std::string> patternsGiven;  // "(null)" for null
    std::vector<std::string> deleted;
    // When set, also gets "cache <url>" for each deletion.
    std::vector<std::string>* journal = nullptr;
    // When set, an entry's local file goes with the entry, as the platform's does.
    FakeFileSystem* files = nullptr;
    int openSearches = 0;
    int findCalls = 0;
    // When set, a search ends with this error once it has handed over that
    // many entries, as one of a cache that cannot be read does.
    long searchError = kErrorSuccess;
    std::size_t searchErrorAfter = 0;

    Search FindFirst(const char* pattern, void* buffer, std::uint32_t* size, long* error) override {
        patternsGiven.push_back(pattern ? pattern : "(null)");
        const std::string p = pattern ? Lowered(pattern) : std::string();
        if (pattern && p != "cookie:" && p != "visited:") {
            *error = kErrorInvalidParameter;
            return nullptr;
        }
        SearchState* s = new SearchState;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const FakeCacheEntry& e = entries[i];
            if (p == "cookie:" ? e.inCookieContainer
                               : p == "visited:" ? e.inHistoryContainer
                                                 : !e.inCookieContainer && !e.inHistoryContainer)
                s->matches.push_back(i);
        }
        if (!FakeUrlCache::FindNext(s, buffer, size, error)) {
            delete s;
            return nullptr;
        }
        ++openSearches;
        return s;
    }
    bool FindNext(Search search, void* buffer, std::uint32_t* size, long* error) override {
        SearchState& s = *static_cast<SearchState*>(search);
        sizesGiven.push_back(*size);
        ++findCalls;
        if (searchError != kErrorSuccess && s.next >= searchErrorAfter) {
            *error = searchError;
            return false;
        }
        if (s.next >= s.matches.size()) {
            *error = kErrorNoMoreItems;
            return false;
        }
        const FakeCacheEntry& e = entries[s.matches[s.next]];
        const std::uint32_t needed = NeededSize(e);
        // The platform writes back the size it needs or used.
        const bool fits = *size >= needed && buffer;
        *size = needed;
        if (!fits) {
            *error = kErrorInsufficientBuffer;
            return false;
        }
        unsigned char* bytes = static_cast<unsigned char*>(buffer);
        const std::uint32_t urlAt = sizeof(Layout) + e.padding, fileAt = urlAt + std::uint32_t(e.url.size() + 1);
        const Layout layout{urlAt, e.hasLocalFile ? fileAt : 0, e.hitRate, e.size, e.lastModified, e.expire,
                            e.lastAccess};
        std::memcpy(bytes, &layout, sizeof layout);
        std::memcpy(bytes + urlAt, e.url.c_str(), e.url.size() + 1);
        std::memcpy(bytes + fileAt, e.localFile.c_str(), e.localFile.size() + 1);
        ++s.next;
        return true;
    }
    void FindClose(Search search) override {
        delete static_cast<SearchState*>(search);
        --openSearches;
    }
    CacheEntryView Decode(const void* buffer) const override {
        Layout l;
        std::memcpy(&l, buffer, sizeof l);
        const char* base = static_cast<const char*>(buffer);
        return CacheEntryView{l.urlOffset ? base + l.urlOffset : nullptr, l.fileOffset ? base + l.fileOffset : nullptr,
                              l.hitRate, l.sizeLow, l.lastModified, l.expire, l.lastAccess};
    }
    bool DeleteEntry(const char* url, long* error) override {
        deleted.push_back(url);
        if (journal)
            journal->push_back("cache " + std::string(url));
        for (auto it = entries.begin(); it != entries.end(); ++it) {
            if (it->url != url)
                continue;
            *error = it->refusal ? it->refusal : it->locked ? kErrorAccessDenied : kErrorSuccess;
            it->marked = it->marked || (it->locked && !it->refusal);
            if (*error != kErrorSuccess)
                return false;
            Remove(it);
            return true;
        }
        *error = kErrorFileNotFound;
        return false;
    }
    // The files are closed: the marked entries go.
    void Unlock() {
        for (auto it = entries.begin(); it != entries.end();) {
            it->locked = false;
            it = it->marked ? Remove(it) : it + 1;
        }
    }

    // The buffer size that an entry needs.
    static std::uint32_t NeededSize(const FakeCacheEntry& e) {
        return std::uint32_t(sizeof(Layout) + e.url.size() + 1 + e.localFile.size() + 1 + e.padding);
    }

    // Adds an entry; a URL that starts with the cookie marker is in the
    // cookie container, one that starts with the history marker in the
    // history container.
    FakeCacheEntry& Add(const std::string& url, const std::string& localFile = "file.htm", std::uint32_t size = 100) {
        FakeCacheEntry e;
        e.url = url;
        e.localFile = localFile;
        e.size = size;
        e.inCookieContainer = url.rfind("Cookie:", 0) == 0;
        e.inHistoryContainer = url.rfind("Visited:", 0) == 0;
        entries.push_back(e);
        return entries.back();
    }

private:
    std::vector<FakeCacheEntry>::iterator Remove(std::vector<FakeCacheEntry>::iterator it) {
        if (files && it->hasLocalFile)
            files->Drop(it->localFile);
        return entries.erase(it);
    }
    static std::string Lowered(const char* text) {
        std::string s = text;
        for (char& c : s)
            c = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        return s;
    }
    // The record as laid out in the buffer, its strings after it.
    struct Layout {
        std::uint32_t urlOffset;   // 0: no URL
        std::uint32_t fileOffset;  // 0: no local file
        std::uint32_t hitRate;
        std::uint32_t sizeLow;
        FileTime lastModified;
        FileTime expire;
        FileTime lastAccess;
    };
    struct SearchState {
        std::vector<std::size_t> matches;
        std::size_t next = 0;
    };
};

}  // namespace tw::fakes
