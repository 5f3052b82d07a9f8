// The pieces of a browser that a band meets: the band site and the
// browser's automation object. The stand-in browser hosts the band with
// them, and the band's tests use them to watch what the band does.
#pragma once

#include <windows.h>
#include <exdisp.h>
#include <ocidl.h>
#include <servprov.h>
#include <shobjidl.h>

#include <functional>
#include <string>
#include <vector>

namespace tw {
namespace standin {

// IWebBrowser2 that records the status texts and navigations it is given
// and answers `frame` as its top-level window. Everything else is
// E_NOTIMPL.
class Browser final : public IWebBrowser2 {
public:
    explicit Browser(HWND frame) : frame_(frame) {}

    LONG Refs() const { return refs_; }
    const std::vector<std::wstring>& StatusTexts() const { return status_; }
    const std::vector<std::wstring>& Navigations() const { return navigations_; }
    void OnStatusText(std::function<void(const wchar_t*)> callback) { onStatus_ = std::move(callback); }
    void OnNavigate(std::function<void(const wchar_t*)> callback) { onNavigate_ = std::move(callback); }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ULONG(InterlockedIncrement(&refs_)); }
    // Owned by its creator, who holds the first reference: never deletes.
    STDMETHODIMP_(ULONG) Release() override { return ULONG(InterlockedDecrement(&refs_)); }

    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    STDMETHODIMP Navigate(BSTR URL, VARIANT* Flags, VARIANT* TargetFrameName, VARIANT* PostData,
                          VARIANT* Headers) override;
    STDMETHODIMP get_HWND(SHANDLE_PTR* pHWND) override;
    STDMETHODIMP get_StatusText(BSTR* StatusText) override;
    STDMETHODIMP put_StatusText(BSTR StatusText) override;
#include "tools/standin/browser_stubs.inc"

private:
    HWND frame_;
    LONG refs_ = 1;
    std::vector<std::wstring> status_;
    std::vector<std::wstring> navigations_;
    std::function<void(const wchar_t*)> onStatus_;
    std::function<void(const wchar_t*)> onNavigate_;
};

// The band site: the window the band lives in and the way to the browser.
class BandSite final : public IOleWindow, public IInputObjectSite, public IOleCommandTarget, public IServiceProvider {
public:
    BandSite(HWND window, Browser* browser) : window_(window), browser_(browser) {}

    LONG Refs() const { return refs_; }
    int FocusChanges() const { return focusChanges_; }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ULONG(InterlockedIncrement(&refs_)); }
    // Owned by its creator, like the browser.
    STDMETHODIMP_(ULONG) Release() override { return ULONG(InterlockedDecrement(&refs_)); }

    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    STDMETHODIMP OnFocusChangeIS(IUnknown*, BOOL) override {
        ++focusChanges_;
        return S_OK;
    }

    STDMETHODIMP QueryStatus(const GUID*, ULONG, OLECMD*, OLECMDTEXT*) override { return OLECMDERR_E_UNKNOWNGROUP; }
    STDMETHODIMP Exec(const GUID*, DWORD, DWORD, VARIANT*, VARIANT*) override { return OLECMDERR_E_UNKNOWNGROUP; }

    STDMETHODIMP QueryService(REFGUID service, REFIID iid, void** out) override;

private:
    HWND window_;
    Browser* browser_;
    LONG refs_ = 1;
    int focusChanges_ = 0;
};

}  // namespace standin
}  // namespace tw
