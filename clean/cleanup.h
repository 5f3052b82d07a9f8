// Deletion from the three stores by criteria and by URL, and the purge of
// the cached files behind them.
#pragma once

#include <cstdint>

#include "clean/cookie_keep.h"
#include "core/entry.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/history_store.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/url_cache.h"

namespace tw {

// WM_USER + 223: lParam carries a CleanupCriteria owned by the sender.
const unsigned kWmRunCleanup = 0x0400 + 223;
// Its wParam from the Cookies dialog when the keep list is not to be used.
const unsigned kRunCleanupIgnoringKeepList = 1;

enum CleanupKind : std::int32_t {
    kCleanNothing = 0,
    kCleanAll = 1,
    kCleanExpiredCookies = 2,
    kCleanLocalLinks = 3,
    kCleanSelectedProtocol = 4,
    kCleanPictures = 5,
    kCleanArchives = 6,
    kCleanStylesAndScripts = 7,
    kCleanPagesAndOtherFiles = 8,
    kCleanContainingText = 9,
    kCleanBetweenDates = 10,
};

enum CleanupStore : std::int32_t {
    kStoreHistory = 1,
    kStoreCookies = 2,
    kStoreCache = 3,
};

// The record that a cleanup dialog hands to the band window.
struct CleanupCriteria {
    std::int32_t kind = 0;
    std::int32_t store = 0;
    char text[100] = {};
    FileTime from;
    FileTime to;
};

// What the band window does around a run: bring the store's list and tab to
// the front before the deletions, and show the store afresh from the live
// cache after them.
class ListRebuilder {
public:
    virtual ~ListRebuilder() = default;
    virtual void ShowStore(std::int32_t store) = 0;
    virtual void RebuildList(std::int32_t store) = 0;
};

// The delete operations, over the platform's stores.
class Cleaner {
public:
    Cleaner(HistoryService& history, UrlCache& cache, FileSystem& files, const Clock& clock)
        : history_(history), cache_(cache), files_(files), clock_(clock) {}

    // With exact false, every item whose URL contains text; with exact
    // true, the item whose URL is text. An empty text deletes nothing.
    // History is matched case-sensitively, cookies and cache are not.
    // The History operations expect the caller to have initialised COM.
    void DeleteHistoryUrls(const char* text, bool exact);
    void DeleteCookieUrls(const char* text, bool exact);
    void DeleteCacheUrls(const char* text, bool exact);

    // Both bounds inclusive.
    void DeleteHistoryBetween(FileTime from, FileTime to);
    void DeleteCookiesBetween(FileTime from, FileTime to);
    void DeleteCacheBetween(FileTime from, FileTime to);
    // Every cookie whose expiry is not later than now.
    void DeleteExpiredCookies();
    // Every cache entry whose URL ends in extension, case-sensitively.
    void DeleteCacheByExtension(const char* extension);

    void PurgeHistoryFolders();
    void PurgeCacheFolders();
    void PurgeCookieFolder();
    // Deletes the files directly in folder (not its subfolders), then the
    // folder itself when removeFolder and it has become empty.
    void PurgeFolderFiles(const char* folder, bool removeFolder);

    HistoryService& History() { return history_; }

    // Every cookie deletion passes over the cookies that keep spares, and
    // the Cookies folder is not purged while it keeps any; null keeps
    // none. keep must outlive its use here.
    void KeepCookies(const CookieKeep* keep) { keep_ = keep; }
    bool Spares(const char* cookieUrl) const { return keep_ && keep_->Spares(cookieUrl); }

private:
    template <typename Test>
    void DeleteHistoryWhere(Test test);
    template <typename Test>
    void DeleteCacheWhere(const char* pattern, bool passOverMarkers, Test test);
    void DeleteLoweredContaining(bool cookies, const char* text, bool exact);
    void PurgeStoreSubfolders(int csidl, const char* const* storeNames, int count);

    HistoryService& history_;
    UrlCache& cache_;
    FileSystem& files_;
    const Clock& clock_;
    const CookieKeep* keep_ = nullptr;
};

// The handler of kWmRunCleanup: does the work of criteria.kind on
// criteria.store and rebuilds that store's list; a store other than 1 to 3
// does nothing at all. Returns 0.
long RunCleanup(const CleanupCriteria& criteria, Cleaner& cleaner, ListRebuilder& lists);

// RunCleanup as the band window runs it: a Cookies run reads the keep list
// first and passes over the cookies of kept sites, unless useKeepList is
// false. A list that cannot be read keeps every cookie whatever
// useKeepList says, and shell says so once, after the list is refilled.
long RunCleanupKeeping(const CleanupCriteria& criteria, bool useKeepList, Cleaner& cleaner, ListRebuilder& lists,
                       Registry& registry, bool newSystem, Shell& shell);

// Text search in the ANSI code page: a match starts only at a character,
// never on the trail byte of a double-byte one.
bool AnsiContains(const char* text, const char* part);
// Whether the last bytes of text are suffix (all of text when shorter).
bool EndsWithBytes(const char* text, const char* suffix);

}  // namespace tw
