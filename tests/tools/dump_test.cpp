#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/fixtures/index_file_writer.h"
#include "tools/dump/code_page.h"
#include "tools/dump/dump.h"

namespace tw {
namespace {

struct DumpRun {
    int code;
    std::string out, err;
};

std::string Slurp(std::FILE* f) {
    std::string s;
    std::rewind(f);
    for (int c; (c = std::fgetc(f)) != EOF;)
        s += char(c);
    std::fclose(f);
    return s;
}

DumpRun Dump(const std::vector<std::string>& args) {
    std::vector<const char*> argv = {"tidewell-dump"};
    for (const auto& a : args)
        argv.push_back(a.c_str());
    std::FILE *out = std::tmpfile(), *err = std::tmpfile();
    const int code = RunDump(int(argv.size()), argv.data(), out, err);
    return {code, Slurp(out), Slurp(err)};
}

std::string Written(const std::string& name, const fixtures::IndexFileWriter& w) {
    const std::string path = ::testing::TempDir() + name;
    EXPECT_TRUE(w.WriteTo(path));
    return path;
}

// The real file with one byte changed, written beside the tests.
std::string Variant(const std::string& name, std::size_t at, unsigned char value) {
    std::ifstream in(TW_REAL_HISTORY, std::ios::binary);
    std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (at >= b.size()) {
        ADD_FAILURE() << "cannot read " << TW_REAL_HISTORY;
        return name;
    }
    b[at] = value;
    const std::string path = ::testing::TempDir() + name;
    EXPECT_TRUE(fixtures::WriteFile(path, b));
    return path;
}

TEST(Dump, TsvRowsOfEachKind) {
    const std::string h = Written("dump_history.dat", fixtures::SampleHistoryIndex()),
                      c = Written("dump_cookies.dat", fixtures::SampleCookieIndex()),
                      k = Written("dump_cache.dat", fixtures::SampleCacheIndex());
    const DumpRun r = Dump({h, c, k});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "File\tKind\tTitle\tUser\tURL\tLast Visited\tLast Updated\n" + h +
                         "\tHistory\tExample Domain\talice\thttp://www.example.com/index.html\t06.07.2024\t05.07.2024\n" +
                         h + "\tHistory\tToday's news\talice\thttps://news.example.org/today\tunknown\t23.11.2009\n" + h +
                         "\tHistory\t\talice\tfile:///C:/Documents/notes.txt\t01.12.2026\t01.12.2026\n"
                         "File\tKind\tUser\tURL\tLast Visited\tLast Updated\n" +
                         c + "\tCookies\talice\texample.com/\t01.01.2025\t05.07.2024\n" + c +
                         "\tCookies\talice\tshop.example.net/cart\t15.03.2023\t14.03.2023\n"
                         "File\tKind\tURL\tLast Visited\tLast Updated\n" +
                         k + "\tCache\thttp://www.example.com/index.html\t01.12.2026\t20.11.2026\n" + k +
                         "\tCache\thttp://www.example.com/logo.png\t02.12.2026\t21.11.2026\n" + k +
                         "\tCache\thttps://cdn.example.net/app.js\t03.12.2026\t22.11.2026\n" + k +
                         "\tCache\thttp://www.example.com/style.css\t04.12.2026\t23.11.2026\n");
    const DumpRun html = Dump({"--format", "html", c});
    EXPECT_EQ(html.out.rfind("<html>\r\n<head>\r\n<title>Internet Explorer Cookies</title>", 0), 0u);
    EXPECT_NE(html.out.find("LastVisited: 01.01.2025 &nbsp;&nbsp;LastUpdated: 05.07.2024"), std::string::npos);
    EXPECT_EQ(html.out.find("Size:"), std::string::npos);  // index records keep the page layout
}

TEST(Dump, QuotingEscapesAndCodePages) {
    fixtures::IndexRecord rec;
    rec.url = "Visited: a@http://x/?q=\"1\",\x80\xe9";
    rec.title = u"tab\there";
    const std::string path = Written("dump_quotes.dat", fixtures::IndexFileWriter().Add(rec));
    struct Case { std::vector<std::string> args; const char* text; } cases[] = {
        {{"--format", "csv", path}, ",tab\there,a,\"http://x/?q=\"\"1\"\",\x80\xe9\",unknown,unknown\r\n"},
        {{"--format=json", path}, "[\"tab\\there\",\"a\",\"http://x/?q=\\\"1\\\",\xe2\x82\xac\xc3\xa9\""},
        {{"--format=jsonl", "--codepage=windows-1251", path}, "http://x/?q=\\\"1\\\",\xd0\x82\xd0\xb9\""},
        {{"--codepage", "ISO-8859-1", "--format", "jsonl", path}, "\",\xc2\x80\xc3\xa9\""},
        {{"--codepage", "windows-1251", path}, "\ttab\\there\ta\thttp://x/?q=\"1\",\x80\xe9\t"},
        {{"--summary", TW_REAL_HISTORY}, ": History, version 5.2, 7 allocated, 11 recovered (11 with a readable URL)\n"},
        {{"--summary", Variant("dump_unlinked.dat", 0x4000 + 16 + 8 * 392, 1)},
         ": History, version 5.2, 6 allocated, 11 recovered (11 with a readable URL), 1 unlinked\n"},
        {{"--summary", Variant("dump_wiped.dat", 0x5600 + 104, 0)}, "11 recovered (10 with a readable URL)\n"},
        {{"--format", "jsonl", TW_REAL_HISTORY},
         "\"offset\":20480,\"size\":256,\"type\":\"URL\",\"state\":\"allocated\",\"url\":\"Visited: testing@mshelp://"
         "windows/?id=d063548a-3fc9-4723-99f3-b12a0c4354a8\",\"title\":\"What is safe mode?\",\"last_modified\":"
         "\"2011-06-23T18:57:24.25Z\",\"last_accessed\":\"2011-06-23T18:57:24.25Z\",\"expiry\":\"2011-06-29T18:50:16Z\","
         "\"last_checked\":\"2011-06-23T18:57:26Z\",\"hits\":13}"},
    };
    for (const Case& c : cases) {
        const DumpRun r = Dump(c.args);
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_NE(r.out.find(c.text), std::string::npos) << r.out;
    }
}

// Every byte of 0x80 to 0x9F, where windows-1252 and Latin-1 part: the
// built-in table must agree with the platform's converter.
TEST(Dump, CodePageBytes0x80To0x9F) {
    std::string error;
    const std::unique_ptr<CodePage> builtIn = BuiltInWindows1252(), platform = OpenCodePage("CP1252", &error);
    ASSERT_TRUE(platform) << error;
    for (int b = 0x80; b < 0xA0; ++b) {
        const char byte = char(b);
        std::string got, want;
        builtIn->AppendUtf8(&byte, 1, got);
        platform->AppendUtf8(&byte, 1, want);
        EXPECT_EQ(got, want) << std::hex << b;
    }
    std::string euro, units;
    builtIn->AppendUtf8("\x80", 1, euro);
    EXPECT_EQ(euro, "\xE2\x82\xAC");  // a converter that is Latin-1 would agree with a wrong table
    AppendUtf16AsUtf8(u"\xD83D\xDE00|\xD800|\xDC00", 6, units);
    EXPECT_EQ(units, "\xF0\x9F\x98\x80|\xEF\xBF\xBD|\xEF\xBF\xBD");
}

TEST(Dump, BadInputAndOptionsFailClearly) {
    const std::string dir = ::testing::TempDir(), small = dir + "dump_small.dat", none = dir + "dump_none.dat",
                      text = dir + "dump_text.dat", good = Written("dump_good.dat", fixtures::SampleHistoryIndex());
    ASSERT_TRUE(fixtures::WriteFile(small, fixtures::EmptyIndexImage(256)));
    ASSERT_TRUE(fixtures::WriteFile(none, fixtures::EmptyIndexImage(0x5000)));
    ASSERT_TRUE(fixtures::WriteFile(text, std::vector<unsigned char>(1000, 'x')));
    struct Case { std::vector<std::string> args; const char* message; } cases[] = {
        {{text}, ": not an index file"},
        {{"--format", "jsonl", small}, ": too small to be an index file (256 bytes)"},
        {{"--summary", none}, ": no URL records"},
        {{dir + "dump_missing.dat"}, ": cannot open: "},
        {{"--format", "jsonl", dir}, ": cannot open: "},
        {{}, "no index file given"},
        {{"--bogus", good}, "unknown option --bogus"},
        {{"--codepage", "no-such-page", good}, "unknown code page 'no-such-page'"},
        {{"--codepage", "UTF-16", good}, "is not an ANSI code page"},
        {{"--format", "xml", good}, "unknown format 'xml' (tsv, csv, json, jsonl or html)"},
        {{"--format", "html", good, good}, "one report of one index file"},
    };
    for (const Case& c : cases) {
        const DumpRun r = Dump(c.args);
        EXPECT_EQ(r.code, 2) << c.message;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
    const DumpRun mixed = Dump({text, good});  // the good file among bad ones is still dumped
    EXPECT_EQ(mixed.code, 2);
    EXPECT_NE(mixed.out.find("Example Domain"), std::string::npos);
    fixtures::IndexRecord old;
    old.url = "http://old/";
    const DumpRun r = Dump({Written("dump_old.dat", fixtures::IndexFileWriter("4.7").Add(old))});
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.err.find("warning: index file version is not 5.2"), std::string::npos);
    EXPECT_NE(r.out.find("http://old/"), std::string::npos);
}

}  // namespace
}  // namespace tw
