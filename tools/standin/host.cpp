#include "tools/standin/host.h"

namespace tw {
namespace standin {
namespace {

std::wstring TextOf(BSTR text) { return text ? std::wstring(text, SysStringLen(text)) : std::wstring(); }

}  // namespace

STDMETHODIMP Browser::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IWebBrowser) ||
        IsEqualIID(iid, IID_IWebBrowserApp) || IsEqualIID(iid, IID_IWebBrowser2)) {
        *out = static_cast<IWebBrowser2*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP Browser::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP Browser::Navigate(BSTR URL, VARIANT*, VARIANT*, VARIANT*, VARIANT*) {
    navigations_.push_back(TextOf(URL));
    if (onNavigate_) onNavigate_(navigations_.back().c_str());
    return S_OK;
}

STDMETHODIMP Browser::get_HWND(SHANDLE_PTR* pHWND) {
    if (!pHWND) return E_POINTER;
    *pHWND = reinterpret_cast<SHANDLE_PTR>(frame_);
    return S_OK;
}

STDMETHODIMP Browser::get_StatusText(BSTR* StatusText) {
    if (!StatusText) return E_POINTER;
    *StatusText = SysAllocString(status_.empty() ? L"" : status_.back().c_str());
    return *StatusText ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP Browser::put_StatusText(BSTR StatusText) {
    status_.push_back(TextOf(StatusText));
    if (onStatus_) onStatus_(status_.back().c_str());
    return S_OK;
}

STDMETHODIMP BandSite::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    IUnknown* answer = nullptr;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleWindow))
        answer = static_cast<IOleWindow*>(this);
    else if (IsEqualIID(iid, IID_IInputObjectSite))
        answer = static_cast<IInputObjectSite*>(this);
    else if (IsEqualIID(iid, IID_IOleCommandTarget))
        answer = static_cast<IOleCommandTarget*>(this);
    else if (IsEqualIID(iid, IID_IServiceProvider))
        answer = static_cast<IServiceProvider*>(this);
    *out = answer;
    if (!answer) return E_NOINTERFACE;
    answer->AddRef();
    return S_OK;
}

STDMETHODIMP BandSite::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    *window = window_;
    return window_ ? S_OK : E_FAIL;
}

STDMETHODIMP BandSite::QueryService(REFGUID service, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualGUID(service, IID_IWebBrowserApp) || !browser_) return E_NOINTERFACE;
    return browser_->QueryInterface(iid, out);
}

}  // namespace standin
}  // namespace tw
