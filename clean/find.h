// Find on a tab: the request that the Find dialog sends, the match test,
// and the marking of matching cells in a list.
#pragma once

#include <cstdint>
#include <string>

#include "core/ansi_text.h"

namespace tw {

// WM_USER + 222: lParam carries a FindRequest owned by the Find dialog.
const unsigned kWmFindOnTab = 0x0400 + 222;

struct FindRequest {
    char text[100] = {};
    std::int32_t wholeWord = 0;
    std::int32_t matchCase = 0;
    std::int32_t searchNames = 0;
    std::int32_t searchValues = 0;
    std::int32_t findAll = 0;
};

const std::uint32_t kNameMark = 0x009696FF;   // red 255, green 150, blue 150
const std::uint32_t kValueMark = 0x0096FF96;  // red 150, green 255, blue 150

// What the search needs of a list.
class FindTarget {
public:
    virtual ~FindTarget() = default;
    virtual int ColumnCount() const = 0;
    virtual std::string HeaderText(int column) const = 0;
    virtual int RowCount() const = 0;
    virtual std::string CellText(int row, int column) const = 0;
    virtual std::uint32_t CellBackground(int row, int column) const = 0;
    // Sets the background and keeps the text colour.
    virtual void SetCellBackground(int row, int column, std::uint32_t colour) = 0;
    virtual bool IsSelected(int row) const = 0;
    // As a plain click: this row becomes the only selected one.
    virtual void SelectOnly(int row) = 0;
    // As Ctrl-clicks, from the first row to the last, on each row that is
    // not selected: in one change, since a list may hold 100,000 rows.
    virtual void AddUnselectedRows() = 0;
};

// The name column ("File" or "Title", else "User") and the value column
// ("URL"), the furthest right of each; -1 when a list has none.
int FindNameColumn(const FindTarget& list);
int FindValueColumn(const FindTarget& list);

// Whether cell text c holds t, both already in the case the search uses.
// Whole words are separated by spaces only; the substring search steps
// over double-byte characters.
bool MatchesFindText(const std::string& c, const std::string& t, bool wholeWord, const AnsiCodePage& codePage);

// Marks the matches that are not marked yet: all of them, or (Find Next)
// those of the first row that has one, then selects the last row marked,
// once. Returns whether anything was marked.
bool FindItems(FindTarget& list, const FindRequest& request, const AnsiCodePage& codePage);

// Adds every row that is not selected to the selection.
void SelectAllItems(FindTarget& list);

}  // namespace tw
