// tidewell-history.dll: a stand-in for the browser's URL history store
// (CUrlHistory) for the demo, whose Wine prefix has a store that cannot
// enumerate. The visited pages live in history.txt beside this module
// (see page_file.h); every call reads the file afresh and every change
// rewrites it, so the pages survive between processes and a cleanup in
// the band shows in the file.
#include <windows.h>
#include <objbase.h>
#include <shlguid.h>
#include <urlhist.h>

#include <memory>
#include <new>
#include <string>
#include <vector>

#include "platform/win32/handles.h"
#include "tools/standin/history/page_file.h"

namespace tw {
namespace standin {
namespace {

HMODULE g_module = nullptr;
LONG g_locks = 0;  // live objects, factory references and server locks

const wchar_t kClassKey[] = L"CLSID\\{3C374A40-BAE4-11CF-BF7D-00AA006946EE}\\InprocServer32";

void LockModule() { InterlockedIncrement(&g_locks); }
void UnlockModule() { InterlockedDecrement(&g_locks); }

HRESULT LastError() {
    const DWORD error = GetLastError();
    return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

std::wstring ModulePath() {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD n = GetModuleFileNameW(g_module, path.data(), DWORD(path.size()));
        if (n == 0) return std::wstring();
        if (n < path.size()) return std::wstring(path.data(), n);
        if (path.size() >= 32768) return std::wstring();
        path.resize(path.size() * 2);
    }
}

std::wstring PageFilePath() {
    std::wstring path = ModulePath();
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return std::wstring();
    path.resize(slash + 1);
    return path + L"history.txt";
}

// The file's bytes; a missing file is an empty one.
HRESULT ReadPageFile(std::string& text) {
    text.clear();
    const std::wstring path = PageFilePath();
    if (path.empty()) return E_FAIL;
    const UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? S_OK : HRESULT_FROM_WIN32(error);
    }
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(file.Get(), &size)) return LastError();
    if (size.QuadPart > LONGLONG(kMaxPageFileBytes)) return HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE);
    text.resize(std::size_t(size.QuadPart));
    std::size_t done = 0;
    while (done < text.size()) {
        DWORD got = 0;
        if (!ReadFile(file.Get(), &text[done], DWORD(text.size() - done), &got, nullptr)) return LastError();
        if (got == 0) break;
        done += got;
    }
    text.resize(done);
    return S_OK;
}

// Replaces the file as a whole, so that a failure leaves the old one.
HRESULT WritePageFile(const std::string& text) {
    const std::wstring path = PageFilePath();
    if (path.empty()) return E_FAIL;
    const std::wstring temporary = path + L".new";
    {
        const UniqueFile file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
        if (!file) return LastError();
        DWORD written = 0;
        if (!WriteFile(file.Get(), text.data(), DWORD(text.size()), &written, nullptr) || written != text.size()) {
            const HRESULT hr = LastError();
            DeleteFileW(temporary.c_str());
            return hr;
        }
    }
    if (!MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        const HRESULT hr = LastError();
        DeleteFileW(temporary.c_str());
        return hr;
    }
    return S_OK;
}

bool Widen(const std::string& text, std::wstring& out) {
    out.clear();
    if (text.empty()) return true;
    const int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), int(text.size()), nullptr, 0);
    if (n <= 0) return false;
    out.resize(std::size_t(n));
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), int(text.size()), &out[0], n) == n;
}

bool Narrow(const wchar_t* text, std::string& out) {
    out.clear();
    if (!text || !*text) return true;
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return false;
    out.resize(std::size_t(n));
    if (WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], n, nullptr, nullptr) != n) return false;
    out.resize(std::size_t(n - 1));
    return true;
}

struct Page {
    std::wstring url;
    std::wstring title;
    std::uint64_t visited = 0;
};

// A page of the line, when it is one and its texts are sound UTF-8.
bool ReadPage(std::string_view line, Page& out) {
    PageLine parsed;
    Page page;
    if (!ParsePageLine(line, parsed) || !Widen(parsed.url, page.url) || !Widen(parsed.title, page.title))
        return false;
    page.visited = PageDateTicks(parsed.visited);
    out = page;
    return true;
}

std::vector<Page> ReadPages(const std::string& text) {
    std::vector<Page> pages;
    for (std::string_view line : SplitPageLines(text)) {
        Page page;
        if (ReadPage(line, page)) pages.push_back(page);
    }
    return pages;
}

// The text without the lines of the page `url`; false when it had none.
bool RemovePage(std::string& text, const wchar_t* url) {
    std::string kept;
    bool removed = false;
    for (std::string_view line : SplitPageLines(text)) {
        Page page;
        if (ReadPage(line, page) && page.url == url)
            removed = true;
        else
            kept.append(line.data(), line.size());
    }
    text.swap(kept);
    return removed;
}

FILETIME FileTimeOf(std::uint64_t ticks) {
    FILETIME t;
    t.dwLowDateTime = DWORD(ticks & 0xFFFFFFFFu);
    t.dwHighDateTime = DWORD(ticks >> 32);
    return t;
}

wchar_t* TaskCopy(const std::wstring& text) {
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    wchar_t* copy = static_cast<wchar_t*>(CoTaskMemAlloc(bytes));
    if (copy) memcpy(copy, text.c_str(), bytes);
    return copy;
}

const DWORD kNoUrl = 0x00020000;    // STATURL_QUERYFLAG_NOURL
const DWORD kNoTitle = 0x00040000;  // STATURL_QUERYFLAG_NOTITLE

// Fills the caller's record; an empty title is no title, as the browser
// gives it for a page that had none.
HRESULT FillStat(const Page& page, DWORD flags, STATURL& stat) {
    wchar_t* url = nullptr;
    wchar_t* title = nullptr;
    if (!(flags & kNoUrl) && !(url = TaskCopy(page.url))) return E_OUTOFMEMORY;
    if (!(flags & kNoTitle) && !page.title.empty() && !(title = TaskCopy(page.title))) {
        CoTaskMemFree(url);
        return E_OUTOFMEMORY;
    }
    stat.pwcsUrl = url;
    stat.pwcsTitle = title;
    stat.ftLastVisited = FileTimeOf(page.visited);
    stat.ftLastUpdated = stat.ftLastVisited;
    stat.ftExpires = FileTimeOf(page.visited + 20 * kTicksPerDay);
    stat.dwFlags = 0;
    return S_OK;
}

class PageEnumerator final : public IEnumSTATURL {
public:
    PageEnumerator(std::shared_ptr<const std::vector<Page>> pages, std::size_t next, std::wstring filter)
        : pages_(std::move(pages)), next_(next), filter_(std::move(filter)) {
        LockModule();
    }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IEnumSTATURL) {
            *out = static_cast<IEnumSTATURL*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ULONG(InterlockedIncrement(&refs_)); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return ULONG(left);
    }

    STDMETHODIMP Next(ULONG count, LPSTATURL items, ULONG* fetched) override {
        if (fetched) *fetched = 0;
        if (!items) return E_POINTER;
        if (!fetched && count != 1) return E_INVALIDARG;
        ULONG done = 0;
        while (done < count && Advance()) {
            const HRESULT hr = FillStat((*pages_)[next_], 0, items[done]);
            if (FAILED(hr)) {
                // Nothing is handed out from a call that fails.
                for (ULONG i = 0; i < done; ++i) {
                    CoTaskMemFree(items[i].pwcsUrl);
                    CoTaskMemFree(items[i].pwcsTitle);
                    items[i].pwcsUrl = items[i].pwcsTitle = nullptr;
                }
                return hr;
            }
            ++next_;
            ++done;
        }
        if (fetched) *fetched = done;
        return done == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG count) override {
        ULONG done = 0;
        for (; done < count && Advance(); ++done) ++next_;
        return done == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Reset() override {
        next_ = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(IEnumSTATURL** out) override {
        if (!out) return E_POINTER;
        *out = new (std::nothrow) PageEnumerator(pages_, next_, filter_);
        if (!*out) return E_OUTOFMEMORY;
        (*out)->AddRef();
        return S_OK;
    }
    // Later calls yield only the pages whose URL begins with the filter,
    // in any case.
    STDMETHODIMP SetFilter(LPCOLESTR filter, DWORD) override {
        filter_ = filter ? filter : L"";
        return S_OK;
    }

private:
    ~PageEnumerator() { UnlockModule(); }

    // Moves to the next page that passes the filter; false at the end.
    bool Advance() {
        for (; next_ < pages_->size(); ++next_) {
            const std::wstring& url = (*pages_)[next_].url;
            if (filter_.empty() ||
                (url.size() >= filter_.size() && _wcsnicmp(url.c_str(), filter_.c_str(), filter_.size()) == 0))
                return true;
        }
        return false;
    }

    LONG refs_ = 0;
    std::shared_ptr<const std::vector<Page>> pages_;
    std::size_t next_;
    std::wstring filter_;
};

PageDate Today() {
    SYSTEMTIME now;
    GetSystemTime(&now);
    PageDate date;
    date.year = now.wYear;
    date.month = now.wMonth;
    date.day = now.wDay;
    return date;
}

class HistoryStore final : public IUrlHistoryStg2 {
public:
    HistoryStore() { LockModule(); }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IUrlHistoryStg || iid == IID_IUrlHistoryStg2) {
            *out = static_cast<IUrlHistoryStg2*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ULONG(InterlockedIncrement(&refs_)); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return ULONG(left);
    }

    // A page already present moves to the end with its new title and today's date.
    STDMETHODIMP AddUrl(LPCOLESTR url, LPCOLESTR title, DWORD) override {
        if (!url || !*url || wcspbrk(url, L"\t\r\n")) return E_INVALIDARG;
        std::string narrowUrl, narrowTitle, text;
        if (!Narrow(url, narrowUrl) || !Narrow(title, narrowTitle)) return E_INVALIDARG;
        const std::string line = FormatPageLine(narrowUrl, narrowTitle, Today());
        if (line.size() > kMaxPageLineBytes) return E_INVALIDARG;
        HRESULT hr = ReadPageFile(text);
        if (FAILED(hr)) return hr;
        RemovePage(text, url);
        if (!text.empty() && text.back() != '\n') text += '\n';
        text += line;
        if (text.size() > kMaxPageFileBytes) return HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE);
        return WritePageFile(text);
    }
    STDMETHODIMP DeleteUrl(LPCOLESTR url, DWORD) override {
        if (!url) return E_INVALIDARG;
        std::string text;
        const HRESULT hr = ReadPageFile(text);
        if (FAILED(hr)) return hr;
        if (!RemovePage(text, url)) return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
        return WritePageFile(text);
    }
    STDMETHODIMP QueryUrl(LPCOLESTR url, DWORD flags, LPSTATURL stat) override {
        if (!url) return E_INVALIDARG;
        std::string text;
        const HRESULT hr = ReadPageFile(text);
        if (FAILED(hr)) return hr;
        for (const Page& page : ReadPages(text)) {
            if (page.url == url) return stat ? FillStat(page, flags, *stat) : S_OK;
        }
        return HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
    }
    STDMETHODIMP BindToObject(LPCOLESTR, REFIID, void** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    // The pages as the file holds them now; later changes do not reach an
    // enumerator already made.
    STDMETHODIMP EnumUrls(IEnumSTATURL** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        std::string text;
        const HRESULT hr = ReadPageFile(text);
        if (FAILED(hr)) return hr;
        auto pages = std::make_shared<const std::vector<Page>>(ReadPages(text));
        *out = new (std::nothrow) PageEnumerator(std::move(pages), 0, std::wstring());
        if (!*out) return E_OUTOFMEMORY;
        (*out)->AddRef();
        return S_OK;
    }
    STDMETHODIMP AddUrlAndNotify(LPCOLESTR url, LPCOLESTR title, DWORD flags, BOOL, IOleCommandTarget*,
                                 IUnknown*) override {
        return AddUrl(url, title, flags);
    }
    STDMETHODIMP ClearHistory() override { return WritePageFile(std::string()); }

private:
    ~HistoryStore() { UnlockModule(); }

    LONG refs_ = 0;
};

class Factory final : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // The factory is static: its references are the module's.
    STDMETHODIMP_(ULONG) AddRef() override { return ULONG(InterlockedIncrement(&g_locks)); }
    STDMETHODIMP_(ULONG) Release() override { return ULONG(InterlockedDecrement(&g_locks)); }

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        HistoryStore* store = new (std::nothrow) HistoryStore;
        if (!store) return E_OUTOFMEMORY;
        store->AddRef();
        const HRESULT hr = store->QueryInterface(iid, out);
        store->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        if (lock)
            LockModule();
        else
            UnlockModule();
        return S_OK;
    }
};

Factory g_factory;

}  // namespace
}  // namespace standin
}  // namespace tw

using tw::standin::g_factory;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        tw::standin::g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (clsid != CLSID_CUrlHistory) return CLASS_E_CLASSNOTAVAILABLE;
    return g_factory.QueryInterface(iid, out);
}

STDAPI DllCanUnloadNow() {
    return tw::standin::g_locks == 0 ? S_OK : S_FALSE;
}

// Takes over the browser's history class for this prefix.
STDAPI DllRegisterServer() {
    const std::wstring path = tw::standin::ModulePath();
    if (path.empty()) return E_FAIL;
    tw::UniqueKey key;
    LONG error = RegCreateKeyExW(HKEY_CLASSES_ROOT, tw::standin::kClassKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                 key.Receive(), nullptr);
    if (error == ERROR_SUCCESS)
        error = RegSetValueExW(key.Get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                               DWORD((path.size() + 1) * sizeof(wchar_t)));
    static const wchar_t kApartment[] = L"Apartment";
    if (error == ERROR_SUCCESS)
        error = RegSetValueExW(key.Get(), L"ThreadingModel", 0, REG_SZ, reinterpret_cast<const BYTE*>(kApartment),
                               sizeof kApartment);
    return error == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(error);
}

// Gives the class up only while it still names this module.
STDAPI DllUnregisterServer() {
    const std::wstring path = tw::standin::ModulePath();
    wchar_t registered[MAX_PATH * 4] = {};
    DWORD size = sizeof registered - sizeof(wchar_t);
    if (path.empty() || RegGetValueW(HKEY_CLASSES_ROOT, tw::standin::kClassKey, nullptr, RRF_RT_REG_SZ, nullptr,
                                     registered, &size) != ERROR_SUCCESS ||
        lstrcmpiW(registered, path.c_str()) != 0)
        return S_OK;
    const LONG error = RegDeleteKeyW(HKEY_CLASSES_ROOT, tw::standin::kClassKey);
    return error == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(error);
}
