#include "clean/find.h"

#include <cstring>

namespace tw {

namespace {

int RightmostColumn(const FindTarget& list, const char* a, const char* b) {
    int found = -1;
    for (int c = 0; c < list.ColumnCount(); ++c) {
        const std::string h = list.HeaderText(c);
        if (h == a || (b && h == b))
            found = c;
    }
    return found;
}

// The first place at or after `from` where t starts in c, at a character
// boundary of the code page; npos when there is none.
std::size_t Find(const std::string& c, const std::string& t, std::size_t from, const AnsiCodePage& codePage) {
    if (t.size() > c.size())
        return std::string::npos;
    std::size_t i = 0;
    while (i < from && i < c.size())
        i += codePage.IsLeadByte(static_cast<unsigned char>(c[i])) ? 2 : 1;
    for (; i + t.size() <= c.size();) {
        // The first byte first: most places differ there.
        if ((t.empty() || c[i] == t[0]) && c.compare(i, t.size(), t) == 0)
            return i;
        i += codePage.IsLeadByte(static_cast<unsigned char>(c[i])) ? 2 : 1;
    }
    return std::string::npos;
}

// Into a buffer that the caller keeps from cell to cell: a search reads
// every cell of a list that may hold 100,000 rows.
void LowerInto(const std::string& text, std::string& lowered, const AnsiCodePage& codePage) {
    lowered.assign(text.c_str());  // up to a stray zero, as the code page reads it
    if (!lowered.empty())
        codePage.Lower(&lowered[0]);
    lowered.resize(std::strlen(lowered.c_str()));
}

}  // namespace

int FindNameColumn(const FindTarget& list) {
    const int named = RightmostColumn(list, "File", "Title");
    return named >= 0 ? named : RightmostColumn(list, "User", nullptr);
}

int FindValueColumn(const FindTarget& list) {
    return RightmostColumn(list, "URL", nullptr);
}

bool MatchesFindText(const std::string& c, const std::string& t, bool wholeWord, const AnsiCodePage& codePage) {
    if (!wholeWord)
        return Find(c, t, 0, codePage) != std::string::npos;
    if (c == t)
        return true;
    if (c.compare(0, t.size() + 1, t + " ") == 0)
        return true;
    if (Find(c, " " + t + " ", 0, codePage) != std::string::npos)
        return true;
    // The word at the very end: only its last occurrence can end there, so
    // an earlier " t" inside a longer word must not hide it.
    const std::string ending = " " + t;
    if (c.size() < ending.size() || c.compare(c.size() - ending.size(), ending.size(), ending) != 0)
        return false;
    const std::size_t at = c.size() - ending.size();
    return Find(c, ending, at, codePage) == at;
}

bool FindItems(FindTarget& list, const FindRequest& request, const AnsiCodePage& codePage) {
    const std::string raw(request.text, strnlen(request.text, sizeof request.text));
    std::string text = raw, c;
    if (!request.matchCase)
        LowerInto(raw, text, codePage);
    const int columns[2] = {request.searchNames ? FindNameColumn(list) : -1,
                            request.searchValues ? FindValueColumn(list) : -1};
    const bool searched[2] = {request.searchNames != 0, request.searchValues != 0};
    const std::uint32_t marks[2] = {kNameMark, kValueMark};
    // Each row marked would in turn be the only selected one: only the
    // last is selected, so that the list and a screen reader hear of one
    // change, not of one for each row.
    int last = -1;
    for (int row = 0; row < list.RowCount(); ++row) {
        bool found = false;
        for (int k = 0; k < 2; ++k) {
            if (!searched[k])
                continue;
            // A list without the column has no cell to mark.
            if (columns[k] < 0)
                continue;
            const std::string cell = list.CellText(row, columns[k]);
            if (request.matchCase)
                c = cell;
            else
                LowerInto(cell, c, codePage);
            if (!MatchesFindText(c, text, request.wholeWord != 0, codePage))
                continue;
            if (list.CellBackground(row, columns[k]) == marks[k])
                continue;
            list.SetCellBackground(row, columns[k], marks[k]);
            found = true;
        }
        if (found)
            last = row;
        if (!request.findAll && found)
            break;
    }
    if (last >= 0)
        list.SelectOnly(last);
    return last >= 0;
}

void SelectAllItems(FindTarget& list) { list.AddUnselectedRows(); }

}  // namespace tw
