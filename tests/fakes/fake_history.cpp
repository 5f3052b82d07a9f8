#include "tests/fakes/fake_history.h"

#include <algorithm>

#include "platform/win_errors.h"

namespace tw::fakes {
namespace {

class Enumerator : public HistoryEnumerator {
public:
    explicit Enumerator(FakeHistory& owner) : owner_(owner) { ++owner_.liveEnumerators; }
    ~Enumerator() override { --owner_.liveEnumerators; }
    long Reset() override {
        next_ = 0;
        return kS_OK;
    }
    long Next(HistoryItem& item, unsigned long& fetched) override {
        fetched = 0;
        if (int(next_) == owner_.failNextAt)
            return kE_FAIL;
        // Items deleted during the enumeration are gone from the store; the
        // walk goes on with the item that followed.
        if (next_ >= owner_.items.size())
            return kS_FALSE;
        item = owner_.items[next_++];
        fetched = 1;
        return kS_OK;
    }

private:
    FakeHistory& owner_;
    std::size_t next_ = 0;
};

class Store : public HistoryStore {
public:
    explicit Store(FakeHistory& owner) : owner_(owner) { ++owner_.liveStores; }
    ~Store() override { --owner_.liveStores; }
    long EnumUrls(std::unique_ptr<HistoryEnumerator>& out) override {
        if (owner_.failEnumUrls)
            return kE_NOTIMPL;
        if (!owner_.nullEnumerator)
            out.reset(new Enumerator(owner_));
        return kS_OK;
    }
    long DeleteUrl(const std::u16string& url) override {
        owner_.deleted.push_back(url);
        if (owner_.journal) {
            std::string ascii;
            for (char16_t c : url)
                ascii += c < 0x80 ? char(c) : '?';
            owner_.journal->push_back("history " + ascii);
        }
        return kS_OK;
    }

private:
    FakeHistory& owner_;
};

}  // namespace

long FakeHistory::CoInitialize() {
    ++coInitializeCalls;
    if (journal)
        journal->push_back("CoInitialize");
    if (coInitializeFailure != 0)
        return coInitializeFailure;
    return coInitializeCalls > coUninitializeCalls + 1 ? kS_FALSE : kS_OK;
}

void FakeHistory::CoUninitialize() {
    ++coUninitializeCalls;
    if (journal)
        journal->push_back("CoUninitialize");
}

std::unique_ptr<HistoryStore> FakeHistory::CreateStore() {
    if (failCreate)
        return nullptr;
    return std::unique_ptr<HistoryStore>(new Store(*this));
}

HistoryItem& FakeHistory::Add(const std::string& url, const std::string& title) {
    HistoryItem item;
    item.url = Widen(url);
    item.title = Widen(title);
    item.hasTitle = !title.empty();
    items.push_back(item);
    return items.back();
}

std::u16string Widen(const std::string& ascii) {
    std::u16string w;
    for (unsigned char c : ascii)
        w += char16_t(c);
    return w;
}

}  // namespace tw::fakes
