#include "platform/win32/win32_history.h"

#include <objbase.h>
#include <shlguid.h>
#include <urlhist.h>

#include "platform/win32/com_ptr.h"

namespace tw {

namespace {

std::u16string Copy(const wchar_t* text) {
    std::u16string out;
    if (text) {
        for (; *text; ++text)
            out.push_back(char16_t(*text));
    }
    return out;
}

FileTime Copy(const FILETIME& t) {
    return FileTime{t.dwLowDateTime, t.dwHighDateTime};
}

class Win32HistoryEnumerator : public HistoryEnumerator {
public:
    explicit Win32HistoryEnumerator(IEnumSTATURL* e) : enum_(e) {}

    long Reset() override { return enum_->Reset(); }

    long Next(HistoryItem& item, unsigned long& fetched) override {
        STATURL stat = {};
        stat.cbSize = sizeof stat;
        ULONG got = 0;
        const HRESULT hr = enum_->Next(1, &stat, &got);
        fetched = got;
        if (got) {
            // The strings are the caller's to free, whatever the result.
            item.url = Copy(stat.pwcsUrl);
            item.hasTitle = stat.pwcsTitle != nullptr;
            item.title = Copy(stat.pwcsTitle);
            item.lastUpdated = Copy(stat.ftLastUpdated);
            item.lastVisited = Copy(stat.ftLastVisited);
            item.expires = Copy(stat.ftExpires);
        }
        CoTaskMemFree(stat.pwcsUrl);
        CoTaskMemFree(stat.pwcsTitle);
        return hr;
    }

private:
    ComPtr<IEnumSTATURL> enum_;
};

class Win32HistoryStore : public HistoryStore {
public:
    explicit Win32HistoryStore(IUrlHistoryStg2* stg) : stg_(stg) {}

    long EnumUrls(std::unique_ptr<HistoryEnumerator>& out) override {
        ComPtr<IEnumSTATURL> e;
        const HRESULT hr = stg_->EnumUrls(e.Receive());
        if (SUCCEEDED(hr) && e)
            out.reset(new Win32HistoryEnumerator(e.Detach()));
        return hr;
    }

    long DeleteUrl(const std::u16string& url) override {
        const std::wstring wide(url.begin(), url.end());
        return stg_->DeleteUrl(wide.c_str(), 0);
    }

private:
    ComPtr<IUrlHistoryStg2> stg_;
};

}  // namespace

Win32HistoryService::Win32HistoryService() : storeClass_(CLSID_CUrlHistory) {}

long Win32HistoryService::CoInitialize() {
    return ::CoInitialize(nullptr);
}

void Win32HistoryService::CoUninitialize() {
    ::CoUninitialize();
}

std::unique_ptr<HistoryStore> Win32HistoryService::CreateStore(long* result) {
    ComPtr<IUrlHistoryStg2> stg;
    HRESULT hr = CoCreateInstance(storeClass_, nullptr, CLSCTX_INPROC_SERVER, IID_IUrlHistoryStg2, stg.ReceiveVoid());
    if (SUCCEEDED(hr) && !stg)
        hr = E_POINTER;
    if (result)
        *result = hr;
    if (FAILED(hr))
        return nullptr;
    return std::unique_ptr<HistoryStore>(new Win32HistoryStore(stg.Detach()));
}

}  // namespace tw
