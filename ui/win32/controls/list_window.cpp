#include "ui/win32/controls/list_window.h"
#include "ui/win32/window/activation.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>

#include "ui/win32/window/dpi.h"
#include "ui/win32/window/system_palette.h"

namespace tw {
namespace {

constexpr int kCellPadding = 4;
constexpr int kSortMarkWidth = 15;
constexpr int kDragThreshold = 4;

LRESULT CALLBACK TipProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_NCHITTEST:
        return HTTRANSPARENT;  // the list keeps the mouse
    case WM_PAINT: {
        PaintScope paint(hwnd);
        RECT rc{};
        GetClientRect(hwnd, &rc);
        FillRect(paint.Dc(), &rc, GetSysColorBrush(COLOR_INFOBK));
        char text[1024];
        const int n = GetWindowTextA(hwnd, text, sizeof text);
        SelectInto font(paint.Dc(), reinterpret_cast<HFONT>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)));
        SetBkMode(paint.Dc(), TRANSPARENT);
        SetTextColor(paint.Dc(), GetSysColor(COLOR_INFOTEXT));
        rc.left += kCellPadding - 1;
        DrawTextA(paint.Dc(), text, n, &rc, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        return 0;
    }
    default:
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

const WindowClass kListClass = {ListWindow::kClassName, CS_DBLCLKS, nullptr};
const WindowClass kTipClass = {ListWindow::kTipClassName, CS_SAVEBITS, nullptr, &TipProc};

unsigned KeyState() {
    unsigned keys = 0;
    if (GetKeyState(VK_SHIFT) < 0)
        keys |= kKeyShift;
    if (GetKeyState(VK_CONTROL) < 0)
        keys |= kKeyControl;
    return keys;
}

int TextWidth(HDC dc, const std::string& text) {
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), int(text.size()), &size);
    return size.cx;
}

}  // namespace

ListWindow::ListWindow(const Clock& clock) : model_(clock) {}

HWND ListWindow::Create(HWND parent, DWORD style, DWORD exStyle, const RECT& rect, UINT id) {
    if (!EnsureWindowClass(kTipClass))
        return nullptr;
    return CreateWindowOf(kListClass, exStyle, "", style | WS_CHILD, rect, parent, id);
}

void ListWindow::MakeResources() {
    LOGFONTA lf = SystemFontAtDpi(SystemFont::Message, dpi_);
    font_.Reset(CreateFontIndirectA(&lf));
    lf.lfUnderline = TRUE;
    linkFont_.Reset(CreateFontIndirectA(&lf));
    if (const WindowDc dc = GetWindowDc(Hwnd())) {
        SelectInto select(dc.Get(), font_.Get());
        SIZE size{};
        if (GetTextExtentPoint32A(dc.Get(), "Height", 6, &size))
            rowHeight_ = size.cy + Px(6);
    }
    sizeCursor_ = LoadCursor(nullptr, IDC_SIZEWE);
    handCursor_ = LoadCursor(nullptr, IDC_HAND);
    UINT lines = 3;
    if (SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0))
        wheelLines_ = lines;
    headerClipFormat_ = RegisterClipboardFormatA("HEADERCLIPBOARDFORMAT");
}

void ListWindow::SetImageList(HIMAGELIST images) {
    images_ = images;
    int cx = 0, cy = 0;
    imageSize_ = images && ImageList_GetIconSize(images, &cx, &cy) ? cy : 16;
    if (Hwnd())
        InvalidateRect(Hwnd(), nullptr, FALSE);
}

void ListWindow::SetHeaderImageList(HIMAGELIST images) {
    headerImages_ = images;
    int cx = 0, cy = 0;
    headerImageSize_ = 16;
    if (images && ImageList_GetIconSize(images, &cx, &cy)) {
        model_.SetHeaderImageWidth(cx);
        headerImageSize_ = cy;
    }
    if (Hwnd())
        InvalidateRect(Hwnd(), nullptr, FALSE);
}

void ListWindow::SetDpi(int dpi) {
    if (dpi <= 0 || dpi == dpi_)
        return;
    for (int c = 0; c < model_.ColumnCount(); ++c)
        model_.SetColumnWidth(c, ScaleBetweenDpi(model_.Column(c)->width, dpi_, dpi));
    dpi_ = dpi;
    if (Hwnd()) {
        MakeResources();
        Changed();
    }
}

// ---- Operations that repaint -----------------------------------------------

void ListWindow::Changed() {
    if (!Hwnd())
        return;
    const int maxTop = std::max(0, model_.RowCount() - PageRows());
    topRow_ = std::clamp(topRow_, 0, maxTop);
    UpdateScrollBars();
    InvalidateRect(Hwnd(), nullptr, FALSE);
    Announce();
}

void ListWindow::InsertColumn(const std::string& title, int width, int image, int format) {
    model_.InsertColumn(title, width, image, format);
    Changed();
}

int ListWindow::AddRow(const std::string& text, int image) {
    const int row = model_.AddRow(text, image);
    if (row >= 0)
        Changed();
    return row;
}

bool ListWindow::RemoveRow(int row) {
    const bool removed = model_.RemoveRow(row);
    if (removed) {
        ++order_;
        Changed();
    }
    return removed;
}

void ListWindow::RemoveAllRows() {
    model_.RemoveAllRows();
    ++order_;
    topRow_ = 0;
    HideTip();
    Changed();
}

void ListWindow::RemoveAllColumns() {
    model_.RemoveAllColumns();
    scrollX_ = 0;
    HideTip();
    Changed();
}

bool ListWindow::Select(int row, int column, unsigned keys) {
    bool added = false;
    if (!model_.Select(row, column, keys, &added))
        return false;
    if (row >= 0)
        EnsureVisible(row);
    if (added)
        Notify(kListSelChanged, row, column);
    if (Hwnd())
        InvalidateRect(Hwnd(), nullptr, FALSE);
    Announce();
    return true;
}

bool ListWindow::AddUnselectedRows() {
    if (!model_.AddUnselectedRows(0))
        return false;
    EnsureVisible(model_.FocusRow());
    Notify(kListSelChanged, model_.FocusRow(), model_.FocusColumn());
    if (Hwnd())
        InvalidateRect(Hwnd(), nullptr, FALSE);
    Announce(true);
    return true;
}

ListWindow::QuietScope::QuietScope(ListWindow& list, bool asOne) : list_(list), asOne_(asOne) { ++list_.quiet_; }

ListWindow::QuietScope::~QuietScope() {
    list_.quietAsOne_ = list_.quietAsOne_ || asOne_;
    if (--list_.quiet_ == 0)
        list_.Announce();
}

bool ListWindow::SortByColumn(int position) {
    if (!model_.HeaderShown() || !model_.SortingAllowed())
        return false;
    HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    const bool sorted = model_.SortByColumn(position);
    order_ += sorted ? 1 : 0;
    SetCursor(previous);
    Changed();
    return sorted;
}

// ---- Geometry --------------------------------------------------------------

int ListWindow::PageRows() const {
    RECT rc{};
    if (Hwnd())
        GetClientRect(Hwnd(), &rc);
    const int rows = (rc.bottom - HeaderHeight()) / std::max(1, rowHeight_);
    return std::max(1, rows);
}

int ListWindow::ColumnLeft(int column) const {
    int x = -scrollX_;
    for (int c = 0; c < column && c < model_.ColumnCount(); ++c)
        x += model_.Column(c)->width;
    return x;
}

int ListWindow::TotalWidth() const {
    int total = 0;
    for (int c = 0; c < model_.ColumnCount(); ++c)
        total += model_.Column(c)->width;
    return total;
}

RECT ListWindow::CellRect(int row, int column) const {
    RECT rc{};
    const ListColumn* col = model_.Column(column);
    if (!col)
        return rc;
    rc.left = ColumnLeft(column);
    rc.right = rc.left + col->width;
    rc.top = HeaderHeight() + (row - topRow_) * rowHeight_;
    rc.bottom = rc.top + rowHeight_;
    return rc;
}

ListWindow::Hit ListWindow::HitTest(int x, int y) const {
    Hit hit;
    int left = -scrollX_;
    for (int c = 0; c < model_.ColumnCount(); ++c) {
        const int right = left + model_.Column(c)->width;
        if (x >= left && x < right) {
            hit.column = c;
            break;
        }
        left = right;
    }
    if (y < HeaderHeight()) {
        hit.header = y >= 0;
        return hit;
    }
    // Right of the last column a point still lies on its row (column -1),
    // so a click there keeps that row as a click on a cell would.
    const int row = topRow_ + (y - HeaderHeight()) / std::max(1, rowHeight_);
    if (row >= 0 && row < model_.RowCount() && model_.ColumnCount() > 0)
        hit.row = row;
    return hit;
}

// ---- Scrolling -------------------------------------------------------------

void ListWindow::UpdateScrollBars() {
    if (!Hwnd())
        return;
    RECT rc{};
    GetClientRect(Hwnd(), &rc);
    SCROLLINFO v{};
    v.cbSize = sizeof v;
    v.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    v.nMin = 0;
    v.nMax = std::max(0, model_.RowCount() - 1);
    v.nPage = UINT(PageRows());
    v.nPos = topRow_;
    SetScrollInfo(Hwnd(), SB_VERT, &v, TRUE);
    SCROLLINFO h{};
    h.cbSize = sizeof h;
    h.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    h.nMin = 0;
    h.nMax = std::max(0, TotalWidth() - 1);
    h.nPage = UINT(std::max<LONG>(0, rc.right));
    h.nPos = scrollX_;
    SetScrollInfo(Hwnd(), SB_HORZ, &h, TRUE);
}

void ListWindow::ScrollRowsTo(int top) {
    const int maxTop = std::max(0, model_.RowCount() - PageRows());
    top = std::clamp(top, 0, maxTop);
    if (top == topRow_)
        return;
    topRow_ = top;
    HideTip();
    UpdateScrollBars();
    InvalidateRect(Hwnd(), nullptr, FALSE);
}

void ListWindow::ScrollX(int x) {
    RECT rc{};
    GetClientRect(Hwnd(), &rc);
    x = std::clamp(x, 0, std::max(0, TotalWidth() - int(rc.right)));
    if (x == scrollX_)
        return;
    scrollX_ = x;
    HideTip();
    UpdateScrollBars();
    InvalidateRect(Hwnd(), nullptr, FALSE);
}

void ListWindow::EnsureVisible(int row) {
    if (!Hwnd() || row < 0)
        return;
    RECT rc{};
    GetClientRect(Hwnd(), &rc);
    if (rc.bottom <= HeaderHeight()) {
        // Not laid out yet: try again shortly.
        pendingVisible_ = row;
        SetTimer(Hwnd(), kScrollTimer, kScrollRetryMs, nullptr);
        return;
    }
    const int page = PageRows();
    if (row < topRow_)
        ScrollRowsTo(row);
    else if (row >= topRow_ + page)
        ScrollRowsTo(row - page + 1);
}

void ListWindow::OnVScroll(int code) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_TRACKPOS;
    GetScrollInfo(Hwnd(), SB_VERT, &si);
    const int page = PageRows();
    switch (code) {
    case SB_LINEUP: ScrollRowsTo(topRow_ - 1); break;
    case SB_LINEDOWN: ScrollRowsTo(topRow_ + 1); break;
    case SB_PAGEUP: ScrollRowsTo(topRow_ - page); break;
    case SB_PAGEDOWN: ScrollRowsTo(topRow_ + page); break;
    case SB_TOP: ScrollRowsTo(0); break;
    case SB_BOTTOM: ScrollRowsTo(model_.RowCount()); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: ScrollRowsTo(si.nTrackPos); break;
    default: break;
    }
}

void ListWindow::OnHScroll(int code) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_TRACKPOS;
    GetScrollInfo(Hwnd(), SB_HORZ, &si);
    RECT rc{};
    GetClientRect(Hwnd(), &rc);
    switch (code) {
    case SB_LINELEFT: ScrollX(scrollX_ - 5); break;
    case SB_LINERIGHT: ScrollX(scrollX_ + 5); break;
    case SB_PAGELEFT: ScrollX(scrollX_ - int(rc.right)); break;
    case SB_PAGERIGHT: ScrollX(scrollX_ + int(rc.right)); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: ScrollX(si.nTrackPos); break;
    default: break;
    }
}

void ListWindow::OnWheel(int delta) {
    // Notches can arrive in parts; whole notches scroll.
    wheelRemainder_ += delta;
    const int notches = wheelRemainder_ / WHEEL_DELTA;
    wheelRemainder_ -= notches * WHEEL_DELTA;
    if (notches == 0)
        return;
    const int lines = wheelLines_ == WHEEL_PAGESCROLL ? PageRows() : int(wheelLines_);
    ScrollRowsTo(topRow_ - notches * lines);
}

// ---- Notifications and input -----------------------------------------------

void ListWindow::Notify(int code, int row, int column) {
    if (!Hwnd())
        return;
    ListNotify n{};
    n.hdr.hwndFrom = Hwnd();
    n.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(Hwnd()));
    n.hdr.code = static_cast<UINT>(code);
    n.row = row;
    n.column = column;
    SendMessageA(GetParent(Hwnd()), WM_NOTIFY, n.hdr.idFrom, reinterpret_cast<LPARAM>(&n));
}

void ListWindow::SelectAndNotify(int row, int column, unsigned keys) { Select(row, column, keys); }

void ListWindow::ToggleAndNotify(int row, int column) {
    if (model_.ToggleCell(row, column)) {
        InvalidateRect(Hwnd(), nullptr, FALSE);
        Notify(kListCellChanged, row, column);
    }
}

void ListWindow::OnLeftDown(WPARAM mouseKeys, int x, int y, bool doubleClick) {
    SetFocus(Hwnd());
    SetCapture(Hwnd());
    leftDown_ = true;
    dragged_ = false;
    pressPoint_ = POINT{x, y};
    deferredRow_ = -1;
    pressedHeader_ = -1;
    const Hit hit = HitTest(x, y);
    if (hit.header) {
        pressedHeader_ = hit.column;
        return;
    }
    if (hit.row < 0)
        return;
    unsigned keys = 0;
    if (mouseKeys & MK_SHIFT)
        keys |= kKeyShift;
    if (mouseKeys & MK_CONTROL)
        keys |= kKeyControl;
    if (keys == 0 && !doubleClick && model_.IsSelected(hit.row) && model_.SelectedCount() >= 2) {
        deferredRow_ = hit.row;
        deferredColumn_ = hit.column;
        // The selection waits for the release, but whatever the press
        // notifies (a link cell's address) is about the row pressed.
        model_.MakeCurrent(hit.row, hit.column);
        InvalidateRect(Hwnd(), nullptr, FALSE);
    } else {
        SelectAndNotify(hit.row, hit.column, keys);
    }
    const ListCell* cell = model_.CellAt(hit.row, hit.column);
    if (!cell)
        return;
    if (cell->format == kCellCheck || cell->format == kCellThreeState) {
        ToggleAndNotify(hit.row, hit.column);
    } else if (cell->format == kCellLink) {
        SetCursor(handCursor_);
        Notify(kListLinkDown, hit.row, hit.column);
    }
}

void ListWindow::OnLeftUp(int x, int y) {
    const bool wasDown = leftDown_;
    leftDown_ = false;
    if (GetCapture() == Hwnd())
        ReleaseCapture();
    if (!wasDown)
        return;
    const Hit hit = HitTest(x, y);
    if (pressedHeader_ >= 0) {
        const int pressed = pressedHeader_;
        pressedHeader_ = -1;
        if (hit.header && hit.column == pressed && !dragged_)
            SortByColumn(pressed);
        return;
    }
    if (deferredRow_ >= 0) {
        const int row = deferredRow_;
        deferredRow_ = -1;
        if (!dragged_ && row < model_.RowCount())
            SelectAndNotify(row, deferredColumn_, 0);
    }
    if (hit.row >= 0)
        Notify(kListLeftUp, hit.row, hit.column);
}

void ListWindow::OnRightDown(int x, int y) {
    SetFocus(Hwnd());
    const Hit hit = HitTest(x, y);
    if (hit.row >= 0 && !model_.IsSelected(hit.row))
        SelectAndNotify(hit.row, hit.column, 0);
}

void ListWindow::OnRightUp(int x, int y) {
    const Hit hit = HitTest(x, y);
    // The header is no row either: a menu there must not act on rows the
    // user did not point at.
    if (hit.row < 0)
        Select(-1, -1, 0);
    Notify(kListRightUp, hit.row, hit.column);
}

void ListWindow::OnMouseMove(int x, int y) {
    if (leftDown_ && (std::abs(x - pressPoint_.x) > Px(kDragThreshold) || std::abs(y - pressPoint_.y) > Px(kDragThreshold)))
        dragged_ = true;
    if (!trackingLeave_) {
        TRACKMOUSEEVENT track{};
        track.cbSize = sizeof track;
        track.dwFlags = TME_LEAVE;
        track.hwndTrack = Hwnd();
        trackingLeave_ = TrackMouseEvent(&track) != FALSE;
    }
    const Hit hit = HitTest(x, y);
    if (hit.row != tipRow_ || hit.column != tipColumn_) {
        HideTip();
        if (hit.row >= 0 && !leftDown_)
            ShowTip(hit.row, hit.column);
    }
}

bool ListWindow::OnSetCursor() {
    POINT p{};
    GetCursorPos(&p);
    ScreenToClient(Hwnd(), &p);
    const Hit hit = HitTest(p.x, p.y);
    if (hit.header && hit.column >= 0) {
        const int right = ColumnLeft(hit.column) + model_.Column(hit.column)->width;
        if (std::abs(p.x - right) <= 3) {
            SetCursor(sizeCursor_);
            return true;
        }
    }
    const ListCell* cell = model_.CellAt(hit.row, hit.column);
    if (cell && cell->format == kCellLink) {
        SetCursor(handCursor_);
        return true;
    }
    return false;
}

void ListWindow::OnKeyDown(WPARAM key) {
    const unsigned keys = KeyState();
    switch (key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_HOME:
    case VK_END: {
        const int target = model_.NavigationTarget(int(key), PageRows());
        if (target >= 0)
            SelectAndNotify(target, model_.FocusColumn(), keys & kKeyShift);
        return;
    }
    case VK_LEFT:
        ScrollX(scrollX_ - ((keys & kKeyControl) ? 50 : 5));
        return;
    case VK_RIGHT:
        ScrollX(scrollX_ + ((keys & kKeyControl) ? 50 : 5));
        return;
    case VK_TAB: {
        const int count = model_.ColumnCount();
        if (count > 0) {
            const int step = (keys & kKeyShift) ? count - 1 : 1;
            model_.SetFocusColumn((model_.FocusColumn() + step) % count);
            InvalidateRect(Hwnd(), nullptr, FALSE);
        }
        return;
    }
    case VK_SPACE:
        ToggleAndNotify(model_.FocusRow(), model_.FocusColumn());
        return;
    default:
        break;
    }
    if (key == 'A' && (keys & kKeyControl)) {
        if (model_.SelectAll()) {
            InvalidateRect(Hwnd(), nullptr, FALSE);
            Notify(kListSelChanged, model_.FocusRow(), model_.FocusColumn());
            Announce(true);
        }
        return;
    }
    if (key >= 'A' && key <= 'Z' && !(keys & kKeyControl)) {
        const int row = model_.TypeAhead(int(key));
        if (row >= 0) {
            EnsureVisible(row);
            InvalidateRect(Hwnd(), nullptr, FALSE);
            Notify(kListSelChanged, row, model_.FocusColumn());
            Announce();
        }
    }
}

// ---- Title tips --------------------------------------------------------------

void ListWindow::ShowTip(int row, int column) {
    const ListCell* cell = model_.CellAt(row, column);
    if (!cell || cell->text.empty())
        return;
    const RECT rc = CellRect(row, column);
    int width = 0;
    {
        const WindowDc dc = GetWindowDc(Hwnd());
        if (!dc)
            return;
        SelectInto font(dc.Get(), font_.Get());
        width = TextWidth(dc.Get(), cell->text);
    }
    const int textLeft = (cell->image >= 0 && images_) ? imageSize_ + Px(kCellPadding) : 0;
    if (width + 2 * Px(kCellPadding) + textLeft <= rc.right - rc.left)
        return;  // not cut off
    POINT origin{rc.left + textLeft, rc.top};
    ClientToScreen(Hwnd(), &origin);
    if (!tip_) {
        tip_.Reset(CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kTipClassName, "", WS_POPUP | WS_BORDER, 0, 0,
                                   0, 0, Hwnd(), nullptr, CodeModule(), nullptr));
        if (!tip_)
            return;
    }
    SetWindowLongPtrA(tip_.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(font_.Get()));
    SetWindowTextA(tip_.Get(), cell->text.c_str());
    SetWindowPos(tip_.Get(), HWND_TOPMOST, origin.x, origin.y, width + 2 * Px(kCellPadding) + 2, rowHeight_,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(tip_.Get(), nullptr, TRUE);
    tipRow_ = row;
    tipColumn_ = column;
    SetTimer(Hwnd(), kTipTimer, kTipCheckMs, nullptr);
}

void ListWindow::HideTip() {
    if (tip_)
        ShowWindow(tip_.Get(), SW_HIDE);
    if (Hwnd())
        KillTimer(Hwnd(), kTipTimer);
    tipRow_ = -1;
    tipColumn_ = -1;
}

// A dialog or message box disables the window that owns it, and a menu puts
// the thread into menu mode; neither tells the list, whose tip would stay
// on top of them.
bool ListWindow::ModalLoopRunning() const {
    const HWND root = GetAncestor(Hwnd(), GA_ROOT);
    if (root && !IsWindowEnabled(root))
        return true;
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetCurrentThreadId(), &info) && (info.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE));
}

// ---- Painting ----------------------------------------------------------------

void ListWindow::PaintHeader(HDC dc, const RECT& client) {
    RECT bar{0, 0, client.right, HeaderHeight()};
    FillRect(dc, &bar, GetSysColorBrush(COLOR_BTNFACE));
    SelectInto font(dc, font_.Get());
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    for (int c = 0; c < model_.ColumnCount(); ++c) {
        const ListColumn* col = model_.Column(c);
        RECT rc{ColumnLeft(c), 0, ColumnLeft(c) + col->width, HeaderHeight()};
        if (rc.right < 0 || rc.left > client.right)
            continue;
        DrawEdge(dc, &rc, pressedHeader_ == c ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_SOFT);
        RECT text = rc;
        text.left += Px(kCellPadding);
        text.right -= Px(kCellPadding);
        if (col->image >= 0 && headerImages_) {
            ImageList_Draw(headerImages_, col->image, dc, text.left, (rc.bottom - headerImageSize_) / 2, ILD_TRANSPARENT);
            text.left += headerImageSize_ + Px(2);
        }
        if (c == model_.SortColumn() && headerImages_) {
            // The downward mark (image 1) while ascending, the upward one
            // (image 0) after a reversal.
            text.right -= Px(kSortMarkWidth);
            ImageList_Draw(headerImages_, model_.SortAscending() ? 1 : 0, dc, text.right, (rc.bottom - headerImageSize_) / 2,
                           ILD_TRANSPARENT);
        } else if (c == model_.SortColumn()) {
            text.right -= Px(kSortMarkWidth);
            const int cx = text.right + Px(kSortMarkWidth) / 2, cy = rc.bottom / 2, dx = Px(4), dy = Px(2);
            POINT down[] = {{cx - dx, cy - dy}, {cx + dx, cy - dy}, {cx, cy + dy}};
            POINT up[] = {{cx - dx, cy + dy}, {cx + dx, cy + dy}, {cx, cy - dy}};
            GdiObject<HBRUSH> brush(CreateSolidBrush(GetSysColor(COLOR_3DSHADOW)));
            SelectInto b(dc, brush.Get());
            SelectInto p(dc, GetStockObject(NULL_PEN));
            Polygon(dc, model_.SortAscending() ? down : up, 3);
        }
        UINT align = DT_LEFT;
        if (col->format & kAlignCentre)
            align = DT_CENTER;
        else if (col->format & kAlignRight)
            align = DT_RIGHT;
        DrawTextA(dc, col->title.c_str(), int(col->title.size()), &text,
                  align | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
    }
}

void ListWindow::PaintCell(HDC dc, int row, int column, const RECT& rc, bool selected) {
    const ListCell* cell = model_.CellAt(row, column);
    const ListColumn* col = model_.Column(column);
    if (!cell || !col)
        return;
    const bool link = cell->format == kCellLink;
    COLORREF back = GetSysColor(COLOR_HIGHLIGHT);
    COLORREF fore = GetSysColor(COLOR_HIGHLIGHTTEXT);
    if (!selected) {
        // Marks and links through the palette; a colour of the cell's own
        // stays where it can be read.
        const CellColours colours = CellColoursOf(
            palette_, system_,
            cell->textColour != kDefaultColour ? FromColourRef(cell->textColour) : system_.windowText,
            cell->backColour != kDefaultColour ? FromColourRef(cell->backColour) : system_.window,
            link && cell->textColour == kDefaultColour);
        fore = ToColourRef(colours.text);
        back = ToColourRef(colours.back);
    }
    FillSolid(dc, rc, back);
    RECT text = rc;
    text.left += Px(kCellPadding);
    text.right -= Px(kCellPadding);
    if (cell->image >= 0 && images_) {
        ImageList_Draw(images_, cell->image, dc, text.left, rc.top + (rowHeight_ - imageSize_) / 2, ILD_TRANSPARENT);
        text.left += imageSize_ + Px(kCellPadding);
    }
    if (cell->format == kCellCheck || cell->format == kCellThreeState) {
        const int box = std::min(Px(13), rowHeight_ - Px(4));
        RECT b{text.left, rc.top + (rowHeight_ - box) / 2, text.left + box, rc.top + (rowHeight_ - box) / 2 + box};
        UINT state = DFCS_BUTTONCHECK | DFCS_FLAT;
        const long value = std::strtol(cell->text.c_str(), nullptr, 10);
        if (value > 0)
            state |= DFCS_CHECKED;
        else if (value < 0 && cell->format == kCellThreeState)
            state = DFCS_BUTTON3STATE | DFCS_CHECKED | DFCS_FLAT;
        DrawFrameControl(dc, &b, DFC_BUTTON, state);
        return;
    }
    SelectInto font(dc, link ? linkFont_.Get() : font_.Get());
    SetTextColor(dc, fore);
    UINT align = DT_LEFT;
    if (col->format & kAlignCentre)
        align = DT_CENTER;
    else if (col->format & kAlignRight)
        align = DT_RIGHT;
    DrawTextA(dc, cell->text.c_str(), int(cell->text.size()), &text,
              align | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
}

void ListWindow::PaintRow(HDC dc, int row, const RECT& client) {
    const bool selected = model_.IsSelected(row);
    for (int c = 0; c < model_.ColumnCount(); ++c) {
        RECT rc = CellRect(row, c);
        if (rc.right < 0 || rc.left > client.right)
            continue;
        PaintCell(dc, row, c, rc, selected);
        // Grid lines right and below.
        RECT v{rc.right - 1, rc.top, rc.right, rc.bottom};
        RECT h{rc.left, rc.bottom - 1, rc.right, rc.bottom};
        FillRect(dc, &v, GetSysColorBrush(COLOR_3DLIGHT));
        FillRect(dc, &h, GetSysColorBrush(COLOR_3DLIGHT));
    }
    if (row == model_.FocusRow() && GetFocus() == Hwnd()) {
        RECT focus{-scrollX_, HeaderHeight() + (row - topRow_) * rowHeight_, TotalWidth() - scrollX_, 0};
        focus.bottom = focus.top + rowHeight_;
        DrawFocusRect(dc, &focus);
    }
}

void ListWindow::Paint(HDC target) {
    RECT client{};
    GetClientRect(Hwnd(), &client);
    OffscreenBuffer buffer(target, client.right, client.bottom);
    HDC dc = buffer.Ok() ? buffer.Dc() : target;
    system_ = CurrentSystemColours();
    palette_ = ChoosePalette(system_, HighContrastOn());
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    SetBkMode(dc, TRANSPARENT);
    // Only the rows in view are painted.
    const int last = std::min(model_.RowCount(), topRow_ + PageRows() + 1);
    for (int row = topRow_; row < last; ++row)
        PaintRow(dc, row, client);
    if (model_.HeaderShown())
        PaintHeader(dc, client);
    buffer.Blit(target, 0, 0, client.right, client.bottom);
}

// ---- Screen readers ------------------------------------------------------------

RECT ListWindow::RowRect(int row) const {
    const int top = HeaderHeight() + (row - topRow_) * rowHeight_;
    return RECT{-scrollX_, top, TotalWidth() - scrollX_, top + rowHeight_};
}

bool ListWindow::Shown() const { return Hwnd() && (GetWindowLongA(Hwnd(), GWL_STYLE) & WS_VISIBLE) != 0; }

bool ListWindow::RowInView(int row) const { return row >= topRow_ && row < topRow_ + PageRows(); }

int ListWindow::RowAt(POINT client) const { return HitTest(client.x, client.y).row; }

int ListWindow::LinkColumn(int row) const {
    for (int c = 0; c < model_.ColumnCount(); ++c) {
        const ListCell* cell = model_.CellAt(row, c);
        if (cell && cell->format == kCellLink)
            return c;
    }
    return -1;
}

bool ListWindow::FollowLink(int row) {
    const int column = LinkColumn(row);
    if (column < 0)
        return false;
    Select(row, column, 0);
    Notify(kListLinkDown, row, column);
    return true;
}

bool ListWindow::SelectWithFlags(int row, long flags) {
    bool added = false;
    if (!SelectByFlags(model_, row, flags, &added))
        return false;
    if (flags & kSelectTakeFocus)
        SetFocus(Hwnd());
    EnsureVisible(row);
    if (added)
        Notify(kListSelChanged, row, model_.FocusColumn());
    InvalidateRect(Hwnd(), nullptr, FALSE);
    Announce();
    return true;
}

POINT ListWindow::KeyboardMenuPoint() {
    const int row = model_.CurrentRow() >= 0 ? model_.CurrentRow() : model_.FocusRow();
    POINT at{Px(kCellPadding), HeaderHeight()};
    if (row >= 0 && row < model_.RowCount()) {
        EnsureVisible(row);
        at = POINT{std::max<LONG>(RowRect(row).left, 0) + Px(kCellPadding), RowRect(row).bottom};
    }
    ClientToScreen(Hwnd(), &at);
    return at;
}

void ListWindow::Announce(bool asOne) {
    if (quiet_ > 0) {
        quietAsOne_ = quietAsOne_ || asOne;
        return;
    }
    if (!Hwnd())
        return;
    asOne = asOne || quietAsOne_;
    quietAsOne_ = false;
    // In the order of ListEventKind.
    static const DWORD kEvents[] = {EVENT_OBJECT_REORDER, EVENT_OBJECT_SELECTION, EVENT_OBJECT_SELECTIONADD,
                                    EVENT_OBJECT_SELECTIONREMOVE, EVENT_OBJECT_SELECTIONWITHIN, EVENT_OBJECT_FOCUS};
    for (const ListEvent& e : announcer_.Next(model_, order_, GetFocus() == Hwnd(), asOne))
        RaiseEvent(kEvents[int(e.kind)], Hwnd(), e.row);
}

// ---- Message dispatch --------------------------------------------------------

namespace {

int X(LPARAM lp) { return GET_X_LPARAM(lp); }
int Y(LPARAM lp) { return GET_Y_LPARAM(lp); }

}  // namespace

const std::vector<MessageEntry<ListWindow>>& ListWindow::Messages() {
    // The system's colours, fonts, settings or theme changed.
    const auto remake = [](ListWindow& w, WPARAM, LPARAM, bool&) -> LRESULT {
        w.MakeResources();
        w.Changed();
        return 0;
    };
    const auto repaint = [](ListWindow& w, WPARAM, LPARAM, bool&) -> LRESULT {
        InvalidateRect(w.Hwnd(), nullptr, FALSE);
        return 0;
    };
    static const std::vector<MessageEntry<ListWindow>> table = {
        {WM_CREATE, [](ListWindow& w, WPARAM, LPARAM, bool&) -> LRESULT {
             w.dpi_ = WindowDpi(w.Hwnd());
             const LONG_PTR style = GetWindowLongPtrA(w.Hwnd(), GWL_STYLE);
             SetWindowLongPtrA(w.Hwnd(), GWL_STYLE, (style & ~LONG_PTR(WS_BORDER)) | WS_CLIPCHILDREN);
             w.MakeResources();
             w.UpdateScrollBars();
             return 0;
         }},
        {WM_SETTINGCHANGE, remake},
        {WM_SYSCOLORCHANGE, remake},
        {WM_FONTCHANGE, remake},
        {0x031A, remake},  // WM_THEMECHANGED
        {WM_SIZE, [](ListWindow& w, WPARAM, LPARAM, bool&) -> LRESULT {
             w.Changed();
             return 0;
         }},
        {WM_ERASEBKGND, [](ListWindow&, WPARAM, LPARAM, bool&) -> LRESULT { return 1; }},
        {WM_PAINT, [](ListWindow& w, WPARAM, LPARAM, bool&) -> LRESULT {
             PaintScope paint(w.Hwnd());
             w.Paint(paint.Dc());
             return 0;
         }},
        {WM_PRINTCLIENT, [](ListWindow& w, WPARAM wp, LPARAM, bool&) -> LRESULT {
             w.Paint(reinterpret_cast<HDC>(wp));
             return 0;
         }},
        // The window's focus is told by the system; the row's is told here.
        {WM_SETFOCUS, [](ListWindow& w, WPARAM, LPARAM, bool&) -> LRESULT {
             InvalidateRect(w.Hwnd(), nullptr, FALSE);
             if (w.model_.FocusRow() >= 0)
                 RaiseEvent(EVENT_OBJECT_FOCUS, w.Hwnd(), w.model_.FocusRow());
             return 0;
         }},
        {WM_KILLFOCUS, repaint},
        {WM_GETDLGCODE, [](ListWindow&, WPARAM, LPARAM, bool&) -> LRESULT {
             return DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB;
         }},
        {WM_LBUTTONDOWN, [](ListWindow& w, WPARAM wp, LPARAM lp, bool&) -> LRESULT {
             w.OnLeftDown(wp, X(lp), Y(lp), false);
             return 0;
         }},
        {WM_LBUTTONDBLCLK, [](ListWindow& w, WPARAM wp, LPARAM lp, bool&) -> LRESULT {
             w.OnLeftDown(wp, X(lp), Y(lp), true);
             const Hit hit = w.HitTest(X(lp), Y(lp));
             if (hit.row >= 0)
                 w.Notify(kListDoubleClick, hit.row, hit.column);
             return 0;
         }},
        {WM_LBUTTONUP, [](ListWindow& w, WPARAM, LPARAM lp, bool&) -> LRESULT {
             w.OnLeftUp(X(lp), Y(lp));
             return 0;
         }},
        {WM_RBUTTONDOWN, [](ListWindow& w, WPARAM, LPARAM lp, bool&) -> LRESULT {
             w.OnRightDown(X(lp), Y(lp));
             return 0;
         }},
        {WM_RBUTTONUP, [](ListWindow& w, WPARAM, LPARAM lp, bool&) -> LRESULT {
             w.OnRightUp(X(lp), Y(lp));
             return 0;
         }},
        {WM_MOUSEMOVE, [](ListWindow& w, WPARAM, LPARAM lp, bool&) -> LRESULT {
             w.OnMouseMove(X(lp), Y(lp));
             return 0;
         }},
        {WM_MOUSELEAVE, [](ListWindow& w, WPARAM, LPARAM, bool&) -> LRESULT {
             w.trackingLeave_ = false;
             w.HideTip();
             return 0;
         }},
        {WM_CAPTURECHANGED, [](ListWindow& w, WPARAM, LPARAM, bool&) -> LRESULT {
             w.leftDown_ = false;
             w.HideTip();
             return 0;
         }},
        {WM_CANCELMODE, [](ListWindow& w, WPARAM, LPARAM, bool& handled) -> LRESULT {
             w.HideTip();
             handled = false;
             return 0;
         }},
        {WM_SETCURSOR, [](ListWindow& w, WPARAM, LPARAM lp, bool& handled) -> LRESULT {
             handled = LOWORD(lp) == HTCLIENT && w.OnSetCursor();
             return TRUE;
         }},
        {WM_MOUSEWHEEL, [](ListWindow& w, WPARAM wp, LPARAM, bool&) -> LRESULT {
             w.OnWheel(GET_WHEEL_DELTA_WPARAM(wp));
             return 0;
         }},
        {WM_VSCROLL, [](ListWindow& w, WPARAM wp, LPARAM, bool&) -> LRESULT {
             w.OnVScroll(LOWORD(wp));
             return 0;
         }},
        {WM_HSCROLL, [](ListWindow& w, WPARAM wp, LPARAM, bool&) -> LRESULT {
             w.OnHScroll(LOWORD(wp));
             return 0;
         }},
        {WM_KEYDOWN, [](ListWindow& w, WPARAM wp, LPARAM, bool&) -> LRESULT {
             w.OnKeyDown(wp);
             return 0;
         }},
        {WM_TIMER, [](ListWindow& w, WPARAM wp, LPARAM, bool& handled) -> LRESULT {
             if (wp == kTipTimer) {
                 if (w.ModalLoopRunning())
                     w.HideTip();
                 return 0;
             }
             handled = wp == kScrollTimer;
             if (handled) {
                 KillTimer(w.Hwnd(), kScrollTimer);
                 const int row = w.pendingVisible_;
                 w.pendingVisible_ = -1;
                 w.EnsureVisible(row);
             }
             return 0;
         }},
        {WM_DESTROY, [](ListWindow& w, WPARAM, LPARAM, bool&) -> LRESULT {
             KillTimer(w.Hwnd(), kScrollTimer);
             KillTimer(w.Hwnd(), kTipTimer);
             w.tip_.Reset();
             w.accessible_.Detach();
             return 0;
         }},
        // The title tip is left to the system's own object: its text is the
        // cell's, which the row's name already reads out.
        {WM_GETOBJECT, [](ListWindow& w, WPARAM wp, LPARAM lp, bool& handled) -> LRESULT {
             return w.accessible_.Answer(wp, lp, handled, [&w] { return NewListAccessible(w); });
         }},
        {kFollowLinkMessage, [](ListWindow& w, WPARAM wp, LPARAM, bool&) -> LRESULT {
             if (w.Shown() && wp < WPARAM(w.model_.RowCount()))
                 w.FollowLink(int(wp));
             return 0;
         }},
    };
    return table;
}

}  // namespace tw
