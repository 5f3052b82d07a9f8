// Readers of the browser's live stores into entry arrays.
#pragma once

#include <functional>

#include "core/entry.h"
#include "platform/history_store.h"
#include "platform/url_cache.h"

namespace tw {

// Search patterns of the callers: the cookie store, and the content
// entries of the cache. Windows takes only "cookie:", "visited:" and null,
// which gives the content entries without the cookies and the history
// items; Wine also gives those for null, and the callers' marker tests
// drop them.
extern const char kCookiePattern[];        // "cookie:"
extern const char* const kContentPattern;  // null

// Appends every item of the cache that matches pattern and has a non-zero
// size, in the platform's order. Always succeeds: an empty or unreadable
// cache yields nothing.
bool EnumerateUrlCache(UrlCache& cache, const char* pattern, EntryArray<FileEntry>& entries);

// The same items handed to visit while the search is open, whole: texts
// are not cut to record fields, and are valid only during the call.
// Answers kErrorSuccess when the search ended with "no more items" (an
// empty cache included), else the platform's error that ended it early.
long ForEachUrlCacheEntry(UrlCache& cache, const char* pattern,
                          const std::function<void(const CacheEntryView&)>& visit);

// The records that EnumerateUrlCache would append, handed to visit one at a
// time, so that a caller that only passes them on holds no array of them.
// Answers as ForEachUrlCacheEntry.
long ForEachUrlCacheRecord(UrlCache& cache, const char* pattern, const std::function<void(const FileEntry&)>& visit);

// Every item of an open history store, in its enumerator's order. Answers
// S_OK when the enumeration reached its end, else the failure that ended it.
long ForEachHistoryItem(HistoryStore& store, const std::function<void(const HistoryItem&)>& visit);

// Appends every item of the history store in its enumerator's order. Fails
// only when the store cannot be created; then nothing is appended.
bool EnumerateHistory(HistoryService& history, EntryArray<PageEntry>& entries);

// One history item as a record: texts converted to the ANSI code page and
// cut to their fields.
PageEntry PageEntryOf(const HistoryItem& item);

}  // namespace tw
