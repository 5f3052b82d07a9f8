#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "tools/samples/index_file_writer.h"
#include "tools/bitmaps/images.h"
#include "tools/dump/code_page.h"
#include "tools/dump/dump.h"

namespace tw {
namespace {

using Bytes = std::vector<unsigned char>;

Bytes Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The exit code, a newline, then all that the run wrote, errors included, in order.
std::string Dump(const std::vector<std::string>& args) {
    std::vector<const char*> argv = {"tidewell-dump"};
    for (const auto& a : args)
        argv.push_back(a.c_str());
    std::FILE* f = std::tmpfile();
    std::string s = std::to_string(RunDump(int(argv.size()), argv.data(), f, f)) + "\n";
    std::rewind(f);
    for (int c; (c = std::fgetc(f)) != EOF;)
        s += char(c);
    std::fclose(f);
    return s;
}

// Each run's exit code and a text that it writes.
TEST(Dump, FormatsCodePagesSummariesAndErrors) {
    auto written = [](const std::string& name, const Bytes& bytes) {
        const std::string path = ::testing::TempDir() + name;
        EXPECT_TRUE(samples::WriteFile(path, bytes));
        return path;
    };
    // The real file with the given bytes written at the given places.
    auto variant = [&](const char* name, const std::vector<std::pair<std::size_t, std::string>>& pokes) {
        Bytes b = Slurp(TW_REAL_HISTORY);
        for (const auto& poke : pokes)
            for (std::size_t i = 0; i < poke.second.size(); ++i)
                b.at(poke.first + i) = static_cast<unsigned char>(poke.second[i]);  // throws without the file
        return written(name, b);
    };
    const std::string longUrl = "Visited: testing@http://www.example.com/" + std::string(93, 'p');
    // The hash entry 392 links the record at 0x5000; the key's low byte holds its type.
    const std::size_t e392 = 0x4000 + 16 + 8 * 392;
    // A URL record, then a LEAK record whose times and hits hold the fill pattern.
    Bytes leak = samples::IndexFileWriter().Add({"http://x/"}).Add({"http://leak/", u"", 1, 1, 2, "", 9}).Build();
    for (const std::size_t at : {8, 12, 16, 20, 24, 80, 84})
        std::memcpy(&leak.at(0x5100 + at), "\xEF\xBE\xAD\xDE", 4);
    std::memcpy(&leak.at(0x5100), "LEAK", 4);
    samples::IndexRecord rec("Visited: a@http://x/?q=\"1\",\x80\xe9", u"tab\there");
    const std::string quotes = written("dump_quotes.dat", samples::IndexFileWriter().Add(rec).Build()),
                      h = written("dump_history.dat", samples::SampleHistoryIndex().Build()),
                      c = written("dump_cookies.dat", samples::SampleCookieIndex().Build()),
                      k = written("dump_cache.dat", samples::SampleCacheIndex().Build()),
                      text = written("dump_text.dat", std::vector<unsigned char>(1000, 'x')),
                      old = written("dump_old.dat", samples::IndexFileWriter("4.7").Add({"http://old/"}).Build()),
                      daily = written("dump_daily.dat", samples::IndexFileWriter()
                                                            .Add({":2013031020130311: ann@http://site/page", u"Page"})
                                                            .Build());
    struct Case { std::vector<std::string> args; int code; std::string text; } cases[] = {
        {{h, c, k}, 0,
         "File\tKind\tTitle\tUser\tURL\tLast Visited\tLast Updated\n" +
             h + "\tHistory\tExample Domain\talice\thttp://www.example.com/index.html\t06.07.2024\t05.07.2024\n" +
             h + "\tHistory\tToday's news\talice\thttps://news.example.org/today\tunknown\t23.11.2009\n" +
             h + "\tHistory\t\talice\tfile:///C:/Documents/notes.txt\t01.12.2026\t01.12.2026\n" +
             "File\tKind\tUser\tURL\tLast Visited\tLast Updated\n" +
             c + "\tCookies\talice\texample.com/\t01.01.2025\t05.07.2024\n" +
             c + "\tCookies\talice\tshop.example.net/cart\t15.03.2023\t14.03.2023\n" +
             "File\tKind\tURL\tLast Visited\tLast Updated\n" +
             k + "\tCache\thttp://www.example.com/index.html\t01.12.2026\t20.11.2026\n" + k},
        {{"--format", "csv", quotes}, 0, ",tab\there,a,\"http://x/?q=\"\"1\"\",\x80\xe9\",unknown,unknown\r\n"},
        {{"--format=json", quotes}, 0, "[\"tab\\there\",\"a\",\"http://x/?q=\\\"1\\\",\xe2\x82\xac\xc3\xa9\""},
        {{"--format=jsonl", "--codepage=windows-1251", quotes}, 0, "http://x/?q=\\\"1\\\",\xd0\x82\xd0\xb9\""},
        {{"--codepage", "ISO-8859-1", "--format", "jsonl", quotes}, 0, "\",\xc2\x80\xc3\xa9\""},
        {{"--codepage", "windows-1251", quotes}, 0, "\ttab\\there\ta\thttp://x/?q=\"1\",\x80\xe9\t"},
        {{"--format", "html", c}, 0, "LastVisited: 01.01.2025 &nbsp;&nbsp;LastUpdated: 05.07.2024"},
        {{daily}, 0, daily + "\tHistory\tPage\tann\thttp://site/page\tunknown\tunknown\n"},
        {{"--summary", daily}, 0, daily + ": History, version 5.2, 1 allocated"},
        {{"--summary", TW_REAL_HISTORY}, 0, ": History, version 5.2, 7 allocated, 11 recovered (11 with a readable"},
        {{"--summary", variant("dump_unlinked.dat", {{e392, "\x01"}})}, 0,
         ": History, version 5.2, 6 allocated, 11 recovered (11 with a readable URL), 1 unlinked\n"},
        {{"--summary", variant("dump_free.dat", {{e392, "\x03"}})}, 0,
         "6 allocated, 11 recovered (11 with a readable URL), 1 unlinked\n"},
        {{"--summary", variant("dump_type8.dat", {{e392, "\x48"}})}, 0,
         ": History, version 5.2, 7 allocated, 11 recovered (11 with a readable URL)\n"},
        {{"--format", "jsonl", variant("dump_redirect.dat", {{e392, "\x45"}, {0x5000, "REDR"}})}, 0,
         "{\"file\":\"" + ::testing::TempDir() + "dump_redirect.dat\",\"offset\":20480,\"size\":256,\"type\":\"REDR\","
         "\"state\":\"allocated\""},
        {{"--format", "jsonl", written("dump_leak.dat", leak)}, 0,
         "\"type\":\"LEAK\",\"state\":\"allocated\",\"url\":\"http://leak/\",\"last_modified\":null,"
         "\"last_accessed\":null,\"expiry\":null,\"last_checked\":null,\"hits\":null}"},
        // A URL of 133 characters in the first record's two blocks, its zero at 237.
        {{"--format", "jsonl", variant("dump_long_url.dat", {{0x5000 + 104, longUrl + '\0'}})}, 0,
         "\"offset\":20480,\"size\":256,\"type\":\"URL\",\"state\":\"allocated\",\"url\":\"" + longUrl + "\""},
        // The stale record at 0x5700 covers three blocks; a live record in
        // its third, which the free hash entry 77 now links.
        {{"--format", "jsonl",
          variant("dump_reused.dat", {{0x5800, std::string("URL \x02\0", 6)},
                                      {0x5868, std::string("Visited: me@http://live/\0", 25)},
                                      {0x4000 + 16 + 8 * 77, std::string("\x40\x56\x34\x12\x00\x58\0\0", 8)}})},
         0, "\"offset\":22528,\"size\":256,\"type\":\"URL\",\"state\":\"allocated\",\"url\":\"Visited: me@http://live/\""},
        {{"--summary", ::testing::TempDir() + "dump_reused.dat"}, 0,
         ": History, version 5.2, 8 allocated, 11 recovered (11 with a readable URL)\n"},
        {{"--summary", variant("dump_wiped.dat", {{0x5600 + 104, std::string(1, '\0')}})}, 0,
         "11 recovered (10 with a readable URL)\n"},
        {{"--summary", written("dump_odd.dat", samples::IndexFileWriter("4 \x7F").Add({"http://odd/"}).Build())}, 0,
         ": Cache, version 4 ?, 1 allocated"},  // bytes that are not printable text
        {{"--format", "jsonl", TW_REAL_HISTORY}, 0,
         "\"state\":\"allocated\",\"url\":\"Visited: testing@mshelp://windows/?id=d063548a-3fc9-4723-99f3-b12a0c4354a8"
         "\",\"title\":\"What is safe mode?\",\"last_modified\":\"2011-06-23T18:57:24.25Z\",\"last_accessed\":"},
        {{old}, 0, "\thttp://old/\tunknown\tunknown\ntidewell-dump: " + old + ": warning: index file version is not"},
        {{text, h}, 2, ": not an index file (no \"Client UrlCache MMF Ver\" header)\nFile\tKind\tTitle"},  // still read
        {{"--format", "jsonl", written("dump_small.dat", samples::EmptyIndexImage(256))}, 2,
         ": too small to be an index file (256 bytes)"},
        {{"--summary", written("dump_none.dat", samples::EmptyIndexImage(0x5000))}, 2, ": no URL records"},
        {{::testing::TempDir() + "dump_missing.dat"}, 2, ": cannot open: "},
        {{"--format", "jsonl", ::testing::TempDir()}, 2, ": cannot open: "},
        {{}, 2, "no index file given"},
        {{"--bogus", h}, 2, "unknown option --bogus"},
        {{"--codepage", "no-such-page", h}, 2, "unknown code page 'no-such-page'"},
        {{"--codepage", "UTF-16", h}, 2, "is not an ANSI code page"},
        {{"--format", "xml", h}, 2, "unknown format 'xml' (tsv, csv, json, jsonl or html)"},
        {{"--format", "html", h, h}, 2, "one report of one index file"},
    };
    for (const Case& run : cases) {
        const std::string r = Dump(run.args);
        EXPECT_EQ(r.substr(0, 2), std::to_string(run.code) + "\n") << run.text;
        EXPECT_NE(r.find(run.text), std::string::npos) << r;
    }
}

// Every byte of 0x80 to 0x9F, where windows-1252 and Latin-1 part: the
// built-in table must agree with the platform's converter.
TEST(Dump, CodePageBytes0x80To0x9F) {
    std::string error, bytes, got, want, units;
    const std::unique_ptr<CodePage> builtIn = BuiltInWindows1252(), platform = OpenCodePage("CP1252", &error);
    ASSERT_TRUE(platform) << error;
    for (int b = 0x80; b < 0xA0; ++b)
        bytes += char(b);
    builtIn->AppendUtf8(bytes.data(), bytes.size(), got);
    platform->AppendUtf8(bytes.data(), bytes.size(), want);
    EXPECT_EQ(got, want);
    EXPECT_EQ(got.substr(0, 3), "\xE2\x82\xAC");  // a converter that is Latin-1 would agree with a wrong table
    AppendUtf16AsUtf8(u"\xD83D\xDE00|\xD800|\xDC00", 6, units);
    EXPECT_EQ(units, "\xF0\x9F\x98\x80|\xEF\xBF\xBD|\xEF\xBF\xBD");
}

// The resource build uses the committed files: they must be what the
// generator draws now (make-bitmaps res/bitmaps writes them).
TEST(Bitmaps, StripsAreOneRowOfCellsAndCommittedFilesAreCurrent) {
    using namespace bitmaps;
    const std::string dir = std::string(TW_SOURCE_DIR) + "/res/bitmaps/";
    for (const Strip& strip : Strips())
        for (int size : kCellSizes) {
            const Image image = strip.draw(size);
            const std::string file = StripFile(strip, size);
            EXPECT_EQ(std::make_pair(image.width, image.height), std::make_pair(strip.images * size, size)) << file;
            EXPECT_TRUE(Slurp(dir + file) == EncodeBmp(image)) << file;
            // A larger cell draws the same picture: the colours a cell
            // shows are the ones its 16-pixel version shows.
            const Image small = strip.draw(kCell);
            for (int cell = 0; cell < strip.images; ++cell) {
                std::vector<Colour> colours, smallColours;
                for (int y = 0; y < size; ++y)
                    for (int x = 0; x < size; ++x)
                        colours.push_back(image.At(cell * size + x, y));
                for (int y = 0; y < kCell; ++y)
                    for (int x = 0; x < kCell; ++x)
                        smallColours.push_back(small.At(cell * kCell + x, y));
                for (auto* list : {&colours, &smallColours}) {
                    std::sort(list->begin(), list->end(), [](Colour a, Colour b) {
                        return std::tie(a.r, a.g, a.b) < std::tie(b.r, b.g, b.b);
                    });
                    list->erase(std::unique(list->begin(), list->end()), list->end());
                }
                EXPECT_EQ(colours.size(), smallColours.size()) << file << " cell " << cell;
                EXPECT_NE(colours.size(), 1u) << file << " cell " << cell << " is empty";
            }
        }
    EXPECT_EQ((std::vector<std::string>{StripFile(Strips()[0], 16), StripFile(Strips()[0], 24)}),
              (std::vector<std::string>{"command_images.bmp", "command_images_24.bmp"}));
    EXPECT_EQ((std::vector<int>{StripResource(Strips()[2], 16), StripResource(Strips()[2], 24), StripResource(Strips()[2], 32)}),
              (std::vector<int>{212, 1212, 2212}));
    for (const Picture& picture : Pictures()) {
        const Image image = picture.draw();
        const std::vector<std::uint8_t> bmp = EncodeBmp(image, picture.bits);
        EXPECT_TRUE(Slurp(dir + picture.file) == bmp) << picture.file;
        // Read back as a viewer reads it: each pixel, through the palette
        // where there is one, is the colour drawn.
        ASSERT_GT(bmp.size(), 54u) << picture.file;
        const auto u32 = [&bmp](std::size_t at) {
            return std::uint32_t(bmp[at] | bmp[at + 1] << 8 | bmp[at + 2] << 16) | std::uint32_t(bmp[at + 3]) << 24;
        };
        const std::size_t bytes = std::size_t(picture.bits / 8), stride = (std::size_t(image.width) * bytes + 3) & ~3u;
        ASSERT_EQ(bmp.size(), u32(10) + stride * std::size_t(image.height)) << picture.file;
        int wrong = 0;
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x) {
                const std::uint8_t* p = &bmp[u32(10) + std::size_t(image.height - 1 - y) * stride + std::size_t(x) * bytes];
                if (bytes == 1)
                    p = &bmp[54 + 4 * std::size_t(*p)];
                wrong += Colour{p[2], p[1], p[0]} != image.At(x, y);
            }
        EXPECT_EQ(wrong, 0) << picture.file;
    }
}

}  // namespace
}  // namespace tw
