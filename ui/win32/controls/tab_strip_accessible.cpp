// A "QvFlatTabCtrl" as a screen reader meets it: a page tab list whose
// tabs switch the band's lists.
#include <new>

#include "ui/accessibility.h"
#include "ui/win32/window/accessible.h"
#include "ui/win32/controls/tab_strip_window.h"

namespace tw {
namespace {

class TabStripAccessible final : public AccessibleControl {
public:
    explicit TabStripAccessible(FlatTabStrip& strip) : AccessibleControl(strip.Hwnd()), strip_(strip) {}

private:
    const TabStripModel& Model() const { return strip_.Model(); }

    int ElementCount() const override { return Model().Count(); }
    long RoleOf(int tab) const override { return tab < 0 ? ROLE_SYSTEM_PAGETABLIST : ROLE_SYSTEM_PAGETAB; }
    std::string OwnName() const override { return kTabStripName; }
    std::string NameOf(int tab) const override { return TabName(Model(), tab); }
    unsigned StateOf(int tab) const override { return tab < 0 ? 0u : TabState(Model(), tab); }
    RECT RectOf(int tab) const override {
        const TabRect r = Model().Rect(tab, strip_.ClientHeight());
        return RECT{r.left, r.top, r.right, r.bottom};
    }
    int ElementAt(POINT client) const override { return Model().HitTest(client.x); }
    const wchar_t* DefaultActionOf(int) const override { return L"Switch"; }
    // The parent may refuse a change, as it may refuse a click.
    HRESULT DoDefaultActionOf(int tab) override {
        return PostMessageA(Window(), FlatTabStrip::kSwitchMessage, WPARAM(tab), 0) ? S_OK : E_FAIL;
    }
    HRESULT SelectElement(int tab, long flags) override {
        if (flags != kSelectTakeSelection && flags != (kSelectTakeSelection | kSelectTakeFocus))
            return E_INVALIDARG;
        strip_.ChangeTo(tab);
        return S_OK;
    }
    std::vector<int> SelectedElements() const override {
        const int current = Model().GetCurSel();
        return current < 0 ? std::vector<int>() : std::vector<int>{current};
    }

    FlatTabStrip& strip_;
};

}  // namespace

AccessibleControl* NewTabStripAccessible(FlatTabStrip& strip) { return new (std::nothrow) TabStripAccessible(strip); }

}  // namespace tw
