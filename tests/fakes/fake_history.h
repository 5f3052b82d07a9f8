// An in-memory history store that records what is asked of it.
#pragma once

#include <string>
#include <vector>

#include "platform/history_store.h"
#include "platform/win_errors.h"

namespace tw::fakes {

inline std::u16string Widen(const std::string& ascii) {
    std::u16string w;
    for (unsigned char c : ascii)
        w += char16_t(c);
    return w;
}

class FakeHistory : public HistoryService {
public:
    std::vector<HistoryItem> items;
    bool failCreate = false;
    long createError = kREGDB_E_CLASSNOTREG;  // what a failed creation answers
    bool failEnumUrls = false;
    bool nullEnumerator = false;
    // Next answers this failure code instead of an item at this position (-1: never).
    int failNextAt = -1;
    // When not zero, CoInitialize answers this (a thread in another apartment).
    long coInitializeFailure = 0;
    // DeleteUrl refuses these with a failure code.
    std::vector<std::u16string> refused;

    // What was done, in order.
    int coInitializeCalls = 0;
    int coUninitializeCalls = 0;
    int liveStores = 0;
    int liveEnumerators = 0;
    std::vector<std::u16string> deleted;
    // When set, also gets "CoInitialize", "CoUninitialize" and
    // "history <url>" for each deletion, so that one log can hold the
    // calls of several fakes in their order.
    std::vector<std::string>* journal = nullptr;

    long CoInitialize() override {
        ++coInitializeCalls;
        Note("CoInitialize");
        if (coInitializeFailure != 0)
            return coInitializeFailure;
        return coInitializeCalls > coUninitializeCalls + 1 ? kS_FALSE : kS_OK;
    }
    void CoUninitialize() override {
        ++coUninitializeCalls;
        Note("CoUninitialize");
    }
    std::unique_ptr<HistoryStore> CreateStore(long* result = nullptr) override {
        // As CoCreateInstance answers for a class that is not registered.
        if (result)
            *result = failCreate ? createError : kS_OK;
        return failCreate ? nullptr : std::unique_ptr<HistoryStore>(new Store(*this));
    }

    // Adds an item with an ASCII URL and title.
    HistoryItem& Add(const std::string& url, const std::string& title = std::string()) {
        HistoryItem item;
        item.url = Widen(url);
        item.title = Widen(title);
        item.hasTitle = !title.empty();
        items.push_back(item);
        return items.back();
    }

private:
    void Note(const std::string& call) {
        if (journal)
            journal->push_back(call);
    }

    // Items deleted during an enumeration are gone from the store; the walk
    // goes on with the item that followed.
    struct Enumerator : HistoryEnumerator {
        explicit Enumerator(FakeHistory& owner) : owner(owner) { ++owner.liveEnumerators; }
        ~Enumerator() override { --owner.liveEnumerators; }
        long Reset() override {
            next = 0;
            return kS_OK;
        }
        long Next(HistoryItem& item, unsigned long& fetched) override {
            fetched = 0;
            if (int(next) == owner.failNextAt)
                return kE_FAIL;
            if (next >= owner.items.size())
                return kS_FALSE;
            item = owner.items[next++];
            fetched = 1;
            return kS_OK;
        }
        FakeHistory& owner;
        std::size_t next = 0;
    };

    struct Store : HistoryStore {
        explicit Store(FakeHistory& owner) : owner(owner) { ++owner.liveStores; }
        ~Store() override { --owner.liveStores; }
        long EnumUrls(std::unique_ptr<HistoryEnumerator>& out) override {
            if (owner.failEnumUrls)
                return kE_NOTIMPL;
            if (!owner.nullEnumerator)
                out.reset(new Enumerator(owner));
            return kS_OK;
        }
        long DeleteUrl(const std::u16string& url) override {
            owner.deleted.push_back(url);
            std::string ascii;
            for (char16_t c : url)
                ascii += c < 0x80 ? char(c) : '?';
            owner.Note("history " + ascii);
            for (const std::u16string& r : owner.refused)
                if (r == url)
                    return kE_FAIL;
            return kS_OK;
        }
        FakeHistory& owner;
    };
};

}  // namespace tw::fakes
