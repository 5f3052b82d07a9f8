#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "clean/cookie_keep.h"
#include "settings/settings_store.h"
#include "tests/fakes/fake_registry.h"

namespace tw {
namespace {

using Names = std::vector<std::string>;
using Bytes = std::vector<unsigned char>;

// Names each ended by its zero, then the list's own zero.
Bytes MultiSz(const Names& names) {
    Bytes b;
    for (const std::string& n : names)
        b.insert(b.end(), n.c_str(), n.c_str() + n.size() + 1);
    b.push_back(0);
    return b;
}
template <std::size_t N>
Bytes B(const char (&text)[N]) { return Bytes(text, text + N - 1); }

TEST(CookieKeep, HostsOfKeptSites) {
    // Stored in capitals: names and hosts compare without regard to case.
    const CookieKeepList keep(Names{"Example.COM"});
    struct Case { const char* url; bool kept; } cases[] = {
        {"Cookie:bob@example.com/", true},        {"Cookie:bob@www.example.com/account", true},
        {"bob@Shop.EXAMPLE.com/cart", true},      {"Cookie:bob@example.com", true},
        {"Cookie:bob@badexample.com/", false},    {"Cookie:bob@example.com.evil.net/", false},
        {"Cookie:bob@example.co/", false},        {"Cookie:example.com/", false},  // no "@": no site's
        {"Cookie:bob@/example.com/", false},      {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(keep.KeepsCookie(c.url), c.kept) << c.url;
    EXPECT_EQ(CookieHost("Cookie:bob@a.b/c@d/e"), "a.b");
    EXPECT_FALSE(CookieKeepList().KeepsCookie("Cookie:bob@example.com/"));
}

TEST(CookieKeep, TypedNamesAndTheirLimits) {
    struct Case { const char *typed, *name; } cases[] = {
        {" .Example.com\t", "example.com"}, {"WWW.bank.example.net", "bank.example.net"}, {".www.x.org", "x.org"},
        {"wwwexample.com", "wwwexample.com"}, {"www.", ""}, {".", ""},
        {"\n\v\f\rshop.test\r\f\v\n", "shop.test"},
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
    list.RemoveAt(0);
    list.RemoveAt(5000);
    EXPECT_EQ(list.Names().size(), 999u);
    EXPECT_FALSE(list.KeepsHost("example.com"));
}

// Each way the value can be a list of at most 1,000 names of at most 255
// characters, or fail to be one.
TEST(StoredList, ReadsAsTheListOrNotAtAll) {
    struct Case { std::uint32_t type; Bytes data; bool readable; Names names; } cases[] = {
        {kRegMultiSz, {}, true, {}}, {kRegMultiSz, B("\0"), true, {}}, {kRegMultiSz, B("a\0\0\0\0"), true, {"a"}},
        {kRegMultiSz, B("a.com\0"), true, {"a.com"}},  // without the list's zero
        {kRegMultiSz, MultiSz({"a.com", "B.net"}), true, {"a.com", "B.net"}},
        {kRegMultiSz, MultiSz({std::string(255, 'x')}), true, {std::string(255, 'x')}},
        {kRegSz, MultiSz({"example.com"}), false, {}}, {kRegMultiSz, B("a.com\0b.com"), false, {}},
        {kRegMultiSz, B("a.com\0\0b.com\0\0"), false, {}},
        {kRegMultiSz, MultiSz({"a.com", std::string(256, 'x')}), false, {}},
        {kRegMultiSz, MultiSz(Names(1001, "a")), false, {}},
        {kRegMultiSz, MultiSz(Names(1001, std::string(255, 'x'))), false, {}},
    };
    for (const auto& c : cases) {
        fakes::FakeRegistry registry;
        registry.SetRaw(RegRoot::CurrentUser, kSettingsPathNew, "CookiesToKeep", c.type, c.data);
        Names names{"stale"};
        EXPECT_EQ(ReadCookiesToKeep(registry, true, &names), c.readable) << c.data.size();
        EXPECT_EQ(names, c.names);
        EXPECT_EQ(registry.openKeys, 0);
    }
    // Absent is empty; a key that will not open is unreadable.
    fakes::FakeRegistry registry;
    registry.SetDword(RegRoot::CurrentUser, kSettingsPathOld, kValueDisableConfirmation, 1);
    registry.deniedPaths.push_back("software\\raridezaz\\tidewell");
    Names names{"stale"};
    EXPECT_FALSE(ReadCookiesToKeep(registry, false, &names));
    EXPECT_TRUE(ReadCookiesToKeep(registry, true, &names));
    EXPECT_TRUE(names.empty());
}

TEST(StoredList, SavedAsAMultiStringAndReadBack) {
    fakes::FakeRegistry registry;
    for (const Names& saved : {Names{"example.com", "bank.example.net"}, Names{}}) {
        ASSERT_TRUE(SaveCookiesToKeep(registry, false, saved));
        const fakes::FakeRegistry::Value* v =
            registry.Find(RegRoot::CurrentUser, kSettingsCreatePathOld, "CookiesToKeep");
        ASSERT_NE(v, nullptr);
        EXPECT_EQ(v->type, kRegMultiSz);
        EXPECT_EQ(v->data, MultiSz(saved));
        Names names;
        EXPECT_TRUE(ReadCookiesToKeep(registry, false, &names));
        EXPECT_EQ(names, saved);
    }
}

}  // namespace
}  // namespace tw
