// Deletion from the three stores by criteria and by URL, and the purge of
// the cached files behind them.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

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
// WM_USER + 224: the same record and wParam, for a run that deletes nothing
// and shows what a cleanup would delete.
const unsigned kWmPreviewCleanup = 0x0400 + 224;

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

// A file that a folder purge removed, or would remove.
struct PurgedFile {
    std::string path;
    std::uint64_t bytes = 0;
};

// A store that could not be opened, read or written, for a reason other
// than "nothing there": what was tried, and the platform's answer (a Win32
// error code, or an HRESULT from the history store).
struct StoreError {
    std::string what;
    long code = 0;
};

// "what (error 5: access denied)"; an HRESULT in hexadecimal.
std::string StoreErrorText(const StoreError& error);

// What cleanups did: the entries deleted by the URL their store knows them
// by (a history URL in the ANSI code page without trailing blanks), the
// cookies that a criterion took but whose site is kept, the entries and
// files that the platform refused to delete, the files of the purges, and
// the stores that could not be reached at all.
struct CleanupOutcome {
    std::vector<std::string> deleted;
    std::vector<std::string> kept;
    std::vector<std::string> failed;
    std::vector<PurgedFile> files;
    std::vector<StoreError> errors;

    std::uint64_t FileBytes() const;
};

// The amount of bytes as "N KB" below a mebibyte, rounded up, else as
// "N.N MB" rounded to the nearest tenth; 1 KB is 1024 bytes.
std::string SizeText(std::uint64_t bytes);

// Where a Cleaner notes what it does. In a preview it deletes nothing and
// notes what it would delete. A real run deletes as it goes, so that no
// later pass, nor a later run with the same journal, meets what an earlier
// one deleted, nor the local file that went with a cache entry; the journal
// remembers those, and both modes pass over them, which makes a preview's
// outcome the one a real run then has.
class CleanupJournal {
public:
    explicit CleanupJournal(bool preview) : preview_(preview) {}
    bool Preview() const { return preview_; }
    const CleanupOutcome& Outcome() const { return outcome_; }
    // Hands over the outcome so far and starts the next one; what was
    // deleted stays remembered.
    CleanupOutcome Take();
    // For the cleaners of the other traces: what they deleted, or would,
    // and what the platform refused (once, however often it is tried).
    void NoteDeleted(const std::string& what) { outcome_.deleted.push_back(what); }
    void NoteFailure(const std::string& what);
    void Note(bool deleted, std::string what);
    // Once, however many passes meet it.
    void NoteError(StoreError error);

private:
    friend class Cleaner;
    // Each pass first learns what the passes before it deleted; within a
    // pass every item is met once, so it need not look at its own.
    void BeginPass();
    bool Deleted(const char* url) const { return !deletedUrls_.empty() && deletedUrls_.count(UrlKey(url)) != 0; }
    bool Deleted(const std::u16string& url) const {
        return !deletedHistory_.empty() && deletedHistory_.count(UrlKey(url)) != 0;
    }
    // A URL is remembered by a 64-bit FNV-1a hash of its units rather than
    // by a copy: two of a million URLs share one by a chance of about one
    // in thirty million.
    static std::uint64_t UrlKey(const char* url);
    static std::uint64_t UrlKey(const std::u16string& url);
    bool FileGone(const std::string& path) const;

    bool preview_;
    CleanupOutcome outcome_;
    std::size_t settled_ = 0;  // outcome_.deleted learnt by deletedUrls_
    std::unordered_set<std::uint64_t> deletedUrls_;
    std::unordered_set<std::uint64_t> deletedHistory_;
    std::vector<std::uint64_t> historyThisPass_;
    // The local files of the deleted entries (in lower case), which a
    // preview's purge would no longer find: those of the chosen entries,
    // and the cached copies' as of deletedUrls_ that size.
    std::unordered_set<std::string> goneFiles_;
    std::size_t goneFilesOf_ = std::size_t(-1);
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
    // folder itself when removeFolder and it has become empty. It passes
    // over the index files, which the cache keeps open and which only a
    // removal at restart may take, and the files of entries the cache
    // refused to delete. A file refused for the user's rights is taken over
    // and tried again; one in use is not.
    void PurgeFolderFiles(const char* folder, bool removeFolder);

    HistoryService& History() { return history_; }

    // Every cookie deletion passes over the cookies that keep spares, and
    // the Cookies folder is not purged while it keeps any; null keeps
    // none. keep must outlive its use here.
    void KeepCookies(const CookieKeep* keep) { keep_ = keep; }
    bool Spares(const char* cookieUrl) const { return keep_ && keep_->Spares(cookieUrl); }

    // Null notes nothing and deletes. journal must outlive its use here.
    void Journal(CleanupJournal* journal) { journal_ = journal; }

    // The first store that could not be reached since the last call (code 0
    // when none), for a caller without a journal; a journal gets them all.
    StoreError TakeFirstError();
    // The same, left in place.
    const StoreError& FirstError() const { return firstError_; }
    // Whether a purge met a file that stayed refused for the process's
    // rights after it was taken over.
    bool PurgeRefused() const { return purgeRefused_; }

private:
    template <typename Test>
    void DeleteHistoryWhere(Test test);
    // Cookies are passed over when their site is kept; the cache's own
    // operations pass over history and cookie entries instead.
    template <typename Test>
    void DeleteCacheWhere(bool cookies, Test test);
    void DeleteLoweredContaining(bool cookies, const char* text, bool exact);
    void PurgeStoreSubfolders(int csidl, const char* const* storeNames, int count);
    bool Previewing() const { return journal_ && journal_->Preview(); }
    // False when the cache refused.
    bool DeleteEntry(std::string url);
    // In a preview, learns which local files the deleted entries took.
    void LearnGoneFiles();
    void KeepEntry(const std::string& url);
    void NoteError(const char* what, long code);

    HistoryService& history_;
    UrlCache& cache_;
    FileSystem& files_;
    const Clock& clock_;
    const CookieKeep* keep_ = nullptr;
    CleanupJournal* journal_ = nullptr;
    StoreError firstError_;
    bool purgeRefused_ = false;
    // The local files (in lower case) of the entries the cache refused to
    // delete, which the purges leave with their entries.
    std::unordered_set<std::string> sparedFiles_;
};

// The handler of kWmRunCleanup: does the work of criteria.kind on
// criteria.store and rebuilds that store's list; a store other than 1 to 3
// does nothing at all. Returns 0.
long RunCleanup(const CleanupCriteria& criteria, Cleaner& cleaner, ListRebuilder& lists);

// RunCleanup with the keep list: a Cookies run reads it first and passes
// over the cookies of kept sites, unless useKeepList is false. A list that
// cannot be read keeps every cookie whatever useKeepList says; the answer
// is false then, and true otherwise.
bool RunCleanupWithKeepList(const CleanupCriteria& criteria, bool useKeepList, Cleaner& cleaner, ListRebuilder& lists,
                            Registry& registry, bool newSystem);

// RunCleanupWithKeepList as the band window runs it: a list that cannot be
// read is told by shell once, after the list is refilled.
long RunCleanupKeeping(const CleanupCriteria& criteria, bool useKeepList, Cleaner& cleaner, ListRebuilder& lists,
                       Registry& registry, bool newSystem, Shell& shell);

// Text search in the ANSI code page: a match starts only at a character,
// never on the trail byte of a double-byte one.
bool AnsiContains(const char* text, const char* part);
// Whether the last bytes of text are suffix (all of text when shorter).
bool EndsWithBytes(const char* text, const char* suffix);

}  // namespace tw
