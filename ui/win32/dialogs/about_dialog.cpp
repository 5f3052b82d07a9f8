#include "ui/win32/dialogs/about_dialog.h"

#include <commctrl.h>

#include <cstring>

#include "res/resource.h"
#include "settings/settings_store.h"
#include "ui/about_model.h"
#include "ui/win32/band/band_window.h"
#include "ui/win32/dialogs/dialog_support.h"
#include "ui/win32/window/system_palette.h"

namespace tw {

namespace {

const char kBrowserSettingsKey[] = "Software\\Microsoft\\Internet Explorer\\Settings";
const UINT_PTR kLinkSubclass = 1;

void ReadAnchorColour(RegKey& key, const char* name, Rgb* colour) {
    std::string text;
    if (key.IsOpen() && ReadString(key, name, 64, &text))
        ParseAnchorColour(text, colour);
}

bool IsPictureType(LONG_PTR style) {
    const LONG_PTR type = style & SS_TYPEMASK;
    return (type >= 3 && type <= 9) || (type >= 13 && type <= 15);
}

}  // namespace

Hyperlink::~Hyperlink() {
    if (hwnd_ && IsWindow(hwnd_))
        RemoveWindowSubclass(hwnd_, &Hyperlink::Proc, kLinkSubclass);
}

void Hyperlink::SetLabel(const std::string& label) {
    label_ = label;
    if (hwnd_) {
        SetWindowTextA(hwnd_, label_.c_str());
        InvalidateRect(hwnd_, nullptr, TRUE);
    }
}

void Hyperlink::SetTarget(const std::string& target) {
    target_ = target;
    if (tip_ && hwnd_) {
        TOOLINFOA info{};
        info.cbSize = TTTOOLINFOA_V1_SIZE;
        info.hwnd = GetParent(hwnd_);
        info.uId = reinterpret_cast<UINT_PTR>(hwnd_);
        info.lpszText = const_cast<char*>(target_.c_str());
        SendMessageA(tip_.Get(), TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
    }
}

bool Hyperlink::Attach(HWND control, Registry& registry, Shell& shell) {
    if (!control)
        return false;
    hwnd_ = control;
    shell_ = &shell;
    char cls[32] = "";
    GetClassNameA(control, cls, sizeof cls);
    if (lstrcmpiA(cls, "static") == 0) {
        const LONG_PTR style = GetWindowLongPtrA(control, GWL_STYLE);
        SetWindowLongPtrA(control, GWL_STYLE, style | SS_NOTIFY);
        text_ = !IsPictureType(style);
    }
    cursor_ = LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));  // IDC_HAND
    if (text_) {
        HWND parent = GetParent(control);
        HFONT base = parent ? reinterpret_cast<HFONT>(SendMessageA(parent, WM_GETFONT, 0, 0)) : nullptr;
        if (!base)
            base = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
        LOGFONTA lf{};
        if (GetObjectA(base, sizeof lf, &lf)) {
            lf.lfUnderline = TRUE;
            font_.Reset(CreateFontIndirectA(&lf));
        }
    }
    if (label_.empty()) {
        char text[512] = "";
        GetWindowTextA(control, text, sizeof text);
        label_ = text;
    } else {
        SetWindowTextA(control, label_.c_str());
    }
    tip_.Reset(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, GetParent(control), nullptr, nullptr,
                               nullptr));
    if (tip_) {
        TOOLINFOA info{};
        info.cbSize = TTTOOLINFOA_V1_SIZE;
        info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        info.hwnd = GetParent(control);
        info.uId = reinterpret_cast<UINT_PTR>(control);
        info.lpszText = const_cast<char*>(target_.c_str());
        SendMessageA(tip_.Get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
    }
    if (text_) {
        RegKey key(registry);
        key.Open(RegRoot::CurrentUser, kBrowserSettingsKey);
        ReadAnchorColour(key, "Anchor Color", &link_);
        ReadAnchorColour(key, "Anchor Color Visited", &visitedColour_);
    }
    SetWindowSubclass(control, &Hyperlink::Proc, kLinkSubclass, reinterpret_cast<DWORD_PTR>(this));
    InvalidateRect(control, nullptr, TRUE);
    return true;
}

void Hyperlink::Click() {
    if (target_.empty() || !shell_)
        return;
    if (shell_->Execute(target_.c_str(), "")) {
        visited_ = true;
        InvalidateRect(hwnd_, nullptr, TRUE);
    }
}

LRESULT CALLBACK Hyperlink::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    Hyperlink* self = reinterpret_cast<Hyperlink*>(data);
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, &Hyperlink::Proc, kLinkSubclass);
        if (self) {
            self->hwnd_ = nullptr;
            // The tooltip belongs to the dialog, which has destroyed it.
            self->tip_.Detach();
        }
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    return self ? self->Handle(message, wParam, lParam) : DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT Hyperlink::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        if (text_) {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd_, &ps);
            Paint(dc);
            EndPaint(hwnd_, &ps);
            return 0;
        }
        break;
    case WM_SETCURSOR:
        if (cursor_) {
            SetCursor(cursor_);
            return TRUE;
        }
        break;
    case WM_LBUTTONUP:
        Click();
        return 0;
    case WM_MOUSEMOVE:
        if (!tracking_) {
            TRACKMOUSEEVENT tme{sizeof tme, TME_HOVER | TME_LEAVE, hwnd_, 10};
            tracking_ = TrackMouseEvent(&tme) != FALSE;
        }
        break;
    case WM_MOUSEHOVER:
        if (!hover_) {
            hover_ = true;
            InvalidateRect(hwnd_, nullptr, TRUE);
        }
        return 0;
    case WM_MOUSELEAVE:
        tracking_ = false;
        if (hover_) {
            hover_ = false;
            InvalidateRect(hwnd_, nullptr, TRUE);
        }
        return 0;
    default:
        break;
    }
    return DefSubclassProc(hwnd_, message, wParam, lParam);
}

void Hyperlink::Paint(HDC dc) {
    RECT rc;
    GetClientRect(hwnd_, &rc);
    HWND parent = GetParent(hwnd_);
    HBRUSH back = reinterpret_cast<HBRUSH>(
        SendMessageA(parent, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd_)));
    FillRect(dc, &rc, back ? back : GetSysColorBrush(COLOR_BTNFACE));
    const Rgb c = visited_ ? visitedColour_ : link_;
    const SystemColours system = CurrentSystemColours();
    SetTextColor(dc, ToColourRef(DialogLinkColour(ChoosePalette(system, HighContrastOn()), system, c)));
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ old = font_.Get() ? SelectObject(dc, font_.Get()) : nullptr;
    DrawTextA(dc, label_.c_str(), int(label_.size()), &rc, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    if (old)
        SelectObject(dc, old);
}

namespace {

class AboutDialog : public DialogObject {
public:
    explicit AboutDialog(BandWindow& band) : band_(band) {}

private:
    void OnInit() override {
        Registry& registry = band_.Services().registry;
        home_.SetTarget(kAboutHomePage);
        home_.SetLabel(kAboutHomePage);
        home_.Attach(GetDlgItem(hwnd, IDC_ABOUT_HOME), registry, shell_);
        support_.SetTarget(SupportMailLink(kAboutSupportAddress));
        support_.SetLabel(kAboutSupportAddress);
        support_.Attach(GetDlgItem(hwnd, IDC_ABOUT_SUPPORT), registry, shell_);
        download_.Attach(GetDlgItem(hwnd, IDC_ABOUT_DOWNLOAD), registry, shell_);
        download_.SetTarget(kAboutDownloadPage);
        download_.SetLabel(kAboutInvitation);
        SetDlgItemTextA(hwnd, IDC_ABOUT_PROMOTION, kAboutPromotion);
        SetDlgItemTextA(hwnd, IDC_ABOUT_NOTICE, kAboutNotice);
        MakeBoldName();
        ShowIcon();
        ShowBanner();
    }

    void MakeBoldName() {
        HWND name = GetDlgItem(hwnd, IDC_ABOUT_NAME);
        if (!name)
            return;
        LOGFONTA lf{};
        HGDIOBJ gui = GetStockObject(DEFAULT_GUI_FONT);
        if (!gui || !GetObjectA(gui, sizeof lf, &lf)) {
            lf = LOGFONTA{};
            lf.lfHeight = -11;
            std::strcpy(lf.lfFaceName, "MS Sans Serif");
        }
        lf.lfWeight = FW_BOLD;
        bold_.Reset(CreateFontIndirectA(&lf));
        SendMessageA(name, WM_SETFONT, reinterpret_cast<WPARAM>(bold_.Get()), TRUE);
    }

    void ShowIcon() {
        HICON icon = LoadIconA(band_.Module(), MAKEINTRESOURCEA(IDI_PRODUCT));
        if (icon)
            SendDlgItemMessageA(hwnd, IDC_ABOUT_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    }

    // The banner fills the dialog's width; without its picture the item
    // stays hidden.
    void ShowBanner() {
        HWND banner = GetDlgItem(hwnd, IDC_ABOUT_BANNER);
        if (!banner)
            return;
        bitmap_.Reset(static_cast<HBITMAP>(
            LoadImageA(band_.Module(), MAKEINTRESOURCEA(IDB_BANNER), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
        if (!bitmap_.Get()) {
            ShowWindow(banner, SW_HIDE);
            return;
        }
        SendMessageA(banner, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap_.Get()));
        RECT dialog, picture;
        GetWindowRect(hwnd, &dialog);
        GetWindowRect(banner, &picture);
        const int width = dialog.right - dialog.left;
        MoveWindow(banner, 0, 0, width,
                   BannerHeight(width, picture.right - picture.left, picture.bottom - picture.top), TRUE);
    }

    BandWindow& band_;
    Win32Shell shell_;
    Hyperlink home_, support_, download_;
    GdiObject<HFONT> bold_;
    GdiObject<HBITMAP> bitmap_;
};

}  // namespace

void RunAboutDialog(BandWindow& band) {
    AboutDialog dialog(band);
    RunBandDialog(band, IDD_ABOUT, dialog);
}

}  // namespace tw
