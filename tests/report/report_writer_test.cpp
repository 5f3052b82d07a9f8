#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "report/report_writer.h"

namespace tw {
namespace {

const FileTime kJuly5th2024 = FileTime::FromValue(133646112000000000ull);
const FileTime kLastDay9999 = FileTime::FromValue(2650466880000000000ull);

std::string Golden(const char* name) {
    std::ifstream in(std::string(TW_GOLDEN_DIR) + "/" + name, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

template <typename Write>
std::string Written(Write write) {
    std::FILE* f = std::tmpfile();
    write(f);
    std::rewind(f);
    std::string out;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        out.append(buffer, n);
    std::fclose(f);
    return out;
}

// Shows where two long texts part, rather than both whole.
std::string FirstDifference(const std::string& a, const std::string& b) {
    std::size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i])
        ++i;
    return "at byte " + std::to_string(i) + ": '" + a.substr(i, 40) + "' vs '" + b.substr(i, 40) + "'";
}

PageEntry Page(const char* title, const std::string& url, FileTime visited, FileTime updated, FileTime expires) {
    PageEntry e;
    CopyField(e.title, title);
    CopyField(e.url, url.c_str());
    e.lastVisited = visited;
    e.lastUpdated = updated;
    e.expires = expires;
    return e;
}

FileEntry Item(const char* localFile, const char* url, std::uint32_t size, std::uint32_t hits) {
    FileEntry e;
    CopyField(e.localFile, localFile);
    CopyField(e.url, url);
    e.size = size;
    e.hitRate = hits;
    return e;
}

TEST(ReportWriter, HistoryMatchesItsGoldenFile) {
    const std::string url91 = "http://example.com/" + std::string(72, 'a');
    EntryArray<PageEntry> entries;
    entries.Append(Page("  Example & Co\t", " http://example.com/ ", kJuly5th2024, FileTime(), FileTime()));
    entries.Append(Page(" \r\n ", url91.substr(0, 90), FileTime(), kJuly5th2024, FileTime()));
    entries.Append(Page("<script>alert(\"x\")</script>", url91, FileTime(), FileTime(), kLastDay9999));
    const std::string got = Written([&](std::FILE* f) { WriteReport(f, entries, "dd/MM/yyyy"); });
    const std::string want = Golden("history.html");
    EXPECT_EQ(got, want) << FirstDifference(got, want);
}

TEST(ReportWriter, CookiesMatchTheirGoldenFile) {
    EntryArray<FileEntry> entries;
    FileEntry a = Item("C:\\Users\\u\\Cookies\\user@example[1].txt", "Cookie:user@example.com/", 123, 4);
    a.expire = kJuly5th2024;
    entries.Append(a);
    entries.Append(Item("C:\\Users\\u\\Cookies\\", "Cookie:user@other.example/", 1, 0));
    const std::string got = Written([&](std::FILE* f) { WriteReport(f, ReportKind::Cookies, entries, "dd/MM/yyyy"); });
    const std::string want = Golden("cookies.html");
    EXPECT_EQ(got, want) << FirstDifference(got, want);
}

TEST(ReportWriter, CacheLeavesOutHistoryAndCookieItems) {
    EntryArray<FileEntry> entries;
    entries.Append(Item("C:\\c\\x.htm", "Visited: u@http://example.com/", 10, 1));
    FileEntry logo = Item("C:\\Cache\\ABC\\logo.gif", "http://example.com/logo.gif", 4096, 4294967295u);
    logo.lastModified = logo.lastAccess = kJuly5th2024;
    entries.Append(logo);
    entries.Append(Item("C:\\c\\y.txt", "http://x/?Cookie:y", 10, 1));
    const std::string got = Written([&](std::FILE* f) { WriteReport(f, ReportKind::Cache, entries, "dd/MM/yyyy"); });
    const std::string want = Golden("cache.html");
    EXPECT_EQ(got, want) << FirstDifference(got, want);
}

TEST(ReportWriter, AnEmptyStoreIsHeadAndTail) {
    EntryArray<PageEntry> none;
    EXPECT_EQ(Written([&](std::FILE* f) { WriteReport(f, none, "dd.MM.yyyy"); }), Golden("empty_history.html"));
    EXPECT_EQ(ReportHead(ReportKind::History) + ReportTail(), Golden("empty_history.html"));
}

TEST(ReportWriter, TextsAreTrimmedShortenedAndThenEscaped) {
    struct Case {
        std::string in;
        std::string shortened;
    };
    const Case cases[] = {
        {std::string(90, 'x'), std::string(90, 'x')},
        {std::string(91, 'x'), std::string(90, 'x') + "..."},
        {std::string(89, 'x') + "&&", std::string(89, 'x') + "&..."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReportShorten(c.in), c.shortened);
    // The cut counts the page's own characters, not the entities made of them.
    EXPECT_EQ(EscapeHtml(ReportShorten(std::string(89, 'x') + "&&")), std::string(89, 'x') + "&amp;...");
    EXPECT_EQ(EscapeHtml("a<b>\"c\"&'d'"), "a&lt;b&gt;&quot;c&quot;&amp;'d'");
    EXPECT_EQ(ReportFileName("C:\\a\\b\\  name.txt "), "name.txt");
    EXPECT_EQ(ReportFileName("nofolder.txt"), "nofolder.txt");
    EXPECT_EQ(ReportFileName("C:\\a\\"), "Untitled");
    EXPECT_EQ(ReportTitle("\v\f"), "Untitled");
}

TEST(ReportWriter, UnconvertibleTimesAreUnknown) {
    PageEntry e = Page("t", "u", FileTime::FromValue(0x8000000000000000ull), FileTime::FromValue(~0ull), FileTime());
    const std::string block = ReportBlock(e, "dd.MM.yyyy");
    EXPECT_NE(block.find("LastVisited: unknown &nbsp;&nbsp;LastUpdated: unknown &nbsp;&nbsp;Expires: unknown"),
              std::string::npos)
        << block;
}

TEST(ReportWriter, EveryLineEndsInCarriageReturnLineFeed) {
    PageEntry e = Page("a\nb", "u", FileTime(), FileTime(), FileTime());
    const std::string all = ReportHead(ReportKind::Cache) + ReportBlock(e, "dd.MM.yyyy") + ReportTail();
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i] == '\n') {
            ASSERT_TRUE(i > 0 && all[i - 1] == '\r') << "bare line feed at " << i;
        }
    }
    EXPECT_NE(all.find("<title>Internet Explorer Cache</title>"), std::string::npos);
    EXPECT_NE(all.find("<h2>Internet Explorer Cache</h2>"), std::string::npos);
    EXPECT_EQ(all.substr(all.size() - 7), "</html>");
}

}  // namespace
}  // namespace tw
