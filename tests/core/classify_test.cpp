#include <gtest/gtest.h>

#include "core/classify.h"

namespace tw {
namespace {

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
    EXPECT_STREQ(LiveCookieAddress("Cookie:user1@shop/cart"), "user1@shop/cart");
    EXPECT_STREQ(LiveCookieAddress("user@site/"), "user@site/");
    EXPECT_STREQ(IndexCacheAddress("http://a/b@c"), "c");
    EXPECT_STREQ(IndexCacheAddress("http://a/b"), "http://a/b");
    EXPECT_STREQ(LiveHistoryTitle(""), "Untitled");
    EXPECT_STREQ(LiveHistoryTitle("Home"), "Home");
    EXPECT_EQ(NumberText(2147483647u), "2147483647");
    EXPECT_EQ(NumberText(2147483648u), "-2147483648");
    struct Case { const char* url; EntryKind kind; const char* user; const char* address; } cases[] = {
        {"Visited: user2@http://site/x", EntryKind::History, "user2", "http://site/x"},
        {" \t\r\nold@http://a/", EntryKind::History, "old", "http://a/"},
        {"pre Visited: u@a@b", EntryKind::History, "u", "a@b"},
        {"me@http://x/ Visited", EntryKind::History, "me", "http://x/ Visited"},
        {"Cookie:site/path", EntryKind::Cookie, "", "site/path"},
        {"Cookie:  bob@site/", EntryKind::Cookie, "bob", "site/"},
        {"Visited: u@x", EntryKind::Cookie, "Visited: u", "x"},  // only the kind's own marker is cut
    };
    for (const Case& c : cases) {
        const UserAndAddress ua = IndexUserAndAddress(c.url, c.kind);
        EXPECT_EQ(ua.user, c.user) << c.url;
        EXPECT_EQ(ua.address, c.address) << c.url;
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

}  // namespace
}  // namespace tw
