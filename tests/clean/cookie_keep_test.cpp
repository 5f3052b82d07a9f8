#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "clean/cleanup.h"
#include "clean/cookie_keep.h"
#include "platform/win_errors.h"
#include "settings/settings_store.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_history.h"
#include "tests/fakes/fake_registry.h"
#include "tests/fakes/fake_shell.h"
#include "tests/fakes/fake_url_cache.h"

namespace tw {
namespace {

using Names = std::vector<std::string>;
using Bytes = std::vector<unsigned char>;

Bytes B(const std::string& s) { return Bytes(s.begin(), s.end()); }

// Names each ended by its zero, then the list's own zero.
std::string MultiSz(const Names& names) {
    std::string s;
    for (const std::string& n : names)
        s += n + '\0';
    return s + '\0';
}

TEST(CookieKeep, HostsOfKeptSites) {
    // Stored in capitals: names and hosts compare without regard to case.
    const CookieKeepList keep(Names{"Example.COM"});
    const struct {
        const char* url;
        bool kept;
    } cases[] = {
        {"Cookie:bob@example.com/", true},
        {"Cookie:bob@www.example.com/account", true},
        {"bob@Shop.EXAMPLE.com/cart", true},  // a list row, without the marker
        {"Cookie:bob@example.com", true},
        {"Cookie:bob@badexample.com/", false},
        {"Cookie:bob@example.com.evil.net/", false},
        {"Cookie:bob@example.co/", false},
        {"Cookie:example.com/", false},  // no "@": the entry belongs to no site
        {"Cookie:bob@/example.com/", false},
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(keep.KeepsCookie(c.url), c.kept) << c.url;
    EXPECT_EQ(CookieHost("Cookie:bob@a.b/c@d/e"), "a.b");
    EXPECT_FALSE(CookieKeepList().KeepsCookie("Cookie:bob@example.com/"));
}

TEST(CookieKeep, TypedNamesAndTheirLimits) {
    const struct {
        const char* typed;
        const char* name;
    } cases[] = {
        {" .Example.com\t", "example.com"}, {"WWW.bank.example.net", "bank.example.net"},
        {".www.x.org", "x.org"},            {"wwwexample.com", "wwwexample.com"},
        {"www.", ""},                       {".", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KeptSiteName(c.typed), c.name) << c.typed;

    CookieKeepList list;
    EXPECT_EQ(list.Add("www.Example.com"), CookieKeepList::Added::Yes);
    EXPECT_EQ(list.Add("example.COM"), CookieKeepList::Added::AlreadyKept);
    EXPECT_EQ(list.Add(" www. "), CookieKeepList::Added::NotAName);
    EXPECT_EQ(list.Add(std::string(256, 'a')), CookieKeepList::Added::NotAName);
    EXPECT_EQ(list.Add("www." + std::string(255, 'a')), CookieKeepList::Added::Yes);
    for (int i = 2; i < 1000; ++i)
        ASSERT_EQ(list.Add("s" + std::to_string(i)), CookieKeepList::Added::Yes);
    EXPECT_EQ(list.Add("one.more"), CookieKeepList::Added::Full);
    EXPECT_EQ(list.Add("example.com"), CookieKeepList::Added::AlreadyKept);
    ASSERT_EQ(list.Names().size(), 1000u);
    EXPECT_EQ(list.Names()[0], "example.com");
    list.RemoveAt(0);
    list.RemoveAt(5000);
    EXPECT_EQ(list.Names().size(), 999u);
    EXPECT_FALSE(list.KeepsHost("example.com"));
}

struct Stored {
    const char* name;
    bool present;
    std::uint32_t type;
    std::string data;
    bool readable;
    Names names;
};
void PrintTo(const Stored& s, std::ostream* os) { *os << s.name; }

const Stored kReadable[] = {
    {"Absent", false, 0, "", true, {}},
    {"NoBytes", true, kRegMultiSz, "", true, {}},
    {"OnlyTheListsZero", true, kRegMultiSz, std::string(1, '\0'), true, {}},
    {"WithoutTheListsZero", true, kRegMultiSz, std::string("a.com\0", 6), true, {"a.com"}},
    {"TwoNames", true, kRegMultiSz, MultiSz({"a.com", "B.net"}), true, {"a.com", "B.net"}},
    {"ZerosAfterTheEnd", true, kRegMultiSz, std::string("a\0\0\0\0", 5), true, {"a"}},
    {"LongestName", true, kRegMultiSz, MultiSz({std::string(255, 'x')}), true, {std::string(255, 'x')}},
};

// Each way the value can fail to be a list of at most 1,000 names of at
// most 255 characters.
const Stored kUnreadable[] = {
    {"WrongType", true, kRegSz, MultiSz({"example.com"}), false, {}},
    {"NotTerminated", true, kRegMultiSz, std::string("a.com\0b.com", 11), false, {}},
    {"NameAfterTheEnd", true, kRegMultiSz, std::string("a.com\0\0b.com\0\0", 14), false, {}},
    {"NameTooLong", true, kRegMultiSz, MultiSz({"a.com", std::string(256, 'x')}), false, {}},
    {"TooManyNames", true, kRegMultiSz, MultiSz(Names(1001, "a")), false, {}},
    {"TooLong", true, kRegMultiSz, MultiSz(Names(1001, std::string(255, 'x'))), false, {}},
};

class StoredList : public ::testing::TestWithParam<Stored> {};

TEST_P(StoredList, ReadsAsTheListOrNotAtAll) {
    const Stored& s = GetParam();
    fakes::FakeRegistry registry;
    if (s.present)
        registry.SetRaw(RegRoot::CurrentUser, kSettingsPathNew, "CookiesToKeep", s.type, B(s.data));
    Names names{"stale"};
    EXPECT_EQ(ReadCookiesToKeep(registry, true, &names), s.readable);
    EXPECT_EQ(names, s.names);
    EXPECT_EQ(registry.openKeys, 0);
}

INSTANTIATE_TEST_SUITE_P(Readable, StoredList, ::testing::ValuesIn(kReadable),
                         [](const auto& info) { return std::string(info.param.name); });
INSTANTIATE_TEST_SUITE_P(Unreadable, StoredList, ::testing::ValuesIn(kUnreadable),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StoredList, AKeyThatWillNotOpenIsUnreadable) {
    fakes::FakeRegistry registry;
    registry.SetDword(RegRoot::CurrentUser, kSettingsPathOld, kValueDisableConfirmation, 1);
    registry.deniedPaths.push_back("software\\raridezaz\\tidewell");
    Names names;
    EXPECT_FALSE(ReadCookiesToKeep(registry, false, &names));
    EXPECT_TRUE(ReadCookiesToKeep(registry, true, &names));  // the other path is simply absent
}

TEST(StoredList, SavedAsAMultiStringAndReadBack) {
    fakes::FakeRegistry registry;
    ASSERT_TRUE(SaveCookiesToKeep(registry, false, {"example.com", "bank.example.net"}));
    const fakes::FakeRegistry::Value* v = registry.Find(RegRoot::CurrentUser, kSettingsCreatePathOld, "CookiesToKeep");
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->type, kRegMultiSz);
    EXPECT_EQ(v->data, B(MultiSz({"example.com", "bank.example.net"})));
    Names names;
    EXPECT_TRUE(ReadCookiesToKeep(registry, false, &names));
    EXPECT_EQ(names, (Names{"example.com", "bank.example.net"}));
    ASSERT_TRUE(SaveCookiesToKeep(registry, false, {}));
    EXPECT_TRUE(ReadCookiesToKeep(registry, false, &names));
    EXPECT_TRUE(names.empty());
}

// ---- cleanups with a keep list -------------------------------------------

FileTime T(std::uint64_t v) { return FileTime::FromValue(v); }

class Rebuilds : public ListRebuilder {
public:
    void ShowStore(std::int32_t) override {}
    void RebuildList(std::int32_t store) override { rebuilt.push_back(store); }
    std::vector<std::int32_t> rebuilt;
};

enum class Keep { Nothing, ExampleCom, Unreadable };

const char kExample[] = "Cookie:bob@example.com/";
const char kWww[] = "Cookie:bob@www.example.com/a";
const char kBad[] = "Cookie:bob@badexample.com/";
const char kShop[] = "Cookie:bob@shop.org/";

struct CookieRun {
    fakes::FakeRegistry registry;
    fakes::FakeHistory history;
    fakes::FakeUrlCache cache;
    fakes::FakeFileSystem files;
    fakes::FakeClock clock;
    fakes::FakeShell shell;
    Rebuilds lists;
    Cleaner cleaner{history, cache, files, clock};

    explicit CookieRun(Keep keep) {
        clock.now = T(100);
        const struct {
            const char* url;
            std::uint64_t accessed, expires;
        } cookies[] = {{kExample, 1, 100}, {kWww, 2, 50}, {kBad, 3, 0}, {kShop, 4, 500}};
        for (const auto& c : cookies) {
            fakes::FakeCacheEntry& e = cache.Add(c.url);
            e.lastAccess = T(c.accessed);
            e.expire = T(c.expires);
        }
        files.specialFolders[kFolderCookies] = "C:\\Cookies";
        files.AddFolder("C:\\Cookies");
        files.AddFile("C:\\Cookies\\bob@example[1].txt");
        if (keep == Keep::ExampleCom)
            SaveCookiesToKeep(registry, true, {"example.com"});
        if (keep == Keep::Unreadable)
            registry.SetRaw(RegRoot::CurrentUser, kSettingsPathNew, "CookiesToKeep", kRegSz, B("example.com"));
    }
    void Clean(std::int32_t kind, bool useKeepList, const char* text = "", std::uint64_t from = 0,
               std::uint64_t to = 0) {
        CleanupCriteria c;
        c.kind = kind;
        c.store = kStoreCookies;
        CopyField(c.text, text);
        c.from = T(from);
        c.to = T(to);
        EXPECT_EQ(RunCleanupKeeping(c, useKeepList, cleaner, lists, registry, true, shell), 0);
    }
    bool Purged() const { return !files.Exists("C:\\Cookies\\bob@example[1].txt"); }
};

struct Criterion {
    const char* name;
    std::int32_t kind;
    const char* text;
    std::uint64_t from, to;
    Keep keep;
    bool useKeepList;
    std::vector<std::string> deleted;
    bool purged;
};
void PrintTo(const Criterion& c, std::ostream* os) { *os << c.name; }

const Criterion kCriteria[] = {
    {"AllKeepingNothing", kCleanAll, "", 0, 0, Keep::Nothing, true, {kExample, kWww, kBad, kShop}, true},
    {"AllKeepingExample", kCleanAll, "", 0, 0, Keep::ExampleCom, true, {kBad, kShop}, false},
    {"AllWithTheListUnchecked", kCleanAll, "", 0, 0, Keep::ExampleCom, false, {kExample, kWww, kBad, kShop}, true},
    {"AllUnreadable", kCleanAll, "", 0, 0, Keep::Unreadable, true, {}, false},
    {"AllUnreadableUnchecked", kCleanAll, "", 0, 0, Keep::Unreadable, false, {}, false},
    {"ExpiredKeepingNothing", kCleanExpiredCookies, "", 0, 0, Keep::Nothing, true, {kExample, kWww, kBad}, false},
    {"ExpiredKeepingExample", kCleanExpiredCookies, "", 0, 0, Keep::ExampleCom, true, {kBad}, false},
    {"ExpiredUnreadable", kCleanExpiredCookies, "", 0, 0, Keep::Unreadable, true, {}, false},
    {"TextKeepingNothing", kCleanContainingText, "EXAMPLE", 0, 0, Keep::Nothing, true, {kExample, kWww, kBad}, false},
    {"TextKeepingExample", kCleanContainingText, "EXAMPLE", 0, 0, Keep::ExampleCom, true, {kBad}, false},
    {"TextUnreadable", kCleanContainingText, "shop", 0, 0, Keep::Unreadable, true, {}, false},
    {"BetweenKeepingNothing", kCleanBetweenDates, "", 2, 4, Keep::Nothing, true, {kWww, kBad, kShop}, false},
    {"BetweenKeepingExample", kCleanBetweenDates, "", 2, 4, Keep::ExampleCom, true, {kBad, kShop}, false},
    {"BetweenUnreadable", kCleanBetweenDates, "", 1, 4, Keep::Unreadable, true, {}, false},
};

class CriteriaWithKeepList : public ::testing::TestWithParam<Criterion> {};

TEST_P(CriteriaWithKeepList, DeleteExactlyThese) {
    const Criterion& c = GetParam();
    CookieRun run(c.keep);
    run.Clean(c.kind, c.useKeepList, c.text, c.from, c.to);
    EXPECT_EQ(run.cache.deleted, c.deleted);
    EXPECT_EQ(run.Purged(), c.purged);
    EXPECT_EQ(run.lists.rebuilt, std::vector<std::int32_t>{kStoreCookies});
    // Only a list that cannot be read is reported, once.
    std::vector<std::pair<std::string, MessageIcon>> told;
    if (c.keep == Keep::Unreadable)
        told.push_back({"The list of sites whose cookies are kept cannot be read, so no cookies were deleted.",
                        MessageIcon::Exclamation});
    EXPECT_EQ(run.shell.messages, told);
}

INSTANTIATE_TEST_SUITE_P(Cookies, CriteriaWithKeepList, ::testing::ValuesIn(kCriteria),
                         [](const auto& info) { return std::string(info.param.name); });

// Every kind of unreadable value stops every cookie deletion.
TEST_P(StoredList, AnUnreadableListDeletesNoCookie) {
    const Stored& s = GetParam();
    CookieRun run(Keep::Nothing);
    if (s.present)
        run.registry.SetRaw(RegRoot::CurrentUser, kSettingsPathNew, "CookiesToKeep", s.type, B(s.data));
    run.Clean(kCleanAll, true);
    EXPECT_EQ(run.cache.deleted.empty(), !s.readable);
    EXPECT_EQ(run.shell.messages.size(), s.readable ? 0u : 1u);
    // Any name, kept or not, keeps the folder.
    EXPECT_EQ(run.Purged(), s.readable && s.names.empty());
}

TEST(CookieKeep, OtherStoresIgnoreTheList) {
    CookieRun run(Keep::Unreadable);
    run.cache.Add("http://example.com/page.html");
    CleanupCriteria c;
    c.kind = kCleanAll;
    c.store = kStoreCache;
    RunCleanupKeeping(c, true, run.cleaner, run.lists, run.registry, true, run.shell);
    EXPECT_EQ(run.cache.deleted, std::vector<std::string>{"http://example.com/page.html"});
    EXPECT_TRUE(run.shell.messages.empty());
}

TEST(CookieKeep, ExactDeletionsPassOverKeptCookies) {
    CookieRun run(Keep::Nothing);
    CookieKeep keep;
    keep.list = CookieKeepList(Names{"example.com"});
    run.cleaner.KeepCookies(&keep);
    run.cleaner.DeleteCookieUrls(kWww, true);
    run.cleaner.DeleteCookieUrls(kBad, true);
    run.cleaner.DeleteCacheUrls("http://www.example.com/", true);
    EXPECT_EQ(run.cache.deleted, (std::vector<std::string>{kBad, "http://www.example.com/"}));
}

}  // namespace
}  // namespace tw
