#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "report/report_writer.h"

namespace tw {
namespace {

const FileTime kJuly5th2024 = FileTime::FromValue(133646112000000000ull);

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
    std::string out(std::size_t(std::ftell(f)), '\0');
    std::rewind(f);
    out.resize(std::fread(&out[0], 1, out.size(), f));
    std::fclose(f);
    return out;
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

// Where two long texts part, rather than both whole.
std::string FirstDifference(const std::string& a, const std::string& b) {
    std::size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
    return "at byte " + std::to_string(i) + ": '" + a.substr(i, 40) + "' vs '" + b.substr(i, 40) + "'";
}

TEST(ReportWriter, EachStoreMatchesItsGoldenFile) {
    const std::string url91 = "http://example.com/" + std::string(72, 'a');
    EntryArray<PageEntry> pages, none;
    pages.Append(Page("  Example & Co\t", " http://example.com/ ", kJuly5th2024, FileTime(), FileTime()));
    pages.Append(Page(" \r\n ", url91.substr(0, 90), FileTime(), kJuly5th2024, FileTime()));
    pages.Append(Page("<script>alert(\"x\")</script>", url91, FileTime(), FileTime(),
                      FileTime::FromValue(2650466880000000000ull)));
    EntryArray<FileEntry> cookies, cache;
    FileEntry a = Item("C:\\Users\\u\\Cookies\\user@example[1].txt", "Cookie:user@example.com/", 123, 4);
    a.expire = kJuly5th2024;
    cookies.Append(a);
    cookies.Append(Item("C:\\Users\\u\\Cookies\\", "Cookie:user@other.example/", 1, 0));
    cache.Append(Item("C:\\c\\x.htm", "Visited: u@http://example.com/", 10, 1));  // left out, as are cookies
    FileEntry logo = Item("C:\\Cache\\ABC\\logo.gif", "http://example.com/logo.gif", 4096, 4294967295u);
    logo.lastModified = logo.lastAccess = kJuly5th2024;
    cache.Append(logo);
    cache.Append(Item("C:\\c\\y.txt", "http://x/?Cookie:y", 10, 1));
    const std::pair<std::string, const char*> cases[] = {
        {Written([&](std::FILE* f) { WriteReport(f, pages, "dd/MM/yyyy"); }), "history.html"},
        {Written([&](std::FILE* f) { WriteReport(f, ReportKind::Cookies, cookies, "dd/MM/yyyy"); }), "cookies.html"},
        {Written([&](std::FILE* f) { WriteReport(f, ReportKind::Cache, cache, "dd/MM/yyyy"); }), "cache.html"},
        {Written([&](std::FILE* f) { WriteReport(f, none, "dd.MM.yyyy"); }), "empty_history.html"},
        {ReportHead(ReportKind::History) + ReportTail(), "empty_history.html"},
    };
    for (const auto& c : cases) {
        const std::string want = Golden(c.second);
        EXPECT_TRUE(c.first == want) << c.second << " " << FirstDifference(c.first, want);
    }
}

TEST(ReportWriter, OnlyTheCookiesReportMarksKeptCookies) {
    EntryArray<FileEntry> entries;
    const FileEntry kept = Item("k", "Cookie:bob@www.example.com/", 1, 0), other = Item("o", "Cookie:bob@x.com/", 1, 0);
    entries.Append(kept);
    entries.Append(other);
    const KeptCookieTest test = [&](const FileEntry& e) { return e.localFile[0] == 'k'; };
    const std::string marked = ReportBlock(kept, "dd.MM.yyyy", true);
    EXPECT_NE(marked.find(" &nbsp;&nbsp;Hits: 0 &nbsp;&nbsp;<b>Kept</b></td>"), std::string::npos) << marked;
    EXPECT_EQ(Written([&](std::FILE* f) { WriteReport(f, ReportKind::Cookies, entries, "dd.MM.yyyy", test); }),
              ReportHead(ReportKind::Cookies) + marked + ReportBlock(other, "dd.MM.yyyy") + ReportTail());
    EXPECT_EQ(Written([&](std::FILE* f) { WriteReport(f, ReportKind::Cache, entries, "dd.MM.yyyy", test); }),
              ReportHead(ReportKind::Cache) + ReportTail());
}

TEST(ReportWriter, TextsAreTrimmedShortenedEscapedAndEndInCarriageReturnLineFeed) {
    EXPECT_EQ(ReportShorten(std::string(90, 'x')), std::string(90, 'x'));
    EXPECT_EQ(ReportShorten(std::string(91, 'x')), std::string(90, 'x') + "...");
    // The cut counts the page's own characters, not the entities made of them.
    EXPECT_EQ(EscapeHtml(ReportShorten(std::string(89, 'x') + "&&")), std::string(89, 'x') + "&amp;...");
    EXPECT_EQ(EscapeHtml("a<b>\"c\"&'d'"), "a&lt;b&gt;&quot;c&quot;&amp;'d'");
    for (auto [file, name] : {std::pair{"C:\\a\\  name.txt ", "name.txt"}, {"nofolder.txt", "nofolder.txt"},
                              {"C:\\a\\", "Untitled"}})
        EXPECT_EQ(ReportFileName(file), name);
    EXPECT_EQ(ReportTitle("\v\f"), "Untitled");
    const PageEntry e = Page("a\nb", "u", FileTime::FromValue(0x8000000000000000ull), FileTime::FromValue(~0ull), {});
    const std::string all = ReportHead(ReportKind::Cache) + ReportBlock(e, "dd.MM.yyyy") + ReportTail();
    EXPECT_NE(all.find("LastVisited: unknown &nbsp;&nbsp;LastUpdated: unknown &nbsp;&nbsp;Expires: unknown"),
              std::string::npos) << all;
    for (std::size_t i = all.find('\n'); i != std::string::npos; i = all.find('\n', i + 1))
        ASSERT_EQ(all[i - 1], '\r') << "bare line feed at " << i;
    EXPECT_NE(all.find("<title>Internet Explorer Cache</title>"), std::string::npos);
}

}  // namespace
}  // namespace tw
