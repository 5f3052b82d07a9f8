#include "ui/win32/tab_strip_window.h"
#include "ui/win32/activation.h"

#include <commctrl.h>

#include "ui/win32/paint_util.h"

namespace tw {
namespace {

ATOM RegisterTabClass(WNDPROC proc) {
    static ATOM atom = [proc] {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = proc;
        wc.hInstance = CodeModule();
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_SCROLLBAR + 1);
        wc.lpszClassName = FlatTabStrip::kClassName;
        return RegisterClassExA(&wc);
    }();
    return atom;
}

}  // namespace

FlatTabStrip::~FlatTabStrip() {
    if (hwnd_ && IsWindow(hwnd_)) {
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

HWND FlatTabStrip::Create(HWND parent, const RECT& rect, UINT id, DWORD style) {
    if (hwnd_ || !RegisterTabClass(&FlatTabStrip::Proc))
        return nullptr;
    HWND hwnd = CreateWindowExA(0, kClassName, "", style | WS_CHILD, rect.left, rect.top,
                                rect.right - rect.left, rect.bottom - rect.top, parent,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                CodeModule(), this);
    if (!hwnd)
        return nullptr;
    OnCreate(style);
    RECT client{};
    GetClientRect(hwnd, &client);
    clientWidth_ = client.right;
    clientHeight_ = client.bottom;
    return hwnd;
}

void FlatTabStrip::OnCreate(DWORD style) {
    if (style & kStyleToolTip) {
        tooltip_ = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr,
                                   CodeModule(), nullptr);
        if (tooltip_) {
            SendMessageA(tooltip_, TTM_ACTIVATE, TRUE, 0);
            TTTOOLINFOA tool{};
            tool.cbSize = TTTOOLINFOA_V1_SIZE;
            tool.hwnd = hwnd_;
            tool.uId = 0;
            tool.lpszText = const_cast<char*>("Flat Tab Tool Tip");
            SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
            SendMessageA(tooltip_, TTM_SETMAXTIPWIDTH, 0, 32767);
        }
    }
    LOGFONTA lf{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    normalFont_.Reset(CreateFontIndirectA(&lf));
    lf.lfWeight = FW_BOLD;
    boldFont_.Reset(CreateFontIndirectA(&lf));
}

int FlatTabStrip::AddItem(int index, const std::string& text) {
    const int result = model_.AddItem(index, text);
    if (result == 1 && hwnd_) {
        RECT tabs{0, 0, model_.TotalWidth(), clientHeight_};
        InvalidateRect(hwnd_, &tabs, FALSE);
        if (clientWidth_ > model_.TotalWidth()) {
            RECT rest{model_.TotalWidth(), 0, clientWidth_, clientHeight_};
            InvalidateRect(hwnd_, &rest, TRUE);
        }
    }
    return result;
}

LRESULT CALLBACK FlatTabStrip::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lp);
        auto* owner = static_cast<FlatTabStrip*>(create->lpCreateParams);
        owner->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    }
    auto* self = reinterpret_cast<FlatTabStrip*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self)
        return DefWindowProcA(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->tooltip_ = nullptr;
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
    return self->Handle(msg, wp, lp);
}

LRESULT FlatTabStrip::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SIZE:
        clientWidth_ = LOWORD(lp);
        clientHeight_ = HIWORD(lp);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        OnLeftDown(static_cast<short>(LOWORD(lp)));
        return 0;
    case WM_ERASEBKGND:
        return 1;  // painting covers the client
    case WM_PAINT: {
        PaintScope paint(hwnd_);
        Paint(paint.Dc());
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(wp));
        return 0;
    default:
        return DefWindowProcA(hwnd_, msg, wp, lp);
    }
}

LRESULT FlatTabStrip::Notify(int code) {
    NMHDR header{};
    header.hwndFrom = hwnd_;
    header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(hwnd_));
    header.code = static_cast<UINT>(code);
    return SendMessageA(GetParent(hwnd_), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

void FlatTabStrip::OnLeftDown(int x) {
    const int tab = model_.HitTest(x);
    if (tab < 0 || tab == model_.GetCurSel())
        return;
    if (Notify(TCN_SELCHANGING) != 0)
        return;
    if (!hwnd_)
        return;  // the parent destroyed the strip while answering
    model_.SetCurrent(tab);
    InvalidateRect(hwnd_, nullptr, FALSE);
    UpdateWindow(hwnd_);
    Notify(TCN_SELCHANGE);
}

void FlatTabStrip::DrawTab(HDC dc, int index, const TabColours& colours, HPEN shadow) {
    const TabRect r = model_.Rect(index, clientHeight_);
    RECT rc{r.left, r.top, r.right, r.bottom};
    ShadeVertically(dc, rc, colours.dark, colours.light);
    OffsetRect(&rc, 0, 2);
    SelectInto pen(dc, shadow);
    const int current = model_.GetCurSel();
    HFONT font = normalFont_.Get();
    if (index == current) {
        font = boldFont_.Get();
        FillSolid(dc, rc, ToColourRef(colours.current));
        const POINT outline[] = {{rc.left, rc.bottom}, {rc.left, rc.top - 1},
                                 {rc.right - 2, rc.top - 1}, {rc.right - 2, rc.bottom}};
        Polyline(dc, outline, 4);
    } else if (index < current) {
        const POINT outline[] = {{rc.right, rc.bottom - 3}, {rc.left, rc.bottom - 3},
                                 {rc.left, rc.top + 1}, {rc.right, rc.top + 1}};
        Polyline(dc, outline, 4);
    } else {
        const POINT outline[] = {{rc.left - 1, rc.top + 1}, {rc.right - 2, rc.top + 1},
                                 {rc.right - 2, rc.bottom - 3}, {rc.left - 2, rc.bottom - 3}};
        Polyline(dc, outline, 4);
    }
    SelectInto selectFont(dc, font);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    SetBkMode(dc, TRANSPARENT);
    RECT text = rc;
    text.top += 3;
    text.bottom += 3;
    const std::string& label = model_.Text(index);
    DrawTextA(dc, label.c_str(), int(label.size()), &text, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void FlatTabStrip::Paint(HDC dc) {
    const TabColours colours = TabColoursFrom(FromColourRef(GetSysColor(COLOR_3DFACE)));
    RECT client{0, 0, clientWidth_, clientHeight_};
    ShadeVertically(dc, client, colours.dark, colours.light);
    const int total = model_.TotalWidth();
    if (total <= 0 || clientHeight_ <= 0)
        return;
    OffscreenBuffer buffer(dc, total, clientHeight_);
    if (!buffer.Ok())
        return;
    GdiObject<HPEN> shadow(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_3DSHADOW)));
    for (int i = 0; i < model_.Count(); ++i)
        DrawTab(buffer.Dc(), i, colours, shadow.Get());
    // The buffer is only as wide as the tabs; the shading stays right of it.
    buffer.Blit(dc, 0, 0, total < clientWidth_ ? total : clientWidth_, clientHeight_);
}

bool FlatTabStrip::SetCurrent(int index) {
    if (!model_.SetCurrent(index))
        return false;
    if (hwnd_)
        InvalidateRect(hwnd_, nullptr, TRUE);
    return true;
}

}  // namespace tw
