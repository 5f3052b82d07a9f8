#include <gtest/gtest.h>

#include "core/classify.h"

namespace tw {
namespace {

TEST(Classify, LiveItems) {
    struct Case { const char* url; LiveItem item; } cases[] = {
        {"Cookie:user1@shop/cart", LiveItem::Cookie},
        {"Visited: user@http://site/page", LiveItem::Dropped},
        {"http://site/?q=Visited:x", LiveItem::Dropped},        // anywhere, not only at the start
        {"Visited: u@http://x/Cookie:y", LiveItem::Dropped},    // history wins over cookie
        {"http://site/Cookie:z", LiveItem::Cookie},
        {"cookie:user@site/", LiveItem::Cache},                 // the markers are case-sensitive
        {"http://site/logo.png", LiveItem::Cache},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClassifyLiveItem(c.url), c.item) << c.url;
}

TEST(Classify, IndexFileKindFromFirstRecord) {
    PageEntry e;
    CopyField(e.url, "Cookie:u@site/");
    EXPECT_EQ(IndexFileKind(e), EntryKind::Cookie);
    CopyField(e.url, "Visited: u@http://site/Cookie:x");
    EXPECT_EQ(IndexFileKind(e), EntryKind::Cookie);  // the cookie test comes first
    CopyField(e.url, "Visited: u@http://site/");
    EXPECT_EQ(IndexFileKind(e), EntryKind::History);
    CopyField(e.url, "http://site/");
    EXPECT_EQ(IndexFileKind(e), EntryKind::Cache);
}

TEST(Classify, Addresses) {
    EXPECT_STREQ(LiveCookieAddress("Cookie:user1@shop/cart"), "user1@shop/cart");
    EXPECT_STREQ(LiveCookieAddress("user@site/"), "user@site/");
    EXPECT_STREQ(IndexCacheAddress("http://a/b@c"), "c");
    EXPECT_STREQ(IndexCacheAddress("http://a/b"), "http://a/b");

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

TEST(Classify, TitlesAndNumbers) {
    EXPECT_STREQ(LiveHistoryTitle(""), "Untitled");
    EXPECT_STREQ(LiveHistoryTitle("Home"), "Home");
    EXPECT_EQ(NumberText(0), "0");
    EXPECT_EQ(NumberText(2147483647u), "2147483647");
    EXPECT_EQ(NumberText(2147483648u), "-2147483648");
    EXPECT_EQ(NumberText(0xFFFFFFFFu), "-1");
}

TEST(Classify, CacheRowImages) {
    struct Case { const char* file; const char* url; int image; } cases[] = {
        {"logo[1].PNG", "http://a/logo.png", kImagePicture},
        {"page[1].html", "http://a/", kImageWebPage},
        {"data[1].json", "http://a/", kImageScript},
        {"readme[1].txt", "http://a/", kImageBlank},
        {"C:\\Cache\\X\\page[1].htm", "https://a/", kImageWebPage},  // .htm is tested before https:
        {"readme[1].txt", "https://secure/", kImageSecure},
        {"readme[1].txt", "HTTPS://secure/", kImageSecure},
        {"pic[1].png", "https://secure/pic.png", kImageSecure},        // https: before the pictures
        {"a.jpeg.css", "http://a/", kImagePicture},
        {"a[1].gif", "", kImagePicture}, {"a[1].bmp", "", kImagePicture}, {"a[1].jpg", "", kImagePicture},
        {"a[1].js", "", kImageScript}, {"a[1].avi", "", kImageMedia}, {"a[1].mid", "", kImageMedia},
        {"style[1].CSS", "http://a/", kImageStyle},
        {"song[1].mp3", "http://a/", kImageMedia},
        {"clip[1].au", "http://a/", kImageMedia},
        {"", "", kImageBlank},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CacheRowImage(c.file, c.url), c.image) << c.file << " " << c.url;
}

}  // namespace
}  // namespace tw
