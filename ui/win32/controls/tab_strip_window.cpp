#include "ui/win32/controls/tab_strip_window.h"
#include "ui/win32/window/activation.h"

#include <commctrl.h>

#include "ui/dpi_scale.h"
#include "ui/win32/window/dpi.h"
#include "ui/win32/window/paint_util.h"
#include "ui/win32/window/system_palette.h"

namespace tw {
namespace {

const WindowClass kTabStripClass = {FlatTabStrip::kClassName, CS_DBLCLKS,
                                    reinterpret_cast<HBRUSH>(COLOR_SCROLLBAR + 1)};

}  // namespace

HWND FlatTabStrip::Create(HWND parent, const RECT& rect, UINT id, DWORD style) {
    HWND hwnd = CreateWindowOf(kTabStripClass, 0, "", style | WS_CHILD, rect, parent, id);
    if (!hwnd)
        return nullptr;
    OnCreate(style);
    SetDpi(WindowDpi(hwnd));
    RECT client{};
    GetClientRect(hwnd, &client);
    clientWidth_ = client.right;
    clientHeight_ = client.bottom;
    return hwnd;
}

void FlatTabStrip::OnCreate(DWORD style) {
    if (style & kStyleToolTip) {
        tooltip_.Reset(CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                       CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Hwnd(), nullptr,
                                       CodeModule(), nullptr));
        if (tooltip_) {
            SendMessageA(tooltip_.Get(), TTM_ACTIVATE, TRUE, 0);
            TTTOOLINFOA tool{};
            tool.cbSize = TTTOOLINFOA_V1_SIZE;
            tool.hwnd = Hwnd();
            tool.uId = 0;
            tool.lpszText = const_cast<char*>("Flat Tab Tool Tip");
            SendMessageA(tooltip_.Get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
            SendMessageA(tooltip_.Get(), TTM_SETMAXTIPWIDTH, 0, 32767);
        }
    }
    MakeFonts();
}

void FlatTabStrip::MakeFonts() {
    LOGFONTA lf{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    FitFontToDpi(lf, dpi_);
    normalFont_.Reset(CreateFontIndirectA(&lf));
    lf.lfWeight = FW_BOLD;
    boldFont_.Reset(CreateFontIndirectA(&lf));
}

void FlatTabStrip::SetDpi(int dpi) {
    if (dpi <= 0)
        return;
    dpi_ = dpi;
    model_.SetTabWidth(ScaleToDpi(TabStripModel::kDefaultTabWidth, dpi));
    MakeFonts();
    if (Hwnd())
        InvalidateRect(Hwnd(), nullptr, TRUE);
}

int FlatTabStrip::AddItem(int index, const std::string& text) {
    const int result = model_.AddItem(index, text);
    if (result == 1 && Hwnd()) {
        RECT tabs{0, 0, model_.TotalWidth(), clientHeight_};
        InvalidateRect(Hwnd(), &tabs, FALSE);
        if (clientWidth_ > model_.TotalWidth()) {
            RECT rest{model_.TotalWidth(), 0, clientWidth_, clientHeight_};
            InvalidateRect(Hwnd(), &rest, TRUE);
        }
    }
    return result;
}

const std::vector<MessageEntry<FlatTabStrip>>& FlatTabStrip::Messages() {
    static const std::vector<MessageEntry<FlatTabStrip>> table = {
        {WM_SIZE,
         [](FlatTabStrip& t, WPARAM, LPARAM lp, bool&) -> LRESULT {
             t.clientWidth_ = LOWORD(lp);
             t.clientHeight_ = HIWORD(lp);
             return 0;
         }},
        {WM_LBUTTONDOWN, [](FlatTabStrip& t, WPARAM, LPARAM lp, bool&) -> LRESULT {
             t.OnLeftDown(static_cast<short>(LOWORD(lp)));
             return 0;
         }},
        {WM_LBUTTONDBLCLK, [](FlatTabStrip& t, WPARAM, LPARAM lp, bool&) -> LRESULT {
             t.OnLeftDown(static_cast<short>(LOWORD(lp)));
             return 0;
         }},
        // Painting covers the client.
        {WM_ERASEBKGND, [](FlatTabStrip&, WPARAM, LPARAM, bool&) -> LRESULT { return 1; }},
        {WM_PAINT, [](FlatTabStrip& t, WPARAM, LPARAM, bool&) -> LRESULT {
             PaintScope paint(t.Hwnd());
             t.Paint(paint.Dc());
             return 0;
         }},
        {WM_PRINTCLIENT, [](FlatTabStrip& t, WPARAM wp, LPARAM, bool&) -> LRESULT {
             t.Paint(reinterpret_cast<HDC>(wp));
             return 0;
         }},
        {WM_SYSCOLORCHANGE, [](FlatTabStrip& t, WPARAM, LPARAM, bool& handled) -> LRESULT {
             InvalidateRect(t.Hwnd(), nullptr, TRUE);
             handled = false;
             return 0;
         }},
        {WM_SETTINGCHANGE, [](FlatTabStrip& t, WPARAM, LPARAM, bool& handled) -> LRESULT {
             t.MakeFonts();
             InvalidateRect(t.Hwnd(), nullptr, TRUE);
             handled = false;
             return 0;
         }},
        // The tooltip is the strip's own popup, gone with it.
        {WM_DESTROY, [](FlatTabStrip& t, WPARAM, LPARAM, bool& handled) -> LRESULT {
             t.tooltip_.Reset();
             t.accessible_.Detach();
             handled = false;
             return 0;
         }},
        {WM_GETOBJECT, [](FlatTabStrip& t, WPARAM wp, LPARAM lp, bool& handled) -> LRESULT {
             return t.accessible_.Answer(wp, lp, handled, [&t] { return NewTabStripAccessible(t); });
         }},
        {kSwitchMessage, [](FlatTabStrip& t, WPARAM wp, LPARAM, bool&) -> LRESULT {
             if (wp < WPARAM(t.model_.Count()))
                 t.ChangeTo(int(wp));
             return 0;
         }},
    };
    return table;
}

LRESULT FlatTabStrip::Notify(int code) {
    NMHDR header{};
    header.hwndFrom = Hwnd();
    header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(Hwnd()));
    header.code = static_cast<UINT>(code);
    return SendMessageA(GetParent(Hwnd()), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

void FlatTabStrip::OnLeftDown(int x) { ChangeTo(model_.HitTest(x)); }

bool FlatTabStrip::ChangeTo(int tab) {
    if (tab < 0 || tab >= model_.Count() || tab == model_.GetCurSel())
        return false;
    if (Notify(TCN_SELCHANGING) != 0)
        return false;
    if (!Hwnd())
        return false;  // the parent destroyed the strip while answering
    model_.SetCurrent(tab);
    InvalidateRect(Hwnd(), nullptr, FALSE);
    UpdateWindow(Hwnd());
    RaiseEvent(EVENT_OBJECT_SELECTION, Hwnd(), tab);
    Notify(TCN_SELCHANGE);
    return true;
}

void FlatTabStrip::DrawTab(HDC dc, int index, const TabColours& colours, HPEN shadow) {
    const TabRect r = model_.Rect(index, clientHeight_);
    RECT rc{r.left, r.top, r.right, r.bottom};
    ShadeVertically(dc, rc, colours.dark, colours.light);
    OffsetRect(&rc, 0, ScaleToDpi(2, dpi_));
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
    SetTextColor(dc, Ref(index == current ? currentText_ : text_));
    SetBkMode(dc, TRANSPARENT);
    RECT text = rc;
    text.top += ScaleToDpi(3, dpi_);
    text.bottom += ScaleToDpi(3, dpi_);
    const std::string& label = model_.Text(index);
    DrawTextA(dc, label.c_str(), int(label.size()), &text, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void FlatTabStrip::Paint(HDC dc) {
    const Palette palette = CurrentPalette();
    const TabColours colours{palette.tabDark, palette.tabLight, palette.tabCurrent};
    text_ = palette.tabText;
    currentText_ = palette.currentTabText;
    RECT client{0, 0, clientWidth_, clientHeight_};
    ShadeVertically(dc, client, colours.dark, colours.light);
    const int total = model_.TotalWidth();
    if (total <= 0 || clientHeight_ <= 0)
        return;
    OffscreenBuffer buffer(dc, total, clientHeight_);
    if (!buffer.Ok())
        return;
    GdiObject<HPEN> shadow(CreatePen(PS_SOLID, 1, Ref(palette.tabOutline)));
    for (int i = 0; i < model_.Count(); ++i)
        DrawTab(buffer.Dc(), i, colours, shadow.Get());
    // The buffer is only as wide as the tabs; the shading stays right of it.
    buffer.Blit(dc, 0, 0, total < clientWidth_ ? total : clientWidth_, clientHeight_);
}

bool FlatTabStrip::SetCurrent(int index) {
    if (!model_.SetCurrent(index))
        return false;
    if (Hwnd()) {
        InvalidateRect(Hwnd(), nullptr, TRUE);
        RaiseEvent(EVENT_OBJECT_SELECTION, Hwnd(), index);
    }
    return true;
}

}  // namespace tw
