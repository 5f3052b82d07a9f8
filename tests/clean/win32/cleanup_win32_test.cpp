// Each Cache and Cookies criterion against Wine's real URL cache in the
// test prefix, and the folder purge against real files.
#include <windows.h>
#include <shlobj.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

#include "clean/cleanup.h"
#include "core/live_readers.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_history.h"
#include "platform/win32/win32_url_cache.h"

namespace tw {
namespace {

using Urls = std::set<std::string>;

FILETIME Ticks(std::uint64_t v) {
    FILETIME t;
    t.dwLowDateTime = DWORD(v);
    t.dwHighDateTime = DWORD(v >> 32);
    return t;
}

const std::uint64_t kYear2000 = 125911584000000000ull;
const std::uint64_t kYear2100 = 157469184000000000ull;
const std::uint64_t kDay = 864000000000ull;

// Puts url into the cache with a local file, so that its size is not zero.
bool Commit(const std::string& url, DWORD type, std::uint64_t expire = 0) {
    char file[MAX_PATH] = "";
    if (!CreateUrlCacheEntryA(url.c_str(), 16, "dat", file, 0))
        return false;
    std::FILE* f = std::fopen(file, "wb");
    if (!f)
        return false;
    std::fputs("tidewell-bytes\n", f);
    std::fclose(f);
    return CommitUrlCacheEntryA(url.c_str(), file, Ticks(expire), Ticks(0), type, nullptr, 0, nullptr, nullptr) !=
           FALSE;
}

Urls Live(const char* pattern) {
    Win32UrlCache cache;
    EntryArray<FileEntry> entries;
    EnumerateUrlCache(cache, pattern, entries);
    Urls urls;
    for (const FileEntry& e : entries)
        urls.insert(e.url);
    return urls;
}

void EmptyCache() {
    for (int round = 0; round < 2; ++round) {
        for (const char* pattern : {kAllPattern, kCookiePattern})
            for (const std::string& url : Live(pattern))
                DeleteUrlCacheEntryA(url.c_str());
    }
}

const char* const kContent[] = {
    "http://tidewell.test/a.jpg",     "http://tidewell.test/b.JPG",   "http://tidewell.test/c.jpg?x=1",
    "http://tidewell.test/d.tmp",     "http://tidewell.test/e.zip",   "http://tidewell.test/f.css",
    "http://tidewell.test/g.js",      "http://tidewell.test/h.JS",    "http://tidewell.test/i.php?id=1",
    "http://tidewell.test/j.ASP?x=1", "http://tidewell.test/k.html",  "http://tidewell.test/l.txt",
};
const char kOldCookie[] = "Cookie:tester@tidewell.test/";
const char kNewCookie[] = "Cookie:tester@ads.tidewell.test/";

struct Lists : ListRebuilder {
    void ShowStore(std::int32_t) override {}
    void RebuildList(std::int32_t store) override { rebuilt.push_back(store); }
    std::vector<std::int32_t> rebuilt;
};

struct Row {
    const char* name;
    std::int32_t store, kind;
    const char* text;
    bool aroundNow;  // BetweenDates: a day either side of now, else the year 2000
    Urls deleted;
};

void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }

// The cache folder's subfolders as they are now. The purge of All removes
// them, and Wine, unlike Windows, does not make them again.
std::vector<std::string> CacheSubfolders() {
    std::vector<std::string> folders;
    char base[MAX_PATH] = "";
    if (!SHGetSpecialFolderPathA(nullptr, base, CSIDL_INTERNET_CACHE, FALSE))
        return folders;
    for (const char* store : {"\\Content.IE6", "\\Content.IE5", "\\Content.IE4"}) {
        const std::string folder = std::string(base) + store;
        WIN32_FIND_DATAA data;
        const HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &data);
        if (h == INVALID_HANDLE_VALUE)
            continue;
        do {
            if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && data.cFileName[0] != '.')
                folders.push_back(folder + "\\" + data.cFileName);
        } while (FindNextFileA(h, &data));
        FindClose(h);
    }
    return folders;
}

class LiveCriterion : public ::testing::TestWithParam<Row> {
protected:
    void SetUp() override {
        EmptyCache();
        for (const char* url : kContent)
            ASSERT_TRUE(Commit(url, NORMAL_CACHE_ENTRY));
        ASSERT_TRUE(Commit(kOldCookie, COOKIE_CACHE_ENTRY, kYear2000));
        ASSERT_TRUE(Commit(kNewCookie, COOKIE_CACHE_ENTRY, kYear2100));
        // Now that the cache has made them.
        subfolders_ = CacheSubfolders();
    }
    void TearDown() override {
        EmptyCache();
        for (const std::string& folder : subfolders_)
            CreateDirectoryA(folder.c_str(), nullptr);
    }

    std::vector<std::string> subfolders_;

    // What is left of the committed entries, cookies included.
    Urls Left() {
        Urls left = Live(kCookiePattern);
        for (const std::string& url : Live(kAllPattern))
            left.insert(url);
        return left;
    }
};

TEST_P(LiveCriterion, DeletesExactlyItsEntries) {
    const Row& row = GetParam();
    Urls all(std::begin(kContent), std::end(kContent));
    all.insert(kOldCookie);
    all.insert(kNewCookie);
    ASSERT_EQ(Left(), all);

    Win32UrlCache cache;
    Win32HistoryService history;
    Win32FileSystem files;
    Win32Clock clock;
    Cleaner cleaner(history, cache, files, clock);
    Lists lists;
    CleanupCriteria c;
    c.kind = row.kind;
    c.store = row.store;
    CopyField(c.text, row.text);
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const std::uint64_t mid = row.aroundNow ? (std::uint64_t(now.dwHighDateTime) << 32 | now.dwLowDateTime) : kYear2000;
    c.from = FileTime::FromValue(mid - kDay);
    c.to = FileTime::FromValue(mid + kDay);
    EXPECT_EQ(RunCleanup(c, cleaner, lists), 0);
    EXPECT_EQ(lists.rebuilt, std::vector<std::int32_t>{row.store});

    Urls expected;
    for (const std::string& url : all)
        if (!row.deleted.count(url))
            expected.insert(url);
    EXPECT_EQ(Left(), expected);
}

const Urls kAllContent(std::begin(kContent), std::end(kContent));

const Row kRows[] = {
    {"CacheAll", kStoreCache, kCleanAll, "", false, kAllContent},
    {"CachePictures", kStoreCache, kCleanPictures, "", false,
     {"http://tidewell.test/a.jpg", "http://tidewell.test/d.tmp"}},
    {"CacheArchives", kStoreCache, kCleanArchives, "", false, {"http://tidewell.test/e.zip"}},
    {"CacheStylesAndScripts", kStoreCache, kCleanStylesAndScripts, "", false,
     {"http://tidewell.test/f.css", "http://tidewell.test/g.js", "http://tidewell.test/i.php?id=1",
      "http://tidewell.test/j.ASP?x=1"}},
    {"CachePagesAndOtherFiles", kStoreCache, kCleanPagesAndOtherFiles, "", false,
     {"http://tidewell.test/k.html", "http://tidewell.test/l.txt"}},
    {"CacheContainingText", kStoreCache, kCleanContainingText, "C.JPG", false, {"http://tidewell.test/c.jpg?x=1"}},
    {"CacheBetweenDatesAroundNow", kStoreCache, kCleanBetweenDates, "", true, kAllContent},
    {"CacheBetweenDatesLongAgo", kStoreCache, kCleanBetweenDates, "", false, {}},
    {"CookiesAll", kStoreCookies, kCleanAll, "", false, {kOldCookie, kNewCookie}},
    {"CookiesExpired", kStoreCookies, kCleanExpiredCookies, "", false, {kOldCookie}},
    {"CookiesContainingText", kStoreCookies, kCleanContainingText, "ADS.", false, {kNewCookie}},
    {"CookiesBetweenDatesAroundNow", kStoreCookies, kCleanBetweenDates, "", true, {kOldCookie, kNewCookie}},
    {"CookiesBetweenDatesLongAgo", kStoreCookies, kCleanBetweenDates, "", false, {}},
};

INSTANTIATE_TEST_SUITE_P(Wine, LiveCriterion, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.name); });

// A folder tree of real files under the temporary folder.
class RealFolder : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        ASSERT_NE(GetTempPathA(MAX_PATH, temp), 0u);
        root_ = std::string(temp) + "tidewell-purge-" + std::to_string(GetCurrentProcessId());
        store_ = root_ + "\\Content.IE5";
        sub_ = store_ + "\\ABCD1234";
        for (const std::string& d : {root_, store_, sub_, sub_ + "\\inner"})
            ASSERT_TRUE(CreateDirectoryA(d.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
        for (const std::string& f : {root_ + "\\above.txt", store_ + "\\beside.txt", sub_ + "\\a.htm",
                                     sub_ + "\\b.gif", sub_ + "\\inner\\deep.txt"})
            Put(f);
        SetFileAttributesA((sub_ + "\\b.gif").c_str(), FILE_ATTRIBUTE_READONLY);
    }
    void TearDown() override {
        for (const std::string& f : {root_ + "\\above.txt", store_ + "\\beside.txt", sub_ + "\\a.htm",
                                     sub_ + "\\b.gif", sub_ + "\\inner\\deep.txt"}) {
            SetFileAttributesA(f.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(f.c_str());
        }
        for (const std::string& d : {sub_ + "\\inner", sub_, store_, root_})
            RemoveDirectoryA(d.c_str());
    }
    static void Put(const std::string& path) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr) << path;
        std::fputs("x", f);
        std::fclose(f);
    }
    static bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

    std::string root_, store_, sub_;
};

TEST_F(RealFolder, PurgeDeletesTheFolderFilesOnly) {
    Win32UrlCache cache;
    Win32HistoryService history;
    Win32FileSystem files;
    Win32Clock clock;
    Cleaner cleaner(history, cache, files, clock);
    cleaner.PurgeFolderFiles(sub_.c_str(), true);
    EXPECT_FALSE(Exists(sub_ + "\\a.htm"));
    EXPECT_FALSE(Exists(sub_ + "\\b.gif"));  // read-only, cleared first
    EXPECT_TRUE(Exists(sub_ + "\\inner\\deep.txt"));
    EXPECT_TRUE(Exists(sub_));  // it still holds a subfolder
    EXPECT_TRUE(Exists(store_ + "\\beside.txt"));
    EXPECT_TRUE(Exists(root_ + "\\above.txt"));
}

// Access is granted, and ownership taken with the privilege or not at all.
TEST_F(RealFolder, AccessAndOwnershipOfTheEntriesThere) {
    const std::string file = sub_ + "\\a.htm", missing = sub_ + "\\missing.htm";
    HANDLE token = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY | TOKEN_ADJUST_PRIVILEGES, &token));
    const bool held = SetPrivilege(token, "SeTakeOwnershipPrivilege", false);
    EXPECT_FALSE(SetPrivilege(token, "SeNoSuchPrivilege", false));
    CloseHandle(token);
    EXPECT_EQ(TakeOwnership(file.c_str()), held);
    EXPECT_FALSE(TakeOwnership(missing.c_str()));
    EXPECT_TRUE(GrantAccessToCurrentUser(file.c_str(), GENERIC_ALL));
    EXPECT_TRUE(DeleteFileA(file.c_str()));
    EXPECT_FALSE(GrantAccessToCurrentUser(missing.c_str(), GENERIC_ALL));
    EXPECT_FALSE(GrantAccess(file.c_str(), nullptr, GENERIC_ALL));
}

}  // namespace
}  // namespace tw
