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

// Without a site there is no window to show or close. The window fills the
// site's; a site taken away keeps it and the browser, a second site replaces
// both, and closing destroys the window.
TEST_F(ExplorerBarTest, WindowFollowsShowSitesAndClose) {
    EXPECT_EQ(std::vector<HRESULT>({band_->ShowDW(TRUE), band_->CloseDW(0),
                                    band_->GetBandInfo(0, DBIF_VIEWMODE_NORMAL, nullptr)}),
              std::vector<HRESULT>({S_OK, S_OK, E_INVALIDARG}));
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

}  // namespace
}  // namespace test
}  // namespace tw
