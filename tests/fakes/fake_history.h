// An in-memory history store that records what is asked of it.
#pragma once

#include <string>
#include <vector>

#include "platform/history_store.h"

namespace tw::fakes {

class FakeHistory : public HistoryService {
public:
    std::vector<HistoryItem> items;
    bool failCreate = false;
    bool failEnumUrls = false;
    bool nullEnumerator = false;
    // Next answers this failure code instead of an item at this position (-1: never).
    int failNextAt = -1;
    // When not zero, CoInitialize answers this (a thread in another apartment).
    long coInitializeFailure = 0;

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

    long CoInitialize() override;
    void CoUninitialize() override;
    std::unique_ptr<HistoryStore> CreateStore() override;

    // Adds an item with an ASCII URL and title.
    HistoryItem& Add(const std::string& url, const std::string& title = std::string());
};

std::u16string Widen(const std::string& ascii);

}  // namespace tw::fakes
