// What the History, Cookies and Cache tabs show: their column sets and the
// cells of one row, for live data and for index files.
#pragma once

#include <string>
#include <vector>

#include "core/entry.h"

namespace tw {

enum ColumnAlign : int { kAlignDefault = 0, kAlignLeft = 1, kAlignCenter = 4 };
// The list control's cell format for a hyperlink cell.
const int kHyperlinkFormat = 6;

struct Column {
    const char* title;
    int width;
    int align;
};

struct Cell {
    std::string text;
    int format = 0;
    bool hasDate = false;
    FileTime date;  // the sort value of a date cell
};

struct Row {
    int image = -1;  // image of the first cell; -1 for none
    std::vector<Cell> cells;
};

std::vector<Column> LiveColumns(EntryKind kind);
std::vector<Column> IndexFileColumns(EntryKind kind);

class DateTexts;

// Each row with the date texts of a fill, which formats every day once.
Row LiveHistoryRow(const PageEntry& entry, DateTexts& dates);
Row LiveCookieRow(const FileEntry& entry, DateTexts& dates);
Row LiveCacheRow(const FileEntry& entry, DateTexts& dates);
Row IndexFileRow(const PageEntry& entry, EntryKind kind, DateTexts& dates);

// The same for one row alone.
Row LiveHistoryRow(const PageEntry& entry, const std::string& dateTemplate);
Row LiveCookieRow(const FileEntry& entry, const std::string& dateTemplate);
Row LiveCacheRow(const FileEntry& entry, const std::string& dateTemplate);
Row IndexFileRow(const PageEntry& entry, EntryKind kind, const std::string& dateTemplate);

const char* KindName(EntryKind kind);  // "History", "Cookies", "Cache"

}  // namespace tw
