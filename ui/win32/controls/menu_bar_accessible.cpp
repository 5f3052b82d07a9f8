// The band's menu bar as a screen reader meets it: a menu bar whose items
// open the popups.
#include <new>

#include "ui/accessibility.h"
#include "ui/win32/window/accessible.h"
#include "ui/win32/controls/menu_bar.h"

namespace tw {
namespace {

class MenuBarAccessible final : public AccessibleControl {
public:
    explicit MenuBarAccessible(MenuBar& bar) : AccessibleControl(bar.Hwnd()), bar_(bar) {}

private:
    const std::string& Text(int button) const { return bar_.Model().Button(button).text; }

    int ElementCount() const override { return bar_.Model().Count(); }
    long RoleOf(int button) const override { return button < 0 ? ROLE_SYSTEM_MENUBAR : ROLE_SYSTEM_MENUITEM; }
    std::string OwnName() const override { return kMenuBarName; }
    std::string NameOf(int button) const override { return MenuTextWithoutMarker(Text(button)); }
    unsigned StateOf(int button) const override {
        return button < 0 ? 0u
                          : MenuButtonState(button, bar_.HotButton(), bar_.OpenButton(),
                                            bar_.KeyboardActive() && GetFocus() == Window());
    }
    RECT RectOf(int button) const override { return bar_.ButtonRect(button); }
    int ElementAt(POINT client) const override { return bar_.Model().HitTest(client.x); }
    bool HasShortcuts() const override { return true; }
    std::string ShortcutOf(int button) const override { return MenuShortcut(Text(button)); }
    const wchar_t* DefaultActionOf(int) const override { return L"Open"; }
    // Posted: the popup's loop must not run inside the reader's call.
    HRESULT DoDefaultActionOf(int button) override {
        return PostMessageA(Window(), MenuBar::AutoPopupMessage(), WPARAM(button), 1) ? S_OK : E_FAIL;
    }
    int FocusedElement() const override { return bar_.KeyboardActive() ? bar_.HotButton() : -1; }

    MenuBar& bar_;
};

}  // namespace

AccessibleControl* NewMenuBarAccessible(MenuBar& bar) { return new (std::nothrow) MenuBarAccessible(bar); }

}  // namespace tw
