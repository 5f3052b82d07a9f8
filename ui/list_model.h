// The rows, columns, selection and sort state behind a "ListCtrl" window.
// Everything here is portable: the window only paints this model and turns
// mouse and keyboard messages into calls on it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/ansi_text.h"
#include "core/entry.h"
#include "platform/clock.h"

namespace tw {

// 0x00BBGGRR, as COLORREF; kDefaultColour leaves the list's own colour.
using Colour = std::uint32_t;
constexpr Colour kDefaultColour = 0xFFFFFFFFu;

// Cell kinds, by the cell's format.
enum CellFormat : int {
    kCellPlain = 0,
    kCellCheck = 4,       // text "0" or "1"
    kCellThreeState = 5,  // text "-1", "0" or "1"
    kCellLink = 6,
};

// Column alignment bits.
constexpr int kAlignRight = 2;
constexpr int kAlignCentre = 4;

// Key state bits for Select, as the mouse messages carry them.
constexpr unsigned kKeyShift = 4;
constexpr unsigned kKeyControl = 8;

struct ListColumn {
    std::string title;
    int width = 0;
    int image = -1;
    int format = 0;
    int position = 0;
};

struct ListCell {
    std::string text;
    int image = -1;
    int format = kCellPlain;
    unsigned flags = 0;
    FileTime date;
    Colour textColour = kDefaultColour;
    Colour backColour = kDefaultColour;
};

// Navigation keys understood by NavigationTarget (virtual-key codes).
enum NavKey : int {
    kNavPageUp = 0x21,
    kNavPageDown = 0x22,
    kNavEnd = 0x23,
    kNavHome = 0x24,
    kNavUp = 0x26,
    kNavDown = 0x28,
};

// Multibyte string order: unsigned bytes, a lead byte and its trail byte
// counted as one 16-bit unit. Negative, zero or positive.
int CompareMultibyte(const char* a, const char* b, const AnsiCodePage& page);

class ListModel {
public:
    // Type-ahead letters further apart than this start a new search.
    static constexpr std::uint32_t kTypeAheadMs = 800;

    // Both are kept by reference and must outlive the model.
    ListModel(const Clock& clock, const AnsiCodePage& page = ActiveCodePage());
    ListModel(const Clock&&, const AnsiCodePage&) = delete;
    ListModel(const Clock&, const AnsiCodePage&&) = delete;

    // Columns.
    void InsertColumn(const std::string& title, int width, int image, int format);
    int ColumnCount() const { return int(columns_.size()); }
    const ListColumn* Column(int column) const;
    bool ColumnTitle(int column, std::string& title) const;
    bool SetColumnWidth(int column, int width);
    // Width given to a column with no title and a header image.
    void SetHeaderImageWidth(int width) { headerImageWidth_ = width; }

    // Rows and cells.
    int AddRow(const std::string& text, int image);
    // A row of these cells, cut or padded to the columns. Whole or not at
    // all: a row that cannot be stored leaves the list as it was.
    int AddRow(std::vector<ListCell> cells);
    int RowCount() const { return int(rows_.size()); }
    bool RemoveRow(int row);
    void RemoveAllRows();
    void RemoveAllColumns();
    bool SetCellText(int row, int column, const std::string& text);
    bool SetCellImage(int row, int column, int image);
    bool SetCellFormat(int row, int column, int format, unsigned flags);
    bool SetCellDate(int row, int column, FileTime date);
    bool SetCellColours(int row, int column, Colour text, Colour back);
    // Empty text on failure.
    std::string CellText(int row, int column) const;
    // False (and cell left alone) on failure.
    bool GetCell(int row, int column, ListCell& cell) const;
    // The cell if it exists, else null. Rows added before a column have no
    // cell in it; such cells read as empty.
    const ListCell* CellAt(int row, int column) const;

    // Check and three-state cells step to their next value; true when the
    // cell is of such a kind and changed.
    bool ToggleCell(int row, int column);

    // Selection.
    bool IsSelected(int row) const;
    // Ascending; answers whether any row is selected.
    bool SelectedRows(std::vector<int>& rows) const;
    int SelectedCount() const { return int(selected_.size()); }
    int CurrentRow() const;
    int FocusRow() const { return focusRow_; }
    int FocusColumn() const { return focusColumn_; }
    int AnchorRow() const { return anchorRow_; }
    void SetFocusColumn(int column);
    // Moves the focus and the anchor to a row without selecting it; false
    // for a row outside the list.
    bool SetFocusRow(int row);
    // Without keys: only this row; kKeyControl toggles it; kKeyShift selects
    // the range from the anchor; row -1 clears. Answers failure for a row
    // outside the list. `added` tells whether some row joined the selection.
    bool Select(int row, int column, unsigned keys, bool* added = nullptr);
    // Every row (Ctrl+A); false when nothing changed.
    bool SelectAll();
    // The rows from..to (either way round) join the selection, or leave it,
    // with the focus and the anchor left where they are; `only`: every
    // other row leaves it. False (and nothing changed) for a row outside
    // the list. `added` tells whether some row joined.
    bool SelectRange(int from, int to, bool selected, bool only, bool* added = nullptr);
    // What Ctrl-clicks on each row that is not selected, from the first to
    // the last, leave behind, in one step: every row selected (in a list of
    // one selected row, the last row alone), the focus and the anchor on
    // the last row that was not selected. False when no row joined.
    bool AddUnselectedRows(int column);
    // Makes a selected row the current one and leaves the selection as it
    // is, as a press inside a selection of several rows does; false for a
    // row that is not selected.
    bool MakeCurrent(int row, int column);
    bool SingleSelection() const { return singleSelection_; }
    void SetSingleSelection(bool single) { singleSelection_ = single; }

    // The row that an arrow, page or Home/End key moves the focus to, or -1.
    int NavigationTarget(int key, int pageRows) const;

    // Sorting.
    bool HeaderShown() const { return headerShown_; }
    void SetHeaderShown(bool shown) { headerShown_ = shown; }
    bool SortingAllowed() const { return sortingAllowed_; }
    void SetSortingAllowed(bool allowed) { sortingAllowed_ = allowed; }
    int SortColumn() const { return sortColumn_; }
    bool SortAscending() const { return sortAscending_; }
    // A second call with the same column reverses the rows without comparing.
    bool SortByColumn(int position);

    // Type-ahead with a letter 'A'..'Z' (its virtual-key code); answers the
    // row found and selected, or -1.
    int TypeAhead(int letter);

private:
    ListCell* MutableCell(int row, int column);
    bool ValidRow(int row) const { return row >= 0 && row < int(rows_.size()); }
    bool ValidColumn(int column) const { return column >= 0 && column < int(columns_.size()); }
    void ClearSelectionState();
    bool StartsWithNoCase(int row, const std::string& prefix) const;
    int FindPrefix(int start, const std::string& prefix) const;
    void SortRowsByKey(int column, bool byDate);

    const Clock& clock_;
    const AnsiCodePage& page_;
    std::vector<ListColumn> columns_;
    std::vector<std::vector<ListCell>> rows_;
    std::vector<int> selected_;  // ascending
    int focusRow_ = -1;
    int focusColumn_ = 0;
    int anchorRow_ = -1;
    int headerImageWidth_ = 16;
    bool singleSelection_ = false;
    bool headerShown_ = true;
    bool sortingAllowed_ = true;
    int sortColumn_ = -1;
    bool sortAscending_ = true;
    std::string typed_;
    std::uint32_t lastLetterTick_ = 0;
    bool typedBefore_ = false;
};

}  // namespace tw
