// Filling the three tab lists: from the live stores (start-up, Refresh,
// after a cleanup) and from one index file.
#pragma once

#include <string>

#include "core/tab_rows.h"
#include "platform/history_store.h"
#include "platform/url_cache.h"

namespace tw {

// What a fill needs of a list control.
class TabList {
public:
    virtual ~TabList() = default;
    // Empties the list of rows and columns.
    virtual void RemoveAll() = 0;
    virtual void AddColumn(const Column& column) = 0;
    // Appends a row at the end; false when it cannot be added.
    virtual bool AddRow(const Row& row) = 0;
    virtual int RowCount() const = 0;
    // As a click on the column's header: on an empty list this only makes
    // the column the sort column (or turns its direction).
    virtual void SortByColumn(int column) = 0;
};

// The browser's status bar; absent when there is no browser.
class StatusLine {
public:
    virtual ~StatusLine() = default;
    virtual void Show(const std::string& text) = 0;
};

// "Internet Explorer History contains: %u items" and its siblings, with the
// rows a list holds.
std::string StatusText(EntryKind store, unsigned rows);

// Each appends to a list that its caller has emptied and given its
// columns, then shows the store's status line with the rows the list now
// holds. A history store that cannot be read adds nothing and shows nothing.
bool FillHistoryList(HistoryService& history, TabList& list, const std::string& dateTemplate, StatusLine* status);
void FillCookieList(UrlCache& cache, TabList& list, const std::string& dateTemplate, StatusLine* status);
void FillCacheList(UrlCache& cache, TabList& list, const std::string& dateTemplate, StatusLine* status);

// The start-up fill of the Cookies and Cache lists, as their refreshes
// fill them; no status line.
void FillCookieAndCacheLists(UrlCache& cache, TabList& cookies, TabList& cacheList, const std::string& dateTemplate);

// Refresh of one tab: the live column set again, sort column 0, and the fill.
void RebuildLiveList(EntryKind kind, TabList& list, HistoryService& history, UrlCache& cache,
                     const std::string& dateTemplate, StatusLine* status);

enum class IndexLoad {
    Refused,   // an empty name or a file that the reader refuses: no list changed
    Loaded,    // the list of *kind holds a row for every URL record of the file
    CutShort,  // memory ran out: the list of *kind holds the rows of the first records only
};

// Loads an index file into the list of its kind, record by record, so that
// the load holds no more than the file's image and the rows; *kind is the
// tab to show unless the file was refused.
IndexLoad LoadIndexFile(const char* path, TabList* const lists[3], const std::string& dateTemplate, EntryKind* kind);

// What the user is told when a load was cut short.
std::string CutShortText(int rows);

}  // namespace tw
