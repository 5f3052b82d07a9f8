#include "core/live_readers.h"

#include <cstdlib>
#include <cstring>

#include "core/ansi_text.h"
#include "platform/win_errors.h"

namespace tw {

const char kCookiePattern[] = "cookie:";
const char* const kContentPattern = nullptr;

namespace {

// The buffer that the cache fills: grown to what the platform asks for and
// reused while it is big enough.
class EntryBuffer {
public:
    ~EntryBuffer() { std::free(bytes_); }
    // Zeroed and at least size bytes; false when the memory cannot be had.
    bool Prepare(std::uint32_t size) {
        if (capacity_ >= size) {
            if (bytes_)
                std::memset(bytes_, 0, capacity_);
            return true;
        }
        std::free(bytes_);
        bytes_ = static_cast<unsigned char*>(std::calloc(size, 1));
        capacity_ = bytes_ ? size : 0;
        return bytes_ != nullptr;
    }
    void* Data() { return bytes_; }

private:
    unsigned char* bytes_ = nullptr;
    std::uint32_t capacity_ = 0;
};

void Visit(const CacheEntryView& v, const std::function<void(const CacheEntryView&)>& visit) {
    if (v.sizeLow != 0)
        visit(v);
}

// A search that ended for any reason other than "no more items" failed;
// one that gave no reason at all failed too.
long Unexplained(long error) { return error != kErrorSuccess ? error : kErrorInvalidHandle; }

// The record of one item, with its texts cut to their fields.
void RecordOf(const CacheEntryView& v, FileEntry& e) {
    CopyField(e.url, v.sourceUrl);
    CopyField(e.localFile, v.localFile);
    e.size = v.sizeLow;
    e.hitRate = v.hitRate;
    e.lastModified = v.lastModified;
    e.expire = v.expire;
    e.lastAccess = v.lastAccess;
}

}  // namespace

long ForEachUrlCacheEntry(UrlCache& cache, const char* pattern,
                          const std::function<void(const CacheEntryView&)>& visit) {
    EntryBuffer buffer;
    std::uint32_t size = 0;
    long error = kErrorSuccess;
    CacheSearch search(nullptr, CloseCacheSearch{&cache});
    for (;;) {
        if (!buffer.Prepare(size))
            return kErrorNotEnoughMemory;
        const std::uint32_t given = size;
        search.Reset(cache.FindFirst(pattern, buffer.Data(), &size, &error));
        if (search || error != kErrorInsufficientBuffer)
            break;
        // A platform that asks for no more than it was given would be asked
        // again for ever; such an answer ends the reading, as a failure.
        if (size <= given)
            return kErrorInsufficientBuffer;
    }
    // Only "no more items" says that the cache holds nothing of the pattern.
    if (!search)
        return error == kErrorNoMoreItems ? kErrorSuccess : Unexplained(error);
    Visit(cache.Decode(buffer.Data()), visit);
    for (;;) {
        if (!buffer.Prepare(size))
            return kErrorNotEnoughMemory;
        const std::uint32_t given = size;
        if (cache.FindNext(search.Get(), buffer.Data(), &size, &error)) {
            Visit(cache.Decode(buffer.Data()), visit);
            continue;
        }
        if (error == kErrorNoMoreItems)
            return kErrorSuccess;
        if (error != kErrorInsufficientBuffer || size <= given)
            return Unexplained(error);
    }
}

long ForEachUrlCacheRecord(UrlCache& cache, const char* pattern, const std::function<void(const FileEntry&)>& visit) {
    FileEntry record;
    return ForEachUrlCacheEntry(cache, pattern, [&](const CacheEntryView& v) {
        RecordOf(v, record);
        visit(record);
    });
}

bool EnumerateUrlCache(UrlCache& cache, const char* pattern, EntryArray<FileEntry>& entries) {
    ForEachUrlCacheRecord(cache, pattern, [&](const FileEntry& e) { entries.Append(e); });
    return true;
}

PageEntry PageEntryOf(const HistoryItem& item) {
    PageEntry e;
    ActiveCodePage().FromUtf16(item.url.c_str(), item.url.size(), e.url, sizeof e.url);
    if (item.hasTitle)
        ActiveCodePage().FromUtf16(item.title.c_str(), item.title.size(), e.title, sizeof e.title);
    e.lastUpdated = item.lastUpdated;
    e.lastVisited = item.lastVisited;
    e.expires = item.expires;
    return e;
}

long ForEachHistoryItem(HistoryStore& store, const std::function<void(const HistoryItem&)>& visit) {
    std::unique_ptr<HistoryEnumerator> items;
    const long enumerated = store.EnumUrls(items);
    if (Failed(enumerated))
        return enumerated;
    if (!items)
        return kE_POINTER;
    // An enumerator fresh from EnumUrls stands at its start already; one
    // that cannot be reset (E_NOTIMPL) still walks its items.
    items->Reset();
    HistoryItem item;
    for (;;) {
        unsigned long fetched = 0;
        const long hr = items->Next(item, fetched);
        // An item that came with a failure is still the store's.
        if (fetched != 0)
            visit(item);
        if (Failed(hr))
            return hr;
        if (fetched == 0)
            return kS_OK;
    }
}

bool EnumerateHistory(HistoryService& history, EntryArray<PageEntry>& entries) {
    ComApartment com(history);
    // The store goes before the apartment is left.
    std::unique_ptr<HistoryStore> store = history.CreateStore();
    if (!store)
        return false;
    ForEachHistoryItem(*store, [&](const HistoryItem& item) { entries.Append(PageEntryOf(item)); });
    return true;
}

}  // namespace tw
