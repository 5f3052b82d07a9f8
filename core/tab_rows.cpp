#include "core/tab_rows.h"

#include "core/classify.h"
#include "settings/date_format.h"

namespace tw {
namespace {

Cell TextCell(std::string text, int format = 0) {
    Cell c;
    c.text = std::move(text);
    c.format = format;
    return c;
}

Cell DateCell(FileTime time, DateTexts& dates, UnknownDates rule) {
    Cell c;
    c.text = dates.Text(time, rule);
    c.hasDate = true;
    c.date = time;
    return c;
}

Row FileRow(const FileEntry& entry, const char* address, int image, DateTexts& tmpl) {
    Row row;
    row.cells.reserve(7);
    row.image = image;
    row.cells.push_back(TextCell(entry.localFile));
    row.cells.push_back(TextCell(address, kHyperlinkFormat));
    row.cells.push_back(TextCell(NumberText(entry.size)));
    row.cells.push_back(TextCell(NumberText(entry.hitRate)));
    // The platform's last-modified time is what the tab calls "Last Visited".
    row.cells.push_back(DateCell(entry.lastModified, tmpl, UnknownDates::UpTo1601));
    row.cells.push_back(DateCell(entry.lastAccess, tmpl, UnknownDates::UpTo1601));
    row.cells.push_back(DateCell(entry.expire, tmpl, UnknownDates::UpTo1601));
    return row;
}

}  // namespace

std::vector<Column> LiveColumns(EntryKind kind) {
    if (kind == EntryKind::History)
        return {{"Title", 250, kAlignDefault},
                {"URL", 330, kAlignDefault},
                {"Last Visited", 100, kAlignCenter},
                {"Last Updated", 100, kAlignCenter},
                {"Expires", 100, kAlignCenter}};
    return {{"File", 300, kAlignDefault},        {"URL", 250, kAlignDefault},
            {"Size", 50, kAlignLeft},            {"Hits", 50, kAlignCenter},
            {"Last Visited", 100, kAlignCenter}, {"Last Updated", 100, kAlignCenter},
            {"Expires", 100, kAlignCenter}};
}

std::vector<Column> IndexFileColumns(EntryKind kind) {
    std::vector<Column> columns;
    if (kind == EntryKind::History)
        columns.push_back({"Title", 250, kAlignDefault});
    if (kind != EntryKind::Cache)
        columns.push_back({"User", 100, kAlignDefault});
    columns.push_back({"URL", kind == EntryKind::Cache ? 500 : 330, kAlignDefault});
    columns.push_back({"Last Visited", 100, kAlignCenter});
    columns.push_back({"Last Updated", 100, kAlignCenter});
    return columns;
}

Row LiveHistoryRow(const PageEntry& entry, DateTexts& tmpl) {
    Row row;
    row.cells.reserve(5);
    row.image = kImageHistory;
    row.cells.push_back(TextCell(LiveHistoryTitle(entry.title)));
    row.cells.push_back(TextCell(entry.url, kHyperlinkFormat));
    row.cells.push_back(DateCell(entry.lastVisited, tmpl, UnknownDates::UpTo1601));
    row.cells.push_back(DateCell(entry.lastUpdated, tmpl, UnknownDates::UpTo1601));
    row.cells.push_back(DateCell(entry.expires, tmpl, UnknownDates::UpTo1601));
    return row;
}

Row LiveCookieRow(const FileEntry& entry, DateTexts& tmpl) {
    return FileRow(entry, LiveCookieAddress(entry.url), kImageCookie, tmpl);
}

Row LiveCacheRow(const FileEntry& entry, DateTexts& tmpl) {
    return FileRow(entry, entry.url, CacheRowImage(entry.localFile, entry.url), tmpl);
}

Row IndexFileRow(const PageEntry& entry, EntryKind kind, DateTexts& tmpl) {
    Row row;
    row.cells.reserve(5);
    if (kind == EntryKind::Cache) {
        row.cells.push_back(TextCell(IndexCacheAddress(entry.url), kHyperlinkFormat));
    } else {
        UserAndAddress ua = IndexUserAndAddress(entry.url, kind);
        if (kind == EntryKind::History)
            row.cells.push_back(TextCell(entry.title));
        row.cells.push_back(TextCell(std::move(ua.user)));
        row.cells.push_back(TextCell(std::move(ua.address), kHyperlinkFormat));
    }
    row.cells.push_back(DateCell(entry.lastVisited, tmpl, UnknownDates::Exactly1601));
    row.cells.push_back(DateCell(entry.lastUpdated, tmpl, UnknownDates::Exactly1601));
    return row;
}

Row LiveHistoryRow(const PageEntry& entry, const std::string& dateTemplate) {
    DateTexts dates(dateTemplate);
    return LiveHistoryRow(entry, dates);
}

Row LiveCookieRow(const FileEntry& entry, const std::string& dateTemplate) {
    DateTexts dates(dateTemplate);
    return LiveCookieRow(entry, dates);
}

Row LiveCacheRow(const FileEntry& entry, const std::string& dateTemplate) {
    DateTexts dates(dateTemplate);
    return LiveCacheRow(entry, dates);
}

Row IndexFileRow(const PageEntry& entry, EntryKind kind, const std::string& dateTemplate) {
    DateTexts dates(dateTemplate);
    return IndexFileRow(entry, kind, dates);
}

const char* KindName(EntryKind kind) {
    switch (kind) {
    case EntryKind::History: return "History";
    case EntryKind::Cookie: return "Cookies";
    default: return "Cache";
    }
}

}  // namespace tw
