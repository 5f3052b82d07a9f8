#include "ui/item_actions.h"

#include <cstring>
#include <unordered_set>

#include "clean/cleanup.h"
#include "core/classify.h"
#include "core/tab_fill.h"
#include "report/favorites.h"
#include "ui/list_model.h"

namespace tw {

namespace {

const char kCookieMarker[] = "Cookie:";
// The live column sets have at least this many; an index file's do not.
const int kLiveColumnsAtLeast = 5;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// The text a store is asked to delete for a list cell.
std::string StoreAddress(EntryKind store, const std::string& cell) {
    return store == EntryKind::Cookie ? kCookieMarker + cell : cell;
}

const char* DeleteQuestion(EntryKind store) {
    switch (store) {
    case EntryKind::Cookie: return "Are you sure you want to delete Internet Explorer Cookie item?";
    case EntryKind::Cache: return "Are you sure you want to delete Internet Explorer Cache item?";
    default: return "Are you sure you want to delete Internet Explorer History item?";
    }
}

bool Confirmed(ItemHost& host, bool confirmDeletions, const char* question) {
    return !confirmDeletions || host.AskYesNo(question);
}

// Delete URL, Delete Cookie and Delete Entry.
void DeleteCurrentItem(EntryKind store, ItemList& list, ItemStores& stores, ItemHost& host,
                       bool confirmDeletions) {
    if (!Confirmed(host, confirmDeletions, DeleteQuestion(store)))
        return;
    const int row = list.CurrentRow();
    if (row >= 0) {
        const std::string url = CurrentCell(list, "URL");
        bool spared = false;
        if (!url.empty()) {
            const std::string address = StoreAddress(store, url);
            stores.Begin(store);
            spared = stores.Spares(store, address);
            if (!spared)
                stores.Delete(store, address);
            stores.End(store);
        }
        if (!spared)
            list.RemoveRow(row);
    }
    host.ShowStatus(store);
}

std::string OpenAddress(EntryKind store, const ItemList& list) {
    const std::string url = CurrentCell(list, "URL");
    return store == EntryKind::Cookie ? CookieAddress(url) : url;
}

}  // namespace

const ItemCommandImage kItemCommandImages[16] = {
    {kItemHistoryOpen, 0},     {kItemHistoryCopy, 1},       {kItemHistoryDelete, 2},    {kItemHistoryAddFavorite, 3},
    {kItemCookieOpen, 0},      {kItemCookieCopy, 1},        {kItemCookieDelete, 2},     {kItemCookieDetails, 4},
    {kItemCookieProperties, 5}, {kItemCacheOpen, 0},        {kItemCacheCopy, 1},        {kItemCacheDelete, 2},
    {kItemCacheOpenFile, 6},   {kItemCacheProperties, 5},   {kItemDeleteSelected, 2},   {kItemCookieKeepSite, 7},
};

int ModelItemList::ColumnCount() const {
    return model_.ColumnCount();
}

int ModelItemList::RowCount() const {
    return model_.RowCount();
}

std::string ModelItemList::ColumnTitle(int column) const {
    std::string title;
    model_.ColumnTitle(column, title);
    return title;
}

std::string ModelItemList::CellText(int row, int column) const {
    return model_.CellText(row, column);
}

int ModelItemList::CurrentRow() const {
    return model_.CurrentRow();
}

std::vector<int> ModelItemList::SelectedRows() const {
    std::vector<int> rows;
    model_.SelectedRows(rows);
    return rows;
}

bool ModelItemList::RemoveRow(int row) {
    return model_.RemoveRow(row);
}

void ModelItemList::ClearSelection() {
    model_.Select(-1, 0, 0);
}

std::string TrimText(const std::string& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

int FindColumn(const ItemList& list, const std::string& title) {
    const int count = list.ColumnCount();
    for (int c = 0; c < count; ++c) {
        if (list.ColumnTitle(c) == title)
            return c;
    }
    return -1;
}

std::string CurrentCell(const ItemList& list, const std::string& title) {
    const int column = FindColumn(list, title);
    const int row = list.CurrentRow();
    if (column < 0 || row < 0)
        return std::string();
    return TrimText(list.CellText(row, column));
}

std::string CookieAddress(const std::string& cell) {
    const std::size_t at = cell.find('@');
    return at == std::string::npos ? cell : cell.substr(at + 1);
}

int ChooseRowMenu(int tab, const ItemList& list) {
    int menu = kNoRowMenu;
    if (tab == 1 || tab == 2) {
        if (list.ColumnCount() >= kLiveColumnsAtLeast && list.RowCount() > 0)
            menu = tab == 1 ? kCookieRowMenu : kCacheRowMenu;
    } else if (list.ColumnTitle(1) != "User" && list.RowCount() > 0) {
        // A second column "User" means the list shows an index file.
        menu = kHistoryRowMenu;
    }
    if (menu != kNoRowMenu && list.SelectedRows().size() >= 2)
        menu = kSeveralRowsMenu;
    return menu;
}

int DeleteSelectedItems(int tab, ItemList& list, ItemStores& stores) {
    if (tab < 0 || tab > 2)
        return 0;
    const EntryKind store = EntryKind(tab);
    const int column = FindColumn(list, "URL");
    const std::vector<int> selected = list.SelectedRows();
    int removed = 0;
    std::string address;
    stores.Begin(store);
    for (int s : selected) {
        if (column != -1)
            address = TrimText(list.CellText(s - removed, column));
        if (address.empty() || stores.Spares(store, StoreAddress(store, address)))
            continue;
        stores.Delete(store, StoreAddress(store, address));
        if (list.RemoveRow(s - removed))
            ++removed;
    }
    stores.End(store);
    if (store == EntryKind::Cache)
        list.ClearSelection();
    return removed;
}

std::string FavoriteName(const std::string& title, const AnsiCodePage& codePage) {
    return CleanDescription(title, codePage);
}

std::string CookieDetailsText(const std::string& bytes) {
    if (bytes.empty())
        return std::string();
    // The last byte read gives way to the end of the text.
    const std::string text = bytes.substr(0, bytes.size() - 1);
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (char c : text) {
        if (c == '\0')
            break;
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

int MarkKeptCookieRows(ListModel& cookies, const CookieKeepList& keep) {
    ModelItemList list(cookies);
    const int column = FindColumn(list, "URL");
    int kept = 0;
    for (int r = 0; r < cookies.RowCount(); ++r) {
        const bool keeps = column >= 0 && keep.KeepsCookie(TrimText(cookies.CellText(r, column)));
        cookies.SetCellImage(r, 0, keeps ? kImageKeptCookie : kImageCookie);
        kept += keeps ? 1 : 0;
    }
    return kept;
}

std::string KeptStatusText(unsigned rows, unsigned kept) {
    return StatusText(EntryKind::Cookie, rows) + ", " + std::to_string(kept) + " of them from sites whose cookies are kept";
}

namespace {

// History URLs are compared without their trailing blanks, as a cleanup
// names them.
std::string WithoutTrailingBlanks(EntryKind store, std::string text) {
    while (store == EntryKind::History && !text.empty() && IsBlank(text.back()))
        text.pop_back();
    return text;
}

// The "URL" cell that a live fill makes of an entry's URL cut to its record's field.
std::string LiveUrlCell(EntryKind store, const std::string& url) {
    const std::string cut = url.substr(0, sizeof(FileEntry::url) - 1);
    return WithoutTrailingBlanks(store, store == EntryKind::Cookie ? LiveCookieAddress(cut.c_str()) : cut);
}

}  // namespace

std::vector<int> RowsOfUrls(const ItemList& list, EntryKind store, const std::vector<std::string>& urls) {
    std::vector<int> rows;
    const int column = FindColumn(list, "URL");
    if (column < 0 || urls.empty())
        return rows;
    std::unordered_set<std::string> cells;
    for (const std::string& url : urls)
        cells.insert(LiveUrlCell(store, url));
    for (int r = 0; r < list.RowCount(); ++r) {
        if (cells.count(WithoutTrailingBlanks(store, list.CellText(r, column))) != 0)
            rows.push_back(r);
    }
    return rows;
}

std::string PreviewStatusText(EntryKind store, const PreviewCounts& counts) {
    std::string text = "Preview: " + std::to_string(counts.deleted) + " of " + std::to_string(counts.rows) +
                       " items would be deleted";
    if (store == EntryKind::Cookie)
        text += ", " + std::to_string(counts.kept) + " kept";
    if (counts.files > 0)
        text += " and " + std::to_string(counts.files) + " files (" + SizeText(counts.bytes) + ")";
    return text;
}

void RunItemCommand(int command, int tab, ItemList& list, ItemStores& stores, ItemHost& host,
                    bool confirmDeletions, const AnsiCodePage& codePage) {
    switch (command) {
    case kItemHistoryOpen:
    case kItemCacheOpen:
        host.Navigate(OpenAddress(EntryKind::History, list));
        break;
    case kItemCookieOpen:
        host.Navigate(OpenAddress(EntryKind::Cookie, list));
        break;
    case kItemHistoryCopy:
    case kItemCacheCopy:
        host.CopyText(OpenAddress(EntryKind::History, list));
        break;
    case kItemCookieCopy:
        host.CopyText(OpenAddress(EntryKind::Cookie, list));
        break;
    case kItemHistoryDelete:
        DeleteCurrentItem(EntryKind::History, list, stores, host, confirmDeletions);
        break;
    case kItemCookieDelete:
        DeleteCurrentItem(EntryKind::Cookie, list, stores, host, confirmDeletions);
        break;
    case kItemCacheDelete:
        DeleteCurrentItem(EntryKind::Cache, list, stores, host, confirmDeletions);
        break;
    case kItemDeleteSelected:
        if (!Confirmed(host, confirmDeletions, "Are you sure you want to delete selected items?"))
            break;
        DeleteSelectedItems(tab, list, stores);
        if (tab >= 0 && tab <= 2)
            host.ShowStatus(EntryKind(tab));
        break;
    case kItemHistoryAddFavorite: {
        const std::string url = CurrentCell(list, "URL");
        if (!url.empty())
            host.AddToFavorites(FavoriteName(CurrentCell(list, "Title"), codePage), url);
        break;
    }
    case kItemCookieDetails:
        if (list.CurrentRow() >= 0) {
            const std::string file = CurrentCell(list, "File");
            if (!file.empty())
                host.ShowCookieDetails(file);
        }
        break;
    case kItemCookieProperties:
    case kItemCacheProperties: {
        const std::string file = CurrentCell(list, "File");
        if (!file.empty())
            host.ShowProperties(file);
        break;
    }
    case kItemCookieKeepSite: {
        const std::string site = CookieHost(CurrentCell(list, "URL"));
        if (!site.empty())
            host.KeepCookiesOf(site);
        break;
    }
    case kItemCacheOpenFile:
        host.Navigate(CurrentCell(list, "File"));
        break;
    default:
        break;
    }
}

}  // namespace tw
