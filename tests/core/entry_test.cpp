#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "core/ansi_text.h"
#include "core/classify.h"
#include "core/entry.h"
#include "core/tab_rows.h"
#include "settings/date_format.h"
#include "tests/fixtures/index_file_writer.h"

namespace tw {
namespace {

using fixtures::TicksOf;

TEST(CopyField, CutsToFieldLessOne) {
    PageEntry e;
    CopyField(e.url, std::string(1500, 'u').c_str());
    EXPECT_EQ(std::string(e.url), std::string(1023, 'u'));
    CopyField(e.title, nullptr);
    EXPECT_STREQ(e.title, "");
    CopyField(e.title, sizeof e.title, "abcdef", 3);
    EXPECT_STREQ(e.title, "abc");
}

TEST(FileTime, ZeroOnlyWithBothHalvesZeroAndComparedAsOneValue) {
    struct Case { std::uint64_t a, b; bool aIsZero; int compared; } cases[] = {
        {0, 0, true, 0}, {1, 1ull << 32, false, -1}, {1ull << 32, 1, false, 1}, {~0ull, ~0ull, false, 0},
    };
    for (const Case& c : cases) {
        const FileTime a = FileTime::FromValue(c.a), b = FileTime::FromValue(c.b);
        EXPECT_EQ(a.IsZero(), c.aIsZero) << c.a;
        EXPECT_EQ(CompareFileTime(a, b), c.compared) << c.a << " " << c.b;
        EXPECT_EQ(a.Value(), c.a);
    }
}

TEST(Latin1CodePage, LowersLettersAndConvertsUnitsWithinTheirCount) {
    const Latin1CodePage cp;
    char text[] = "@AZ[`az{\xBF\xC0\xD6\xD7\xD8\xDE\xDF";
    cp.Lower(text);
    EXPECT_STREQ(text, "@az[`az{\xBF\xE0\xF6\xD7\xF8\xFE\xDF");
    const char16_t units[] = {u'a', 0xE9, 0x20AC, u'b', u'c'};
    char out[8] = "xxxxxxx";
    EXPECT_EQ(cp.FromUtf16(units, 4, out, sizeof out), 4u);
    EXPECT_STREQ(out, "a\xE9?b");  // the unit past the count is not read
    EXPECT_EQ(cp.FromUtf16(units, 5, out, 3), 2u);
    EXPECT_STREQ(out, "a\xE9");
}

int g_allowedAllocations = 0;
void* LimitedRealloc(void* p, std::size_t n) { return g_allowedAllocations-- <= 0 ? nullptr : std::realloc(p, n); }

// Capacity 1, then doubling; a growth that fails drops the record and keeps the rest.
TEST(EntryArray, GrowsByDoublingAndSurvivesAFailedGrowth) {
    g_allowedAllocations = 3;
    EntryArray<FileEntry> a(&LimitedRealloc);
    std::string appended;
    for (std::uint32_t i = 0; i < 5; ++i) {
        FileEntry e;
        e.size = i;
        appended += a.Append(e) ? "1" : "0";
        appended += std::to_string(a.Capacity()) + " ";
    }
    for (const FileEntry& e : a)
        appended += std::to_string(e.size);
    EXPECT_EQ(appended, "11 12 14 14 04 0123");
}

TEST(Classify, LiveItemsAndIndexFileKinds) {
    struct Case { const char* url; LiveItem item; EntryKind kind; } cases[] = {
        {"Cookie:user1@shop/cart", LiveItem::Cookie, EntryKind::Cookie},
        {"Visited: user@http://site/page", LiveItem::Dropped, EntryKind::History},
        {"http://site/?q=Visited:x", LiveItem::Dropped, EntryKind::History},  // anywhere, not only at the start
        {"Visited: u@http://x/Cookie:y", LiveItem::Dropped, EntryKind::Cookie},  // live: history first; files: cookie
        {"cookie:user@site/", LiveItem::Cache, EntryKind::Cache},                  // the markers are case-sensitive
        {"http://site/logo.png", LiveItem::Cache, EntryKind::Cache},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ClassifyLiveItem(c.url), c.item) << c.url;
        PageEntry e;
        CopyField(e.url, c.url);
        EXPECT_EQ(IndexFileKind(e), c.kind) << c.url;
    }
}

TEST(Classify, AddressesTitlesAndNumbers) {
    const std::string texts[] = {LiveCookieAddress("Cookie:user1@shop/cart"), LiveCookieAddress("user@site/"),
                                 IndexCacheAddress("http://a/b@c"),           IndexCacheAddress("http://a/b"),
                                 LiveHistoryTitle(""),                        LiveHistoryTitle("Home"),
                                 NumberText(2147483647u),                     NumberText(2147483648u)};
    EXPECT_EQ(std::vector<std::string>(std::begin(texts), std::end(texts)),
              (std::vector<std::string>{"user1@shop/cart", "user@site/", "c", "http://a/b", "Untitled", "Home",
                                        "2147483647", "-2147483648"}));
    struct Case { const char* url; EntryKind kind; const char* userAndAddress; } cases[] = {
        {"Visited: user2@http://site/x", EntryKind::History, "user2|http://site/x"},
        {" \t\r\nold@http://a/", EntryKind::History, "old|http://a/"},
        {"pre Visited: u@a@b", EntryKind::History, "u|a@b"},
        {"me@http://x/ Visited", EntryKind::History, "me|http://x/ Visited"},
        {"Cookie:site/path", EntryKind::Cookie, "|site/path"},
        {"Cookie:  bob@site/", EntryKind::Cookie, "bob|site/"},
        {"Visited: u@x", EntryKind::Cookie, "Visited: u|x"},  // only the kind's own marker is cut
    };
    for (const Case& c : cases) {
        const UserAndAddress ua = IndexUserAndAddress(c.url, c.kind);
        EXPECT_EQ(ua.user + "|" + ua.address, c.userAndAddress) << c.url;
    }
}

TEST(Classify, CacheRowImages) {
    struct Case { const char* file; const char* url; int image; } cases[] = {
        {"logo[1].PNG", "http://a/logo.png", kImagePicture}, {"page[1].html", "http://a/", kImageWebPage},
        {"data[1].json", "http://a/", kImageScript},         {"readme[1].txt", "http://a/", kImageBlank},
        {"C:\\X\\page[1].htm", "https://a/", kImageWebPage},  // .htm is tested before https:
        {"readme[1].txt", "HTTPS://secure/", kImageSecure},
        {"pic[1].png", "https://secure/pic.png", kImageSecure},  // https: before the pictures
        {"a.jpeg.css", "", kImagePicture}, {"a[1].gif", "", kImagePicture}, {"a[1].bmp", "", kImagePicture},
        {"a[1].jpg", "", kImagePicture},   {"a[1].js", "", kImageScript},    {"a[1].avi", "", kImageMedia},
        {"a[1].mid", "", kImageMedia},     {"s[1].CSS", "", kImageStyle},    {"s[1].mp3", "", kImageMedia},
        {"c[1].au", "", kImageMedia},      {"", "", kImageBlank},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CacheRowImage(c.file, c.url), c.image) << c.file << " " << c.url;
}

// The image, then each cell's text, ^ for a hyperlink and the day of a date cell.
std::string Text(const Row& row) {
    std::string s = std::to_string(row.image);
    for (const Cell& c : row.cells)
        s += " " + c.text + (c.format == kHyperlinkFormat ? "^" : "") +
             (c.hasDate ? "@" + IsoUtcTime(c.date).substr(0, 10) : "");
    return s;
}

FileTime Day(int year, int month, int day) { return FileTime::FromValue(TicksOf(year, month, day)); }

TEST(TabRows, RowsOfEachList) {
    const FileEntry cookie{"Cookie:user1@shop/cart", "user1@shop[1].txt", Day(2009, 11, 23), Day(2024, 7, 5), {},
                           2147483648u, 3};
    const PageEntry page{"Visited: user2@http://site/x", "", {}, {}, {}};
    const PageEntry cache{"http://a/", "", Day(1602, 1, 1), Day(1601, 12, 31), {}};
    // A time the platform cannot convert shows "unknown" too, not a zero date.
    const PageEntry unconvertible{"http://a/", "", FileTime::FromValue(1ull << 63), Day(1601, 12, 31), {}};
    EXPECT_EQ(Text(LiveCookieRow(cookie, "dd.MM.yyyy")),
              "1 user1@shop[1].txt user1@shop/cart^ -2147483648 3 05.07.2024@2024-07-05 23.11.2009@2009-11-23 "
              "unknown@1601-01-01");
    EXPECT_EQ(Text(LiveHistoryRow(page, "dd.MM.yyyy")),
              "0 Untitled Visited: user2@http://site/x^ unknown@1601-01-01 unknown@1601-01-01 unknown@1601-01-01");
    EXPECT_EQ(Text(IndexFileRow(page, EntryKind::History, "dd.MM.yyyy")),
              "-1  user2 http://site/x^ unknown@1601-01-01 unknown@1601-01-01");
    EXPECT_EQ(Text(IndexFileRow(cache, EntryKind::Cache, "dd.MM.yyyy")),
              "-1 http://a/^ unknown@1601-12-31 01.01.1602@1602-01-01");
    EXPECT_EQ(Text(IndexFileRow(unconvertible, EntryKind::Cache, "dd.MM.yyyy")),
              "-1 http://a/^ unknown@1601-12-31 unknown@");
}

}  // namespace
}  // namespace tw
