#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "core/ansi_text.h"
#include "core/classify.h"
#include "core/index_reader.h"
#include "core/index_visitor.h"
#include "core/tab_rows.h"
#include "settings/date_format.h"
#include "tools/samples/index_file_writer.h"

namespace tw {
namespace {

using samples::EmptyIndexImage;
using samples::IndexFileWriter;
using samples::IndexRecord;
using samples::TicksOf;
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
// length bytes at at filled with the pattern that the browser leaves in unused space.
Bytes Filled(Bytes b, std::size_t at, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i)
        b.at(at + i) = "\xEF\xBE\xAD\xDE"[i % 4];
    return b;
}
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
    std::unique_ptr<unsigned char[]> copy(new unsigned char[b.size()]);
    std::copy(b.begin(), b.end(), copy.get());
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
    // A URL ends at its zero byte inside the record's blocks; one that runs
    // past them is cut so that its zero fits.
    const std::string a151(151, 'a'), b133(133, 'b'), c1023(1023, 'c'), d23(23, 'd');
    Bytes bounded = WithRecord(EmptyIndexImage(0x4000), 0x4000, 2, std::string(200, 'a'));  // cut to 256 - 105
    bounded = WithRecord(bounded, 0x4180, 2, b133);                 // its zero at 237, in the second block
    bounded = WithRecord(bounded, 0x4280, 40, std::string(5000, 'c'));  // 4096 bytes, then 1023
    bounded = WithRecord(bounded, 0x5680, 1, "http://one-block/");  // a record of one block holds 23 bytes
    bounded = WithRecord(bounded, 0x5700, 1, std::string(24, 'd'));
    bounded.resize(0x5800, 0);
    Bytes misaligned = WithRecord(EmptyIndexImage(0x4000), 0x4001, 2, "http://misaligned/");
    misaligned.resize(0x4200);
    Bytes cutHeader(300, 0);
    Put(cutHeader, 0, "Client UrlCache MMF Ve");
    const IndexRecord one("Visited: alice@http://one/", u"First page", 1, 111, 222);
    const IndexRecord two("http://two/", u"Second", 2, 0x0123456789ABCDEFull, ~0ull);
    struct Case { const char* name; Bytes bytes; std::string read; } cases[] = {
        {"256 bytes with a correct header", EmptyIndexImage(256), "0"},
        {"257 bytes with a correct header", EmptyIndexImage(257), "-3"},
        {"no bytes", Bytes(), "0"},
        {"correct header, no URL block", EmptyIndexImage(4096), "-3"},
        {"a URL record off a block start", misaligned, "-3"},
        {"other header", Bytes(4096, 'x'), "-1"},
        {"truncated header text", cutHeader, "-1"},
        {"version 4.7", Record({"http://site/"}, "4.7"), "-2 http://site/|"},
        {"file order", IndexFileWriter().Add(one).Add(two).Build(),
         "1 Visited: alice@http://one/|First page|111,222,222 http://two/|Second|81985529216486895,"
         "18446744073709551615,18446744073709551615"},
        {"URLs bounded by the record's blocks", bounded,
         "1 " + a151 + "| " + b133 + "| " + c1023 + "| http://one-block/| " + d23 + "|"},
        {"no URL in a record of no blocks", WithRecord(EmptyIndexImage(0x4000), 0x4000, 0, "http://zero/"), "1 |"},
        {"times that hold the fill pattern", Filled(Record({"http://f/", u"", 1, 5, 6}), 0x5008, 16), "1 http://f/|"},
        {"times that hold it in one half", Record({"http://f/", u"", 1, 0xDEADBEEFull, 0xDEADBEEFull << 32}),
         "1 http://f/||3735928559,16045690981097406464,16045690981097406464"},
        {"title in the second place", TitleAt(1, 4, 0x1F), "1 0123456789|Ti"},
        {"title in the sixth place", TitleAt(5, 4, 0x1F), "1 0123456789|Ti"},
        {"no title in the seventh place", TitleAt(6, 4, 0x1F), "1 0123456789|"},
        {"title length A of 0", TitleAt(1, 0, 0x1F), "1 0123456789|"},
        {"an odd length A drops its last byte", TitleAt(1, 3, 0x1F), "1 0123456789|T"},
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
          << std::string(r.cacheFolder.text, r.cacheFolder.length) << "|"
          << (r.hasHits ? std::to_string(r.hits) : std::string()) << "|"
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
// the heads that differ from the real file's or that it has in addition.
TEST(IndexVisitor, RealFileAndDamagedVariants) {
    const Bytes real = RealHistory();
    ASSERT_EQ(real.size(), 32768u) << "cannot read " << TW_REAL_HISTORY;
    const std::vector<std::string> lines = Walk(real);
    const std::string heads = Heads(lines);
    EXPECT_EQ(heads, " 5000:256UA 5100:256UR 5200:384UA 5380:256UA 5500:256UA 5600:256UR 5700:384UR 5900:256UR "
                     "5a80:384UR 6000:640UA 6280:384UR 6400:384UA 6580:384UA 6780:256UR 6880:256UR 7000:256UR "
                     "7100:256UR 7200:512UR");
    EXPECT_EQ(lines.at(0), "5000:256UA|Visited: testing@mshelp://windows/?id=d063548a-3fc9-4723-99f3-b12a0c4354a8|||13|"
                        "2011-06-29T18:50:16Z|2011-06-23T18:57:26Z");
    // The hash entries 392 (linking 0x5000) and 77 (free); the bitmap byte of
    // 0x5000's two blocks holds 0xF3; "HASH" is 0x48534148.
    const std::size_t e392 = 0x4000 + 16 + 8 * 392, e77 = 0x4000 + 16 + 8 * 77;
    const std::size_t lastEntry = 0x4000 + 128 * std::size_t(real[0x4004] | real[0x4005] << 8) - 8;
    struct Case { const char* what; std::vector<std::pair<std::size_t, std::uint32_t>> pokes; std::size_t size;
                  const char* heads; } cases[] = {
        {"hash entry deleted, blocks in use", {{e392, 1}}, 0, "5000:256UU"},
        {"then its blocks freed", {{e392, 1}, {0x254, 0xDF0}}, 0, "5000:256UR"},
        {"only its second block freed: the head decides", {{e392, 1}, {0x254, 0xDF1}}, 0, "5000:256UU"},
        {"a live key links a freed record", {{e77, 0x12345640}}, 0, "5100:256UA"},
        {"a deleted entry links nothing", {{e77, 0x12345641}}, 0, ""},
        {"a free entry links nothing", {{e77, 0x12345643}}, 0, ""},
        {"an entry of type 8 links a freed record", {{e77, 0x12345648}}, 0, "5100:256UA"},
        {"an entry of type 5 links a redirect", {{e77, 0x12345645}, {0x5100, 0x52444552}}, 0, "5100:256RA"},
        {"an entry of the fill pattern links nothing", {{e77, 0xDEADBEEF}}, 0, ""},
        {"an entry off a block boundary links nothing", {{e77, 0x12345640}, {e77 + 4, 0x5101}}, 0, ""},
        {"a hash table chained to itself", {{0x4008, 0x4000}}, 0, ""},
        {"a chain looping through a second table",
         {{0x7800, 0x48534148}, {0x7804, 1}, {0x7808, 0x4000}, {0x4008, 0x7800}}, 0, ""},
        {"a hash table larger than the file", {{0x4004, 0xFFFFFFF0u}}, 0, ""},
        {"two tables of no blocks chained to each other",
         {{0x7800, 0x48534148}, {0x7804, 0}, {0x7808, 0x4000}, {0x4004, 0}, {0x4008, 0x7800}}, 0,
         "5000:256UU 5200:384UU 5380:256UU 5500:256UU 6000:640UU 6400:384UU 6580:384UU"},
        {"a second table links a freed record",
         {{0x7800, 0x48534148}, {0x7804, 1}, {0x7808, 0}, {0x7810, 0x12345640}, {0x7814, 0x5100}, {0x4008, 0x7800}}, 0,
         "5100:256UA"},
        {"the table's last entry links a freed record", {{lastEntry, 0x12345640}, {lastEntry + 4, 0x5100}}, 0,
         "5100:256UA"},
        {"no hash table: nothing linked", {{32, 0x9000000}}, 0,
         "5000:256UU 5200:384UU 5380:256UU 5500:256UU 6000:640UU 6400:384UU 6580:384UU"},
        {"the last record ends at the file's last byte", {}, 0x7400, ""},
        {"the file ends one byte before", {}, 0x73FF, "7200:511UR"},
        {"the file ends inside its head block", {}, 0x7203, "7200:3UR"},
        {"a block count of 0 moves the walk on", {{0x5004, 0}}, 0, "5000:128UA"},
        // The stale record at 0x5700 covers three blocks; its third is given
        // to a record that entry 77 links (entered as a new head).
        {"a linked record in a stale record's third block",
         {{0x5800, 0x204C5255}, {0x5804, 2}, {e77, 0x12345640}, {e77 + 4, 0x5800}}, 0, "5800:256UA"},
        {"a linked redirect there", {{0x5800, 0x52444552}, {0x5804, 1}, {e77, 0x12345640}, {e77 + 4, 0x5800}}, 0,
         "5800:128RA"},
        {"a URL head there that nothing links", {{0x5800, 0x204C5255}, {0x5804, 2}}, 0, ""},
        {"a link to a block there that holds no record", {{e77, 0x12345640}, {e77 + 4, 0x5780}}, 0, ""},
        {"a linked record in a live record's second block",
         {{0x5080, 0x204C5255}, {0x5084, 1}, {e77, 0x12345640}, {e77 + 4, 0x5080}}, 0, "5080:128UA"},
    };
    for (const Case& c : cases) {
        Bytes b = real;
        for (const auto& poke : c.pokes)
            Put32(b, poke.first, poke.second);
        b.resize(c.size ? c.size : b.size());
        // The real file's heads by offset, those of the variant put in.
        std::map<unsigned long, std::string> byOffset;
        for (const std::string& list : {heads, std::string(c.heads)}) {
            std::istringstream in(list);
            for (std::string head; in >> head;)
                byOffset[std::stoul(head, nullptr, 16)] = head;
        }
        std::string want;
        for (const auto& head : byOffset)
            want += " " + head.second;
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
    b = Filled(b, 0x5100 + 84, 4);  // its hits
    Put(b, 0x5200, "REDR");
    Put(b, 0x5200 + 16, std::string("http://moved/\0", 14));
    EXPECT_EQ(Walk(b), (std::vector<std::string>{"5000:256UA|http://www.example.com/logo.png|logo[1].png|ABCD1234|7||",
                                                  "5100:256LA|http://www.example.com/redirected|||||",
                                                  "5200:256RA|http://moved/|||||"}));
    EXPECT_EQ(Read(b), "1 http://www.example.com/logo.png|");  // the tabs show URL records only
    // The table holds 32 folders, whatever count the header claims.
    Bytes limit = b;
    Put32(limit, 72, 40);
    Put(limit, 76 + 31 * 12 + 4, "LASTLAST");
    Put(limit, 76 + 32 * 12 + 4, "PASTPAST");
    for (const unsigned char folder : {31, 32}) {
        limit[0x5000 + 56] = folder;
        EXPECT_EQ(Walk(limit).at(0), folder == 31 ? "5000:256UA|http://www.example.com/logo.png|logo[1].png|LASTLAST|7||"
                                                  : "5000:256UA|http://www.example.com/logo.png|logo[1].png||7||");
    }
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

// The readers pass no text as long as a field; one that is must leave room for the zero.
TEST(CopyField, CutsATextAsLongAsTheField) {
    PageEntry e;
    CopyField(e.title, sizeof e.title, std::string(256, 't').c_str(), 256);
    EXPECT_EQ(std::string(e.title), std::string(255, 't'));
}

TEST(FileTime, ZeroOnlyWithBothHalvesZeroAndComparedAsOneValue) {
    struct Case { std::uint64_t a, b; bool aIsZero; int compared; } cases[] = {
        {0, 0, true, 0}, {1, 1ull << 32, false, -1}, {1ull << 32, 1, false, 1}, {~0ull, ~0ull, false, 0},
    };
    for (const Case& c : cases) {
        const FileTime a = FileTime::FromValue(c.a), b = FileTime::FromValue(c.b);
        EXPECT_EQ(a.IsZero(), c.aIsZero) << c.a;
        EXPECT_EQ(CompareFileTime(a, b), c.compared) << c.a << " " << c.b;
        EXPECT_EQ(a.Value(), c.a);
    }
}

TEST(Latin1CodePage, LowersLettersAndConvertsUnitsWithinTheirCount) {
    const Latin1CodePage cp;
    char text[] = "@AZ[`az{\xBF\xC0\xD6\xD7\xD8\xDE\xDF";
    cp.Lower(text);
    EXPECT_STREQ(text, "@az[`az{\xBF\xE0\xF6\xD7\xF8\xFE\xDF");
    const char16_t units[] = {u'a', 0xE9, 0x100, u'b', u'c'};  // 0x100: the first unit past Latin-1
    char out[8] = "xxxxxxx";
    EXPECT_EQ(cp.FromUtf16(units, 4, out, sizeof out), 4u);
    EXPECT_STREQ(out, "a\xE9?b");  // the unit past the count is not read
    EXPECT_EQ(cp.FromUtf16(units, 5, out, 3), 2u);
    EXPECT_STREQ(out, "a\xE9");
}

int g_allowedAllocations = 0;
void* LimitedRealloc(void* p, std::size_t n) { return g_allowedAllocations-- <= 0 ? nullptr : std::realloc(p, n); }

// Capacity 1, then doubling; a growth that fails drops the record and keeps the rest.
TEST(EntryArray, GrowsByDoublingAndSurvivesAFailedGrowth) {
    g_allowedAllocations = 3;
    EntryArray<FileEntry> a(&LimitedRealloc);
    std::string appended;
    for (std::uint32_t i = 0; i < 5; ++i) {
        FileEntry e;
        e.size = i;
        appended += a.Append(e) ? "1" : "0";
        appended += std::to_string(a.Capacity()) + " ";
    }
    for (const FileEntry& e : a)
        appended += std::to_string(e.size);
    EXPECT_EQ(appended, "11 12 14 14 04 0123");
}

TEST(Classify, LiveItemsAndIndexFileKinds) {
    struct Case { const char* url; LiveItem item; EntryKind kind; } cases[] = {
        {"Cookie:user1@shop/cart", LiveItem::Cookie, EntryKind::Cookie},
        {"Visited: user@http://site/page", LiveItem::Dropped, EntryKind::History},
        {"http://site/?q=Visited:x", LiveItem::Dropped, EntryKind::History},  // anywhere, not only at the start
        {"Visited: u@http://x/Cookie:y", LiveItem::Dropped, EntryKind::Cookie},  // live: history first; files: cookie
        {"cookie:user@site/", LiveItem::Cache, EntryKind::Cache},                  // the markers are case-sensitive
        {"http://site/logo.png", LiveItem::Cache, EntryKind::Cache},
        // The records of daily and weekly History files begin with the period they cover.
        {":2013031020130311: user@http://site/page", LiveItem::Cache, EntryKind::History},
        {":2013031020130311: u@http://x/?Cookie:y", LiveItem::Cookie, EntryKind::History},
        {":201303102013031: u@http://x/", LiveItem::Cache, EntryKind::Cache},  // 15 digits
        {":2013031020130311 u@http://x/", LiveItem::Cache, EntryKind::Cache},
        {":20130310201303a1: u@http://x/", LiveItem::Cache, EntryKind::Cache},
        {"x:2013031020130311: u@http://x/", LiveItem::Cache, EntryKind::Cache},  // only at the start
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ClassifyLiveItem(c.url), c.item) << c.url;
        PageEntry e;
        CopyField(e.url, c.url);
        EXPECT_EQ(IndexFileKind(e), c.kind) << c.url;
    }
}

TEST(Classify, AddressesTitlesAndNumbers) {
    const std::string texts[] = {LiveCookieAddress("Cookie:user1@shop/cart"), LiveCookieAddress("user@site/"),
                                 IndexCacheAddress("http://a/b@c"),           IndexCacheAddress("http://a/b"),
                                 LiveHistoryTitle(""),                        LiveHistoryTitle("Home"),
                                 NumberText(2147483647u),                     NumberText(2147483648u)};
    EXPECT_EQ(std::vector<std::string>(std::begin(texts), std::end(texts)),
              (std::vector<std::string>{"user1@shop/cart", "user@site/", "c", "http://a/b", "Untitled", "Home",
                                        "2147483647", "-2147483648"}));
    struct Case { const char* url; EntryKind kind; const char* userAndAddress; } cases[] = {
        {"Visited: user2@http://site/x", EntryKind::History, "user2|http://site/x"},
        {" \t\r\nold@http://a/", EntryKind::History, "old|http://a/"},
        {"pre Visited: u@a@b", EntryKind::History, "u|a@b"},
        {"me@http://x/ Visited", EntryKind::History, "me|http://x/ Visited"},
        {"Cookie:site/path", EntryKind::Cookie, "|site/path"},
        {"Cookie:  bob@site/", EntryKind::Cookie, "bob|site/"},
        {"Visited: u@x", EntryKind::Cookie, "Visited: u|x"},  // only the kind's own marker is cut
        {":2013031020130311: user@http://site/page", EntryKind::History, "user|http://site/page"},
        {":2013031020130311: u@http://x/?Visited: v@y", EntryKind::History, "u|http://x/?Visited: v@y"},
        {":2013031020130311: u@x", EntryKind::Cookie, ":2013031020130311: u|x"},
    };
    for (const Case& c : cases) {
        const UserAndAddress ua = IndexUserAndAddress(c.url, c.kind);
        EXPECT_EQ(ua.user + "|" + ua.address, c.userAndAddress) << c.url;
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

// The image, then each cell's text, ^ for a hyperlink and the day of a date cell.
std::string Text(const Row& row) {
    std::string s = std::to_string(row.image);
    for (const Cell& c : row.cells)
        s += " " + c.text + (c.format == kHyperlinkFormat ? "^" : "") +
             (c.hasDate ? "@" + IsoUtcTime(c.date).substr(0, 10) : "");
    return s;
}

FileTime Day(int year, int month, int day) { return FileTime::FromValue(TicksOf(year, month, day)); }

TEST(TabRows, RowsOfEachList) {
    const FileEntry cookie{"Cookie:user1@shop/cart", "user1@shop[1].txt", Day(2009, 11, 23), Day(2024, 7, 5), {},
                           2147483648u, 3};
    const PageEntry page{"Visited: user2@http://site/x", "", {}, {}, {}};
    const PageEntry daily{":2013031020130311: user3@http://site/y", "Y", Day(2013, 3, 10), Day(2013, 3, 11), {}};
    const PageEntry cache{"http://a/", "", Day(1602, 1, 1), Day(1601, 12, 31), {}};
    // A time the platform cannot convert shows "unknown" too, not a zero date.
    const PageEntry unconvertible{"http://a/", "", FileTime::FromValue(1ull << 63), Day(1601, 12, 31), {}};
    EXPECT_EQ(Text(LiveCookieRow(cookie, "dd.MM.yyyy")),
              "1 user1@shop[1].txt user1@shop/cart^ -2147483648 3 05.07.2024@2024-07-05 23.11.2009@2009-11-23 "
              "unknown@1601-01-01");
    EXPECT_EQ(Text(LiveHistoryRow(page, "dd.MM.yyyy")),
              "0 Untitled Visited: user2@http://site/x^ unknown@1601-01-01 unknown@1601-01-01 unknown@1601-01-01");
    EXPECT_EQ(Text(IndexFileRow(page, EntryKind::History, "dd.MM.yyyy")),
              "-1  user2 http://site/x^ unknown@1601-01-01 unknown@1601-01-01");
    EXPECT_EQ(Text(IndexFileRow(daily, EntryKind::History, "dd.MM.yyyy")),
              "-1 Y user3 http://site/y^ 11.03.2013@2013-03-11 10.03.2013@2013-03-10");
    EXPECT_EQ(Text(IndexFileRow(cache, EntryKind::Cache, "dd.MM.yyyy")),
              "-1 http://a/^ unknown@1601-12-31 01.01.1602@1602-01-01");
    EXPECT_EQ(Text(IndexFileRow(unconvertible, EntryKind::Cache, "dd.MM.yyyy")),
              "-1 http://a/^ unknown@1601-12-31 unknown@");
}

}  // namespace
}  // namespace tw
