// The band object that the browser hosts as a horizontal Explorer bar.
#pragma once

#include <windows.h>
#include <exdisp.h>
#include <ocidl.h>
#include <shobjidl.h>

#include "band/server_lock.h"
#include "platform/win32/com_ptr.h"
#include "platform/win32/handles.h"

namespace tw {

// The band's dual interface: IDispatch with no members of its own.
struct IExplorerBar : public IDispatch {};

class ExplorerBar final : public IExplorerBar,
                          public IObjectWithSite,
                          public IDeskBand,
                          public IPersistStreamInit {
public:
    // Makes a band (aggregated when `outer` is given), asks it for `iid`
    // and destroys it again when that fails.
    static HRESULT Create(IUnknown* outer, REFIID iid, void** out);

    // IUnknown, delegating to the controlling unknown.
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override { return Controlling().QueryInterface(iid, out); }
    STDMETHODIMP_(ULONG) AddRef() override { return Controlling().AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return Controlling().Release(); }

    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argError) override;

    // IObjectWithSite
    STDMETHODIMP SetSite(IUnknown* site) override;
    STDMETHODIMP GetSite(REFIID iid, void** out) override;

    // IOleWindow, IDockingWindow, IDeskBand
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL enter) override;
    STDMETHODIMP ShowDW(BOOL show) override;
    STDMETHODIMP CloseDW(DWORD reserved) override;
    STDMETHODIMP ResizeBorderDW(LPCRECT border, IUnknown* site, BOOL reserved) override;
    STDMETHODIMP GetBandInfo(DWORD bandId, DWORD viewMode, DESKBANDINFO* info) override;

    // IPersist, IPersistStreamInit
    STDMETHODIMP GetClassID(CLSID* clsid) override;
    STDMETHODIMP IsDirty() override;
    STDMETHODIMP Load(LPSTREAM stream) override;
    STDMETHODIMP Save(LPSTREAM stream, BOOL clearDirty) override;
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;
    STDMETHODIMP InitNew() override;

private:
    // The object's own identity, which an aggregating outer object holds.
    class Inner final : public IUnknown {
    public:
        explicit Inner(ExplorerBar& bar) : bar_(bar) {}
        STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
        STDMETHODIMP_(ULONG) AddRef() override;
        STDMETHODIMP_(ULONG) Release() override;

    private:
        ExplorerBar& bar_;
    };

    explicit ExplorerBar(IUnknown* outer);
    IUnknown& Controlling() const { return *outer_; }
    ~ExplorerBar();
    ExplorerBar(const ExplorerBar&) = delete;
    ExplorerBar& operator=(const ExplorerBar&) = delete;

    // First, so that the module is held until the band window is gone.
    ModuleHold module_;
    Inner inner_;
    IUnknown* outer_;  // not held: either the aggregating object or inner_
    LONG refs_ = 1;    // the creation reference, dropped by Create
    ComPtr<IInputObjectSite> inputSite_;
    ComPtr<IWebBrowser2> browser_;
    HWND parent_ = nullptr;
    // Cleared by the band window itself when it goes, however it goes (the
    // browser destroys the site's window with it).
    UniqueWindow band_;
};

}  // namespace tw
