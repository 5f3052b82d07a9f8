#include <windows.h>
#include <ocidl.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/com_ptr.h"
#include "platform/win32/handles.h"
#include "tests/band/win32/test_module.h"
#include "tools/standin/host.h"

namespace tw {
namespace test {
namespace {

using standin::BandSite;
using standin::Browser;
using standin::SiteOffers;

template <class T>
ComPtr<T> As(IUnknown* from, REFIID iid) {
    ComPtr<T> p;
    EXPECT_EQ(from->QueryInterface(iid, p.ReceiveVoid()), S_OK);
    return p;
}

HWND WindowOf(IDeskBand* band) {
    HWND window = reinterpret_cast<HWND>(1);
    EXPECT_EQ(band->GetWindow(&window), S_OK);
    return window;
}

// A band beside a top-level window that plays the band site's window.
class ExplorerBarTest : public ServerTest {
protected:
    void SetUp() override {
        ServerTest::SetUp();
        host_.Reset(CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr, nullptr,
                                    GetModuleHandleA(nullptr), nullptr));
        band_ = NewBand<IDeskBand>(IID_IDeskBand);
        ASSERT_TRUE(band_);
        withSite_ = As<IObjectWithSite>(band_.Get(), IID_IObjectWithSite);
    }
    // The last reference goes here, so that a reference the band keeps on
    // itself shows.
    void ReleaseBand() {
        withSite_.Reset();
        if (band_) {
            EXPECT_EQ(band_.Detach()->Release(), 0u);
        }
    }
    void TearDown() override {
        ReleaseBand();
        host_.Reset();
        ServerTest::TearDown();
    }
    HRESULT Site(BandSite& site) { return withSite_->SetSite(static_cast<IOleWindow*>(&site)); }
    UniqueWindow host_;
    ComPtr<IDeskBand> band_;
    ComPtr<IObjectWithSite> withSite_;
};

TEST_F(ExplorerBarTest, AnswersItsInterfacesWithOneIdentity) {
    const struct {
        const IID* iid;
        bool answered;
    } rows[] = {{&kIidIExplorerBar, true},   {&IID_IDispatch, true},          {&IID_IObjectWithSite, true},
                {&IID_IDeskBand, true},      {&IID_IPersistStreamInit, true}, {&IID_IPersist, true},
                {&IID_IUnknown, true},       {&IID_IOleWindow, false},        {&IID_IDockingWindow, false},
                {&IID_IInputObject, false},  {&IID_IClassFactory, false},     {&IID_IPersistStream, false},
                {&IID_IOleCommandTarget, false}};
    const ComPtr<IUnknown> identity = As<IUnknown>(band_.Get(), IID_IUnknown);
    for (const auto& row : rows) {
        IUnknown* p = reinterpret_cast<IUnknown*>(1);
        EXPECT_EQ(band_->QueryInterface(*row.iid, reinterpret_cast<void**>(&p)), row.answered ? S_OK : E_NOINTERFACE);
        const ComPtr<IUnknown> answer(row.answered ? p : nullptr);
        if (answer)
            EXPECT_EQ(As<IUnknown>(answer.Get(), IID_IUnknown).Get(), identity.Get());
        else
            EXPECT_EQ(p, nullptr);
    }
    // Without a site there is no window to show or close. What the band
    // tells of itself is the portable tests' and the stand-in run's work.
    EXPECT_EQ(std::vector<HRESULT>({band_->ShowDW(TRUE), band_->CloseDW(0),
                                    band_->GetBandInfo(0, DBIF_VIEWMODE_NORMAL, nullptr)}),
              std::vector<HRESULT>({S_OK, S_OK, E_INVALIDARG}));
}

// Sited, the band lives in the site's window, holds the browser and hands
// out the site; the stand-in's run checks the rest of a full site.
TEST_F(ExplorerBarTest, SitesWithLessToOffer) {
    Browser browser(host_.Get());
    const struct {
        const char* name;
        SiteOffers offers;  // window, input object site, command target, service provider, browser
        std::vector<long> expected;  // SetSite, a window, the browser held, the input object site given
    } rows[] = {
        {"everything", {true, true, true, true, true}, {S_OK, 1, 1, S_OK}},
        {"no window", {false, true, true, true, true}, {E_FAIL, 0, 0, E_FAIL}},
        {"no command target", {true, true, false, true, true}, {S_OK, 1, 0, S_OK}},
        {"no service provider", {true, true, true, false, true}, {S_OK, 1, 0, S_OK}},
        {"no browser service", {true, true, true, true, false}, {S_OK, 1, 0, S_OK}},
        {"no input object site", {true, false, true, true, true}, {S_OK, 1, 1, E_FAIL}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        BandSite site(host_.Get(), &browser, row.offers);
        ComPtr<IDeskBand> band = NewBand<IDeskBand>(IID_IDeskBand);
        ASSERT_TRUE(band);
        ComPtr<IObjectWithSite> withSite = As<IObjectWithSite>(band.Get(), IID_IObjectWithSite);
        const HRESULT sited = withSite->SetSite(static_cast<IOleWindow*>(&site));
        const HWND window = WindowOf(band.Get());
        ComPtr<IInputObjectSite> input;
        const HRESULT given = withSite->GetSite(IID_IInputObjectSite, input.ReceiveVoid());
        EXPECT_TRUE(FAILED(given) || input.Get() == static_cast<IInputObjectSite*>(&site));
        EXPECT_EQ(std::vector<long>({sited, window != nullptr, browser.Refs() > 1, SUCCEEDED(given) ? S_OK : E_FAIL}),
                  row.expected);
        input.Reset();
        withSite.Reset();
        EXPECT_EQ(band.Detach()->Release(), 0u);
        EXPECT_FALSE(window && IsWindow(window)) << "the band window outlived its band";
        EXPECT_EQ(std::vector<LONG>({browser.Refs(), site.Refs()}), std::vector<LONG>({1, 1}));
    }
}

// The window fills the site's; a site taken away keeps it and the browser,
// a second site replaces both, and closing destroys the window.
TEST_F(ExplorerBarTest, WindowFollowsShowSitesAndClose) {
    Browser first(host_.Get()), second(host_.Get());
    BandSite siteA(host_.Get(), &first), siteB(host_.Get(), &second);
    ASSERT_EQ(Site(siteA), S_OK);
    const HWND a = WindowOf(band_.Get());
    RECT hostRect, bandRect;
    GetClientRect(host_.Get(), &hostRect);
    GetClientRect(a, &bandRect);
    EXPECT_TRUE(EqualRect(&bandRect, &hostRect));
    EXPECT_EQ(band_->ShowDW(FALSE), S_OK);
    EXPECT_FALSE(IsWindowVisible(a));
    EXPECT_EQ(band_->ShowDW(TRUE), S_OK);
    EXPECT_TRUE(GetWindowLongA(a, GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(withSite_->SetSite(nullptr), S_OK);
    EXPECT_EQ(WindowOf(band_.Get()), a);
    EXPECT_GT(first.Refs(), 1);
    ASSERT_EQ(Site(siteB), S_OK);
    const HWND b = WindowOf(band_.Get());
    EXPECT_TRUE(IsWindow(b));
    EXPECT_FALSE(IsWindow(a));
    EXPECT_EQ(std::vector<LONG>({first.Refs(), siteA.Refs()}), std::vector<LONG>({1, 1}));
    EXPECT_EQ(band_->CloseDW(0), S_OK);
    EXPECT_FALSE(IsWindow(b));
    EXPECT_EQ(WindowOf(band_.Get()), nullptr);
    ReleaseBand();
    EXPECT_EQ(std::vector<LONG>({second.Refs(), siteB.Refs()}), std::vector<LONG>({1, 1}));
}

// Refuses the lists' windows, so that the band window cannot be completed.
LRESULT CALLBACK RefuseLists(int code, WPARAM wParam, LPARAM lParam) {
    char name[16] = {};
    if (code == HCBT_CREATEWND && GetClassNameA(reinterpret_cast<HWND>(wParam), name, 16) && !strcmp(name, "ListCtrl"))
        return 1;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The browser may also destroy the site's window, and the band window with
// it, before it closes the band: the band then has no window to answer.
TEST_F(ExplorerBarTest, ABandWindowThatCannotBeCompletedOrIsDestroyedIsNone) {
    Browser browser(host_.Get());
    BandSite site(host_.Get(), &browser);
    UniqueHook hook(SetWindowsHookExA(WH_CBT, &RefuseLists, nullptr, GetCurrentThreadId()));
    EXPECT_EQ(Site(site), E_FAIL);
    hook.Reset();
    EXPECT_EQ(FindWindowExA(host_.Get(), nullptr, "TidewellBandWindow", nullptr), nullptr);
    EXPECT_EQ(WindowOf(band_.Get()), nullptr);
    ASSERT_EQ(Site(site), S_OK);
    host_.Reset();
    EXPECT_EQ(WindowOf(band_.Get()), nullptr);
    // The band keeps the browser and the site it was given: it goes first.
    ReleaseBand();
}

// The stream holds the band's version only: one good and one bad version
// at the seam (the versions themselves are the portable tests' work).
TEST_F(ExplorerBarTest, StreamHoldsTheVersionOnly) {
    const ComPtr<IPersistStreamInit> persist = As<IPersistStreamInit>(band_.Get(), IID_IPersistStreamInit);
    CLSID clsid = {};
    EXPECT_EQ(persist->GetClassID(&clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, kClsidExplorerBar));
    ComPtr<IStream> stream;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.Receive()), S_OK);
    const DWORD words[3] = {0x0301, 0x0300, 0xDEAD};
    stream->Write(words, sizeof words, nullptr);
    LARGE_INTEGER zero = {};
    ULARGE_INTEGER at = {};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    const std::vector<HRESULT> loads = {persist->Load(stream.Get()), persist->Load(stream.Get())};
    stream->Seek(zero, STREAM_SEEK_CUR, &at);
    EXPECT_EQ(loads, (std::vector<HRESULT>{E_FAIL, S_OK}));
    EXPECT_EQ(at.QuadPart, 8u) << "nothing but the version is read";
    EXPECT_EQ(persist->Save(stream.Get(), TRUE), S_OK);
    stream->Seek(zero, STREAM_SEEK_CUR, &at);
    EXPECT_EQ(at.QuadPart, 12u) << "nothing but the version is written";
}

}  // namespace
}  // namespace test
}  // namespace tw
