#include "band/win32/explorer_bar.h"

#include <new>

#include "band/band_info.h"
#include "band/server_lock.h"
#include "band/stream_state.h"
#include "band/win32/guids_win32.h"
#include "band/win32/module.h"
#include "ui/win32/band/band_window.h"

namespace tw {

HRESULT ExplorerBar::Create(IUnknown* outer, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer && !IsEqualIID(iid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
    ExplorerBar* bar = new (std::nothrow) ExplorerBar(outer);
    if (!bar) return E_OUTOFMEMORY;
    const HRESULT hr = bar->inner_.QueryInterface(iid, out);
    bar->inner_.Release();  // the creation reference: destroys the band if the request failed
    return hr;
}

ExplorerBar::ExplorerBar(IUnknown* outer) : inner_(*this), outer_(outer ? outer : &inner_) {}

// The members go in reverse order: the band window first, the module's
// hold last.
ExplorerBar::~ExplorerBar() = default;

// The order of these tests is the order in which the browser's requests are
// answered. IOleWindow and IDockingWindow are reachable only as IDeskBand,
// and IInputObject is refused: the band takes no part in the browser's
// focus cycle or accelerator translation.
STDMETHODIMP ExplorerBar::Inner::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    IUnknown* answer = nullptr;
    if (IsEqualIID(iid, IID_IUnknown)) {
        answer = this;
    } else if (IsEqualIID(iid, kIidIExplorerBar) || IsEqualIID(iid, IID_IDispatch)) {
        answer = static_cast<IExplorerBar*>(&bar_);
    } else if (IsEqualIID(iid, IID_IObjectWithSite)) {
        answer = static_cast<IObjectWithSite*>(&bar_);
    } else if (IsEqualIID(iid, IID_IDeskBand)) {
        answer = static_cast<IDeskBand*>(&bar_);
    } else if (IsEqualIID(iid, IID_IPersistStreamInit) || IsEqualIID(iid, IID_IPersist)) {
        answer = static_cast<IPersistStreamInit*>(&bar_);
    }
    *out = answer;
    if (!answer) return E_NOINTERFACE;
    answer->AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) ExplorerBar::Inner::AddRef() { return ULONG(InterlockedIncrement(&bar_.refs_)); }

STDMETHODIMP_(ULONG) ExplorerBar::Inner::Release() {
    const LONG refs = InterlockedDecrement(&bar_.refs_);
    if (refs == 0) delete &bar_;
    return ULONG(refs);
}

// --- IDispatch: the type information comes from the registered library.

STDMETHODIMP ExplorerBar::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

STDMETHODIMP ExplorerBar::GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    ComPtr<ITypeLib> library;
    const HRESULT hr = LoadRegTypeLib(kLibidTidewell, 1, 0, lcid, library.Receive());
    if (FAILED(hr)) return hr;
    return library->GetTypeInfoOfGuid(kIidIExplorerBar, info);
}

STDMETHODIMP ExplorerBar::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) {
    ComPtr<ITypeInfo> info;
    const HRESULT hr = GetTypeInfo(0, lcid, info.Receive());
    if (FAILED(hr)) return hr;
    return DispGetIDsOfNames(info.Get(), names, count, ids);
}

STDMETHODIMP ExplorerBar::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
    return S_OK;
}

// --- IObjectWithSite

STDMETHODIMP ExplorerBar::SetSite(IUnknown* site) {
    // The browser clears the site on its way out; the band keeps its
    // window and browser until it is closed or released.
    if (!site) return S_OK;
    inputSite_.Reset();

    parent_ = nullptr;
    ComPtr<IOleWindow> siteWindow;
    if (SUCCEEDED(site->QueryInterface(IID_IOleWindow, siteWindow.ReceiveVoid())) && siteWindow) {
        HWND parent = nullptr;
        if (SUCCEEDED(siteWindow->GetWindow(&parent))) parent_ = parent;
        siteWindow.Reset();
    }
    if (!parent_) return E_FAIL;

    RECT rect = {};
    GetClientRect(parent_, &rect);
    // A second site would otherwise leave the first window behind, unowned.
    band_.Reset();
    // A band window that could not be made is no band.
    if (!CreateBandWindow(ModuleInstance(), parent_, rect, &band_)) return E_FAIL;

    if (FAILED(site->QueryInterface(IID_IInputObjectSite, inputSite_.ReceiveVoid()))) inputSite_.Reset();

    ComPtr<IOleCommandTarget> commands;
    if (FAILED(site->QueryInterface(IID_IOleCommandTarget, commands.ReceiveVoid())) || !commands) return S_OK;
    ComPtr<IServiceProvider> services;
    const HRESULT hr = commands->QueryInterface(IID_IServiceProvider, services.ReceiveVoid());
    commands.Reset();
    if (FAILED(hr) || !services) return S_OK;

    browser_.Reset();
    if (FAILED(services->QueryService(IID_IWebBrowserApp, IID_IWebBrowser2, browser_.ReceiveVoid())))
        browser_.Reset();
    // The window writes the status line and navigates through the browser.
    SetBandBrowser(band_.Get(), browser_.Get());
    return S_OK;
}

STDMETHODIMP ExplorerBar::GetSite(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!inputSite_) return E_FAIL;
    return inputSite_->QueryInterface(iid, out);
}

// --- IOleWindow, IDockingWindow, IDeskBand

STDMETHODIMP ExplorerBar::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = band_.Get();
    return S_OK;
}

STDMETHODIMP ExplorerBar::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

STDMETHODIMP ExplorerBar::ShowDW(BOOL show) {
    if (band_) {
        ShowWindow(band_.Get(), show ? SW_SHOW : SW_HIDE);
        StartPageClick(band_.Get());
    }
    return S_OK;
}

STDMETHODIMP ExplorerBar::CloseDW(DWORD) {
    ShowDW(FALSE);
    band_.Reset();
    return S_OK;
}

STDMETHODIMP ExplorerBar::ResizeBorderDW(LPCRECT, IUnknown*, BOOL) { return E_NOTIMPL; }

STDMETHODIMP ExplorerBar::GetBandInfo(DWORD, DWORD, DESKBANDINFO* info) {
    if (!info) return E_INVALIDARG;
    FillBandInfo(*info);
    return S_OK;
}

// --- IPersist, IPersistStreamInit: the stream holds a version number only.

STDMETHODIMP ExplorerBar::GetClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = kClsidExplorerBar;
    return S_OK;
}

STDMETHODIMP ExplorerBar::IsDirty() { return S_FALSE; }

STDMETHODIMP ExplorerBar::Load(LPSTREAM stream) {
    if (!stream) return E_POINTER;
    DWORD version = 0;
    ULONG read = 0;
    const HRESULT hr = stream->Read(&version, sizeof version, &read);
    return HRESULT(BandStreamLoadResult(std::int32_t(hr), read, version));
}

STDMETHODIMP ExplorerBar::Save(LPSTREAM stream, BOOL) {
    if (!stream) return E_POINTER;
    const DWORD version = kBandStreamVersion;
    const HRESULT hr = stream->Write(&version, sizeof version, nullptr);
    return FAILED(hr) ? hr : S_OK;
}

STDMETHODIMP ExplorerBar::GetSizeMax(ULARGE_INTEGER*) { return E_NOTIMPL; }

STDMETHODIMP ExplorerBar::InitNew() { return S_OK; }

}  // namespace tw
