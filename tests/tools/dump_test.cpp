#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/fixtures/samples.h"
#include "tools/dump/dump.h"

namespace tw {
namespace {

std::string Slurp(std::FILE* f) {
    std::string s;
    std::rewind(f);
    for (int c; (c = std::fgetc(f)) != EOF;)
        s += char(c);
    return s;
}

struct DumpRun {
    int code;
    std::string out, err;
};

DumpRun Dump(std::vector<std::string> args) {
    std::vector<const char*> argv = {"tidewell-dump"};
    for (const auto& a : args)
        argv.push_back(a.c_str());
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    DumpRun r;
    r.code = RunDump(int(argv.size()), argv.data(), out, err);
    r.out = Slurp(out);
    r.err = Slurp(err);
    std::fclose(out);
    std::fclose(err);
    return r;
}

class DumpTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = ::testing::TempDir();
        history_ = dir_ + "dump_history.dat";
        cookies_ = dir_ + "dump_cookies.dat";
        cache_ = dir_ + "dump_cache.dat";
        ASSERT_TRUE(fixtures::SampleHistoryIndex().WriteTo(history_));
        ASSERT_TRUE(fixtures::SampleCookieIndex().WriteTo(cookies_));
        ASSERT_TRUE(fixtures::SampleCacheIndex().WriteTo(cache_));
    }
    std::string dir_, history_, cookies_, cache_;
};

TEST_F(DumpTest, TsvRowsOfEachKind) {
    DumpRun r = Dump({history_, cookies_, cache_});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.err, "");
    const std::string h = history_ + "\tHistory\t";
    const std::string c = cookies_ + "\tCookies\t";
    const std::string k = cache_ + "\tCache\t";
    EXPECT_EQ(r.out,
              "File\tKind\tTitle\tUser\tURL\tLast Visited\tLast Updated\n" +
              h + "Example Domain\talice\thttp://www.example.com/index.html\t06.07.2024\t05.07.2024\n" +
              h + "Today's news\talice\thttps://news.example.org/today\tunknown\t23.11.2009\n" +
              h + "\talice\tfile:///C:/Documents/notes.txt\t01.12.2026\t01.12.2026\n"
              "File\tKind\tUser\tURL\tLast Visited\tLast Updated\n" +
              c + "alice\texample.com/\t01.01.2025\t05.07.2024\n" +
              c + "alice\tshop.example.net/cart\t15.03.2023\t14.03.2023\n"
              "File\tKind\tURL\tLast Visited\tLast Updated\n" +
              k + "http://www.example.com/index.html\t01.12.2026\t20.11.2026\n" +
              k + "http://www.example.com/logo.png\t02.12.2026\t21.11.2026\n" +
              k + "https://cdn.example.net/app.js\t03.12.2026\t22.11.2026\n" +
              k + "http://www.example.com/style.css\t04.12.2026\t23.11.2026\n");
}

TEST_F(DumpTest, CsvQuotesAndJsonEscapes) {
    fixtures::IndexFileWriter w;
    fixtures::IndexRecord rec;
    rec.url = "Visited: a@http://x/?q=\"1\",2";
    rec.title = u"tab\there";
    w.Add(rec);
    const std::string path = dir_ + "dump_quotes.dat";
    ASSERT_TRUE(w.WriteTo(path));
    DumpRun csv = Dump({"--format", "csv", path});
    EXPECT_EQ(csv.code, 0);
    EXPECT_NE(csv.out.find(",tab\there,a,\"http://x/?q=\"\"1\"\",2\",unknown,unknown\r\n"), std::string::npos)
        << csv.out;
    DumpRun json = Dump({"--format=json", path});
    EXPECT_EQ(json.code, 0);
    EXPECT_NE(json.out.find("[\"tab\\there\",\"a\",\"http://x/?q=\\\"1\\\",2\",\"unknown\",\"unknown\"]"),
              std::string::npos)
        << json.out;
    DumpRun tsv = Dump({path});
    EXPECT_NE(tsv.out.find("\ttab\\there\t"), std::string::npos);
}

TEST_F(DumpTest, BadInputIsNamedAndFails) {
    const std::string text = dir_ + "dump_not_index.txt";
    std::FILE* f = std::fopen(text.c_str(), "wb");
    ASSERT_TRUE(f);
    for (int i = 0; i < 100; ++i)
        std::fputs("not an index file\n", f);
    std::fclose(f);
    const std::string small = dir_ + "dump_small.dat";
    ASSERT_TRUE(fixtures::WriteFile(small, fixtures::EmptyIndexImage(200)));
    const std::string empty = dir_ + "dump_empty.dat";
    ASSERT_TRUE(fixtures::WriteFile(empty, fixtures::EmptyIndexImage(4096)));

    struct Case { std::vector<std::string> args; const char* message; } cases[] = {
        {{text}, ": not an index file"},
        {{small}, ": too small to be an index file (200 bytes)"},
        {{empty}, ": no URL records"},
        {{dir_ + "missing.dat"}, ": cannot open: "},
        {{}, "no index file given"},
        {{"--format", "xml", history_}, "unknown format 'xml'"},
        {{"--bogus", history_}, "unknown option --bogus"},
    };
    for (const Case& c : cases) {
        DumpRun r = Dump(c.args);
        EXPECT_EQ(r.code, 2) << c.message;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
    // The good file among bad ones is still dumped.
    DumpRun mixed = Dump({text, history_});
    EXPECT_EQ(mixed.code, 2);
    EXPECT_NE(mixed.out.find("Example Domain"), std::string::npos);
}

TEST_F(DumpTest, OtherVersionWarnsAndPrints) {
    fixtures::IndexFileWriter w("4.7");
    fixtures::IndexRecord rec;
    rec.url = "http://old/";
    w.Add(rec);
    const std::string path = dir_ + "dump_old.dat";
    ASSERT_TRUE(w.WriteTo(path));
    DumpRun r = Dump({path});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.err.find("warning: index file version is not 5.2"), std::string::npos);
    EXPECT_NE(r.out.find("http://old/"), std::string::npos) << r.out << r.err;
}

}  // namespace
}  // namespace tw

namespace tw {
namespace {

TEST_F(DumpTest, HtmlReportOfOneIndexFileUnderItsKindsHeading) {
    DumpRun cookies = Dump({"--format", "html", cookies_});
    EXPECT_EQ(cookies.code, 0) << cookies.err;
    EXPECT_EQ(cookies.out.rfind("<html>\r\n<head>\r\n<title>Internet Explorer Cookies</title>", 0), 0u);
    // Index records keep the page layout: no size or hits.
    EXPECT_EQ(cookies.out.find("Size:"), std::string::npos);
    EXPECT_NE(cookies.out.find("LastVisited: 01.01.2025 &nbsp;&nbsp;LastUpdated: 05.07.2024"), std::string::npos)
        << cookies.out;
    EXPECT_EQ(cookies.out.substr(cookies.out.size() - 7), "</html>");

    DumpRun two = Dump({"--format", "html", cookies_, history_});
    EXPECT_EQ(two.code, 2);
    EXPECT_NE(two.err.find("one report of one index file"), std::string::npos);
    EXPECT_EQ(two.out, "");
}

}  // namespace
}  // namespace tw
