// What the user does to single rows of the three lists: the context menu
// that a tab offers, and the commands of those menus. The decisions are
// made here over small seams; the band window supplies the list, the
// stores and the browser.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "clean/cookie_keep.h"
#include "core/ansi_text.h"
#include "core/entry.h"

namespace tw {

class ListModel;

// Menu resources of the lists.
enum RowMenu : int {
    kNoRowMenu = 0,
    kSeveralRowsMenu = 131,
    kHistoryRowMenu = 204,
    kCookieRowMenu = 206,
    kCacheRowMenu = 208,
};

// Commands of the context menus.
enum ItemCommand : int {
    kItemHistoryOpen = 32788,
    kItemHistoryCopy = 32775,
    kItemHistoryDelete = 32773,
    kItemHistoryAddFavorite = 32782,
    kItemCookieOpen = 32792,
    kItemCookieCopy = 32793,
    kItemCookieDelete = 32794,
    kItemCookieDetails = 32795,
    kItemCookieProperties = 32796,
    kItemCacheOpen = 32797,
    kItemCacheCopy = 32798,
    kItemCacheDelete = 32799,
    kItemCacheOpenFile = 32800,
    kItemCacheProperties = 32801,
    kItemDeleteSelected = 32791,
    kItemCookieKeepSite = 32808,
};

// The image of bitmap 227 that the context menu painter shows beside each
// command.
struct ItemCommandImage {
    int command;
    int image;
};
extern const ItemCommandImage kItemCommandImages[16];

// One list as the actions see it. Columns are counted in the list's order.
class ItemList {
public:
    virtual ~ItemList() = default;
    virtual int ColumnCount() const = 0;
    virtual int RowCount() const = 0;
    // Empty for a column that does not exist.
    virtual std::string ColumnTitle(int column) const = 0;
    virtual std::string CellText(int row, int column) const = 0;
    // The focus row if it is selected, else the lowest selected row, else -1.
    virtual int CurrentRow() const = 0;
    // Ascending.
    virtual std::vector<int> SelectedRows() const = 0;
    virtual bool RemoveRow(int row) = 0;
    virtual void ClearSelection() = 0;
};

// ItemList over the model of a list window.
class ModelItemList : public ItemList {
public:
    explicit ModelItemList(ListModel& model) : model_(model) {}
    int ColumnCount() const override;
    int RowCount() const override;
    std::string ColumnTitle(int column) const override;
    std::string CellText(int row, int column) const override;
    int CurrentRow() const override;
    std::vector<int> SelectedRows() const override;
    bool RemoveRow(int row) override;
    void ClearSelection() override;

private:
    ListModel& model_;
};

// The exact delete of one address from a store. Begin and End bracket a
// run of History deletions (the history store needs COM around them).
class ItemStores {
public:
    virtual ~ItemStores() = default;
    virtual void Begin(EntryKind) {}
    // For cookies, address already carries the "Cookie:" marker.
    virtual void Delete(EntryKind store, const std::string& address) = 0;
    // Whether the store keeps address whatever is asked of it (a cookie of
    // a kept site); its row then stays in the list.
    virtual bool Spares(EntryKind, const std::string&) { return false; }
    virtual void End(EntryKind) {}
};

// What the commands need besides the list and the stores.
class ItemHost {
public:
    virtual ~ItemHost() = default;
    // Nothing happens when there is no browser.
    virtual void Navigate(const std::string& address) = 0;
    virtual void CopyText(const std::string& text) = 0;
    // The deletion question; true for Yes.
    virtual bool AskYesNo(const char* text) = 0;
    // The store's status line with its list's row count (none without a browser).
    virtual void ShowStatus(EntryKind store) = 0;
    virtual void AddToFavorites(const std::string& name, const std::string& url) = 0;
    virtual void ShowCookieDetails(const std::string& file) = 0;
    virtual void ShowProperties(const std::string& file) = 0;
    // Adds site to the list of sites whose cookies are kept.
    virtual void KeepCookiesOf(const std::string&) {}
};

// Text without white space at either end.
std::string TrimText(const std::string& text);

// The first column whose title is exactly title, or -1.
int FindColumn(const ItemList& list, const std::string& title);

// The trimmed cell of the current row in the column titled title; empty
// without such a column or without a current row.
std::string CurrentCell(const ItemList& list, const std::string& title);

// A Cookies "URL" cell is "user@host/path": the text after the first "@",
// or the whole text without one.
std::string CookieAddress(const std::string& cell);

// The context menu that a right click on the list of tab offers, or
// kNoRowMenu. Several selected rows get kSeveralRowsMenu where the tab
// offers a menu at all.
int ChooseRowMenu(int tab, const ItemList& list);

// Removes the selected rows from list and their addresses from the store of
// tab (0, 1 or 2; any other deletes nothing). Positions were taken before
// the first removal, so each is lowered by the rows already removed.
// Answers the rows removed. The Cache list is left with no selection.
int DeleteSelectedItems(int tab, ItemList& list, ItemStores& stores);

// The Favorites name made from a title: the characters a file name refuses
// become underscores.
std::string FavoriteName(const std::string& title, const AnsiCodePage& codePage);

// What the Cookie Details box shows of the bytes read from a cookie file:
// all but the last byte, up to the first zero, with each line feed made a
// carriage return and line feed.
std::string CookieDetailsText(const std::string& bytes);

// Gives each row of a Cookies list the image of a kept cookie or of a
// cookie, by its "URL" cell; answers the rows that belong to kept sites.
int MarkKeptCookieRows(ListModel& cookies, const CookieKeepList& keep);
// The status line after a site was added to the keep list.
std::string KeptStatusText(unsigned rows, unsigned kept);

// The rows of a live list of store whose "URL" cell a live fill makes of
// one of urls (entries as a cleanup names them), ascending.
std::vector<int> RowsOfUrls(const ItemList& list, EntryKind store, const std::vector<std::string>& urls);

// What a preview shows in the status line: "Preview: N of M items would be
// deleted", then ", K kept" for Cookies and " and F files (S)" when a
// purge would remove files.
struct PreviewCounts {
    unsigned deleted = 0;
    unsigned rows = 0;
    unsigned kept = 0;
    unsigned files = 0;
    std::uint64_t bytes = 0;
};
std::string PreviewStatusText(EntryKind store, const PreviewCounts& counts);

// Runs a command of a context menu on the list of tab. Unknown commands
// and 0 (a cancelled menu) do nothing.
void RunItemCommand(int command, int tab, ItemList& list, ItemStores& stores, ItemHost& host,
                    bool confirmDeletions, const AnsiCodePage& codePage);

}  // namespace tw
