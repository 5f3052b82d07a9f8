#include <windows.h>
#include <ocidl.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/band/win32/test_module.h"
#include "tools/standin/host.h"

namespace tw {
namespace test {
namespace {

using standin::BandSite;
using standin::Browser;
using standin::SiteOffers;

// A top-level window to play the band site's window.
class HostWindow {
public:
    HostWindow() {
        window_ = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    }
    ~HostWindow() { DestroyWindow(window_); }
    HWND Get() const { return window_; }

private:
    HWND window_;
};

std::string ClassOf(HWND window) {
    char name[260] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TextOf(HWND window) {
    char text[260] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

class ExplorerBarTest : public ServerTest {};

TEST_F(ExplorerBarTest, AnswersItsInterfacesAndRefusesTheOthers) {
    IUnknown* band = NewBand<IUnknown>(IID_IUnknown);
    ASSERT_NE(band, nullptr);
    const IID accepted[] = {kIidIExplorerBar,     IID_IDispatch,      IID_IObjectWithSite, IID_IDeskBand,
                            IID_IPersistStreamInit, IID_IPersist, IID_IUnknown};
    for (const IID& iid : accepted) {
        IUnknown* p = nullptr;
        EXPECT_EQ(band->QueryInterface(iid, reinterpret_cast<void**>(&p)), S_OK);
        ASSERT_NE(p, nullptr);
        // Every interface leads back to the one identity.
        IUnknown* identity = nullptr;
        EXPECT_EQ(p->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
        EXPECT_EQ(identity, band);
        identity->Release();
        p->Release();
    }
    const IID refused[] = {IID_IOleWindow, IID_IDockingWindow, IID_IInputObject, IID_IClassFactory,
                           IID_IPersistStream, IID_IOleCommandTarget};
    for (const IID& iid : refused) {
        void* p = reinterpret_cast<void*>(1);
        EXPECT_EQ(band->QueryInterface(iid, &p), E_NOINTERFACE);
        EXPECT_EQ(p, nullptr);
    }
    EXPECT_EQ(band->Release(), 0u);
}

TEST_F(ExplorerBarTest, FixedAnswers) {
    IDeskBand* band = NewBand<IDeskBand>(IID_IDeskBand);
    ASSERT_NE(band, nullptr);
    EXPECT_EQ(band->ContextSensitiveHelp(TRUE), E_NOTIMPL);
    EXPECT_EQ(band->ResizeBorderDW(nullptr, nullptr, FALSE), E_NOTIMPL);
    HWND window = reinterpret_cast<HWND>(1);
    EXPECT_EQ(band->GetWindow(&window), S_OK);
    EXPECT_EQ(window, nullptr);  // no site yet
    EXPECT_EQ(band->ShowDW(TRUE), S_OK);
    EXPECT_EQ(band->CloseDW(0), S_OK);

    {
        IDispatch* dispatch = nullptr;
        ASSERT_EQ(band->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)), S_OK);
        UINT count = 0;
        EXPECT_EQ(dispatch->GetTypeInfoCount(&count), S_OK);
        EXPECT_EQ(count, 1u);
        EXPECT_EQ(dispatch->GetTypeInfo(0, 0, nullptr), E_POINTER);
        EXPECT_EQ(dispatch->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr), S_OK);
        dispatch->Release();
    }

    IObjectWithSite* withSite = nullptr;
    ASSERT_EQ(band->QueryInterface(IID_IObjectWithSite, reinterpret_cast<void**>(&withSite)), S_OK);
    void* site = reinterpret_cast<void*>(1);
    EXPECT_EQ(withSite->GetSite(IID_IUnknown, &site), E_FAIL);
    EXPECT_EQ(site, nullptr);
    EXPECT_EQ(withSite->SetSite(nullptr), S_OK);
    withSite->Release();
    EXPECT_EQ(band->Release(), 0u);
}

TEST_F(ExplorerBarTest, BandInfoByMask) {
    IDeskBand* band = NewBand<IDeskBand>(IID_IDeskBand);
    ASSERT_NE(band, nullptr);
    EXPECT_EQ(band->GetBandInfo(0, DBIF_VIEWMODE_NORMAL, nullptr), E_INVALIDARG);

    DESKBANDINFO info;
    memset(&info, 0x5A, sizeof info);
    info.dwMask = 0;
    EXPECT_EQ(band->GetBandInfo(0, DBIF_VIEWMODE_NORMAL, &info), S_OK);
    EXPECT_EQ(info.dwMask, 0u);
    EXPECT_EQ(info.ptMinSize.x, 0x5A5A5A5A);
    EXPECT_EQ(info.dwModeFlags, 0x5A5A5A5Au);

    memset(&info, 0x5A, sizeof info);
    info.dwMask = DBIM_MINSIZE | DBIM_MAXSIZE | DBIM_INTEGRAL | DBIM_ACTUAL | DBIM_TITLE | DBIM_MODEFLAGS |
                  DBIM_BKCOLOR;
    EXPECT_EQ(band->GetBandInfo(7, DBIF_VIEWMODE_VERTICAL, &info), S_OK);
    EXPECT_EQ(info.dwMask, DWORD(DBIM_MINSIZE | DBIM_MAXSIZE | DBIM_INTEGRAL | DBIM_ACTUAL | DBIM_TITLE |
                                 DBIM_MODEFLAGS));
    EXPECT_EQ(info.ptMinSize.x, 100);
    EXPECT_EQ(info.ptMinSize.y, 200);
    EXPECT_EQ(info.ptMaxSize.x, -1);
    EXPECT_EQ(info.ptMaxSize.y, -1);
    EXPECT_EQ(info.ptIntegral.x, 1);
    EXPECT_EQ(info.ptIntegral.y, 1);
    EXPECT_EQ(info.ptActual.x, 0);
    EXPECT_EQ(info.ptActual.y, 0);
    EXPECT_STREQ(info.wszTitle, L"Tidewell");
    EXPECT_EQ(info.dwModeFlags, DWORD(DBIMF_VARIABLEHEIGHT));
    EXPECT_EQ(info.crBkgnd, 0x5A5A5A5Au);
    EXPECT_EQ(band->Release(), 0u);
}

// Everything the band takes from a site and a browser it gives back.
TEST_F(ExplorerBarTest, SiteGivesTheBandItsWindowAndBrowser) {
    HostWindow host;
    Browser browser(host.Get());
    BandSite site(host.Get(), &browser);
    IDeskBand* band = NewBand<IDeskBand>(IID_IDeskBand);
    ASSERT_NE(band, nullptr);
    IObjectWithSite* withSite = nullptr;
    ASSERT_EQ(band->QueryInterface(IID_IObjectWithSite, reinterpret_cast<void**>(&withSite)), S_OK);

    EXPECT_EQ(withSite->SetSite(static_cast<IOleWindow*>(&site)), S_OK);
    HWND window = nullptr;
    EXPECT_EQ(band->GetWindow(&window), S_OK);
    ASSERT_TRUE(IsWindow(window));
    EXPECT_EQ(GetParent(window), host.Get());
    EXPECT_EQ(TextOf(window), "TidewellSuperClass");
    EXPECT_EQ(ClassOf(window), "TidewellBandWindow");
    RECT hostRect, bandRect;
    GetClientRect(host.Get(), &hostRect);
    GetClientRect(window, &bandRect);
    EXPECT_EQ(bandRect.right, hostRect.right);
    EXPECT_EQ(bandRect.bottom, hostRect.bottom);
    EXPECT_GT(browser.Refs(), 1);  // held by the band
    EXPECT_EQ(site.Refs(), 2);     // the input object site, held for GetSite

    IInputObjectSite* input = nullptr;
    EXPECT_EQ(withSite->GetSite(IID_IInputObjectSite, reinterpret_cast<void**>(&input)), S_OK);
    EXPECT_EQ(input, static_cast<IInputObjectSite*>(&site));
    input->Release();

    EXPECT_EQ(band->ShowDW(FALSE), S_OK);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(band->ShowDW(TRUE), S_OK);
    EXPECT_TRUE(GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE);

    // Clearing the site keeps the window and the browser.
    EXPECT_EQ(withSite->SetSite(nullptr), S_OK);
    HWND after = nullptr;
    band->GetWindow(&after);
    EXPECT_EQ(after, window);
    EXPECT_GT(browser.Refs(), 1);

    EXPECT_EQ(band->CloseDW(0), S_OK);
    EXPECT_FALSE(IsWindow(window));
    band->GetWindow(&after);
    EXPECT_EQ(after, nullptr);

    withSite->Release();
    EXPECT_EQ(band->Release(), 0u);
    EXPECT_EQ(browser.Refs(), 1);
    EXPECT_EQ(site.Refs(), 1);
}

TEST_F(ExplorerBarTest, SitesWithLessToOffer) {
    HostWindow host;
    Browser browser(host.Get());
    struct Row {
        const char* name;
        SiteOffers offers;
        HRESULT expected;
        bool window;
        bool browser;
    };
    SiteOffers noWindow, noCommands, noServices, noBrowser, noInput;
    noWindow.window = false;
    noCommands.commandTarget = false;
    noServices.serviceProvider = false;
    noBrowser.browser = false;
    noInput.inputObjectSite = false;
    const Row rows[] = {
        {"no window", noWindow, E_FAIL, false, false},
        {"no command target", noCommands, S_OK, true, false},
        {"no service provider", noServices, S_OK, true, false},
        {"no browser service", noBrowser, S_OK, true, false},
        {"no input object site", noInput, S_OK, true, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        BandSite site(host.Get(), &browser, row.offers);
        IDeskBand* band = NewBand<IDeskBand>(IID_IDeskBand);
        ASSERT_NE(band, nullptr);
        IObjectWithSite* withSite = nullptr;
        ASSERT_EQ(band->QueryInterface(IID_IObjectWithSite, reinterpret_cast<void**>(&withSite)), S_OK);
        EXPECT_EQ(withSite->SetSite(static_cast<IOleWindow*>(&site)), row.expected);
        HWND window = nullptr;
        band->GetWindow(&window);
        EXPECT_EQ(window != nullptr, row.window);
        EXPECT_EQ(browser.Refs() > 1, row.browser);
        void* input = reinterpret_cast<void*>(1);
        const HRESULT hr = withSite->GetSite(IID_IInputObjectSite, &input);
        EXPECT_EQ(SUCCEEDED(hr), row.window && row.offers.inputObjectSite);
        if (SUCCEEDED(hr)) static_cast<IUnknown*>(input)->Release();
        withSite->Release();
        EXPECT_EQ(band->Release(), 0u);
        EXPECT_FALSE(window && IsWindow(window)) << "the band window outlived its band";
        EXPECT_EQ(browser.Refs(), 1);
        EXPECT_EQ(site.Refs(), 1);
    }
}

// The browser may destroy the site's window, and the band window with it,
// before it closes the band: the band then has no window to answer.
TEST_F(ExplorerBarTest, BandWindowDestroyedWithItsParentIsForgotten) {
    HWND parent = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    Browser browser(parent);
    BandSite site(parent, &browser);
    IDeskBand* band = NewBand<IDeskBand>(IID_IDeskBand);
    ASSERT_NE(band, nullptr);
    IObjectWithSite* withSite = nullptr;
    ASSERT_EQ(band->QueryInterface(IID_IObjectWithSite, reinterpret_cast<void**>(&withSite)), S_OK);
    ASSERT_EQ(withSite->SetSite(static_cast<IOleWindow*>(&site)), S_OK);
    DestroyWindow(parent);
    HWND window = reinterpret_cast<HWND>(1);
    EXPECT_EQ(band->GetWindow(&window), S_OK);
    EXPECT_EQ(window, nullptr);
    withSite->Release();
    EXPECT_EQ(band->Release(), 0u);
}

// Refuses the lists' windows, so that the band window cannot be completed.
LRESULT CALLBACK RefuseLists(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && ClassOf(reinterpret_cast<HWND>(wParam)) == "ListCtrl") return 1;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(ExplorerBarTest, ABandWindowThatCannotBeCompletedFailsTheSite) {
    HostWindow host;
    Browser browser(host.Get());
    BandSite site(host.Get(), &browser);
    IObjectWithSite* band = NewBand<IObjectWithSite>(IID_IObjectWithSite);
    ASSERT_NE(band, nullptr);
    HHOOK hook = SetWindowsHookExA(WH_CBT, &RefuseLists, nullptr, GetCurrentThreadId());
    EXPECT_EQ(band->SetSite(static_cast<IOleWindow*>(&site)), E_FAIL);
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(FindWindowExA(host.Get(), nullptr, "TidewellBandWindow", nullptr), nullptr);
    IDeskBand* desk = nullptr;
    ASSERT_EQ(band->QueryInterface(IID_IDeskBand, reinterpret_cast<void**>(&desk)), S_OK);
    HWND window = reinterpret_cast<HWND>(1);
    desk->GetWindow(&window);
    EXPECT_EQ(window, nullptr);
    desk->Release();
    EXPECT_EQ(band->Release(), 0u);
}

TEST_F(ExplorerBarTest, SecondSiteReplacesTheWindow) {
    HostWindow host;
    Browser first(host.Get()), second(host.Get());
    BandSite siteA(host.Get(), &first), siteB(host.Get(), &second);
    IObjectWithSite* band = NewBand<IObjectWithSite>(IID_IObjectWithSite);
    ASSERT_NE(band, nullptr);
    ASSERT_EQ(band->SetSite(static_cast<IOleWindow*>(&siteA)), S_OK);
    IDeskBand* desk = nullptr;
    ASSERT_EQ(band->QueryInterface(IID_IDeskBand, reinterpret_cast<void**>(&desk)), S_OK);
    HWND a = nullptr, b = nullptr;
    desk->GetWindow(&a);
    ASSERT_EQ(band->SetSite(static_cast<IOleWindow*>(&siteB)), S_OK);
    desk->GetWindow(&b);
    EXPECT_TRUE(IsWindow(b));
    EXPECT_FALSE(IsWindow(a));
    // The browser destroys the parent, and the band's window with it.
    DestroyWindow(host.Get());
    desk->GetWindow(&b);
    EXPECT_EQ(b, nullptr);
    EXPECT_EQ(first.Refs(), 1);   // replaced
    EXPECT_EQ(siteA.Refs(), 1);
    EXPECT_GT(second.Refs(), 1);
    desk->Release();
    EXPECT_EQ(band->Release(), 0u);
    EXPECT_EQ(second.Refs(), 1);
    EXPECT_EQ(siteB.Refs(), 1);
}

IStream* StreamHolding(const void* data, ULONG size) {
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) return nullptr;
    stream->Write(data, size, nullptr);
    LARGE_INTEGER zero = {};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    return stream;
}

ULONGLONG PositionOf(IStream* stream) {
    LARGE_INTEGER zero = {};
    ULARGE_INTEGER at = {};
    stream->Seek(zero, STREAM_SEEK_CUR, &at);
    return at.QuadPart;
}

TEST_F(ExplorerBarTest, StreamHoldsTheVersionOnly) {
    IPersistStreamInit* persist = NewBand<IPersistStreamInit>(IID_IPersistStreamInit);
    ASSERT_NE(persist, nullptr);
    CLSID clsid = {};
    EXPECT_EQ(persist->GetClassID(&clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, kClsidExplorerBar));
    EXPECT_EQ(persist->IsDirty(), S_FALSE);
    EXPECT_EQ(persist->InitNew(), S_OK);
    ULARGE_INTEGER size;
    EXPECT_EQ(persist->GetSizeMax(&size), E_NOTIMPL);

    struct Row {
        DWORD words[2];
        ULONG bytes;
        HRESULT expected;
    };
    const Row rows[] = {
        {{0x0300, 0xDEAD}, 8, S_OK}, {{0x0001, 0}, 8, S_OK},  {{0, 0}, 4, S_OK},
        {{0x0301, 0}, 8, E_FAIL},    {{0xFFFFFFFF, 0}, 4, E_FAIL}, {{0x0300, 0}, 2, E_FAIL},
        {{0, 0}, 0, E_FAIL},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.words[0]);
        IStream* stream = StreamHolding(row.words, row.bytes);
        ASSERT_NE(stream, nullptr);
        EXPECT_EQ(persist->Load(stream), row.expected);
        if (row.expected == S_OK) {
            EXPECT_EQ(PositionOf(stream), 4u);  // nothing more is read
        }
        stream->Release();
    }

    IStream* out = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &out), S_OK);
    EXPECT_EQ(persist->Save(out, TRUE), S_OK);
    STATSTG stat = {};
    out->Stat(&stat, STATFLAG_NONAME);
    EXPECT_EQ(stat.cbSize.QuadPart, 4u);
    LARGE_INTEGER zero = {};
    out->Seek(zero, STREAM_SEEK_SET, nullptr);
    DWORD version = 0;
    out->Read(&version, sizeof version, nullptr);
    EXPECT_EQ(version, 0x0300u);
    out->Release();
    EXPECT_EQ(persist->Release(), 0u);
}

// An outer object that counts the references its inner band hands out.
class Outer final : public IUnknown {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown)) {
            *out = this;
            AddRef();
            return S_OK;
        }
        return inner ? inner->QueryInterface(iid, out) : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ULONG(++refs); }
    STDMETHODIMP_(ULONG) Release() override { return ULONG(--refs); }
    LONG refs = 1;
    IUnknown* inner = nullptr;
};

TEST_F(ExplorerBarTest, AggregatedBandDelegatesToItsOuterObject) {
    IClassFactory* factory = Factory();
    ASSERT_NE(factory, nullptr);
    Outer outer;
    ASSERT_EQ(factory->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(&outer.inner)), S_OK);
    factory->Release();
    EXPECT_EQ(outer.refs, 1);  // the inner identity is the outer's, not counted on it

    IDeskBand* band = nullptr;
    ASSERT_EQ(outer.QueryInterface(IID_IDeskBand, reinterpret_cast<void**>(&band)), S_OK);
    EXPECT_EQ(outer.refs, 2);
    IUnknown* identity = nullptr;
    ASSERT_EQ(band->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
    EXPECT_EQ(identity, static_cast<IUnknown*>(&outer));
    identity->Release();
    band->Release();
    EXPECT_EQ(outer.refs, 1);
    EXPECT_EQ(TheModule().canUnloadNow(), S_FALSE);
    EXPECT_EQ(outer.inner->Release(), 0u);
    outer.inner = nullptr;
}

}  // namespace
}  // namespace test
}  // namespace tw
