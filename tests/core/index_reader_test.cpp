#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>

#include "core/index_reader.h"
#include "core/index_visitor.h"
#include "settings/date_format.h"
#include "tests/fixtures/index_file_writer.h"

namespace tw {
namespace {

using fixtures::EmptyIndexImage;
using fixtures::IndexFileWriter;
using fixtures::IndexRecord;
using Bytes = std::vector<unsigned char>;

void Put(Bytes& b, std::size_t at, const std::string& s) {
    if (b.size() < at + s.size())
        b.resize(at + s.size(), 0);
    std::memcpy(&b[at], s.data(), s.size());
}
void Put32(Bytes& b, std::size_t at, std::uint32_t v) { Put(b, at, std::string(reinterpret_cast<char*>(&v), 4)); }
// An image with a URL record head at o of the given block count.
Bytes WithRecord(Bytes b, std::size_t o, unsigned blocks, const std::string& url) {
    Put(b, o, std::string("URL ") + char(blocks & 0xFF) + char(blocks >> 8));
    Put(b, o + 104, url);
    return b;
}
Bytes Record(const IndexRecord& r, const char* version = "5.2") { return IndexFileWriter(version).Add(r).Build(); }
// A title block "Ti" at the given place behind a URL of ten characters (place
// 0 is the URL's zero); the image ends with the title's last byte.
Bytes TitleAt(std::size_t place, char a, char tag2) {
    const std::size_t m = 0x4000 + 104 + 10 + place;
    Bytes b = WithRecord(EmptyIndexImage(0x4000), 0x4000, 3, "0123456789");
    Put(b, m, std::string("\x10\0\x02", 3));
    Put(b, m + 16, std::string{a, 0, 0x10, tag2, 'T', 0, 'i', 0});
    return b;
}

// The tabs' reader over an exact-size copy on the heap, so that the sanitizer
// build sees a read past the end: its result, then url|title for each record
// and the record's times where it has any.
std::string Read(const Bytes& b) {
    std::unique_ptr<unsigned char[]> copy(new unsigned char[b.size() + 1]);
    std::memcpy(copy.get(), b.data(), b.size());
    EntryArray<PageEntry> entries;
    std::string s = std::to_string(ReadIndexImage(copy.get(), b.size(), entries));
    for (const PageEntry& e : entries) {
        s += std::string(" ") + e.url + "|" + e.title;
        if (e.lastUpdated.Value() | e.lastVisited.Value() | e.expires.Value())
            s += "|" + std::to_string(e.lastUpdated.Value()) + "," + std::to_string(e.lastVisited.Value()) + "," +
                 std::to_string(e.expires.Value());
    }
    return s;
}

TEST(IndexReader, ResultsAndRecords) {
    const std::string a128(128, 'a'), c1023(1023, 'c');
    Bytes bounded = WithRecord(EmptyIndexImage(0x4000), 0x4000, 2, std::string(200, 'a'));  // at most 128 bytes
    bounded = WithRecord(bounded, 0x4180, 40, std::string(5000, 'c'));                      // 4096 bytes, then 1023
    bounded = WithRecord(bounded, 0x5580, 1, "http://ignored/");                            // an empty URL, still a row
    bounded.resize(0x5600, 0);
    Bytes misaligned = WithRecord(EmptyIndexImage(0x4000), 0x4001, 2, "http://misaligned/");
    misaligned.resize(0x4200);
    Bytes cutHeader(300, 0);
    Put(cutHeader, 0, "Client UrlCache MMF Ve");
    const IndexRecord one("Visited: alice@http://one/", u"First page", 1, 111, 222);
    const IndexRecord two("http://two/", u"Second", 2, 0x0123456789ABCDEFull, ~0ull);
    struct Case { const char* name; Bytes bytes; std::string read; } cases[] = {
        {"256 bytes with a correct header", EmptyIndexImage(256), "0"},
        {"no bytes", Bytes(), "0"},
        {"correct header, no URL block", EmptyIndexImage(4096), "-3"},
        {"a URL record off a block start", misaligned, "-3"},
        {"other header", Bytes(4096, 'x'), "-1"},
        {"truncated header text", cutHeader, "-1"},
        {"version 4.7", Record({"http://site/"}, "4.7"), "-2 http://site/|"},
        {"file order", IndexFileWriter().Add(one).Add(two).Build(),
         "1 Visited: alice@http://one/|First page|111,222,222 http://two/|Second|81985529216486895,"
         "18446744073709551615,18446744073709551615"},
        {"URLs bounded by the record's blocks", bounded, "1 " + a128 + "| " + c1023 + "| |"},
        {"title in the second place", TitleAt(1, 4, 0x1F), "1 0123456789|Ti"},
        {"title in the sixth place", TitleAt(5, 4, 0x1F), "1 0123456789|Ti"},
        {"no title in the seventh place", TitleAt(6, 4, 0x1F), "1 0123456789|"},
        {"title length A of 0", TitleAt(1, 0, 0x1F), "1 0123456789|"},
        {"other tag pair", TitleAt(2, 4, 0x1E), "1 0123456789|"},
        // Form 2 titles of 128 bytes or more are none; long form 1 titles keep 255 characters.
        {"form 2, 63 units", Record({"u", std::u16string(63, u'L'), 2}), "1 u|" + std::string(63, 'L')},
        {"form 2, 64 units", Record({"u", std::u16string(64, u'L'), 2}), "1 u|"},
        {"form 1, 30000 units", Record({"u", std::u16string(30000, u'L'), 1}), "1 u|" + std::string(255, 'L')},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Read(c.bytes), c.read) << c.name;
    // Each image ends inside a record.
    const std::string url = "Visited: someone@http://www.example.com/a/rather/long/address";
    const Bytes whole = Record({url, u"A title cut short"});
    for (std::size_t cut = whole.size() - 252; cut < whole.size(); cut += 7) {
        const std::string read = Read(Bytes(whole.begin(), whole.begin() + cut));
        EXPECT_EQ("1 " + url.substr(0, read.find('|') - 2) + "|", read.substr(0, read.find('|') + 1)) << cut;
    }
}

// One line per record: hex offset:bytes covered, type and state letters, then
// url|file|folder|hits|expiry|last checked.
struct Lines : IndexVisitor {
    void Record(const IndexRecordView& r) override {
        std::ostringstream s;
        s << std::hex << r.offset << std::dec << ":" << r.size << "URL"[int(r.type)] << "ARU"[int(r.state)] << "|"
          << std::string(r.url.text, r.url.length) << "|" << std::string(r.localFile.text, r.localFile.length) << "|"
          << std::string(r.cacheFolder.text, r.cacheFolder.length) << "|" << r.hits << "|"
          << (r.expiry.IsZero() ? "" : IsoUtcTime(r.expiry)) << "|"
          << (r.lastChecked.IsZero() ? "" : IsoUtcTime(r.lastChecked));
        lines.push_back(s.str());
    }
    std::vector<std::string> lines;
};

std::vector<std::string> Walk(const Bytes& b, int result = kIndexVersion52) {
    Lines l;
    EXPECT_EQ(VisitIndexImage(b.data(), b.size(), l), result);
    return l.lines;
}
// The heads of the lines, space-separated, each as " offset:bytes" and letters.
std::string Heads(const std::vector<std::string>& lines) {
    std::string s;
    for (const std::string& line : lines)
        s += " " + line.substr(0, line.find('|'));
    return s;
}

Bytes RealHistory() {
    std::ifstream in(TW_REAL_HISTORY, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The real file's walk, then variants of it changed in one place: the hash
// entry 392 links the record at 0x5000, entry 77 is free. Each variant names
// the heads that differ from the real file's.
TEST(IndexVisitor, RealFileAndDamagedVariants) {
    const Bytes real = RealHistory();
    ASSERT_EQ(real.size(), 32768u) << "cannot read " << TW_REAL_HISTORY;
    const std::vector<std::string> lines = Walk(real);
    const std::string heads = Heads(lines);
    EXPECT_EQ(heads, " 5000:256UA 5100:256UR 5200:384UA 5380:256UA 5500:256UA 5600:256UR 5700:384UR 5900:256UR "
                     "5a80:384UR 6000:640UA 6280:384UR 6400:384UA 6580:384UA 6780:256UR 6880:256UR 7000:256UR "
                     "7100:256UR 7200:512UR");
    ASSERT_EQ(lines.size(), 18u);
    EXPECT_EQ(lines[0], "5000:256UA|Visited: testing@mshelp://windows/?id=d063548a-3fc9-4723-99f3-b12a0c4354a8|||13|"
                        "2011-06-29T18:50:16Z|2011-06-23T18:57:26Z");
    EntryArray<PageEntry> entries;  // the tabs' reader walks the same records
    ReadIndexImage(real.data(), real.size(), entries);
    for (std::size_t i = 0; i < lines.size() && i < entries.Count(); ++i)
        EXPECT_NE(lines[i].find(std::string("|") + entries[i].url + "|"), std::string::npos) << lines[i];
    struct Case { const char* what; void (*change)(Bytes&); const char* heads; } cases[] = {
        {"hash entry deleted, blocks in use", [](Bytes& b) { Put32(b, 0x4000 + 16 + 8 * 392, 1); }, "5000:256UU"},
        {"then its blocks freed", [](Bytes& b) { Put32(b, 0x4000 + 16 + 8 * 392, 1); b[0x254] &= 0xFC; }, "5000:256UR"},
        {"only its second block freed: the head decides",
         [](Bytes& b) { Put32(b, 0x4000 + 16 + 8 * 392, 1); b[0x254] &= 0xFD; }, "5000:256UU"},
        {"a live key links a freed record", [](Bytes& b) { Put32(b, 0x4000 + 16 + 8 * 77, 0x12345640); }, "5100:256UA"},
        {"a key with mark bits links nothing", [](Bytes& b) { Put32(b, 0x4000 + 16 + 8 * 77, 0x12345641); }, ""},
        {"an entry off a block boundary links nothing",
         [](Bytes& b) { Put32(b, 0x4000 + 16 + 8 * 77, 0x12345640); Put32(b, 0x4000 + 20 + 8 * 77, 0x5101); }, ""},
        {"a hash table chained to itself", [](Bytes& b) { Put32(b, 0x4008, 0x4000); }, ""},
        {"a chain looping through a second table",
         [](Bytes& b) {
             Put(b, 0x7800, "HASH");
             Put32(b, 0x7804, 1);
             Put32(b, 0x7808, 0x4000);
             Put32(b, 0x4008, 0x7800);
         },
         ""},
        {"a hash table larger than the file", [](Bytes& b) { Put32(b, 0x4004, 0xFFFFFFF0u); }, ""},
        {"no hash table: nothing linked", [](Bytes& b) { Put32(b, 32, 0x9000000); },
         "5000:256UU 5200:384UU 5380:256UU 5500:256UU 6000:640UU 6400:384UU 6580:384UU"},
        {"the last record ends at the file's last byte", [](Bytes& b) { b.resize(0x7400); }, ""},
        {"the file ends one byte before", [](Bytes& b) { b.resize(0x73FF); }, "7200:511UR"},
        {"the file ends inside its head block", [](Bytes& b) { b.resize(0x7203); }, "7200:3UR"},
        {"a block count of 0 moves the walk on", [](Bytes& b) { Put32(b, 0x5004, 0); }, "5000:128UA"},
    };
    for (const Case& c : cases) {
        Bytes b = real;
        c.change(b);
        std::string want = heads;
        std::istringstream changed(c.heads);
        for (std::string head; changed >> head;) {
            const std::size_t at = want.find(" " + head.substr(0, head.find(':') + 1));
            ASSERT_NE(at, std::string::npos) << head;
            want.replace(at + 1, want.find(' ', at + 1) - at - 1, head);
        }
        EXPECT_EQ(Heads(Walk(b)), want) << c.what;
    }
}

TEST(IndexVisitor, RecordTypesFilesAndFolders) {
    Bytes b = IndexFileWriter()
                  .Add({"http://www.example.com/logo.png", u"", 1, 0, 0, "logo[1].png", 7})
                  .Add({"http://www.example.com/redirected"})
                  .Add({"http://x/"})
                  .Build();
    // One cache folder in the header; the first record keeps its file there.
    Put32(b, 72, 1);
    Put(b, 76 + 4, "ABCD1234");
    Put(b, 76 + 12 + 4, "EFGH5678");  // beyond the count: not a folder
    b[0x5100 + 56] = 1;  // past the folders the header has
    Put(b, 0x5100, "LEAK");
    Put(b, 0x5200, "REDR");
    Put(b, 0x5200 + 16, std::string("http://moved/\0", 14));
    EXPECT_EQ(Walk(b), (std::vector<std::string>{"5000:256UA|http://www.example.com/logo.png|logo[1].png|ABCD1234|7||",
                                                  "5100:256LA|http://www.example.com/redirected|||0||",
                                                  "5200:256RA|http://moved/|||0||"}));
    EXPECT_EQ(Read(b), "1 http://www.example.com/logo.png|");  // the tabs show URL records only
    // A file with no URL record hands nothing on, other records or not.
    Put(b, 0x5000, "LEAK");
    EXPECT_TRUE(Walk(b, kIndexNoUrlRecords).empty());
}

TEST(IndexVisitor, FatTimes) {
    struct Case { std::uint32_t fat; const char* iso; } cases[] = {
        {0x96483EDDu, "2011-06-29T18:50:16Z"}, {0x00000021u, "1980-01-01T00:00:00Z"},
        {0xBF7DFF9Fu, "2107-12-31T23:59:58Z"}, {0x0000405Du, "2012-02-29T00:00:00Z"},
        {0x00003E5Du, ""} /* 29 February 2011 */, {0x000041A1u, ""} /* month 13 */, {0x00003EC0u, ""} /* day 0 */,
        {0xC0003EDDu, ""} /* hour 24 */, {0x077E3EDDu, ""} /* minute 59, second 60 */, {0, ""},
    };
    for (const Case& c : cases) {
        const FileTime t = FatTimeToFileTime(c.fat);
        EXPECT_EQ(t.Value() == 0 ? std::string() : IsoUtcTime(t), c.iso) << std::hex << c.fat;
    }
}

}  // namespace
}  // namespace tw
