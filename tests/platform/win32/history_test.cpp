// The history reader through COM, against a store of the test's own
// registered as a class in this process.
#include <windows.h>
#include <objbase.h>
#include <urlhist.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/live_readers.h"
#include "platform/win32/win32_history.h"

namespace tw {
namespace {

// {5A0D4E1C-7B7E-4C53-9E0B-2F6A1D3C9B10}
const CLSID kTestStoreClass = {0x5a0d4e1c, 0x7b7e, 0x4c53, {0x9e, 0x0b, 0x2f, 0x6a, 0x1d, 0x3c, 0x9b, 0x10}};

LPWSTR TaskCopy(const std::wstring& s) {
    const std::size_t bytes = (s.size() + 1) * sizeof(wchar_t);
    return static_cast<LPWSTR>(memcpy(CoTaskMemAlloc(bytes), s.c_str(), bytes));
}

// One static object plays the class factory, the store and its
// enumerator; its count shows every reference handed out come back.
struct StoreDouble final : IClassFactory, IUrlHistoryStg2, IEnumSTATURL {
    std::vector<std::wstring> urls, deleted;  // urls of odd length come titled, the others untitled
    std::size_t next = 0, failAt = 0;         // the step that fails, from 1; visited at (step << 32) + step
    LONG refs = 0;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        *out = iid == IID_IClassFactory ? static_cast<IClassFactory*>(this)
               : iid == IID_IUrlHistoryStg || iid == IID_IUrlHistoryStg2 ? static_cast<IUrlHistoryStg2*>(this)
               : iid == IID_IUnknown ? static_cast<IUnknown*>(static_cast<IClassFactory*>(this))
                                     : nullptr;
        if (*out) AddRef();
        return *out ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ULONG(++refs); }
    STDMETHODIMP_(ULONG) Release() override { return ULONG(--refs); }
    STDMETHODIMP CreateInstance(IUnknown*, REFIID iid, void** out) override { return QueryInterface(iid, out); }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
    STDMETHODIMP EnumUrls(IEnumSTATURL** out) override {
        next = 0;
        *out = this;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP Next(ULONG, LPSTATURL stat, ULONG* fetched) override {
        *fetched = next < urls.size();
        if (!*fetched) return S_FALSE;
        const std::wstring& url = urls[next++];
        stat->pwcsUrl = TaskCopy(url);
        stat->pwcsTitle = url.size() % 2 ? TaskCopy(L"Caf\u00e9") : nullptr;
        stat->ftLastVisited = {DWORD(next), DWORD(next)};
        return next == failAt ? E_FAIL : S_OK;
    }
    STDMETHODIMP DeleteUrl(LPCOLESTR url, DWORD) override {
        deleted.push_back(url);
        return S_OK;
    }
    STDMETHODIMP AddUrl(LPCOLESTR, LPCOLESTR, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP QueryUrl(LPCOLESTR, DWORD, LPSTATURL) override { return E_NOTIMPL; }
    STDMETHODIMP BindToObject(LPCOLESTR, REFIID, void**) override { return E_NOTIMPL; }
    STDMETHODIMP AddUrlAndNotify(LPCOLESTR, LPCOLESTR, DWORD, BOOL, IOleCommandTarget*, IUnknown*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP ClearHistory() override { return E_NOTIMPL; }
    STDMETHODIMP Skip(ULONG) override { return E_NOTIMPL; }
    STDMETHODIMP Reset() override { return E_NOTIMPL; }
    STDMETHODIMP Clone(IEnumSTATURL**) override { return E_NOTIMPL; }
    STDMETHODIMP SetFilter(LPCOLESTR, DWORD) override { return E_NOTIMPL; }
};

class HistoryDouble : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(CoInitialize(nullptr), S_OK);
        ASSERT_EQ(CoRegisterClassObject(kTestStoreClass, static_cast<IClassFactory*>(&store_), CLSCTX_INPROC_SERVER,
                                        REGCLS_MULTIPLEUSE, &cookie_),
                  S_OK);
    }
    void TearDown() override {
        CoRevokeClassObject(cookie_);
        CoUninitialize();
        EXPECT_EQ(store_.refs, 0) << "a reference of the store or its enumerator was kept";
    }
    StoreDouble store_;
    DWORD cookie_ = 0;
};

// Texts converted and cut to their fields; a failing step keeps what it
// fetched and stops; a deletion reaches the store.
TEST_F(HistoryDouble, ItemsArriveInOrderUntilAStepFails) {
    store_.urls = {L"http://b.example/", L"http://a.example/x", L"http://x/" + std::wstring(3000, L'p'), L"http://d/"};
    store_.failAt = 3;
    Win32HistoryService service(kTestStoreClass);
    EntryArray<PageEntry> entries;
    EnumerateHistory(service, entries);
    std::vector<std::string> got;
    for (std::size_t i = 0; i < entries.Count(); ++i)
        got.push_back(std::string(entries[i].url).substr(0, 20) + "|" + std::to_string(strlen(entries[i].url)) + "|" +
                      entries[i].title + "|" + std::to_string(entries[i].lastVisited.Value()));
    const std::string cut = std::to_string(sizeof entries[2].url - 1);
    EXPECT_EQ(got, (std::vector<std::string>{"http://b.example/|17|Caf\xe9|4294967297",
                                             "http://a.example/x|18||8589934594",
                                             "http://x/ppppppppppp|" + cut + "|Caf\xe9|12884901891"}));
    store_.failAt = 0;
    EXPECT_TRUE(EnumerateHistory(service, entries));
    EXPECT_EQ(service.CreateStore()->DeleteUrl(u"http://gone.example/"), S_OK);
    EXPECT_EQ(store_.deleted, std::vector<std::wstring>{L"http://gone.example/"});
}

}  // namespace
}  // namespace tw
