#include "core/tab_fill.h"

#include <cstdio>

#include "core/classify.h"
#include "core/index_reader.h"
#include "core/live_readers.h"
#include "settings/date_format.h"

namespace tw {

namespace {

void ShowStatus(StatusLine* status, EntryKind kind, const TabList& list) {
    if (status)
        status->Show(StatusText(kind, unsigned(list.RowCount() < 0 ? 0 : list.RowCount())));
}

void SetColumns(TabList& list, const std::vector<Column>& columns) {
    list.RemoveAll();
    for (const Column& c : columns)
        list.AddColumn(c);
}

}  // namespace

std::string StatusText(EntryKind store, unsigned rows) {
    static const char* const formats[] = {"Internet Explorer History contains: %u items",
                                          "Internet Explorer Cookies contain: %u items",
                                          "Internet Explorer Cache contains: %u items"};
    char text[96];
    std::snprintf(text, sizeof text, formats[int(store)], rows);
    return text;
}

bool FillHistoryList(HistoryService& history, TabList& list, const std::string& dateTemplate, StatusLine* status) {
    EntryArray<PageEntry> entries;
    if (!EnumerateHistory(history, entries))
        return false;
    DateTexts dates(dateTemplate);
    for (std::size_t i = 0; i < entries.Count(); ++i)
        list.AddRow(LiveHistoryRow(entries[i], dates));
    ShowStatus(status, EntryKind::History, list);
    return true;
}

// The live fills pass each record straight into its row: the list keeps
// its own copies of the texts, so no array of records is needed meanwhile.
void FillCookieList(UrlCache& cache, TabList& list, const std::string& dateTemplate, StatusLine* status) {
    DateTexts dates(dateTemplate);
    ForEachUrlCacheRecord(cache, kCookiePattern,
                          [&](const FileEntry& e) { list.AddRow(LiveCookieRow(e, dates)); });
    ShowStatus(status, EntryKind::Cookie, list);
}

void FillCacheList(UrlCache& cache, TabList& list, const std::string& dateTemplate, StatusLine* status) {
    DateTexts dates(dateTemplate);
    ForEachUrlCacheRecord(cache, kAllPattern, [&](const FileEntry& e) {
        if (ClassifyLiveItem(e.url) == LiveItem::Cache)
            list.AddRow(LiveCacheRow(e, dates));
    });
    ShowStatus(status, EntryKind::Cache, list);
}

void FillCookieAndCacheLists(UrlCache& cache, TabList& cookies, TabList& cacheList, const std::string& dateTemplate) {
    DateTexts dates(dateTemplate);
    ForEachUrlCacheRecord(cache, kAllPattern, [&](const FileEntry& e) {
        const LiveItem item = ClassifyLiveItem(e.url);
        if (item == LiveItem::Cookie)
            cookies.AddRow(LiveCookieRow(e, dates));
        else if (item == LiveItem::Cache)
            cacheList.AddRow(LiveCacheRow(e, dates));
    });
}

void RebuildLiveList(EntryKind kind, TabList& list, HistoryService& history, UrlCache& cache,
                     const std::string& dateTemplate, StatusLine* status) {
    SetColumns(list, LiveColumns(kind));
    list.SortByColumn(0);
    switch (kind) {
    case EntryKind::Cookie: FillCookieList(cache, list, dateTemplate, status); break;
    case EntryKind::Cache: FillCacheList(cache, list, dateTemplate, status); break;
    default: FillHistoryList(history, list, dateTemplate, status); break;
    }
}

bool LoadIndexFile(const char* path, TabList* const lists[3], const std::string& dateTemplate, EntryKind* kind) {
    if (!path || !*path)
        return false;
    EntryArray<PageEntry> entries;
    const int result = ReadIndexFile(path, entries);
    if ((result != kIndexVersion52 && result != kIndexOtherVersion) || entries.Count() == 0)
        return false;
    *kind = IndexFileKind(entries[0]);
    TabList& list = *lists[int(*kind)];
    SetColumns(list, IndexFileColumns(*kind));
    DateTexts dates(dateTemplate);
    for (std::size_t i = 0; i < entries.Count(); ++i)
        list.AddRow(IndexFileRow(entries[i], *kind, dates));
    return true;
}

}  // namespace tw
