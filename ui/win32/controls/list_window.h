// The grid window, class "ListCtrl", that paints a ListModel and turns mouse
// and keyboard input into selection, sorting and notifications.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "platform/clock.h"
#include "ui/accessibility.h"
#include "ui/dpi_scale.h"
#include "ui/palette.h"
#include "ui/list_model.h"
#include "ui/win32/window/accessible.h"
#include "ui/win32/gdi.h"
#include "ui/win32/window/window_base.h"

namespace tw {

// Notification codes sent to the parent as WM_NOTIFY.
enum ListNotifyCode : int {
    kListSelChanged = -1501,
    kListLeftUp = -1502,
    kListRightUp = -1503,
    kListDoubleClick = -1504,
    kListCellChanged = -1506,
    kListLinkDown = -1507,
};

struct ListNotify {
    NMHDR hdr;
    int row;
    int column;
    int reserved[3];
};

class ListWindow : public Window<ListWindow> {
public:
    static constexpr const char* kClassName = "ListCtrl";
    static constexpr const char* kTipClassName = "TitleTip";
    static constexpr UINT_PTR kScrollTimer = 1002;
    static constexpr UINT kScrollRetryMs = 250;
    // While a title tip shows, how often the list looks for a modal loop
    // that the tip must not stay on top of.
    static constexpr UINT_PTR kTipTimer = 1003;
    static constexpr UINT kTipCheckMs = 100;
    // Posted by a screen reader's default action: follow row wParam's link,
    // if the list is still shown.
    static constexpr UINT kFollowLinkMessage = WM_USER + 100;

    explicit ListWindow(const Clock& clock);

    HWND Create(HWND parent, DWORD style, DWORD exStyle, const RECT& rect, UINT id);

    // The model; call Changed() after altering it directly.
    ListModel& Model() { return model_; }
    const ListModel& Model() const { return model_; }
    void Changed();

    void InsertColumn(const std::string& title, int width, int image, int format);
    int AddRow(const std::string& text, int image);
    bool RemoveRow(int row);
    void RemoveAllRows();
    void RemoveAllColumns();
    bool Select(int row, int column, unsigned keys);
    // Select All's step (ListModel::AddUnselectedRows), shown and told once.
    bool AddUnselectedRows();
    bool SortByColumn(int position);

    // While one lives, a screen reader is told nothing of the list; when
    // the last one goes it hears what changed meanwhile, a change of the
    // selection as one change within the list when `asOne`.
    class QuietScope {
    public:
        QuietScope(ListWindow& list, bool asOne);
        ~QuietScope();
        QuietScope(const QuietScope&) = delete;
        QuietScope& operator=(const QuietScope&) = delete;

    private:
        ListWindow& list_;
        bool asOne_;
    };
    // Cell and header images (bitmap 210: the sort marks, up then down);
    // the window does not own them.
    void SetImageList(HIMAGELIST images);
    void SetHeaderImageList(HIMAGELIST images);
    // The DPI the list is drawn at: its own window's at creation, then as
    // the band tells it. A change rescales the columns' widths.
    int Dpi() const { return dpi_; }
    void SetDpi(int dpi);
    // The size of the row images (their image list's).
    int ImageSize() const { return imageSize_; }

    int RowHeight() const { return rowHeight_; }
    int HeaderHeight() const { return model_.HeaderShown() ? rowHeight_ : 0; }
    // Rows that fit wholly in the client area below the header (at least 1).
    int PageRows() const;

    void Paint(HDC dc);

    // For a screen reader: a row's rectangle across the columns (client
    // coordinates), whether it is in view, the row under a point and the
    // row's first link cell (-1 for none).
    RECT RowRect(int row) const;
    bool RowInView(int row) const;
    // Whether the list itself is shown (its parent may not be).
    bool Shown() const;
    int RowAt(POINT client) const;
    int LinkColumn(int row) const;
    // What a click on the row's link cell does; false when it has none.
    bool FollowLink(int row);
    // accSelect's choice on a row, shown and told as the list's own are.
    bool SelectWithFlags(int row, long flags);
    // Where a context menu asked for from the keyboard opens: below the
    // current row (else the focus row), scrolled into view, on the screen.
    POINT KeyboardMenuPoint();

    static const std::vector<MessageEntry<ListWindow>>& Messages();

private:
    struct Hit {
        int row = -1;
        int column = -1;
        bool header = false;
    };

    void MakeResources();
    // A size in pixels at 96 dpi, at the list's DPI.
    int Px(int pixels) const { return ScaleToDpi(pixels, dpi_); }
    void UpdateScrollBars();
    Hit HitTest(int x, int y) const;
    RECT CellRect(int row, int column) const;
    int ColumnLeft(int column) const;
    int TotalWidth() const;
    void Notify(int code, int row, int column);
    void SelectAndNotify(int row, int column, unsigned keys);
    void EnsureVisible(int row);
    void ScrollRowsTo(int top);
    void ScrollX(int x);
    void ToggleAndNotify(int row, int column);

    void OnLeftDown(WPARAM keys, int x, int y, bool doubleClick);
    void OnLeftUp(int x, int y);
    void OnRightDown(int x, int y);
    void OnRightUp(int x, int y);
    void OnMouseMove(int x, int y);
    bool OnSetCursor();
    void OnKeyDown(WPARAM key);
    void OnVScroll(int code);
    void OnHScroll(int code);
    void OnWheel(int delta);

    void PaintHeader(HDC dc, const RECT& client);
    void PaintRow(HDC dc, int row, const RECT& client);
    void PaintCell(HDC dc, int row, int column, const RECT& rc, bool selected);
    void ShowTip(int row, int column);
    void HideTip();
    bool ModalLoopRunning() const;

    ListModel model_;
    UniqueWindow tip_;
    HIMAGELIST images_ = nullptr;
    HIMAGELIST headerImages_ = nullptr;
    int dpi_ = kBaseDpi;
    int imageSize_ = 16;
    int headerImageSize_ = 16;
    // The colours of the paint under way.
    SystemColours system_;
    Palette palette_;
    GdiObject<HFONT> font_;
    GdiObject<HFONT> linkFont_;
    HCURSOR sizeCursor_ = nullptr;
    HCURSOR handCursor_ = nullptr;
    UINT headerClipFormat_ = 0;
    UINT wheelLines_ = 3;
    int rowHeight_ = 18;
    int topRow_ = 0;
    int scrollX_ = 0;
    int wheelRemainder_ = 0;
    // Left button state.
    bool leftDown_ = false;
    int pressedHeader_ = -1;
    int deferredRow_ = -1;  // a multi-selection kept until the button is released
    int deferredColumn_ = -1;
    POINT pressPoint_{};
    bool dragged_ = false;
    int tipRow_ = -1;
    int tipColumn_ = -1;
    bool trackingLeave_ = false;
    int pendingVisible_ = -1;

    // Tells screen readers what changed since they were last told.
    void Announce(bool asOne = false);
    AccessibleSlot accessible_;
    ListAnnouncer announcer_;
    unsigned order_ = 0;  // counts the sorts and removals, which renumber rows
    int quiet_ = 0;       // QuietScopes alive
    bool quietAsOne_ = false;
};

}  // namespace tw
