#include "tests/fakes/fake_url_cache.h"

#include <cstring>

#include "platform/win_errors.h"

namespace tw::fakes {
namespace {

struct Layout {
    std::uint32_t urlOffset;   // 0: no URL
    std::uint32_t fileOffset;  // 0: no local file
    std::uint32_t hitRate;
    std::uint32_t sizeLow;
    FileTime lastModified;
    FileTime expire;
    FileTime lastAccess;
};

bool Matches(const char* pattern, Container c) {
    std::string lowered = pattern ? pattern : "";
    for (char& ch : lowered)
        ch = char(ch >= 'A' && ch <= 'Z' ? ch + 32 : ch);
    if (lowered.empty() || lowered == "*.*" || lowered == "*")
        return true;
    if (lowered == "cookie:")
        return c == Container::Cookie;
    if (lowered == "visited:")
        return c == Container::History;
    return false;
}

}  // namespace

std::uint32_t FakeUrlCache::NeededSize(const FakeCacheEntry& e) {
    return std::uint32_t(sizeof(Layout) + e.url.size() + 1 + e.localFile.size() + 1 + e.padding);
}

FakeCacheEntry& FakeUrlCache::Add(const std::string& url, const std::string& localFile, std::uint32_t size) {
    FakeCacheEntry e;
    e.url = url;
    e.localFile = localFile;
    e.size = size;
    if (url.rfind("Cookie:", 0) == 0)
        e.container = Container::Cookie;
    else if (url.rfind("Visited:", 0) == 0)
        e.container = Container::History;
    entries.push_back(e);
    return entries.back();
}

bool FakeUrlCache::Fill(SearchState& s, void* buffer, std::uint32_t* size, long* error) {
    sizesGiven.push_back(*size);
    ++findCalls;
    if (s.next >= s.matches.size()) {
        *error = kErrorNoMoreItems;
        return false;
    }
    const FakeCacheEntry& e = entries[s.matches[s.next]];
    const std::uint32_t needed = NeededSize(e);
    if (*size < needed || !buffer) {
        *size = needed;
        *error = kErrorInsufficientBuffer;
        return false;
    }
    unsigned char* bytes = static_cast<unsigned char*>(buffer);
    const std::uint32_t urlAt = sizeof(Layout) + e.padding, fileAt = urlAt + std::uint32_t(e.url.size() + 1);
    const Layout layout{urlAt, e.hasLocalFile ? fileAt : 0, e.hitRate, e.size, e.lastModified, e.expire, e.lastAccess};
    std::memcpy(bytes, &layout, sizeof layout);
    std::memcpy(bytes + urlAt, e.url.c_str(), e.url.size() + 1);
    std::memcpy(bytes + fileAt, e.localFile.c_str(), e.localFile.size() + 1);
    // The platform writes back the size it used.
    *size = needed;
    ++s.next;
    return true;
}

UrlCache::Search FakeUrlCache::FindFirst(const char* pattern, void* buffer, std::uint32_t* size, long* error) {
    SearchState* s = new SearchState;
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (Matches(pattern, entries[i].container))
            s->matches.push_back(i);
    if (!Fill(*s, buffer, size, error)) {
        delete s;
        return nullptr;
    }
    ++openSearches;
    return s;
}

bool FakeUrlCache::FindNext(Search search, void* buffer, std::uint32_t* size, long* error) {
    return Fill(*static_cast<SearchState*>(search), buffer, size, error);
}

void FakeUrlCache::FindClose(Search search) {
    delete static_cast<SearchState*>(search);
    --openSearches;
}

CacheEntryView FakeUrlCache::Decode(const void* buffer) const {
    Layout layout;
    std::memcpy(&layout, buffer, sizeof layout);
    const char* base = static_cast<const char*>(buffer);
    return CacheEntryView{layout.urlOffset ? base + layout.urlOffset : nullptr,
                          layout.fileOffset ? base + layout.fileOffset : nullptr, layout.hitRate, layout.sizeLow,
                          layout.lastModified, layout.expire, layout.lastAccess};
}

bool FakeUrlCache::DeleteEntry(const char* url) {
    deleted.push_back(url);
    if (journal)
        journal->push_back("cache " + std::string(url));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].url == url) {
            entries.erase(entries.begin() + std::ptrdiff_t(i));
            return true;
        }
    }
    return false;
}

}  // namespace tw::fakes
