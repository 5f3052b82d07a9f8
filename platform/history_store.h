// The browser's URL history store (CUrlHistory with IUrlHistoryStg2 and
// IEnumSTATURL on Windows).
#pragma once

#include <memory>
#include <string>

#include "core/entry.h"
#include "platform/com_apartment.h"

namespace tw {

// One STATURL as the enumerator hands it over; the strings are copies, so
// nothing is left to free.
struct HistoryItem {
    std::u16string url;
    std::u16string title;
    bool hasTitle = false;
    FileTime lastUpdated;
    FileTime lastVisited;
    FileTime expires;
};

class HistoryEnumerator {
public:
    virtual ~HistoryEnumerator() = default;
    virtual long Reset() = 0;
    // Fetches at most one item; fetched tells whether it did. Answers an
    // HRESULT (S_FALSE at the end, a failure code on error).
    virtual long Next(HistoryItem& item, unsigned long& fetched) = 0;
};

class HistoryStore {
public:
    virtual ~HistoryStore() = default;
    // An HRESULT; on success out holds the enumerator (it may still be null).
    virtual long EnumUrls(std::unique_ptr<HistoryEnumerator>& out) = 0;
    // Removes the item whose URL is exactly url (IUrlHistoryStg::DeleteUrl, flags 0).
    virtual long DeleteUrl(const std::u16string& url) = 0;
};

// What stands behind CoInitialize and CoCreateInstance for the store.
class HistoryService : public Apartment {
public:
    // Null when the store cannot be created, with *result (when given) the
    // HRESULT that refused it.
    virtual std::unique_ptr<HistoryStore> CreateStore(long* result = nullptr) = 0;
};

}  // namespace tw
