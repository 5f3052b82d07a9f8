#include "ui/win32/controls/menu_bar.h"
#include "ui/win32/window/activation.h"

#include <string>
#include <utility>

#include "ui/colour_math.h"
#include "ui/dpi_scale.h"
#include "ui/win32/window/dpi.h"
#include "ui/win32/window/system_palette.h"
#include "ui/win32/window/paint_util.h"

namespace tw {
namespace {

// The bar whose popup this thread tracks: a browser runs a window per
// thread, and the menu filter hook is the thread's.
thread_local MenuBar* tTracking = nullptr;

const WindowClass kMenuBarClass = {MenuBar::kClassName, 0, nullptr};

std::string ItemText(HMENU menu, int position) {
    char text[256] = {};
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof text - 1;
    if (!GetMenuItemInfoA(menu, UINT(position), TRUE, &info))
        return std::string();
    return std::string(text);
}

}  // namespace

UINT MenuBar::AutoPopupMessage() {
    static const UINT message = RegisterWindowMessageA("WTL_CmdBar_InternalAutoPopupMsg");
    return message;
}

UINT MenuBar::GetBarMessage() {
    static const UINT message = RegisterWindowMessageA("WTL_CmdBar_InternalGetBarMsg");
    return message;
}

MenuBar::~MenuBar() = default;

HWND MenuBar::Create(HWND parent, const RECT& rect, UINT id) {
    if (!parent)
        return nullptr;
    HWND hwnd = CreateWindowOf(kMenuBarClass, 0, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, rect, parent, id);
    if (!hwnd)
        return nullptr;
    owner_ = parent;
    SetDpi(WindowDpi(hwnd));
    watch_.Start(*this);
    return hwnd;
}

void MenuBar::SetDpi(int dpi) {
    if (dpi <= 0)
        return;
    dpi_ = dpi;
    LOGFONTA lf{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    FitFontToDpi(lf, dpi);
    font_.Reset(CreateFontIndirectA(&lf));
    painter_.SetDpi(dpi);
    Layout();
    if (Hwnd())
        InvalidateRect(Hwnd(), nullptr, FALSE);
}

bool MenuBar::AttachMenu(HMENU menu) {
    if (menu && !IsMenu(menu))
        return false;
    menu_ = menu;
    Layout();
    if (Hwnd())
        InvalidateRect(Hwnd(), nullptr, FALSE);
    return true;
}

void MenuBar::Layout() {
    std::vector<std::string> texts;
    std::vector<int> widths;
    const int count = menu_ ? GetMenuItemCount(menu_) : 0;
    const WindowDc dc = Hwnd() ? GetWindowDc(Hwnd()) : WindowDc();
    for (int i = 0; i < count; ++i) {
        texts.push_back(ItemText(menu_, i));
        RECT rc{};
        if (dc) {
            SelectInto select(dc.Get(), font_.Get());
            DrawTextA(dc.Get(), texts.back().c_str(), int(texts.back().size()), &rc, DT_SINGLELINE | DT_CALCRECT);
        }
        widths.push_back(rc.right - rc.left);
    }
    model_.SetButtons(texts, widths);
}

bool MenuBar::LoadImages(HBITMAP strip, const std::vector<unsigned>& commands) {
    BITMAP info{};
    if (!strip || !GetObjectA(strip, sizeof info, &info) || info.bmHeight <= 0)
        return false;
    // Adding with a mask blackens the mask colour of the bitmap it is given.
    const GdiObject<HBITMAP> copy(static_cast<HBITMAP>(CopyImage(strip, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!copy)
        return false;
    // Square cells, as high as the strip.
    const int size = info.bmHeight;
    UniqueImageList images(ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, info.bmWidth / size, 4));
    if (!images || ImageList_AddMasked(images.Get(), copy.Get(), mask_) < 0)
        return false;
    images_ = std::move(images);
    std::map<UINT, int> numbers;
    const int available = ImageList_GetImageCount(images_.Get());
    for (const auto& [command, image] : CommandImageNumbers(commands))
        if (image < available)
            numbers.emplace(UINT(command), image);
    painter_.SetImages(images_.Get(), std::move(numbers));
    return true;
}

bool MenuBar::LoadImages(HINSTANCE instance, UINT bitmapId, const std::vector<unsigned>& commands) {
    const int sized = BitmapForImageSize(int(bitmapId), ImageSizeForDpi(dpi_));
    GdiObject<HBITMAP> strip(static_cast<HBITMAP>(
        LoadImageA(instance, MAKEINTRESOURCEA(sized), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!strip && sized != int(bitmapId))  // a module without the larger strips
        strip.Reset(static_cast<HBITMAP>(
            LoadImageA(instance, MAKEINTRESOURCEA(bitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    return strip && LoadImages(strip.Get(), commands);
}

bool MenuBar::LoadToolBar(HINSTANCE instance, UINT toolBarId) {
    HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(toolBarId), MAKEINTRESOURCEA(241));  // RT_TOOLBAR
    if (!found)
        return false;
    HGLOBAL loaded = LoadResource(instance, found);
    const auto* data = loaded ? static_cast<const unsigned char*>(LockResource(loaded)) : nullptr;
    ToolBarResource bar;
    if (!data || !ParseToolBarResource(data, SizeofResource(instance, found), bar))
        return false;
    return LoadImages(instance, toolBarId, bar.commands);
}

RECT MenuBar::ButtonRect(int index) const {
    RECT client{};
    if (Hwnd())
        GetClientRect(Hwnd(), &client);
    const MenuBarButton& b = model_.Button(index);
    return RECT{b.left, 0, b.left + b.width, client.bottom};
}

int MenuBar::ButtonAtScreen(POINT screen) const {
    POINT pt = screen;
    RECT client{};
    if (!Hwnd() || !ScreenToClient(Hwnd(), &pt) || !GetClientRect(Hwnd(), &client) || pt.y < 0 || pt.y >= client.bottom)
        return -1;
    return model_.HitTest(pt.x);
}

int MenuBar::ButtonUnderCursor() const {
    POINT cursor{};
    GetCursorPos(&cursor);
    return ButtonAtScreen(cursor);
}

void MenuBar::SetHot(int index) {
    if (index == hot_)
        return;
    hot_ = index;
    InvalidateRect(Hwnd(), nullptr, FALSE);
}

void MenuBar::Paint(HDC dc) {
    RECT rc{};
    GetClientRect(Hwnd(), &rc);
    const Palette palette = CurrentPalette();
    ShadeVertically(dc, rc, palette.barDark, palette.barLight);
    SelectInto select(dc, font_.Get());
    SetBkMode(dc, TRANSPARENT);
    for (int i = 0; i < model_.Count(); ++i) {
        RECT button = ButtonRect(i);
        const bool pressed = i == open_;
        const bool hot = pressed || (i == hot_ && open_ < 0);
        if (hot) {
            GradientHorizontal(dc, button, Ref(palette.hotOuterFrom), Ref(palette.hotOuterTo));
            RECT inner = button;
            InflateRect(&inner, -ScaleToDpi(2, dpi_), -ScaleToDpi(2, dpi_));
            GradientHorizontal(dc, inner, Ref(palette.hotInnerFrom), Ref(palette.hotInnerTo));
            SetTextColor(dc, Ref(pressed ? palette.pressedText : palette.hotText));
        } else {
            SetTextColor(dc, Ref(palette.barText));
        }
        const std::string text = keyboardCues_ ? WithAccessKeyMarked(model_.Button(i).text) : model_.Button(i).text;
        DrawTextA(dc, text.c_str(), int(text.size()), &button,
                  DT_SINGLELINE | DT_CENTER | DT_VCENTER | (keyboardCues_ ? 0 : DT_HIDEPREFIX));
    }
}

void MenuBar::OpenPopup(int index, bool byKeyboard) {
    if (!Hwnd() || !menu_ || tTracking)
        return;
    while (index >= 0 && index < model_.Count()) {
        HMENU popup = GetSubMenu(menu_, index);
        if (!popup)
            return;
        open_ = index;
        keyboardCues_ = byKeyboard;
        RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        RECT button = ButtonRect(index);
        MapWindowPoints(Hwnd(), nullptr, reinterpret_cast<POINT*>(&button), 2);
        TPMPARAMS params{};
        params.cbSize = sizeof params;
        params.rcExclude = button;
        if (byKeyboard)
            PostMessageA(Hwnd(), WM_KEYDOWN, VK_DOWN, 0);  // the menu starts at its first item
        tracked_ = popup;
        selectedMenu_ = popup;
        selectedFlags_ = 0;
        next_ = -1;
        escaped_ = false;
        tTracking = this;
        UniqueHook filter(SetWindowsHookExA(WH_MSGFILTER, &MenuBar::MenuFilter, nullptr, GetCurrentThreadId()));
        const std::weak_ptr<void> life = Life();
        const UINT command = UINT(TrackPopupMenuEx(popup,
                                                   TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_VERTICAL |
                                                       TPM_RETURNCMD,
                                                   button.left, button.bottom, Hwnd(), &params));
        filter.Reset();
        tTracking = nullptr;
        // The band, and the bar with it, may have been closed under the menu.
        if (life.expired())
            return;
        tracked_ = nullptr;
        const int closed = open_;
        open_ = -1;
        keyboardCues_ = false;
        hot_ = ButtonUnderCursor();
        if (next_ < 0)
            Apply(keys_.OnPopupClosed(closed, escaped_ && command == 0));
        RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        if (command != 0) {
            SendMessageA(owner_, WM_COMMAND, MAKEWPARAM(command, 0), 0);
            return;
        }
        index = next_;
        byKeyboard = nextByKeyboard_;
    }
}

void MenuBar::SwitchTo(int index, bool byKeyboard) {
    next_ = index;
    nextByKeyboard_ = byKeyboard;
    EndMenu();
}

// Messages of the menu loop while one of the bar's popups is open: the
// arrow keys and the pointer move to the popups of other buttons.
bool MenuBar::FilterMenuMessage(const MSG& msg) {
    if (msg.message == WM_KEYDOWN || IsButtonDown(msg.message))
        escaped_ = msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE && selectedMenu_ == tracked_;
    switch (msg.message) {
    case WM_KEYDOWN:
        if (msg.wParam == VK_LEFT && selectedMenu_ == tracked_) {
            SwitchTo(model_.Neighbour(open_, -1), true);
            return true;
        }
        if (msg.wParam == VK_RIGHT && !(selectedFlags_ & MF_POPUP)) {
            SwitchTo(model_.Neighbour(open_, 1), true);
            return true;
        }
        return false;
    case WM_MOUSEMOVE: {
        const int over = ButtonAtScreen(msg.pt);
        if (over >= 0 && over != open_) {
            SwitchTo(over, false);
            return true;
        }
        return false;
    }
    case WM_LBUTTONDOWN:
        if (ButtonAtScreen(msg.pt) == open_) {
            SwitchTo(-1, false);  // a click on the open button closes it
            return true;
        }
        return false;
    default:
        return false;
    }
}

LRESULT CALLBACK MenuBar::MenuFilter(int code, WPARAM wp, LPARAM lp) {
    if (code == MSGF_MENU && tTracking && lp && tTracking->next_ < 0 &&
        tTracking->FilterMenuMessage(*reinterpret_cast<const MSG*>(lp)))
        return 1;
    return CallNextHookEx(nullptr, code, wp, lp);
}

bool MenuBar::WatchKey(const MSG& msg) {
    if (!Hwnd() || !IsWindowEnabled(Hwnd()) || !IsWindowVisible(Hwnd()))
        return false;
    if (IsButtonDown(msg.message) && msg.hwnd != Hwnd()) {
        Apply(keys_.OnLeft());
        return false;
    }
    KeyPress key;
    if (!KeyPressOf(msg, key) || !WithinWindow(owner_, msg.hwnd))
        return false;
    const MenuBarKeys::Step step = keys_.OnKey(model_, key);
    Apply(step);
    return step.consumed;
}

void MenuBar::Apply(const MenuBarKeys::Step& step) {
    // A screen reader hears the keyboard mode begin and end as it hears
    // the platform's own menu mode: the start before the first button.
    if (keys_.Active() != menuMode_) {
        menuMode_ = keys_.Active();
        RaiseEvent(menuMode_ ? EVENT_SYSTEM_MENUSTART : EVENT_SYSTEM_MENUEND, Hwnd(), -1);
    }
    switch (step.effect) {
    case MenuBarKeys::Effect::Hot:
        // The bar takes the focus, as the platform's menu mode takes the
        // keyboard: the keys come here, and leaving gives the focus back.
        if (GetFocus() != Hwnd()) {
            focusBefore_ = GetFocus();
            SetFocus(Hwnd());
        }
        keyboardCues_ = true;
        hot_ = step.button;
        InvalidateRect(Hwnd(), nullptr, FALSE);
        RaiseEvent(EVENT_OBJECT_FOCUS, Hwnd(), step.button);
        break;
    case MenuBarKeys::Effect::Open:
        // The popup runs a loop of its own: not inside the thread's hook.
        PostMessageA(Hwnd(), AutoPopupMessage(), WPARAM(step.button), 1);
        break;
    case MenuBarKeys::Effect::Leave: {
        keyboardCues_ = false;
        hot_ = ButtonUnderCursor();
        InvalidateRect(Hwnd(), nullptr, FALSE);
        const HWND back = focusBefore_;
        focusBefore_ = nullptr;
        if (GetFocus() == Hwnd())
            SetFocus(back && IsWindow(back) && IsWindowVisible(back) ? back : owner_);
        break;
    }
    case MenuBarKeys::Effect::None:
        break;
    }
}

LRESULT MenuBar::OnMessage(UINT msg, WPARAM wp, LPARAM lp, bool& handled) {
    if (msg == AutoPopupMessage() && msg != 0) {
        OpenPopup(int(wp), lp != 0);
        return 0;
    }
    if (msg == GetBarMessage() && msg != 0)
        return reinterpret_cast<LRESULT>(Hwnd());
    return Window<MenuBar>::OnMessage(msg, wp, lp, handled);
}

const std::vector<MessageEntry<MenuBar>>& MenuBar::Messages() {
    static const std::vector<MessageEntry<MenuBar>> table = {
        {WM_PAINT, [](MenuBar& bar, WPARAM, LPARAM, bool&) -> LRESULT {
             PaintScope paint(bar.Hwnd());
             RECT rc{};
             GetClientRect(bar.Hwnd(), &rc);
             OffscreenBuffer buffer(paint.Dc(), rc.right, rc.bottom);
             if (buffer.Ok()) {
                 bar.Paint(buffer.Dc());
                 buffer.Blit(paint.Dc(), 0, 0, rc.right, rc.bottom);
             } else {
                 bar.Paint(paint.Dc());
             }
             return 0;
         }},
        {WM_PRINTCLIENT, [](MenuBar& bar, WPARAM wp, LPARAM, bool&) -> LRESULT {
             bar.Paint(reinterpret_cast<HDC>(wp));
             return 0;
         }},
        {WM_ERASEBKGND, [](MenuBar&, WPARAM, LPARAM, bool&) -> LRESULT { return 1; }},
        {WM_MOUSEMOVE, [](MenuBar& bar, WPARAM, LPARAM lp, bool&) -> LRESULT {
             TRACKMOUSEEVENT track{};
             track.cbSize = sizeof track;
             track.dwFlags = TME_LEAVE;
             track.hwndTrack = bar.Hwnd();
             TrackMouseEvent(&track);
             bar.SetHot(bar.model_.HitTest(short(LOWORD(lp))));
             return 0;
         }},
        {WM_MOUSELEAVE, [](MenuBar& bar, WPARAM, LPARAM, bool&) -> LRESULT {
             bar.SetHot(-1);
             return 0;
         }},
        {WM_LBUTTONDOWN, [](MenuBar& bar, WPARAM, LPARAM lp, bool&) -> LRESULT {
             const int index = bar.model_.HitTest(short(LOWORD(lp)));
             if (index >= 0)
                 bar.OpenPopup(index, false);
             return 0;
         }},
        {WM_MENUSELECT, [](MenuBar& bar, WPARAM wp, LPARAM lp, bool&) -> LRESULT {
             bar.selectedMenu_ = reinterpret_cast<HMENU>(lp);
             bar.selectedFlags_ = HIWORD(wp);
             return 0;
         }},
        {WM_INITMENUPOPUP, [](MenuBar& bar, WPARAM wp, LPARAM lp, bool&) -> LRESULT {
             if (!HIWORD(lp))
                 bar.painter_.PreparePopup(reinterpret_cast<HMENU>(wp));
             return 0;
         }},
        {WM_MENUCHAR, [](MenuBar& bar, WPARAM wp, LPARAM lp, bool& handled) -> LRESULT {
             handled = (HIWORD(wp) & MF_POPUP) != 0;
             return handled ? bar.painter_.MenuChar(reinterpret_cast<HMENU>(lp), char(LOWORD(wp))) : 0;
         }},
        {WM_MEASUREITEM, [](MenuBar& bar, WPARAM, LPARAM lp, bool& handled) -> LRESULT {
             handled = lp && bar.painter_.Measure(bar.Hwnd(), *reinterpret_cast<MEASUREITEMSTRUCT*>(lp));
             return TRUE;
         }},
        {WM_DRAWITEM, [](MenuBar& bar, WPARAM, LPARAM lp, bool& handled) -> LRESULT {
             handled = lp && bar.painter_.Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
             return TRUE;
         }},
        {WM_SETTINGCHANGE, [](MenuBar& bar, WPARAM, LPARAM, bool&) -> LRESULT {
             bar.Layout();
             InvalidateRect(bar.Hwnd(), nullptr, FALSE);
             return 0;
         }},
        {WM_SYSCOLORCHANGE, [](MenuBar& bar, WPARAM, LPARAM, bool&) -> LRESULT {
             InvalidateRect(bar.Hwnd(), nullptr, FALSE);
             return 0;
         }},
        // The focus went elsewhere (a popup of the bar keeps it here).
        {WM_KILLFOCUS, [](MenuBar& bar, WPARAM, LPARAM, bool&) -> LRESULT {
             if (!tTracking)
                 bar.Apply(bar.keys_.OnLeft());
             return 0;
         }},
        {WM_DESTROY, [](MenuBar& bar, WPARAM, LPARAM, bool&) -> LRESULT {
             bar.watch_.Stop();
             bar.accessible_.Detach();
             return 0;
         }},
        {WM_GETOBJECT, [](MenuBar& bar, WPARAM wp, LPARAM lp, bool& handled) -> LRESULT {
             return bar.accessible_.Answer(wp, lp, handled, [&bar] { return NewMenuBarAccessible(bar); });
         }},
    };
    return table;
}

}  // namespace tw
