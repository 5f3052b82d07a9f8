// The history reader through COM: against a store of the test's own,
// registered as a class in this process, and against Wine's CUrlHistory.
#include <windows.h>
#include <objbase.h>
#include <urlhist.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/live_readers.h"
#include "platform/win32/com_ptr.h"
#include "platform/win32/win32_history.h"
#include "platform/win32/win32_url_cache.h"

namespace tw {
namespace {

// {5A0D4E1C-7B7E-4C53-9E0B-2F6A1D3C9B10}
const CLSID kTestStoreClass = {0x5a0d4e1c, 0x7b7e, 0x4c53, {0x9e, 0x0b, 0x2f, 0x6a, 0x1d, 0x3c, 0x9b, 0x10}};

struct Visit {
    const wchar_t* url;
    const wchar_t* title;  // may be null
    ULONGLONG visited;
};

LPWSTR TaskCopy(const wchar_t* s) {
    if (!s)
        return nullptr;
    const std::size_t bytes = (wcslen(s) + 1) * sizeof(wchar_t);
    LPWSTR p = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    memcpy(p, s, bytes);
    return p;
}

// Counts live objects of the double, so that tests see every reference
// handed out come back.
LONG g_liveObjects = 0;

template <typename Interface, typename Also = Interface>
class Unknown : public Interface {
public:
    Unknown() { InterlockedIncrement(&g_liveObjects); }
    virtual ~Unknown() { InterlockedDecrement(&g_liveObjects); }
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        const bool answered = iid == IID_IUnknown || iid == __uuidof(Interface) || iid == __uuidof(Also);
        *out = answered ? this : nullptr;
        if (answered) AddRef();
        return answered ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs_); }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG n = InterlockedDecrement(&refs_);
        if (n == 0) delete this;
        return n;
    }

private:
    LONG refs_ = 1;
};

class TestEnum : public Unknown<IEnumSTATURL> {
public:
    TestEnum(const std::vector<Visit>& visits, int failAt) : visits_(visits), failAt_(failAt) {}
    STDMETHODIMP Next(ULONG count, LPSTATURL stat, ULONG* fetched) override {
        if (fetched) *fetched = 0;
        if (count == 0 || next_ >= visits_.size()) return S_FALSE;
        const Visit& v = visits_[next_++];
        stat->pwcsUrl = TaskCopy(v.url);
        stat->pwcsTitle = TaskCopy(v.title);
        stat->ftLastVisited.dwLowDateTime = DWORD(v.visited);
        stat->ftLastVisited.dwHighDateTime = DWORD(v.visited >> 32);
        if (fetched) *fetched = 1;
        return int(next_) == failAt_ ? E_FAIL : S_OK;
    }
    STDMETHODIMP Skip(ULONG) override { return E_NOTIMPL; }
    STDMETHODIMP Reset() override { return E_NOTIMPL; }
    STDMETHODIMP Clone(IEnumSTATURL**) override { return E_NOTIMPL; }
    STDMETHODIMP SetFilter(LPCOLESTR, DWORD) override { return E_NOTIMPL; }

private:
    std::vector<Visit> visits_;
    std::size_t next_ = 0;
    int failAt_;
};

class TestStore : public Unknown<IUrlHistoryStg2, IUrlHistoryStg> {
public:
    static std::vector<Visit> visits;
    static std::vector<std::wstring> deleted;
    static int failAt;

    STDMETHODIMP AddUrl(LPCOLESTR, LPCOLESTR, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP DeleteUrl(LPCOLESTR url, DWORD) override {
        deleted.push_back(url);
        return S_OK;
    }
    STDMETHODIMP QueryUrl(LPCOLESTR, DWORD, LPSTATURL) override { return E_NOTIMPL; }
    STDMETHODIMP BindToObject(LPCOLESTR, REFIID, void**) override { return E_NOTIMPL; }
    STDMETHODIMP EnumUrls(IEnumSTATURL** out) override {
        *out = new TestEnum(visits, failAt);
        return S_OK;
    }
    STDMETHODIMP AddUrlAndNotify(LPCOLESTR, LPCOLESTR, DWORD, BOOL, IOleCommandTarget*, IUnknown*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP ClearHistory() override { return E_NOTIMPL; }
};
std::vector<Visit> TestStore::visits;
std::vector<std::wstring> TestStore::deleted;
int TestStore::failAt = -1;

class TestFactory : public Unknown<IClassFactory> {
public:
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        const ComPtr<TestStore> store(new TestStore);
        return store->QueryInterface(iid, out);
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};

class HistoryDouble : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
        const ComPtr<TestFactory> factory(new TestFactory);
        ASSERT_EQ(CoRegisterClassObject(kTestStoreClass, factory.Get(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                        &cookie_),
                  S_OK);
        TestStore::visits.clear();
        TestStore::deleted.clear();
        TestStore::failAt = -1;
    }
    void TearDown() override {
        CoRevokeClassObject(cookie_);
        CoUninitialize();
        EXPECT_EQ(g_liveObjects, 0) << "a reference of the store or its enumerator was kept";
    }
    DWORD cookie_ = 0;
};

// Texts converted and cut to their fields; a failing step keeps what it
// fetched and stops.
TEST_F(HistoryDouble, ItemsArriveInOrderUntilAStepFails) {
    const std::wstring longUrl = L"http://x/" + std::wstring(3000, L'p');
    TestStore::visits = {{L"http://b.example/", L"Caf\u00e9", 0x01d0000000000001ULL},
                         {L"http://a.example/", nullptr, 0},
                         {longUrl.c_str(), L"", 7},
                         {L"http://d.example/", nullptr, 0}};
    TestStore::failAt = 3;
    Win32HistoryService service(kTestStoreClass);
    EntryArray<PageEntry> entries;
    EnumerateHistory(service, entries);
    ASSERT_EQ(entries.Count(), 3u);
    EXPECT_STREQ(entries[0].url, "http://b.example/");
    EXPECT_STREQ(entries[0].title, "Caf\xe9");
    EXPECT_EQ(entries[0].lastVisited.Value(), 0x01d0000000000001ULL);
    EXPECT_STREQ(entries[1].url, "http://a.example/");
    EXPECT_STREQ(entries[1].title, "");
    EXPECT_EQ(strlen(entries[2].url), sizeof entries[2].url - 1);
    TestStore::failAt = -1;
    EXPECT_TRUE(EnumerateHistory(service, entries));
}

TEST_F(HistoryDouble, DeleteUrlReachesTheStore) {
    Win32HistoryService service(kTestStoreClass);
    std::unique_ptr<HistoryStore> store = service.CreateStore();
    ASSERT_TRUE(store);
    EXPECT_EQ(store->DeleteUrl(u"http://gone.example/"), S_OK);
    store.reset();
    ASSERT_EQ(TestStore::deleted.size(), 1u);
    EXPECT_EQ(TestStore::deleted[0], L"http://gone.example/");
}

// The reader's own CoInitialize must be undone on every path: after it, one
// CoUninitialize of ours leaves the thread without COM.
TEST(HistoryCom, InitialisationIsBalanced) {
    const CLSID nothing = {0x12345678, 0, 0, {0, 0, 0, 0, 0, 0, 0, 1}};
    Win32HistoryService missing(nothing);
    Win32HistoryService wine;
    for (HistoryService* service : {static_cast<HistoryService*>(&missing), static_cast<HistoryService*>(&wine)}) {
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
        EntryArray<PageEntry> entries;
        EnumerateHistory(*service, entries);
        CoUninitialize();
        EXPECT_EQ(CoInitialize(nullptr), S_OK) << "the reader left COM initialised";
        CoUninitialize();
    }
    EntryArray<PageEntry> entries;
    EXPECT_FALSE(EnumerateHistory(missing, entries));
    EXPECT_EQ(entries.Count(), 0u);
}

// Wine creates the store but cannot enumerate it: the reader must take
// that as an empty history, not as a failure.
TEST(HistoryCom, TheSystemStoreIsCreated) {
    Win32HistoryService system;
    EntryArray<PageEntry> entries;
    EXPECT_TRUE(EnumerateHistory(system, entries));
    if (RunningUnderWine()) {
        EXPECT_EQ(entries.Count(), 0u);
    }
}

}  // namespace
}  // namespace tw
