#include <gtest/gtest.h>

#include "core/classify.h"
#include "core/tab_rows.h"
#include "settings/date_format.h"
#include "tests/fixtures/index_file_writer.h"

namespace tw {
namespace {

using fixtures::TicksOf;

std::vector<std::string> Texts(const Row& row) {
    std::vector<std::string> t;
    for (const Cell& c : row.cells)
        t.push_back(c.text);
    return t;
}

TEST(TabRows, LiveCookieRowShowsModifiedAsLastVisited) {
    FileEntry e;
    CopyField(e.url, "Cookie:user1@shop/cart");
    CopyField(e.localFile, "user1@shop[1].txt");
    e.size = 2147483648u;
    e.hitRate = 3;
    e.lastModified = FileTime::FromValue(TicksOf(2024, 7, 5));
    e.lastAccess = FileTime::FromValue(TicksOf(2009, 11, 23));
    const Row row = LiveCookieRow(e, "dd.MM.yyyy");
    EXPECT_EQ(row.image, kImageCookie);
    EXPECT_EQ(Texts(row), (std::vector<std::string>{"user1@shop[1].txt", "user1@shop/cart", "-2147483648",
                                                    "3", "05.07.2024", "23.11.2009", "unknown"}));
    EXPECT_EQ(row.cells[1].format, kHyperlinkFormat);
    EXPECT_TRUE(row.cells[4].hasDate);
    EXPECT_EQ(row.cells[4].date.Value(), TicksOf(2024, 7, 5));
}

TEST(TabRows, HistoryRows) {
    PageEntry e;
    CopyField(e.url, "Visited: user2@http://site/x");
    const Row live = LiveHistoryRow(e, "dd.MM.yyyy");
    EXPECT_EQ(live.cells[0].text, "Untitled");
    EXPECT_EQ(live.image, kImageHistory);
    const Row index = IndexFileRow(e, EntryKind::History, "dd.MM.yyyy");
    EXPECT_EQ(Texts(index), (std::vector<std::string>{"", "user2", "http://site/x", "unknown", "unknown"}));
    EXPECT_EQ(index.image, -1);
    EXPECT_EQ(index.cells[2].format, kHyperlinkFormat);
}

TEST(TabRows, UnknownDatesByList) {
    PageEntry e;
    CopyField(e.url, "http://a/");
    e.lastVisited = FileTime::FromValue(TicksOf(1601, 12, 31));
    e.lastUpdated = FileTime::FromValue(TicksOf(1602, 1, 1));
    EXPECT_EQ(IndexFileRow(e, EntryKind::Cache, "dd.MM.yyyy").cells[1].text, "unknown");
    EXPECT_EQ(IndexFileRow(e, EntryKind::Cache, "dd.MM.yyyy").cells[2].text, "01.01.1602");
    // A time the platform cannot convert shows "unknown" too, not a zero date.
    e.lastUpdated = FileTime::FromValue(1ull << 63);
    EXPECT_EQ(IndexFileRow(e, EntryKind::Cache, "dd.MM.yyyy").cells[2].text, "unknown");
}

}  // namespace
}  // namespace tw
