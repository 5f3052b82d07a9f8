#include "ui/win32/menu_bar.h"
#include "ui/win32/activation.h"

#include <algorithm>
#include <string>

#include "ui/colour_math.h"
#include "ui/win32/paint_util.h"

namespace tw {
namespace {

// A browser runs a window per thread, so the hooks and the bars they serve
// are per thread too.
struct ThreadBars {
    std::vector<MenuBar*> bars;
    HHOOK keyHook = nullptr;
};
thread_local ThreadBars* tBars = nullptr;
thread_local MenuBar* tTracking = nullptr;
thread_local HHOOK tMenuHook = nullptr;

constexpr LPARAM kAltDown = LPARAM(1) << 29;

ATOM RegisterBarClass(WNDPROC proc) {
    static ATOM atom = [proc] {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = proc;
        wc.hInstance = CodeModule();
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = MenuBar::kClassName;
        return RegisterClassExA(&wc);
    }();
    return atom;
}

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

MenuBar::~MenuBar() {
    if (tBars) {
        auto& bars = tBars->bars;
        bars.erase(std::remove(bars.begin(), bars.end(), this), bars.end());
        if (bars.empty()) {
            if (tBars->keyHook)
                UnhookWindowsHookEx(tBars->keyHook);
            delete tBars;
            tBars = nullptr;
        }
    }
    if (hwnd_ && IsWindow(hwnd_)) {
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
    if (images_)
        ImageList_Destroy(images_);
}

HWND MenuBar::Create(HWND parent, const RECT& rect, UINT id) {
    if (hwnd_ || !parent || !RegisterBarClass(&MenuBar::Proc))
        return nullptr;
    HWND hwnd = CreateWindowExA(0, kClassName, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, rect.left, rect.top,
                                rect.right - rect.left, rect.bottom - rect.top, parent,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), CodeModule(), this);
    if (!hwnd)
        return nullptr;
    owner_ = parent;
    LOGFONTA lf{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    font_.Reset(CreateFontIndirectA(&lf));
    if (!tBars)
        tBars = new ThreadBars;
    tBars->bars.push_back(this);
    if (!tBars->keyHook)
        tBars->keyHook = SetWindowsHookExA(WH_GETMESSAGE, &MenuBar::KeyWatch, nullptr, GetCurrentThreadId());
    return hwnd_;
}

bool MenuBar::AttachMenu(HMENU menu) {
    if (menu && !IsMenu(menu))
        return false;
    menu_ = menu;
    Layout();
    if (hwnd_)
        InvalidateRect(hwnd_, nullptr, FALSE);
    return true;
}

void MenuBar::Layout() {
    std::vector<std::string> texts;
    std::vector<int> widths;
    const int count = menu_ ? GetMenuItemCount(menu_) : 0;
    HDC dc = hwnd_ ? GetDC(hwnd_) : nullptr;
    for (int i = 0; i < count; ++i) {
        texts.push_back(ItemText(menu_, i));
        RECT rc{};
        if (dc) {
            SelectInto select(dc, font_.Get());
            DrawTextA(dc, texts.back().c_str(), int(texts.back().size()), &rc, DT_SINGLELINE | DT_CALCRECT);
        }
        widths.push_back(rc.right - rc.left);
    }
    if (dc)
        ReleaseDC(hwnd_, dc);
    model_.SetButtons(texts, widths);
}

bool MenuBar::LoadImages(HBITMAP strip, const std::vector<unsigned>& commands) {
    BITMAP info{};
    if (!strip || !GetObjectA(strip, sizeof info, &info) || info.bmHeight <= 0)
        return false;
    // Adding with a mask blackens the mask colour of the bitmap it is given.
    HBITMAP copy = static_cast<HBITMAP>(CopyImage(strip, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!copy)
        return false;
    HIMAGELIST images = ImageList_Create(kImageSize, info.bmHeight, ILC_COLOR24 | ILC_MASK, info.bmWidth / kImageSize, 4);
    const bool ok = images && ImageList_AddMasked(images, copy, mask_) >= 0;
    DeleteObject(copy);
    if (!ok) {
        if (images)
            ImageList_Destroy(images);
        return false;
    }
    if (images_)
        ImageList_Destroy(images_);
    images_ = images;
    std::map<UINT, int> numbers;
    const int available = ImageList_GetImageCount(images_);
    for (const auto& [command, image] : CommandImageNumbers(commands))
        if (image < available)
            numbers.emplace(UINT(command), image);
    painter_.SetImages(images_, std::move(numbers));
    return true;
}

bool MenuBar::LoadImages(HINSTANCE instance, UINT bitmapId, const std::vector<unsigned>& commands) {
    HBITMAP strip = static_cast<HBITMAP>(
        LoadImageA(instance, MAKEINTRESOURCEA(bitmapId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!strip)
        return false;
    const bool ok = LoadImages(strip, commands);
    DeleteObject(strip);
    return ok;
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
    if (hwnd_)
        GetClientRect(hwnd_, &client);
    const MenuBarButton& b = model_.Button(index);
    return RECT{b.left, 0, b.left + b.width, client.bottom};
}

int MenuBar::ButtonAtScreen(POINT screen) const {
    POINT pt = screen;
    RECT client{};
    if (!hwnd_ || !ScreenToClient(hwnd_, &pt) || !GetClientRect(hwnd_, &client) || pt.y < 0 || pt.y >= client.bottom)
        return -1;
    return model_.HitTest(pt.x);
}

void MenuBar::SetHot(int index) {
    if (index == hot_)
        return;
    hot_ = index;
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void MenuBar::Paint(HDC dc) {
    RECT rc{};
    GetClientRect(hwnd_, &rc);
    const Rgb face = FromColourRef(GetSysColor(COLOR_3DFACE));
    ShadeVertically(dc, rc, ScaleColour(face, kBarDark), ScaleColour(face, kBarLight));
    SelectInto select(dc, font_.Get());
    SetBkMode(dc, TRANSPARENT);
    for (int i = 0; i < model_.Count(); ++i) {
        RECT button = ButtonRect(i);
        const bool pressed = i == open_;
        const bool hot = pressed || (i == hot_ && open_ < 0);
        if (hot) {
            GradientHorizontal(dc, button, RGB(170, 200, 245), RGB(230, 250, 250));
            RECT inner = button;
            InflateRect(&inner, -2, -2);
            GradientHorizontal(dc, inner, RGB(210, 240, 250), RGB(185, 215, 250));
            SetTextColor(dc, pressed ? GetSysColor(COLOR_HIGHLIGHTTEXT) : RGB(0, 0, 0));
        } else {
            SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
        }
        const std::string& text = model_.Button(i).text;
        DrawTextA(dc, text.c_str(), int(text.size()), &button,
                  DT_SINGLELINE | DT_CENTER | DT_VCENTER | (keyboardCues_ ? 0 : DT_HIDEPREFIX));
    }
}

void MenuBar::OpenPopup(int index, bool byKeyboard) {
    if (!hwnd_ || !menu_ || tTracking)
        return;
    while (index >= 0 && index < model_.Count()) {
        HMENU popup = GetSubMenu(menu_, index);
        if (!popup)
            return;
        open_ = index;
        keyboardCues_ = byKeyboard;
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        RECT button = ButtonRect(index);
        MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(&button), 2);
        TPMPARAMS params{};
        params.cbSize = sizeof params;
        params.rcExclude = button;
        if (byKeyboard)
            PostMessageA(hwnd_, WM_KEYDOWN, VK_DOWN, 0);  // the menu starts at its first item
        tracked_ = popup;
        selectedMenu_ = popup;
        selectedFlags_ = 0;
        next_ = -1;
        tTracking = this;
        tMenuHook = SetWindowsHookExA(WH_MSGFILTER, &MenuBar::MenuFilter, nullptr, GetCurrentThreadId());
        const UINT command = UINT(TrackPopupMenuEx(popup,
                                                   TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_VERTICAL |
                                                       TPM_RETURNCMD,
                                                   button.left, button.bottom, hwnd_, &params));
        if (tMenuHook)
            UnhookWindowsHookEx(tMenuHook);
        tMenuHook = nullptr;
        tTracking = nullptr;
        tracked_ = nullptr;
        open_ = -1;
        keyboardCues_ = false;
        POINT cursor{};
        GetCursorPos(&cursor);
        hot_ = ButtonAtScreen(cursor);
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
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

// Alt and a button's mnemonic, pressed anywhere in the owner window, opens
// the button's popup.
bool MenuBar::WatchKey(MSG& msg) {
    if (msg.message != WM_SYSKEYDOWN || !(msg.lParam & kAltDown) || !hwnd_ || !IsWindowEnabled(hwnd_) ||
        !IsWindowVisible(hwnd_))
        return false;
    if (msg.hwnd != owner_ && !IsChild(owner_, msg.hwnd))
        return false;
    const WPARAM key = msg.wParam;
    if (!((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')))
        return false;
    const int index = model_.FindMnemonic(char(key));
    if (index < 0)
        return false;
    PostMessageA(hwnd_, AutoPopupMessage(), WPARAM(index), 1);
    return true;
}

LRESULT CALLBACK MenuBar::KeyWatch(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && wp == PM_REMOVE && lp && tBars && !tTracking) {
        MSG& msg = *reinterpret_cast<MSG*>(lp);
        for (MenuBar* bar : tBars->bars)
            if (bar->WatchKey(msg)) {
                msg.message = WM_NULL;  // no system character, no beep
                break;
            }
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

LRESULT CALLBACK MenuBar::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lp);
        auto* bar = static_cast<MenuBar*>(create->lpCreateParams);
        bar->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(bar));
    }
    auto* self = reinterpret_cast<MenuBar*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self)
        return DefWindowProcA(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
    return self->Handle(msg, wp, lp);
}

LRESULT MenuBar::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == AutoPopupMessage() && msg != 0) {
        OpenPopup(int(wp), lp != 0);
        return 0;
    }
    if (msg == GetBarMessage() && msg != 0)
        return reinterpret_cast<LRESULT>(hwnd_);
    switch (msg) {
    case WM_PAINT: {
        PaintScope paint(hwnd_);
        RECT rc{};
        GetClientRect(hwnd_, &rc);
        OffscreenBuffer buffer(paint.Dc(), rc.right, rc.bottom);
        if (buffer.Ok()) {
            Paint(buffer.Dc());
            buffer.Blit(paint.Dc(), 0, 0, rc.right, rc.bottom);
        } else {
            Paint(paint.Dc());
        }
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wp));
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEMOVE: {
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof track;
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = hwnd_;
        TrackMouseEvent(&track);
        SetHot(model_.HitTest(short(LOWORD(lp))));
        return 0;
    }
    case WM_MOUSELEAVE:
        SetHot(-1);
        return 0;
    case WM_LBUTTONDOWN: {
        const int index = model_.HitTest(short(LOWORD(lp)));
        if (index >= 0)
            OpenPopup(index, false);
        return 0;
    }
    case WM_MENUSELECT:
        selectedMenu_ = reinterpret_cast<HMENU>(lp);
        selectedFlags_ = HIWORD(wp);
        return 0;
    case WM_INITMENUPOPUP:
        if (!HIWORD(lp))
            painter_.PreparePopup(reinterpret_cast<HMENU>(wp));
        return 0;
    case WM_MEASUREITEM:
        if (lp && painter_.Measure(hwnd_, *reinterpret_cast<MEASUREITEMSTRUCT*>(lp)))
            return TRUE;
        break;
    case WM_DRAWITEM:
        if (lp && painter_.Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp)))
            return TRUE;
        break;
    case WM_SETTINGCHANGE:
        Layout();
        InvalidateRect(hwnd_, nullptr, FALSE);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(hwnd_, msg, wp, lp);
}

}  // namespace tw
