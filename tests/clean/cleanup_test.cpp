#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <tuple>
#include <string>
#include <vector>

#include "clean/cleanup.h"
#include "clean/cleanup_dialog_model.h"
#include "clean/cookie_keep.h"
#include "clean/refusal.h"
#include "platform/process_files.h"
#include "settings/settings_store.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_history.h"
#include "tests/fakes/fake_process_rights.h"
#include "tests/fakes/fake_registry.h"
#include "tests/fakes/fake_shell.h"
#include "tests/fakes/fake_url_cache.h"

namespace tw {
namespace {

using Log = std::vector<std::string>;

FileTime T(std::uint64_t v) { return FileTime::FromValue(v); }

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](char c) { return char(std::tolower(c)); });
    return s;
}

const char kCom[] = "Cookie:bob@example.com/", kNet[] = "Cookie:bob@ADS.example.net/", kOrg[] = "Cookie:bob@shop.org/";
const char kCookieFile[] = "C:\\Cookies\\bob@example[1].txt";

// The keep list of cookies: absent, the sites example.net and shop.org, or
// one that cannot be read; each with its box checked or not.
enum class Keep { Absent, Sites, SitesUnchecked, Unreadable, UnreadableUnchecked };

struct JournalLists : ListRebuilder {
    void ShowStore(std::int32_t store) override { journal->push_back("show " + std::to_string(store)); }
    void RebuildList(std::int32_t store) override { journal->push_back("rebuild " + std::to_string(store)); }
    Log* journal = nullptr;
};

// One history store and one cache for every criterion, so that each row of
// the table below names exactly what its criterion takes from them. History
// items are updated at 10, 20, ... and cache entries accessed at 1, 2, ...
struct Stores {
    Stores() {
        history.journal = cache.journal = lists.journal = &journal;
        clock.now = T(100);
        std::uint64_t at = 0;
        for (const char* url : {"http://n.c/a.html", "file://C:/d.htm", "res://i.dll/x", "http://s.c/?u=file://x",
                                "HTTP://UP.COM/", "http://b.c/ \t\n\v\f\r", "mk:@MSITStore:c:\\x.chm", "about:blank"})
            history.Add(url).lastUpdated = T(at += 10);
        at = 0;
        for (const char* url : {kCom, kNet, kOrg, "Visited: bob@a/p.jpg", "a/p.jpg", "a/P.JPG", "a/p.jpg?x", "a/t.tmp",
                                "a/s.js", "a/S.JS", "a/i.php?id", "a/D.ASP?x", "a/f.zip", "a/p.html", "a/s.css",
                                "a/g.gif", "javascript:void(0)", "a/zero.jpg"})
            cache.Add(url).lastAccess = T(++at);
        cache.entries[0].expire = T(100);  // kOrg has no expiry, which counts as passed
        cache.entries[1].expire = T(200);
        cache.entries.back().size = 0;  // never enumerated
        files.specialFolders[kFolderCookies] = "C:\\Cookies";
        files.AddFile(kCookieFile);
    }

    Log Run(std::int32_t kind, std::int32_t store, const char* text = "", std::uint64_t from = 0,
            std::uint64_t to = 0, Keep keep = Keep::Absent) {
        if (keep == Keep::Sites || keep == Keep::SitesUnchecked)
            SaveCookiesToKeep(registry, true, {"example.net", "shop.org"});
        if (keep == Keep::Unreadable || keep == Keep::UnreadableUnchecked)
            registry.SetString(RegRoot::CurrentUser, kSettingsPathNew, kValueCookiesToKeep, "example.net");
        CleanupCriteria c;
        c.kind = kind;
        c.store = store;
        CopyField(c.text, text);
        c.from = T(from);
        c.to = T(to);
        const bool checked = keep != Keep::SitesUnchecked && keep != Keep::UnreadableUnchecked;
        EXPECT_EQ(RunCleanupKeeping(c, checked, cleaner, lists, registry, true, shell), 0);
        return journal;
    }

    fakes::FakeHistory history;
    fakes::FakeUrlCache cache;
    fakes::FakeFileSystem files;
    fakes::FakeClock clock;
    fakes::FakeRegistry registry;
    fakes::FakeShell shell;
    Log journal;
    JournalLists lists;
    Cleaner cleaner{history, cache, files, clock};
};

struct Row {
    std::int32_t kind, store;
    const char* text;
    std::uint64_t from, to;
    Log deleted;
    Keep keep = Keep::Absent;
    bool purged = false;  // the Cookies folder
};

void PrintTo(const Row& r, std::ostream* os) { *os << "kind " << r.kind << ", store " << r.store << ", " << r.text; }

// A run around its deletions; a history item takes its cached copy with it,
// named without the trailing blanks of the history URL.
Log Expected(const Row& row) {
    const bool history = row.store == kStoreHistory;
    Log j{"show " + std::to_string(row.store)};
    if (history)
        j.push_back("CoInitialize");
    for (const std::string& url : row.deleted) {
        if (history)
            j.push_back("history " + url);
        j.push_back("cache " + url.substr(0, url.find_last_not_of(" \t\n\v\f\r") + 1));
    }
    j.push_back("rebuild " + std::to_string(row.store));
    if (history)
        j.push_back("CoUninitialize");
    return j;
}

// Each row in each state the band runs in. The history store and the URL
// cache are the ones this process's platform uses, so they refuse nothing;
// the Cookies folder is the user's own, which a low process may not change.
class CriterionTable : public ::testing::TestWithParam<std::tuple<Row, fakes::RightsState>> {};

TEST_P(CriterionTable, DeletesExactlyTheseInThisOrder) {
    const Row& row = std::get<0>(GetParam());
    const fakes::FakeProcessRights rights = std::get<1>(GetParam()).Rights();
    Stores stores;
    stores.registry.rights = stores.files.rights = stores.shell.rights = &rights;
    EXPECT_EQ(stores.Run(row.kind, row.store, row.text, row.from, row.to, row.keep), Expected(row));
    EXPECT_EQ(!stores.files.Exists(kCookieFile), row.purged && std::get<1>(GetParam()).WritesMedium());
    EXPECT_EQ(stores.cache.openSearches, 0);
    EXPECT_EQ(stores.history.liveStores, 0);
    // A list that cannot be read is reported, once, and only by a cleanup of
    // cookies; so is a purge of the user's own folder at low integrity.
    std::vector<std::pair<std::string, MessageIcon>> told;
    if (row.keep >= Keep::Unreadable && row.store == kStoreCookies)
        told.push_back({kKeepListUnreadable, MessageIcon::Exclamation});
    if (row.purged && !std::get<1>(GetParam()).WritesMedium())
        told.push_back({RefusalText("clean up Internet Explorer Cookies"), MessageIcon::Exclamation});
    EXPECT_EQ(stores.shell.messages, told);
}

const Row kRows[] = {
    {kCleanAll, kStoreHistory, "", 0, 0,
     {"http://n.c/a.html", "file://C:/d.htm", "res://i.dll/x", "http://s.c/?u=file://x", "HTTP://UP.COM/",
      "http://b.c/ \t\n\v\f\r", "mk:@MSITStore:c:\\x.chm"}},
    {kCleanLocalLinks, kStoreHistory, "", 0, 0,  // in the order of the schemes
     {"file://C:/d.htm", "http://s.c/?u=file://x", "res://i.dll/x", "mk:@MSITStore:c:\\x.chm"}},
    {kCleanSelectedProtocol, kStoreHistory, "res://", 0, 0, {"res://i.dll/x"}},
    {kCleanContainingText, kStoreHistory, "up.", 0, 0, {}},  // in its own case
    {kCleanContainingText, kStoreHistory, "UP.", 0, 0, {"HTTP://UP.COM/"}},
    {kCleanBetweenDates, kStoreHistory, "", 20, 40, {"file://C:/d.htm", "res://i.dll/x", "http://s.c/?u=file://x"}},
    {kCleanBetweenDates, kStoreHistory, "", 40, 20, {}},
    {11, kStoreHistory, ".", 0, 0, {}},
    {kCleanAll, kStoreCookies, "", 0, 0, {kCom, kNet, kOrg}, Keep::Absent, true},
    {kCleanAll, kStoreCookies, "", 0, 0, {kCom}, Keep::Sites},
    {kCleanAll, kStoreCookies, "", 0, 0, {kCom, kNet, kOrg}, Keep::SitesUnchecked, true},
    {kCleanAll, kStoreCookies, "", 0, 0, {}, Keep::Unreadable},
    {kCleanAll, kStoreCookies, "", 0, 0, {}, Keep::UnreadableUnchecked},
    {kCleanExpiredCookies, kStoreCookies, "", 0, 0, {kCom, kOrg}},  // against now
    {kCleanContainingText, kStoreCookies, "EXAMPLE.COM", 0, 0, {kCom}},  // lowered
    {kCleanContainingText, kStoreCookies, "ads.", 0, 0, {kNet}},
    {kCleanContainingText, kStoreCookies, "EXAMPLE", 0, 0, {kCom}, Keep::Sites},
    {kCleanBetweenDates, kStoreCookies, "", 2, 3, {kNet, kOrg}},
    {kCleanBetweenDates, kStoreCookies, "", 1, 3, {}, Keep::Unreadable},
    // Marked entries are passed over, and "javascript:void(0)" has no ".".
    {kCleanAll, kStoreCache, "", 0, 0,
     {"a/p.jpg", "a/P.JPG", "a/p.jpg?x", "a/t.tmp", "a/s.js", "a/S.JS", "a/i.php?id", "a/D.ASP?x", "a/f.zip",
      "a/p.html", "a/s.css", "a/g.gif"}},
    {kCleanPictures, kStoreCache, "", 0, 0, {"a/p.jpg", "a/g.gif", "a/t.tmp"}},  // in the order of the extensions
    {kCleanArchives, kStoreCache, "", 0, 0, {"a/f.zip"}, Keep::Unreadable},  // the list is for cookies only
    {kCleanStylesAndScripts, kStoreCache, "", 0, 0,  // texts, then extensions
     {"javascript:void(0)", "a/i.php?id", "a/D.ASP?x", "a/s.css", "a/s.js"}},
    {kCleanPagesAndOtherFiles, kStoreCache, "", 0, 0, {"a/p.html"}},
    {kCleanContainingText, kStoreCache, "P.J", 0, 0, {"a/p.jpg", "a/P.JPG", "a/p.jpg?x"}},
    {kCleanBetweenDates, kStoreCache, "", 6, 8, {"a/P.JPG", "a/p.jpg?x", "a/t.tmp"}},
    {kCleanBetweenDates, kStoreCache, "", 1, 4, {}},
};

INSTANTIATE_TEST_SUITE_P(Cleanup, CriterionTable,
                         ::testing::Combine(::testing::ValuesIn(kRows), ::testing::ValuesIn(fakes::kRightsStates)));

// A store that the platform refuses to the process is told once, after
// the run; a store that fails otherwise, or has nothing, stays silent.
TEST(RunCleanup, ARefusedStoreIsToldOnce) {
    const auto told = [](const char* store) {
        return std::string("Tidewell could not clean up Internet Explorer ") + store +
               ": that needs rights that the browser does not give it.";
    };
    struct Case { std::int32_t kind, store; long cacheError, historyError; std::string told; } cases[] = {
        {kCleanPictures, kStoreCache, kErrorAccessDenied, kS_OK, told("Cache")},
        {kCleanAll, kStoreCookies, kErrorAccessDenied, kS_OK, told("Cookies")},
        {kCleanAll, kStoreHistory, kErrorSuccess, kE_ACCESSDENIED, told("History")},
        {kCleanAll, kStoreHistory, kErrorSuccess, kE_PRIVILEGE_NOT_HELD, told("History")},
        {kCleanExpiredCookies, kStoreCookies, kErrorPrivilegeNotHeld, kS_OK, told("Cookies")},
        {kCleanAll, kStoreHistory, kErrorSuccess, kREGDB_E_CLASSNOTREG, ""},
        {kCleanPictures, kStoreCache, kErrorNotEnoughMemory, kS_OK, ""},
        {kCleanPictures, kStoreCache, kErrorSuccess, kS_OK, ""},
        {kCleanPictures, kStoreHistory, kErrorAccessDenied, kS_OK, ""},  // no cache search
    };
    for (const auto& c : cases) {
        Stores stores;
        stores.cache.searchError = c.cacheError;
        stores.history.failCreate = c.historyError != kS_OK;
        stores.history.createError = c.historyError;
        stores.Run(c.kind, c.store);
        std::vector<std::pair<std::string, MessageIcon>> messages;
        if (!c.told.empty())
            messages.push_back({c.told, MessageIcon::Exclamation});
        EXPECT_EQ(stores.shell.messages, messages) << c.kind << " " << c.store << " " << c.cacheError;
    }
}

// A store that cannot be created or read is noted with the platform's
// answer, once a pass; only "no more items" ends a cache search well. What
// came before the failure is still the criterion's.
TEST(RunCleanup, AStoreThatCannotBeReachedIsNotedWithItsError) {
    struct Case {
        void (*fault)(Stores&);
        std::int32_t kind, store;
        std::string error;
        std::size_t deleted;
    } cases[] = {
        {[](Stores& s) { s.history.failCreate = true; }, kCleanContainingText, kStoreHistory,
         "the history store cannot be created (error 0x80040154: class not registered)", 0},
        {[](Stores& s) { s.history.failEnumUrls = true; }, kCleanContainingText, kStoreHistory,
         "the history store cannot be read (error 0x80004001)", 0},
        {[](Stores& s) { s.history.failNextAt = 2; }, kCleanContainingText, kStoreHistory,
         "the history store cannot be read (error 0x80004005)", 2},
        {[](Stores& s) { s.cache.searchError = kErrorAccessDenied; }, kCleanContainingText, kStoreCache,
         "the URL cache cannot be read (error 5: access denied)", 0},
        {[](Stores& s) { s.cache.searchError = kErrorNotEnoughMemory, s.cache.searchErrorAfter = 1; },
         kCleanContainingText, kStoreCookies, "the cookies cannot be read (error 8: not enough memory)", 1},
        {[](Stores& s) { s.cache.searchError = kErrorNoMoreItems, s.cache.searchErrorAfter = 5; },
         kCleanContainingText, kStoreCache, "", 5},
        {[](Stores&) {}, kCleanContainingText, kStoreHistory, "", 7},
    };
    for (const Case& c : cases) {
        for (bool journaled : {true, false}) {
            Stores s;
            c.fault(s);
            CleanupJournal journal(false);
            s.cleaner.Journal(journaled ? &journal : nullptr);
            s.Run(c.kind, c.store, ".");
            const CleanupOutcome outcome = journal.Take();
            const StoreError first = s.cleaner.TakeFirstError();
            EXPECT_EQ(first.code == 0 ? "" : StoreErrorText(first), c.error);
            EXPECT_EQ(s.cleaner.TakeFirstError().code, 0);
            if (!journaled)
                continue;
            EXPECT_EQ(outcome.errors.size(), c.error.empty() ? 0u : 1u) << c.error;
            EXPECT_EQ(outcome.deleted.size(), c.deleted) << c.error;
        }
    }
}

TEST(RunCleanup, AnUnterminatedTextIsReadWithinItsField) {
    Stores stores;
    stores.cache.Add("Cookie:" + std::string(100, 'x'));
    CleanupCriteria c;
    c.kind = kCleanContainingText;
    c.store = kStoreCookies;
    std::memset(c.text, 'x', sizeof c.text);
    RunCleanup(c, stores.cleaner, stores.lists);
    EXPECT_EQ(stores.cache.deleted, Log{"Cookie:" + std::string(100, 'x')});
}

// URLs longer than a record's field are matched and deleted whole, never by
// a cut text that could name another entry.
TEST(DeleteByUrl, ExactAndContainedTexts) {
    Stores stores;
    stores.cleaner.DeleteHistoryUrls("http://b.c/", true);  // exact, without trailing blanks
    stores.cleaner.DeleteHistoryUrls("http://n.c/", true);  // exact is not contains
    stores.cleaner.DeleteHistoryUrls("http://N.c/a.html", true);
    EXPECT_EQ(stores.history.deleted, std::vector<std::u16string>{fakes::Widen("http://b.c/ \t\n\v\f\r")});
    // Exact: the text, without enumerating; a kept cookie only as a cookie.
    const int finds = stores.cache.findCalls;
    CookieKeep keep;
    keep.list = CookieKeepList(Log{"example.com"});
    stores.cleaner.KeepCookies(&keep);
    stores.cleaner.DeleteCookieUrls("Cookie:bob@www.example.com/", true);
    stores.cleaner.DeleteCookieUrls("Cookie:bob@SHOP.org/", true);
    stores.cleaner.DeleteCacheUrls(kCom, true);
    stores.cleaner.KeepCookies(nullptr);
    for (const char* empty : {"", static_cast<const char*>(nullptr)}) {
        stores.cleaner.DeleteHistoryUrls(empty, false);
        stores.cleaner.DeleteCookieUrls(empty, false);
        stores.cleaner.DeleteCacheUrls(empty, true);
        stores.cleaner.DeleteCacheByExtension(empty);
    }
    EXPECT_EQ(stores.cache.findCalls, finds);
    const std::string longUrl = "http://long.com/" + std::string(2000, 'a') + ".gif";
    stores.history.Add(longUrl);
    stores.cleaner.DeleteHistoryUrls(longUrl.c_str(), true);
    stores.cache.Add(longUrl.substr(0, 1023));
    stores.cache.Add(longUrl);
    stores.cleaner.DeleteCacheByExtension(".gif");
    stores.cleaner.DeleteCacheUrls("LONG.COM", false);
    EXPECT_EQ(stores.cache.deleted, (Log{"http://b.c/", "Cookie:bob@SHOP.org/", kCom, longUrl, "a/g.gif", longUrl,
                                         longUrl.substr(0, 1023)}));
}

TEST(EndsWithBytes, IsTheVeryEndOfTheTextInItsOwnCase) {
    struct Case { const char *text, *suffix; bool ends; } cases[] = {
        {"x.jpg", ".jpg", true}, {"x.JPG", ".jpg", false}, {"x.jpeg", ".jpg", false},
        {".js", ".js", true},    {"js", ".js", false},     {"x.tif", ".tiff", false}};
    for (const auto& c : cases)
        EXPECT_EQ(EndsWithBytes(c.text, c.suffix), c.ends) << c.text << " " << c.suffix;
}

// ---- preview and real run -----------------------------------------------

// The stores above with what the purges find: the local files of the
// entries, which go with them, files besides, an entry and a file that
// cannot be deleted, a history item refused, entries that two passes of
// one criterion take, and a cached copy of a history page.
struct Traces : Stores {
    Traces() {
        files.specialFolders = {{kFolderHistory, "C:\\H"}, {kFolderInternetCache, "C:\\T"}, {kFolderCookies, "C:\\C"}};
        cache.files = &files;
        history.Add("file://h/res://twice").lastUpdated = T(25);
        history.refused.push_back(fakes::Widen("res://i.dll/x"));
        cache.Add("http://n.c/a.html");  // the history page's copy
        cache.Add("a/x.php?y.js");
        cache.Add("a/locked.gif").locked = true;
        cache.Add("a/refused.gif").refusal = kErrorFileNotFound;
        int n = 0;
        for (fakes::FakeCacheEntry& e : cache.entries) {
            // The cache names the files in other letters than the folders list them.
            e.localFile = (e.inCookieContainer ? "C:\\C\\F" : "C:\\T\\CONTENT.IE5\\SUB\\Z") + std::to_string(n++);
            std::string listed = e.localFile;
            std::transform(listed.begin(), listed.end(), listed.begin(), [](char c) { return char(std::tolower(c)); });
            files.AddFile(listed).size = 100;
        }
        files.AddFile("C:\\T\\Content.IE5\\SUB\\left.bin").size = 3000;
        files.AddFile("C:\\T\\Content.IE5\\SUB\\busy.bin").inUse = true;
        files.AddFile("C:\\T\\Content.IE5\\index.dat");
        files.AddFile("C:\\H\\History.IE5\\MSHist01\\index.dat").size = 70;
        files.AddFile("C:\\C\\index.dat");
        files.AddFile("C:\\C\\left.txt").size = 5;
        for (const HistoryItem& item : history.items)
            historyBefore.push_back(std::string(item.url.begin(), item.url.end()));
        for (const auto& e : cache.entries)
            cacheBefore.push_back(e.url);
    }

    CleanupOutcome Run(bool preview, std::int32_t kind, std::int32_t store, Keep keep) {
        CleanupJournal journal(preview);
        cleaner.Journal(&journal);
        Stores::Run(kind, store, "s", 2, 30, keep);
        cleaner.Journal(nullptr);
        return journal.Take();
    }

    // What left the stores, with the trailing blanks of history URLs cut.
    std::multiset<std::string> Gone(const std::vector<std::string>& paths) {
        std::multiset<std::string> gone;
        std::set<std::string> deleted;
        for (const std::u16string& url : history.deleted)
            deleted.insert(std::string(url.begin(), url.end()));
        for (const std::string& url : historyBefore) {
            if (deleted.count(url) && std::find(history.refused.begin(), history.refused.end(),
                                                fakes::Widen(url)) == history.refused.end())
                gone.insert(url.substr(0, url.find_last_not_of(" \t\n\v\f\r") + 1));
        }
        for (const std::string& url : cacheBefore) {
            bool left = false;
            // A marked entry goes when its file is unlocked.
            for (const auto& e : cache.entries)
                left = left || (e.url == url && !e.marked);
            if (!left && !gone.count(url))
                gone.insert(url);
        }
        for (const std::string& path : paths)
            if (!files.Exists(path))
                gone.insert(path);
        return gone;
    }

    std::vector<std::string> historyBefore, cacheBefore;
};

using PreviewCase = std::tuple<std::int32_t, std::int32_t, Keep>;

class PreviewTable : public ::testing::TestWithParam<PreviewCase> {};

TEST_P(PreviewTable, ChangesNothingAndListsWhatTheRunThenDeletes) {
    const auto [kind, store, keep] = GetParam();
    Traces t;
    const CleanupOutcome preview = t.Run(true, kind, store, keep);
    EXPECT_TRUE(t.history.deleted.empty() && t.cache.deleted.empty() && t.files.log.empty());
    EXPECT_EQ(t.cache.entries.size(), t.cacheBefore.size());
    std::vector<std::string> paths;
    std::multiset<std::string> listed(preview.deleted.begin(), preview.deleted.end());
    for (const PurgedFile& f : preview.files) {
        paths.push_back(f.path);
        listed.insert(f.path);
    }
    t.journal.clear();
    const CleanupOutcome real = t.Run(false, kind, store, keep);
    std::multiset<std::string> done = t.Gone(paths);
    done.insert(real.failed.begin(), real.failed.end());
    EXPECT_EQ(listed, done);
    // The files as sets of paths, not only their total: those the run
    // removed and those it was refused. The file of an entry the cache
    // refused goes with the entry in the preview and stays with it in the
    // run: it is in neither.
    std::set<std::string> previewFiles, runFiles;
    for (const std::string& path : paths) {
        previewFiles.insert(Lower(path));
        if (std::find(real.failed.begin(), real.failed.end(), path) != real.failed.end())
            runFiles.insert(Lower(path));
    }
    for (const PurgedFile& f : real.files)
        runFiles.insert(Lower(f.path));
    EXPECT_EQ(previewFiles, runFiles);
    for (const fakes::FakeCacheEntry& e : t.cache.entries) {
        if (e.locked)
            EXPECT_TRUE(t.files.Exists(e.localFile)) << e.url;
    }
    EXPECT_EQ(preview.kept, real.kept);
    EXPECT_EQ(preview.FileBytes(), real.FileBytes());
    // A journal changes nothing a real run does, but for deleting an item
    // a second time, which a real store no longer yields.
    Traces plain;
    plain.Stores::Run(kind, store, "s", 2, 30, keep);
    using Wide = std::set<std::u16string>;
    EXPECT_EQ(Wide(t.history.deleted.begin(), t.history.deleted.end()),
              Wide(plain.history.deleted.begin(), plain.history.deleted.end()));
    EXPECT_EQ(std::set<std::string>(t.cache.deleted.begin(), t.cache.deleted.end()),
              std::set<std::string>(plain.cache.deleted.begin(), plain.cache.deleted.end()));
    EXPECT_EQ(t.files.log, plain.files.log);
}

INSTANTIATE_TEST_SUITE_P(EveryCriterion, PreviewTable,
                         ::testing::Combine(::testing::Range(0, 11), ::testing::Values(1, 2, 3),
                                            ::testing::Values(Keep::Absent, Keep::Sites, Keep::Unreadable)));

// A later run of the same journal meets nothing an earlier one deleted: the
// cache does not list the page copy that History took, nor its file. A
// real run names what was refused, once.
TEST(CleanupJournal, LaterRunsPassOverWhatEarlierOnesDeleted) {
    for (bool preview : {true, false}) {
        Traces t;
        CleanupJournal journal(preview);
        t.cleaner.Journal(&journal);
        t.Stores::Run(kCleanAll, kStoreHistory);
        const std::vector<std::string> history = journal.Take().deleted;
        t.Stores::Run(kCleanAll, kStoreCache);
        t.Stores::Run(kCleanPictures, kStoreCache);
        const CleanupOutcome cache = journal.Take();
        EXPECT_EQ(std::count(history.begin(), history.end(), "http://n.c/a.html"), 1) << preview;
        EXPECT_EQ(std::count(cache.deleted.begin(), cache.deleted.end(), "http://n.c/a.html"), 0) << preview;
        // The files of left.bin, of the entries All passes over or never
        // meets, and busy.bin, which a real run cannot delete; not the copy's.
        EXPECT_EQ(cache.files.size(), preview ? 5u : 4u);
        EXPECT_EQ(cache.FileBytes(), 3300u) << preview;
        // An entry in use is marked and goes when its file is unlocked: it
        // is deleted, not failed; only a refusal of another kind fails.
        EXPECT_EQ(std::count(cache.deleted.begin(), cache.deleted.end(), "a/locked.gif"), 1) << preview;
        EXPECT_EQ(cache.failed,
                  preview ? Log{} : (Log{"a/refused.gif", "C:\\T\\Content.IE5\\sub\\busy.bin"}));
        t.cache.Unlock();
        const bool listed = std::any_of(t.cache.entries.begin(), t.cache.entries.end(),
                                        [](const fakes::FakeCacheEntry& e) { return e.url == "a/locked.gif"; });
        EXPECT_EQ(listed, preview);
    }
}

// ---- the purge of the store folders --------------------------------------

class Purge : public ::testing::Test, public Stores {
protected:
    Purge() {
        files.specialFolders = {{kFolderHistory, "C:\\P\\History"}, {kFolderInternetCache, "C:\\P\\TIF"},
                                {kFolderCookies, "C:\\P\\Cookies"}};
        files.AddFile("C:\\P\\History\\History.IE6.old\\MSHist01\\w.txt");  // no store
    }
};

TEST_F(Purge, HistoryPurgesTheSubfoldersOfTheNewestStoreOnly) {
    const std::string store = "C:\\P\\History\\History.IE6", h1 = store + "\\MSHist01\\", h2 = store + "\\MSHist02\\";
    files.AddFile(store + "\\index.dat").inUse = true;
    files.AddFile(store + "\\loose.txt");
    files.AddFile(h1 + "a.txt", kAttributeReadOnly);
    files.AddFile(h1 + "b.txt").foreignOwner = true;
    files.AddFile(h1 + "busy.txt").inUse = true;
    files.AddFile(h1 + "index.dat").inUse = true;  // the cache holds the week's container open
    files.AddFile(h2 + "deep\\x.txt");
    files.AddFile(h2 + "y.txt");
    files.AddFile("C:\\P\\History\\History.IE5\\MSHist09\\z.txt");
    cleaner.PurgeHistoryFolders();
    // Only a deletion refused for the user's rights changes a file's owner,
    // never one of a file in use; the index file is left to the removal at
    // restart; a subfolder is tried as a file, keeps its security, and keeps
    // the folder that holds it.
    EXPECT_EQ(files.log, (Log{"attrib " + h1 + "a.txt 0", "remove " + h1 + "a.txt", "remove " + h1 + "b.txt",
                              "own " + h1 + "b.txt", "remove " + h1 + "b.txt", "remove " + h1 + "busy.txt",
                              "rmdir " + store + "\\MSHist01", "remove " + h2 + "deep", "remove " + h2 + "y.txt",
                              "rmdir " + store + "\\MSHist02"}));
    EXPECT_TRUE(files.Exists(h2 + "deep\\x.txt"));
    EXPECT_EQ(files.openSearches, 0);
}

// The listing need not begin with "." and "..": they are passed over by name.
TEST_F(Purge, CacheFallsBackToAnOlderStoreAndClearsReadOnlySubfolders) {
    for (bool dots : {true, false}) {
        files.listsDotEntries = dots;
        files.log.clear();
        files.AddFile("C:\\P\\TIF\\Content.IE5\\index.dat");
        files.AddFolder("C:\\P\\TIF\\Content.IE5\\RO", kAttributeReadOnly);
        files.AddFile("C:\\P\\TIF\\Content.IE5\\RO\\f.gif");
        files.AddFile("C:\\P\\TIF\\Content.IE4\\OLD\\x.htm");
        cleaner.PurgeCacheFolders();
        EXPECT_EQ(files.log, (Log{"remove C:\\P\\TIF\\Content.IE5\\RO\\f.gif",
                                  "attrib C:\\P\\TIF\\Content.IE5\\RO " + std::to_string(kAttributeDirectory),
                                  "rmdir C:\\P\\TIF\\Content.IE5\\RO"}));
    }
}

TEST_F(Purge, CookiesPurgeTheirFolderButKeepItAndNothingIsTouchedWithoutStores) {
    files.AddFolder("C:\\P\\Cookies", kAttributeReadOnly | kAttributeHidden);
    // The store's own index file is left to the removal at restart, untouched.
    files.AddFile("C:\\P\\Cookies\\Index.DAT").inUse = true;
    files.AddFile("C:\\P\\Cookies\\Low\\bob@low[1].txt");
    files.AddFile("C:\\P\\Cookies\\bob@gone[1].txt");
    cleaner.PurgeCookieFolder();
    EXPECT_EQ(files.log, (Log{"remove C:\\P\\Cookies\\bob@gone[1].txt", "remove C:\\P\\Cookies\\Low",
                              "attrib C:\\P\\Cookies " + std::to_string(kAttributeHidden | kAttributeDirectory)}));
    files.log.clear();
    cleaner.PurgeHistoryFolders();
    cleaner.PurgeCacheFolders();
    cleaner.PurgeFolderFiles("C:\\P\\Missing", true);
    files.specialFolders.clear();
    files.AddFile("C:\\P\\History\\History.IE6\\MSHist01\\a.txt");
    cleaner.PurgeHistoryFolders();
    cleaner.PurgeCookieFolder();
    EXPECT_TRUE(files.log.empty());
}

// The low process's cache and history keep their items in the Low stores,
// the only store folders it may write: in Protected Mode each purge takes
// those and leaves the normal ones to the broker; with no writeable folder
// it takes nothing.
TEST_F(Purge, InProtectedModeEachPurgeTakesTheLowStoreOnly) {
    const std::string h = "C:\\P\\History", t = "C:\\P\\TIF", k = "C:\\P\\Cookies";
    const std::map<int, std::string> low = {
        {kFolderHistory, h + "\\Low"}, {kFolderInternetCache, t + "\\Low"}, {kFolderCookies, k + "\\Low"}};
    const auto purged = [&](const std::string& in) {
        return Log{"remove " + h + in + "\\History.IE5\\MSHist01\\h.txt", "rmdir " + h + in + "\\History.IE5\\MSHist01",
                   "remove " + t + in + "\\Content.IE5\\SUB\\c.gif", "rmdir " + t + in + "\\Content.IE5\\SUB"};
    };
    Log normal = purged(""), lowOnly = purged("\\Low");
    normal.insert(normal.end(), {"remove " + k + "\\Low", "remove " + k + "\\n.txt"});
    lowOnly.push_back("remove " + k + "\\Low\\c.txt");
    struct Case { bool protectedMode, writeable; Log log; } cases[] = {
        {false, true, normal}, {true, true, lowOnly}, {true, false, {}}};
    for (const Case& c : cases) {
        files.log.clear();
        for (const std::string& in : {std::string(), std::string("\\Low")}) {
            files.AddFile(h + in + "\\History.IE5\\MSHist01\\h.txt");
            files.AddFile(t + in + "\\Content.IE5\\SUB\\c.gif");
        }
        files.AddFile(k + "\\Low\\c.txt");
        files.AddFile(k + "\\n.txt");
        files.writeableStoreFolders = c.writeable ? low : std::map<int, std::string>();
        fakes::FakeProcessRights rights;
        rights.protectedMode = c.protectedMode;
        ProcessFileSystem process(files, rights);
        Cleaner inProcess(history, cache, process, clock);
        inProcess.PurgeHistoryFolders();
        inProcess.PurgeCacheFolders();
        inProcess.PurgeCookieFolder();
        EXPECT_EQ(files.log, c.log) << c.protectedMode << c.writeable;
    }
}

// In each state: a low process purges only a folder labelled low, such as
// the Low store that its own platform uses; the user's own folder stays
// whole, the index file and the read-only mark included.
class PurgeIn : public Purge, public ::testing::WithParamInterface<fakes::RightsState> {
protected:
    PurgeIn() : rights(GetParam().Rights()) { files.rights = &rights; }
    const fakes::FakeProcessRights rights;
};

INSTANTIATE_TEST_SUITE_P(States, PurgeIn, ::testing::ValuesIn(fakes::kRightsStates),
                         [](const auto& info) { return std::to_string(info.index); });

TEST_P(PurgeIn, OnlyWhatTheProcessMayWriteGoes) {
    for (bool low : {false, true}) {
        files.lowFolders = low ? Log{"C:\\P\\Cookies"} : Log{};
        files.AddFolder("C:\\P\\Cookies", kAttributeReadOnly);
        files.AddFile("C:\\P\\Cookies\\bob@gone[1].txt").foreignOwner = true;
        files.AddFile("C:\\P\\Cookies\\busy.txt").inUse = true;  // in use: no refusal of rights
        cleaner.PurgeCookieFolder();
        const bool writes = low || GetParam().WritesMedium();
        EXPECT_EQ(files.Exists("C:\\P\\Cookies\\bob@gone[1].txt"), !writes) << low;
        std::uint32_t attributes = 0;
        ASSERT_TRUE(files.GetAttributes("C:\\P\\Cookies", &attributes));
        EXPECT_EQ((attributes & kAttributeReadOnly) != 0, !writes) << low;
    }
    // What the band tells: only the refusal in the user's own folder.
    EXPECT_EQ(cleaner.PurgeRefused(), !GetParam().WritesMedium());
}

// ---- the cleanup dialogs -------------------------------------------------

// The last option of each dialog, an option of another dialog, and two
// checked at once, where the first in the dialog's order wins.
TEST(CleanupDialogModel, TheFirstCheckedOptionInTableOrderGivesTheKind) {
    struct Case { std::int32_t store; std::set<int> checked; std::int32_t kind; } cases[] = {
        {kStoreHistory, {218}, kCleanBetweenDates}, {kStoreHistory, {225}, kCleanNothing},
        {kStoreCookies, {213}, kCleanBetweenDates}, {kStoreCookies, {207, 205}, kCleanAll},
        {kStoreCache, {228}, kCleanBetweenDates},   {kStoreCache, {228, 213}, kCleanStylesAndScripts},
        {kStoreCache, {}, kCleanNothing},
    };
    for (const auto& c : cases) {
        const CleanupDialogInfo* info = CleanupDialogFor(c.store);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(CleanupKindOf(*info, [&](int id) { return c.checked.count(id) != 0; }), c.kind) << c.store;
    }
    for (std::int32_t store : {0, 4})
        EXPECT_EQ(CleanupDialogFor(store), nullptr);
}

TEST(CleanupDialogModel, TextTravelsByTheRulesOfEachDialogCutToItsLimit) {
    const std::string combo = "gopher:", box = "Example.COM ", long_(300, 'x');
    struct Case { std::int32_t store, kind; std::string combo, box, expected; } cases[] = {
        {kStoreHistory, kCleanSelectedProtocol, combo, box, combo}, {kStoreHistory, kCleanAll, combo, box, ""},
        {kStoreHistory, kCleanContainingText, combo, box, box},     {kStoreCookies, kCleanAll, combo, box, box},
        {kStoreCache, kCleanNothing, combo, box, box},
        {kStoreHistory, kCleanSelectedProtocol, long_, "", std::string(31, 'x')},
        {kStoreHistory, kCleanContainingText, "", long_, std::string(99, 'x')},
        {kStoreCookies, kCleanContainingText, "", long_, std::string(98, 'x')},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CleanupTextOf(c.store, c.kind, c.combo, c.box), c.expected) << c.store << "/" << c.kind;
}

TEST(CleanupDialogModel, DayBoundsCoverTheWholeDay) {
    const std::uint64_t day = 864000000000ULL, any = ~0ULL;
    // 2024-07-05 00:00:00 UTC is 1720137600 s after 1970, which is 11644473600 s after 1601.
    struct Case { CivilDate date; std::uint64_t start; } cases[] = {
        {{1601, 1, 1}, 0}, {{1601, 3, 1}, 59 * day}, {{1700, 3, 1}, (99 * 365 + 24 + 59) * day},
        {{2024, 7, 5}, (1720137600ULL + 11644473600ULL) * 10000000ULL},
        {{2000, 2, 29}, (951782400ULL + 11644473600ULL) * 10000000ULL},
        {{30827, 12, 31}, any}, {{2023, 2, 28}, any},
    };
    for (const Case& c : cases) {
        FileTime start, end;
        ASSERT_TRUE(DayStart(c.date, &start)) << c.date.year;
        ASSERT_TRUE(DayEnd(c.date, &end)) << c.date.year;
        if (c.start != any) {
            EXPECT_EQ(start.Value(), c.start) << c.date.year;
        }
        EXPECT_EQ(end.Value() - start.Value(), day - 1) << c.date.year;
        CivilDate back;
        ASSERT_TRUE(FileTimeToCivil(end, &back));
        EXPECT_EQ(std::vector<int>({back.year, back.month, back.day}),
                  std::vector<int>({c.date.year, c.date.month, c.date.day}));
    }
    const CivilDate bad[] = {{2023, 2, 29}, {1900, 2, 29}, {2024, 13, 1}, {2024, 0, 5}, {2024, 4, 31}, {2024, 1, 32},
                             {1600, 12, 31}, {30828, 1, 1}, {2024, 1, 0}, {2024, -1, 5}};
    for (const CivilDate& d : bad) {
        FileTime t = FileTime::FromValue(7);
        EXPECT_FALSE(DayStart(d, &t)) << d.year << "-" << d.month << "-" << d.day;
        EXPECT_FALSE(DayEnd(d, &t)) << d.year << "-" << d.month << "-" << d.day;
        EXPECT_EQ(t.Value(), 7u);
    }
}

TEST(CleanupDialogModel, CriteriaSpanThePickedDaysOrStayAtNow) {
    const FileTime now = FileTime::FromValue(42);
    const PickedDay day{true, {2024, 7, 5}};
    FileTime early, next;
    DayStart({2024, 7, 5}, &early);
    DayStart({2024, 7, 6}, &next);
    const CleanupCriteria c =
        BuildCleanupCriteria(*CleanupDialogFor(kStoreHistory), kCleanBetweenDates, "file:", "x", day, day, now);
    EXPECT_EQ(c.from.Value(), early.Value());
    EXPECT_EQ(c.to.Value(), next.Value() - 1);  // an item late on the last day lies between the dates
    EXPECT_EQ(c.store, kStoreHistory);
    EXPECT_EQ(c.kind, kCleanBetweenDates);
    EXPECT_STREQ(c.text, "");
    // Unreadable pickers leave the bounds at now.
    const CleanupCriteria d =
        BuildCleanupCriteria(*CleanupDialogFor(kStoreCookies), kCleanContainingText, "", "ads", {}, {}, now);
    EXPECT_EQ(d.from.Value(), now.Value());
    EXPECT_EQ(d.to.Value(), now.Value());
    EXPECT_STREQ(d.text, "ads");
    EXPECT_EQ(d.store, kStoreCookies);
}

}  // namespace
}  // namespace tw
