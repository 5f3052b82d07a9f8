#include "core/tab_fill.h"

#include <cstdio>
#include <new>

#include "core/classify.h"
#include "core/file_image.h"
#include "core/index_reader.h"
#include "core/index_visitor.h"
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
    ForEachUrlCacheRecord(cache, kContentPattern, [&](const FileEntry& e) {
        if (ClassifyLiveItem(e.url) == LiveItem::Cache)
            list.AddRow(LiveCacheRow(e, dates));
    });
    ShowStatus(status, EntryKind::Cache, list);
}

void FillCookieAndCacheLists(UrlCache& cache, TabList& cookies, TabList& cacheList, const std::string& dateTemplate) {
    // The content search of the cache yields no cookies on Windows, so the
    // cookies have a search of their own, as on a refresh.
    FillCookieList(cache, cookies, dateTemplate, nullptr);
    FillCacheList(cache, cacheList, dateTemplate, nullptr);
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

namespace {

// Each URL record goes straight into its row; the first one decides the kind
// and so the list. Once a row cannot be had, no later one is added, so that
// the list holds the file's first records in file order.
class IndexRows : public IndexVisitor {
public:
    IndexRows(TabList* const lists[3], const std::string& dateTemplate) : lists_(lists), dates_(dateTemplate) {}

    void Record(const IndexRecordView& record) override {
        if (record.type != IndexRecordType::Url || cutShort_)
            return;
        try {
            const PageEntry entry = PageEntryOf(record);
            if (!list_) {
                kind_ = IndexFileKind(entry);
                list_ = lists_[int(kind_)];
                SetColumns(*list_, IndexFileColumns(kind_));
            }
            cutShort_ = !list_->AddRow(IndexFileRow(entry, kind_, dates_));
        } catch (const std::bad_alloc&) {
            cutShort_ = true;
        }
    }

    TabList* List() const { return list_; }
    EntryKind Kind() const { return kind_; }
    bool CutShort() const { return cutShort_; }

private:
    TabList* const* lists_;
    DateTexts dates_;
    TabList* list_ = nullptr;
    EntryKind kind_ = EntryKind::History;
    bool cutShort_ = false;
};

}  // namespace

IndexLoad LoadIndexFile(const char* path, TabList* const lists[3], const std::string& dateTemplate, EntryKind* kind) {
    if (!path || !*path)
        return IndexLoad::Refused;
    FileImage image;
    if (image.Open(path) != FileImage::kOk)
        return IndexLoad::Refused;
    IndexRows rows(lists, dateTemplate);
    // Records reach the rows only from a file that the reader accepts
    // (kIndexVersion52, kIndexOtherVersion), which holds at least one.
    VisitIndexImage(image.Data(), image.Size(), rows);
    if (!rows.List())
        return IndexLoad::Refused;
    *kind = rows.Kind();
    return rows.CutShort() ? IndexLoad::CutShort : IndexLoad::Loaded;
}

std::string CutShortText(int rows) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "There is not enough memory to show the whole index file. The list shows its first %d items.", rows);
    return text;
}

}  // namespace tw
