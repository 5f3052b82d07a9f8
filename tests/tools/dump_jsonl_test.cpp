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

struct DumpResult {
    int code;
    std::string out, err;
};

std::string Slurp(std::FILE* f) {
    std::string s;
    std::rewind(f);
    for (int c; (c = std::fgetc(f)) != EOF;)
        s += char(c);
    return s;
}

DumpResult Dump(const std::vector<std::string>& args) {
    std::vector<const char*> argv = {"tidewell-dump"};
    for (const auto& a : args)
        argv.push_back(a.c_str());
    std::FILE* out = std::tmpfile();
    std::FILE* err = std::tmpfile();
    DumpResult r{RunDump(int(argv.size()), argv.data(), out, err), Slurp(out), Slurp(err)};
    std::fclose(out);
    std::fclose(err);
    return r;
}

std::vector<std::string> Lines(const std::string& s) {
    std::vector<std::string> lines;
    for (std::size_t at = 0, nl; (nl = s.find('\n', at)) != std::string::npos; at = nl + 1)
        lines.push_back(s.substr(at, nl - at));
    return lines;
}

std::size_t Count(const std::string& s, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1))
        ++n;
    return n;
}

// The real file with some bytes changed, written beside the tests.
std::string Variant(const std::string& name, void (*change)(std::vector<unsigned char>&)) {
    std::ifstream in(TW_REAL_HISTORY, std::ios::binary);
    std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    change(b);
    const std::string path = ::testing::TempDir() + name;
    EXPECT_TRUE(fixtures::WriteFile(path, b));
    return path;
}

const char kFirstRecord[] =
    "\"offset\":20480,\"size\":256,\"type\":\"URL\",\"state\":\"allocated\","
    "\"url\":\"Visited: testing@mshelp://windows/?id=d063548a-3fc9-4723-99f3-b12a0c4354a8\","
    "\"title\":\"What is safe mode?\",\"last_modified\":\"2011-06-23T18:57:24.25Z\","
    "\"last_accessed\":\"2011-06-23T18:57:24.25Z\",\"expiry\":\"2011-06-29T18:50:16Z\","
    "\"last_checked\":\"2011-06-23T18:57:26Z\",\"hits\":13}";

TEST(DumpJsonl, RealHistoryFileHoldsSevenAllocatedAndElevenRecovered) {
    const DumpResult r = Dump({"--format", "jsonl", TW_REAL_HISTORY});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 18u);
    EXPECT_EQ(lines[0], std::string("{\"file\":\"") + TW_REAL_HISTORY + "\"," + kFirstRecord);
    EXPECT_NE(lines[1].find("\"offset\":20736,\"size\":256,\"type\":\"URL\",\"state\":\"recovered\","
                            "\"url\":\"Visited: testing@http://www.trafficfusionx.com/download/tfscrn2/funnycats.exe\""),
              std::string::npos)
        << lines[1];
    EXPECT_EQ(Count(r.out, "\"state\":\"allocated\""), 7u);
    EXPECT_EQ(Count(r.out, "\"state\":\"recovered\""), 11u);
    EXPECT_EQ(Count(r.out, "\"last_checked\":\"20"), 18u);

    const DumpResult s = Dump({"--summary", TW_REAL_HISTORY});
    EXPECT_EQ(s.code, 0);
    EXPECT_EQ(s.out, std::string(TW_REAL_HISTORY) +
                         ": History, version 5.2, 7 allocated, 11 recovered (11 with a readable URL)\n");
}

TEST(DumpJsonl, SummaryOfCleanedAndDamagedVariants) {
    struct Case { const char* name; void (*change)(std::vector<unsigned char>&); const char* summary; } cases[] = {
        // The hash entry of the first record deleted, its blocks still in use.
        {"summary_unlinked.dat", [](std::vector<unsigned char>& b) { b[0x4000 + 16 + 8 * 392] = 1; },
         ": History, version 5.2, 6 allocated, 11 recovered (11 with a readable URL), 1 unlinked\n"},
        // A recovered record whose URL a cleaner has overwritten, one emptied.
        {"summary_wiped.dat",
         [](std::vector<unsigned char>& b) {
             b[0x5100 + 104 + 3] = 0x01;
             b[0x5600 + 104] = 0;
         },
         ": History, version 5.2, 7 allocated, 11 recovered (9 with a readable URL)\n"},
        {"summary_old.dat", [](std::vector<unsigned char>& b) { b[24] = '4'; b[26] = '7'; },
         ": History, version 4.7, 7 allocated, 11 recovered (11 with a readable URL)\n"},
    };
    for (const Case& c : cases) {
        const std::string path = Variant(c.name, c.change);
        const DumpResult r = Dump({"--summary", path});
        EXPECT_EQ(r.code, 0) << c.name;
        EXPECT_EQ(r.out, path + c.summary);
    }
}

// Every byte of 0x80 to 0x9F, where windows-1252 and Latin-1 part: the
// built-in table and the platform's converter must agree with the code page.
TEST(DumpJsonl, CodePageBytes0x80To0x9F) {
    const char32_t expected[32] = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                   0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
                                   0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                   0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    std::string error;
    std::vector<std::unique_ptr<CodePage>> pages;
    pages.push_back(BuiltInWindows1252());
    pages.push_back(OpenCodePage("windows-1252", &error));
    pages.push_back(OpenCodePage("CP1252", &error));
    for (const auto& page : pages) {
        ASSERT_TRUE(page) << error;
        for (int b = 0x80; b < 0xA0; ++b) {
            const char byte = char(b);
            std::string got, want;
            page->AppendUtf8(&byte, 1, got);
            AppendUtf16AsUtf8(std::u16string(1, char16_t(expected[b - 0x80])).data(), 1, want);
            EXPECT_EQ(got, want) << std::hex << b;
        }
        std::string mixed;
        page->AppendUtf8("a\xe9\xff\x80z", 5, mixed);
        EXPECT_EQ(mixed, "a\xc3\xa9\xc3\xbf\xe2\x82\xacz");
    }
    std::string units;
    AppendUtf16AsUtf8(u"\xD83D\xDE00|\xD800|\xDC00", 6, units);
    EXPECT_EQ(units, "\xF0\x9F\x98\x80|\xEF\xBF\xBD|\xEF\xBF\xBD");
}

TEST(DumpJsonl, CodePageOptionAndTitles) {
    fixtures::IndexFileWriter w;
    fixtures::IndexRecord rec;
    rec.url = "Visited: u@http://x/\x80\x93\xe9";
    rec.title = u"caf\u00e9 \U0001F600";
    rec.localFile = "caf\xe9[1].htm";
    w.Add(rec);
    const std::string path = ::testing::TempDir() + "jsonl_codepage.dat";
    ASSERT_TRUE(w.WriteTo(path));

    struct Case { std::vector<std::string> args; const char* url; } cases[] = {
        {{"--format", "jsonl", path}, "http://x/\xe2\x82\xac\xe2\x80\x9c\xc3\xa9"},
        {{"--format=jsonl", "--codepage=windows-1251", path}, "http://x/\xd0\x82\xe2\x80\x9c\xd0\xb9"},
        {{"--codepage", "ISO-8859-1", "--format", "jsonl", path}, "http://x/\xc2\x80\xc2\x93\xc3\xa9"},
    };
    for (const Case& c : cases) {
        const DumpResult r = Dump(c.args);
        EXPECT_EQ(r.code, 0) << r.err;
        EXPECT_NE(r.out.find(c.url), std::string::npos) << r.out;
    }
    const DumpResult r = Dump({"--format", "jsonl", path});
    EXPECT_NE(r.out.find("\"title\":\"caf\xc3\xa9 \xF0\x9F\x98\x80\""), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\"local_file\":\"caf\xc3\xa9[1].htm\""), std::string::npos) << r.out;
    // TSV keeps the file's own bytes, whatever the code page.
    EXPECT_NE(Dump({"--codepage", "windows-1251", path}).out.find("http://x/\x80\x93\xe9\t"), std::string::npos);
}

TEST(DumpJsonl, BadInputAndOptionsFailClearly) {
    const std::string small = ::testing::TempDir() + "jsonl_small.dat";
    ASSERT_TRUE(fixtures::WriteFile(small, fixtures::EmptyIndexImage(256)));
    const std::string none = ::testing::TempDir() + "jsonl_none.dat";
    ASSERT_TRUE(fixtures::WriteFile(none, fixtures::EmptyIndexImage(0x5000)));
    struct Case { std::vector<std::string> args; const char* message; } cases[] = {
        {{"--format", "jsonl", small}, ": too small to be an index file (256 bytes)"},
        {{"--summary", none}, ": no URL records"},
        {{"--format", "jsonl", ::testing::TempDir() + "jsonl_missing.dat"}, ": cannot open: "},
        {{"--format", "jsonl", ::testing::TempDir()}, ": cannot open: "},
        {{"--codepage", "no-such-page", TW_REAL_HISTORY}, "unknown code page 'no-such-page'"},
        {{"--codepage", "UTF-16", TW_REAL_HISTORY}, "is not an ANSI code page"},
        {{"--format", "xml", TW_REAL_HISTORY}, "unknown format 'xml' (tsv, csv, json, jsonl or html)"},
    };
    for (const Case& c : cases) {
        const DumpResult r = Dump(c.args);
        EXPECT_EQ(r.code, 2) << c.message;
        EXPECT_EQ(r.out, "") << c.message;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(Count(r.err, "\n"), 1u) << r.err;
    }
}

}  // namespace
}  // namespace tw
