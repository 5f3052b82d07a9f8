#include "ui/list_model.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

namespace tw {
namespace {

const ListCell& EmptyCell() {
    static const ListCell cell;
    return cell;
}

using LeadTable = std::array<bool, 256>;

LeadTable MakeLeadTable(const AnsiCodePage& page, bool& anyLead) {
    LeadTable lead{};
    anyLead = false;
    for (int c = 0; c < 256; ++c) {
        lead[std::size_t(c)] = page.IsLeadByte(static_cast<unsigned char>(c));
        anyLead = anyLead || lead[std::size_t(c)];
    }
    return lead;
}

// Steps over one character; a lead byte before the terminator stands alone,
// so the scan never passes the end of the text.
unsigned NextUnit(const unsigned char*& p, const LeadTable& lead) {
    const unsigned c = *p++;
    if (lead[c] && *p != 0)
        return (c << 8) | *p++;
    return c;
}

int CompareWithTable(const char* a, const char* b, const LeadTable& lead) {
    const unsigned char* x = reinterpret_cast<const unsigned char*>(a);
    const unsigned char* y = reinterpret_cast<const unsigned char*>(b);
    for (;;) {
        const unsigned u = NextUnit(x, lead);
        const unsigned v = NextUnit(y, lead);
        if (u != v)
            return u < v ? -1 : 1;
        if (u == 0)
            return 0;
    }
}

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; }

}  // namespace

int CompareMultibyte(const char* a, const char* b, const AnsiCodePage& page) {
    bool anyLead = false;
    const LeadTable lead = MakeLeadTable(page, anyLead);
    if (!anyLead) {
        const int r = std::strcmp(a, b);  // compares as unsigned char
        return r < 0 ? -1 : (r > 0 ? 1 : 0);
    }
    return CompareWithTable(a, b, lead);
}

ListModel::ListModel(const Clock& clock, const AnsiCodePage& page) : clock_(clock), page_(page) {}

// ---- Columns ---------------------------------------------------------------

void ListModel::InsertColumn(const std::string& title, int width, int image, int format) {
    ListColumn column;
    column.title = title;
    column.width = (title.empty() && image >= 0) ? headerImageWidth_ + 5 : width;
    column.image = image;
    column.format = format;
    column.position = int(columns_.size());
    columns_.push_back(column);
}

const ListColumn* ListModel::Column(int column) const {
    return ValidColumn(column) ? &columns_[std::size_t(column)] : nullptr;
}

bool ListModel::ColumnTitle(int column, std::string& title) const {
    if (!ValidColumn(column))
        return false;
    title = columns_[std::size_t(column)].title;
    return true;
}

bool ListModel::SetColumnWidth(int column, int width) {
    if (!ValidColumn(column) || width < 0)
        return false;
    columns_[std::size_t(column)].width = width;
    return true;
}

// ---- Rows and cells --------------------------------------------------------

int ListModel::AddRow(const std::string& text, int image) {
    if (columns_.empty())
        return -1;
    std::vector<ListCell> cells(columns_.size());
    cells[0].text = text;
    cells[0].image = image;
    rows_.push_back(std::move(cells));
    return int(rows_.size()) - 1;
}

int ListModel::AddRow(std::vector<ListCell> cells) {
    if (columns_.empty())
        return -1;
    cells.resize(columns_.size());
    rows_.push_back(std::move(cells));
    return int(rows_.size()) - 1;
}

bool ListModel::RemoveRow(int row) {
    if (!ValidRow(row))
        return false;
    rows_.erase(rows_.begin() + row);
    // Selection marks follow their rows down by one.
    std::vector<int> kept;
    kept.reserve(selected_.size());
    for (int s : selected_) {
        if (s < row)
            kept.push_back(s);
        else if (s > row)
            kept.push_back(s - 1);
    }
    selected_.swap(kept);
    auto follow = [row](int& marker) {
        if (marker == row)
            marker = -1;
        else if (marker > row)
            --marker;
    };
    follow(focusRow_);
    follow(anchorRow_);
    return true;
}

void ListModel::RemoveAllRows() {
    rows_.clear();
    ClearSelectionState();
}

void ListModel::RemoveAllColumns() {
    columns_.clear();
    // Cells of the old columns must not reappear under new ones.
    for (auto& cells : rows_)
        cells.clear();
    focusColumn_ = 0;
}

ListCell* ListModel::MutableCell(int row, int column) {
    if (!ValidRow(row) || !ValidColumn(column))
        return nullptr;
    auto& cells = rows_[std::size_t(row)];
    if (std::size_t(column) >= cells.size())
        cells.resize(std::size_t(column) + 1);
    return &cells[std::size_t(column)];
}

const ListCell* ListModel::CellAt(int row, int column) const {
    if (!ValidRow(row) || !ValidColumn(column))
        return nullptr;
    const auto& cells = rows_[std::size_t(row)];
    return std::size_t(column) < cells.size() ? &cells[std::size_t(column)] : &EmptyCell();
}

bool ListModel::SetCellText(int row, int column, const std::string& text) {
    ListCell* cell = MutableCell(row, column);
    if (cell)
        cell->text = text;
    return cell != nullptr;
}

bool ListModel::SetCellImage(int row, int column, int image) {
    ListCell* cell = MutableCell(row, column);
    if (cell)
        cell->image = image;
    return cell != nullptr;
}

bool ListModel::SetCellFormat(int row, int column, int format, unsigned flags) {
    ListCell* cell = MutableCell(row, column);
    if (cell) {
        cell->format = format;
        cell->flags = flags;
    }
    return cell != nullptr;
}

bool ListModel::SetCellDate(int row, int column, FileTime date) {
    ListCell* cell = MutableCell(row, column);
    if (cell)
        cell->date = date;
    return cell != nullptr;
}

bool ListModel::SetCellColours(int row, int column, Colour text, Colour back) {
    ListCell* cell = MutableCell(row, column);
    if (cell) {
        cell->textColour = text;
        cell->backColour = back;
    }
    return cell != nullptr;
}

std::string ListModel::CellText(int row, int column) const {
    const ListCell* cell = CellAt(row, column);
    return cell ? cell->text : std::string();
}

bool ListModel::GetCell(int row, int column, ListCell& out) const {
    const ListCell* cell = CellAt(row, column);
    if (cell)
        out = *cell;
    return cell != nullptr;
}

bool ListModel::ToggleCell(int row, int column) {
    const ListCell* current = CellAt(row, column);
    if (!current || (current->format != kCellCheck && current->format != kCellThreeState))
        return false;
    ListCell* cell = MutableCell(row, column);
    if (cell->format == kCellCheck) {
        cell->text = cell->text == "1" ? "0" : "1";
    } else {
        const long value = std::strtol(cell->text.c_str(), nullptr, 10);
        cell->text = value < 0 ? "0" : (value == 0 ? "1" : "-1");
    }
    return true;
}

// ---- Selection -------------------------------------------------------------

bool ListModel::IsSelected(int row) const {
    return std::binary_search(selected_.begin(), selected_.end(), row);
}

bool ListModel::SelectedRows(std::vector<int>& rows) const {
    rows = selected_;
    return !rows.empty();
}

int ListModel::CurrentRow() const {
    if (focusRow_ >= 0 && IsSelected(focusRow_))
        return focusRow_;
    return selected_.empty() ? -1 : selected_.front();
}

bool ListModel::MakeCurrent(int row, int column) {
    if (!IsSelected(row))
        return false;
    focusRow_ = row;
    SetFocusColumn(column);
    return true;
}

void ListModel::SetFocusColumn(int column) {
    if (ValidColumn(column))
        focusColumn_ = column;
}

bool ListModel::SetFocusRow(int row) {
    if (!ValidRow(row))
        return false;
    focusRow_ = row;
    anchorRow_ = row;
    return true;
}

void ListModel::ClearSelectionState() {
    selected_.clear();
    focusRow_ = -1;
    anchorRow_ = -1;
}

bool ListModel::Select(int row, int column, unsigned keys, bool* added) {
    if (added)
        *added = false;
    if (row == -1) {
        selected_.clear();
        return true;
    }
    if (!ValidRow(row))
        return false;
    if (ValidColumn(column))
        focusColumn_ = column;
    bool joined = false;
    if ((keys & kKeyShift) && !singleSelection_) {
        if (anchorRow_ < 0 || anchorRow_ >= int(rows_.size()))
            anchorRow_ = row;
        const int from = std::min(anchorRow_, row), to = std::max(anchorRow_, row);
        std::vector<int> range;
        range.reserve(std::size_t(to - from + 1));
        for (int r = from; r <= to; ++r) {
            range.push_back(r);
            joined = joined || !IsSelected(r);
        }
        selected_.swap(range);
    } else if ((keys & kKeyControl) && !singleSelection_) {
        auto it = std::lower_bound(selected_.begin(), selected_.end(), row);
        if (it != selected_.end() && *it == row) {
            selected_.erase(it);
        } else {
            selected_.insert(it, row);
            joined = true;
        }
        anchorRow_ = row;
    } else {
        joined = !IsSelected(row);
        if (!(selected_.size() == 1 && selected_.front() == row))
            selected_.assign(1, row);
        anchorRow_ = row;
    }
    focusRow_ = row;
    if (added)
        *added = joined;
    return true;
}

bool ListModel::SelectAll() {
    if (singleSelection_ || rows_.empty() || selected_.size() == rows_.size())
        return false;
    selected_.resize(rows_.size());
    for (std::size_t i = 0; i < selected_.size(); ++i)
        selected_[i] = int(i);
    return true;
}

bool ListModel::SelectRange(int from, int to, bool selected, bool only, bool* added) {
    if (added)
        *added = false;
    if (!ValidRow(from) || !ValidRow(to))
        return false;
    if (from > to)
        std::swap(from, to);
    bool joined = false;
    std::vector<int> next;
    next.reserve(selected_.size() + (selected ? std::size_t(to - from + 1) : 0));
    auto it = selected_.begin();
    for (; it != selected_.end() && *it < from; ++it)
        if (!only)
            next.push_back(*it);
    for (int r = from; r <= to; ++r) {
        const bool was = it != selected_.end() && *it == r;
        if (was)
            ++it;
        if (selected)
            next.push_back(r);
        joined = joined || (selected && !was);
    }
    if (!only)
        next.insert(next.end(), it, selected_.end());
    selected_.swap(next);
    if (added)
        *added = joined;
    return true;
}

bool ListModel::AddUnselectedRows(int column) {
    const int count = int(rows_.size());
    if (int(selected_.size()) == count)
        return false;
    if (singleSelection_) {
        // Each click leaves the row before it unselected, so the walk ends
        // on the last row whatever was selected before.
        bool added = false;
        Select(count - 1, column, 0, &added);
        return added;
    }
    int last = count - 1;
    while (std::binary_search(selected_.begin(), selected_.end(), last))
        --last;
    SelectAll();
    SetFocusColumn(column);
    focusRow_ = anchorRow_ = last;
    return true;
}

int ListModel::NavigationTarget(int key, int pageRows) const {
    const int count = int(rows_.size());
    if (count == 0)
        return -1;
    const int page = std::max(1, pageRows);
    const int from = focusRow_;
    int target = from;
    switch (key) {
    case kNavUp: target = from < 0 ? 0 : from - 1; break;
    case kNavDown: target = from + 1; break;
    case kNavPageUp: target = from < 0 ? 0 : from - page; break;
    case kNavPageDown: target = from + page; break;
    case kNavHome: target = 0; break;
    case kNavEnd: target = count - 1; break;
    default: return -1;
    }
    return std::clamp(target, 0, count - 1);
}

// ---- Sorting ---------------------------------------------------------------

bool ListModel::SortByColumn(int position) {
    if (!headerShown_ || !sortingAllowed_)
        return false;
    if (!ValidColumn(position))
        return false;
    const int column = columns_[std::size_t(position)].position;
    if (column == sortColumn_) {
        sortAscending_ = !sortAscending_;
        std::reverse(rows_.begin(), rows_.end());
    } else {
        sortAscending_ = true;
        sortColumn_ = column;
        const std::string& title = columns_[std::size_t(position)].title;
        const bool byDate = title.find("Last") != std::string::npos ||
                            title.find("Expire") != std::string::npos;
        SortRowsByKey(column, byDate);
    }
    ClearSelectionState();
    return true;
}

void ListModel::SortRowsByKey(int column, bool byDate) {
    const std::size_t n = rows_.size();
    auto cellOf = [&](std::size_t r) -> const ListCell& {
        const auto& cells = rows_[r];
        return std::size_t(column) < cells.size() ? cells[std::size_t(column)] : EmptyCell();
    };
    std::vector<std::uint32_t> order(n);
    if (byDate) {
        struct DateKey {
            std::uint64_t time;
            std::uint32_t row;
        };
        std::vector<DateKey> keys(n);
        for (std::size_t r = 0; r < n; ++r)
            keys[r] = DateKey{cellOf(r).date.Value(), std::uint32_t(r)};
        std::sort(keys.begin(), keys.end(),
                  [](const DateKey& a, const DateKey& b) { return a.time < b.time; });
        for (std::size_t i = 0; i < n; ++i)
            order[i] = keys[i].row;
    } else {
        // The first bytes of the text, big-endian, decide most comparisons
        // without touching the texts; this holds only without lead bytes.
        struct TextKey {
            std::uint64_t prefix;
            const char* text;
            std::uint32_t row;
        };
        bool anyLead = false;
        const LeadTable lead = MakeLeadTable(page_, anyLead);
        std::vector<TextKey> keys(n);
        for (std::size_t r = 0; r < n; ++r) {
            const char* text = cellOf(r).text.c_str();
            std::uint64_t prefix = 0;
            if (!anyLead) {
                std::size_t i = 0;
                for (; i < 8 && text[i] != 0; ++i)
                    prefix = (prefix << 8) | static_cast<unsigned char>(text[i]);
                // An empty text leaves a zero key; a shift by the full
                // width would be undefined.
                if (i > 0)
                    prefix <<= 8 * (8 - i);
            }
            keys[r] = TextKey{prefix, text, std::uint32_t(r)};
        }
        if (anyLead) {
            std::sort(keys.begin(), keys.end(), [&lead](const TextKey& a, const TextKey& b) {
                return CompareWithTable(a.text, b.text, lead) < 0;
            });
        } else {
            std::sort(keys.begin(), keys.end(), [](const TextKey& a, const TextKey& b) {
                if (a.prefix != b.prefix)
                    return a.prefix < b.prefix;
                return std::strcmp(a.text, b.text) < 0;
            });
        }
        for (std::size_t i = 0; i < n; ++i)
            order[i] = keys[i].row;
    }
    std::vector<std::vector<ListCell>> sorted;
    sorted.reserve(n);
    for (std::uint32_t r : order)
        sorted.push_back(std::move(rows_[r]));
    rows_.swap(sorted);
}

// ---- Type-ahead ------------------------------------------------------------

bool ListModel::StartsWithNoCase(int row, const std::string& prefix) const {
    const ListCell* cell = CellAt(row, sortColumn_);
    if (!cell || cell->text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (AsciiUpper(cell->text[i]) != AsciiUpper(prefix[i]))
            return false;
    return true;
}

int ListModel::FindPrefix(int start, const std::string& prefix) const {
    const int count = int(rows_.size());
    for (int r = std::max(0, start); r < count; ++r)
        if (StartsWithNoCase(r, prefix))
            return r;
    for (int r = 0; r < count; ++r)
        if (StartsWithNoCase(r, prefix))
            return r;
    return -1;
}

int ListModel::TypeAhead(int letter) {
    if (letter < 'A' || letter > 'Z')
        return -1;
    const char typed = char(letter);
    const std::uint32_t now = clock_.TickMilliseconds();
    const bool quick = typedBefore_ && std::uint32_t(now - lastLetterTick_) < kTypeAheadMs;
    int start = focusRow_ + 1;
    if (quick) {
        if (typed_.empty() || AsciiUpper(typed_[0]) != typed)
            typed_ += typed;
    } else {
        const bool sameLetter = !typed_.empty() && AsciiUpper(typed_[0]) == typed;
        typed_.assign(1, typed);
        if (!sameLetter)
            start = 0;
    }
    lastLetterTick_ = now;
    typedBefore_ = true;
    if (!ValidColumn(sortColumn_))
        return -1;
    if (quick && typed_.size() > 1 && ValidRow(focusRow_) && StartsWithNoCase(focusRow_, typed_))
        return focusRow_;
    const int found = FindPrefix(start, typed_);
    if (found >= 0)
        Select(found, -1, 0);
    return found;
}

}  // namespace tw
