// The band window's menu bar, class "WTL_CommandBarXP": a flat bar whose
// buttons are the top-level items of a menu, whose popups are tracked with
// TrackPopupMenuEx and painted with the command images, and whose chosen
// commands reach the owner window as WM_COMMAND.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "ui/band_keys.h"
#include "ui/menu_bar_model.h"
#include "ui/win32/window/accessible.h"
#include "ui/win32/gdi.h"
#include "ui/win32/band/key_watch.h"
#include "ui/win32/controls/menu_painter.h"
#include "ui/win32/window/window_base.h"

namespace tw {

class MenuBar : public Window<MenuBar>, private KeyWatcher {
public:
    static constexpr const char* kClassName = "WTL_CommandBarXP";

    // Posted to the bar: open popup wParam; lParam 1 when the keyboard asked.
    static UINT AutoPopupMessage();
    // Sent to the bar: answers the bar's own window handle.
    static UINT GetBarMessage();

    MenuBar() = default;
    ~MenuBar() override;

    // A child of parent, which becomes the owner of the commands.
    HWND Create(HWND parent, const RECT& rect = RECT{0, 0, 0, 0}, UINT id = 0);

    // The menu stays the caller's; its popups are made owner-drawn.
    bool AttachMenu(HMENU menu);
    void SetMaskColour(COLORREF mask) { mask_ = mask; }
    // The command images: a strip of square images and the command of each
    // image in order (0 for a separator, which has no image). From a
    // resource, the strip of the bar's image size (its DPI chooses it).
    bool LoadImages(HINSTANCE instance, UINT bitmapId, const std::vector<unsigned>& commands);
    bool LoadImages(HBITMAP strip, const std::vector<unsigned>& commands);
    // A tool bar resource and the bitmap of the same number.
    bool LoadToolBar(HINSTANCE instance, UINT toolBarId);

    // Opens popup index and returns when it closes (the popup of another
    // button may have followed it).
    void OpenPopup(int index, bool byKeyboard);

    void Paint(HDC dc);

    // The DPI the bar and its popups are drawn at: its window's at
    // creation, then as the owner tells it; images loaded later come in
    // its size.
    int Dpi() const { return dpi_; }
    void SetDpi(int dpi);

    // For a screen reader: the buttons, the one hot (under the pointer or
    // the keyboard), the one whose popup is open (-1 for none), whether the
    // keyboard works the bar, and a button's rectangle (client coordinates).
    const MenuBarModel& Model() const { return model_; }
    int HotButton() const { return hot_; }
    int OpenButton() const { return open_; }
    bool KeyboardActive() const { return keys_.Active(); }
    RECT ButtonRect(int index) const;

    static const std::vector<MessageEntry<MenuBar>>& Messages();

private:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp, bool& handled) override;
    static LRESULT CALLBACK MenuFilter(int code, WPARAM wp, LPARAM lp);
    bool FilterMenuMessage(const MSG& msg);
    // The keys and clicks of the owner window, as the thread's loop takes them.
    bool WatchKey(const MSG& msg) override;
    void FocusMoved() override { keys_.Disarm(); }
    void Apply(const MenuBarKeys::Step& step);
    void SwitchTo(int index, bool byKeyboard);
    void Layout();
    void SetHot(int index);
    int ButtonAtScreen(POINT screen) const;
    int ButtonUnderCursor() const;

    HWND owner_ = nullptr;
    HMENU menu_ = nullptr;
    COLORREF mask_ = RGB(255, 0, 255);
    UniqueImageList images_;
    ContextMenuPainter painter_;
    MenuBarModel model_;
    GdiObject<HFONT> font_;
    int dpi_ = 96;
    int hot_ = -1;
    int open_ = -1;
    bool keyboardCues_ = false;
    // While a popup is tracked.
    HMENU tracked_ = nullptr;
    HMENU selectedMenu_ = nullptr;
    UINT selectedFlags_ = 0;
    int next_ = -1;
    bool nextByKeyboard_ = false;
    bool escaped_ = false;  // Esc closed the popup at its own level
    MenuBarKeys keys_;
    bool menuMode_ = false;  // as a screen reader was last told
    KeyWatch watch_;
    // Where the focus was when the keyboard took the bar, to go back to.
    HWND focusBefore_ = nullptr;
    AccessibleSlot accessible_;
};

}  // namespace tw
