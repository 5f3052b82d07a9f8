#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
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
void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}
// A URL record head at o of the given block count.
void PutRecord(Bytes& b, std::size_t o, unsigned blocks, const std::string& url) {
    Put(b, o, std::string("URL ") + char(blocks & 0xFF) + char(blocks >> 8));
    Put(b, o + 104, url);
}
Bytes Record(const IndexRecord& r, const char* version = "5.2") { return IndexFileWriter(version).Add(r).Build(); }
IndexRecord Url(const std::string& url, const std::u16string& title = u"", int form = 1) {
    IndexRecord r;
    r.url = url;
    r.title = title;
    r.titleForm = form;
    return r;
}

struct Read {
    explicit Read(const Bytes& b) : result(ReadIndexImage(b.data(), b.size(), entries)) {}
    EntryArray<PageEntry> entries;
    int result;
};

TEST(IndexReader, ResultCodes) {
    Bytes misaligned = EmptyIndexImage(0x4000);
    PutRecord(misaligned, 0x4001, 2, "http://misaligned/");
    misaligned.resize(0x4200);
    struct Case { const char* name; Bytes bytes; int result; std::size_t records; } cases[] = {
        {"256 bytes with a correct header", EmptyIndexImage(256), kIndexUnreadable, 0},
        {"no bytes", Bytes(), kIndexUnreadable, 0},
        {"correct header, no URL block", EmptyIndexImage(4096), kIndexNoUrlRecords, 0},
        {"a URL record off a block start", misaligned, kIndexNoUrlRecords, 0},
        {"other header", Bytes(4096, 'x'), kIndexNotIndexFile, 0},
        {"truncated header text", [] { Bytes b(300, 0); Put(b, 0, "Client UrlCache MMF Ve"); return b; }(),
         kIndexNotIndexFile, 0},
        {"version 5.2", Record(Url("http://site/")), kIndexVersion52, 1},
        {"version 4.7", Record(Url("http://site/"), "4.7"), kIndexOtherVersion, 1},
    };
    for (auto& c : cases) {
        const Read r(c.bytes);
        EXPECT_EQ(r.result, c.result) << c.name;
        EXPECT_EQ(r.entries.Count(), c.records) << c.name;
    }
    EntryArray<PageEntry> entries;
    EXPECT_EQ(ReadIndexFile("/nonexistent/dir/index.dat", entries), kIndexUnreadable);
    const std::string path = ::testing::TempDir() + "reader_index.dat";
    ASSERT_TRUE(IndexFileWriter().Add(Url("Visited: me@http://a/", u"A")).WriteTo(path));
    EXPECT_EQ(ReadIndexFile(path.c_str(), entries), kIndexVersion52);
    ASSERT_EQ(entries.Count(), 1u);
    EXPECT_STREQ(entries[0].title, "A");
}

TEST(IndexReader, RecordsInFileOrderWithTimesAndTitles) {
    IndexRecord one = Url("Visited: alice@http://one/", u"First page"), two = Url("http://two/", u"Second", 2);
    one.firstTime = 111;
    one.secondTime = 222;
    two.firstTime = 0x0123456789ABCDEFull;
    two.secondTime = ~0ull;
    const Read r(IndexFileWriter().Add(one).AddFreeBlock().Add(two).Build());
    ASSERT_EQ(r.result, kIndexVersion52);
    ASSERT_EQ(r.entries.Count(), 2u);
    EXPECT_STREQ(r.entries[0].url, "Visited: alice@http://one/");
    EXPECT_STREQ(r.entries[0].title, "First page");
    EXPECT_EQ(r.entries[0].lastUpdated.Value(), 111u);
    EXPECT_EQ(r.entries[0].lastVisited.Value(), 222u);
    EXPECT_STREQ(r.entries[1].title, "Second");
    EXPECT_EQ(r.entries[1].lastUpdated.Value(), 0x0123456789ABCDEFull);
    for (const PageEntry& e : r.entries)
        EXPECT_EQ(e.expires.Value(), e.lastVisited.Value());
}

TEST(IndexReader, UrlIsBoundedByTheRecordsBlocks) {
    Bytes b = EmptyIndexImage(0x4000);
    PutRecord(b, 0x4000, 2, std::string(200, 'a'));   // 2 blocks: at most 128 bytes
    PutRecord(b, 0x4100, 1, "http://ignored/");        // 1 block: empty URL, still a row
    PutRecord(b, 0x4180, 40, std::string(5000, 'c'));  // limited to 4096 bytes
    b.resize(0x4180 + 40 * 128, 0);
    const Read r(b);
    ASSERT_EQ(r.entries.Count(), 3u);
    EXPECT_EQ(std::string(r.entries[0].url), std::string(128, 'a'));
    EXPECT_STREQ(r.entries[1].url, "");
    EXPECT_EQ(std::strlen(r.entries[2].url), 1023u);  // the field keeps 1023
}

// A title block "Ti" at the given place behind a URL of ten characters; the
// image ends with the title's last byte, the sanitizer build sees an exact
// copy, so the last byte of the file is the last byte of the allocation.
TEST(IndexReader, TitleBlocksBehindTheUrl) {
    struct Case { const char* name; std::size_t place; unsigned a, tag1, tag2; const char* title; } cases[] = {
        {"second place", 1, 4, 0x10, 0x1F, "Ti"},  {"sixth place", 5, 4, 0x10, 0x1F, "Ti"},
        {"seventh place", 6, 4, 0x10, 0x1F, ""},   {"length A of 0", 1, 0, 0x10, 0x1F, ""},
        {"other tag pair", 2, 4, 0x10, 0x1E, ""},
    };
    for (const Case& c : cases) {
        Bytes b = EmptyIndexImage(0x4000);
        PutRecord(b, 0x4000, 3, "0123456789");
        const std::size_t m = 0x4000 + 104 + 10 + c.place;  // place 0 is the URL's zero
        Put(b, m, std::string("\x10\0\x02", 3));
        Put(b, m + 16, std::string{char(c.a), 0, char(c.tag1), char(c.tag2), 'T', 0, 'i', 0});
        const Bytes exact(b);
        const Read r(exact);
        ASSERT_EQ(r.result, kIndexVersion52) << c.name;
        EXPECT_STREQ(r.entries[0].url, "0123456789") << c.name;
        EXPECT_STREQ(r.entries[0].title, c.title) << c.name;
    }
    // Form 2 titles of 128 bytes or more are none; long form 1 titles keep 255 characters.
    struct Long { unsigned units; int form; std::size_t kept; } longs[] = {{63, 2, 63}, {64, 2, 0}, {100, 2, 0},
                                                                            {30000, 1, 255}};
    for (const Long& c : longs) {
        const Read r(Record(Url("Visited: x@http://y/", std::u16string(c.units, u'L'), c.form)));
        EXPECT_EQ(std::string(r.entries[0].title), std::string(c.kept, 'L')) << c.units;
    }
}

TEST(IndexReader, NothingIsReadPastTheEndOfTheImage) {
    // Each image ends inside a record, in an exact-size copy on the heap.
    const IndexRecord r = Url("Visited: someone@http://www.example.com/a/rather/long/address", u"A title cut short");
    const Bytes whole = Record(r);
    for (std::size_t cut = whole.size() - 252; cut < whole.size(); cut += 7) {
        std::unique_ptr<unsigned char[]> copy(new unsigned char[cut]);
        std::memcpy(copy.get(), whole.data(), cut);
        EntryArray<PageEntry> entries;
        ASSERT_EQ(ReadIndexImage(copy.get(), cut, entries), kIndexVersion52) << cut;
        ASSERT_EQ(entries.Count(), 1u);
        EXPECT_EQ(r.url.compare(0, std::strlen(entries[0].url), entries[0].url), 0);
    }
}

struct Seen {
    std::size_t offset, size;
    IndexRecordType type;
    IndexRecordState state;
    std::string url, localFile, folder;
    FileTime expiry, lastChecked;
    std::uint32_t hits;
};

struct Collect : IndexVisitor {
    void Record(const IndexRecordView& r) override {
        seen.push_back({r.offset, r.size, r.type, r.state, std::string(r.url.text, r.url.length),
                        std::string(r.localFile.text, r.localFile.length),
                        std::string(r.cacheFolder.text, r.cacheFolder.length), r.expiry, r.lastChecked, r.hits});
    }
    std::vector<Seen> seen;
};

std::vector<Seen> Visit(const Bytes& b, int* result = nullptr) {
    Collect c;
    const int r = VisitIndexImage(b.data(), b.size(), c);
    if (result)
        *result = r;
    return c.seen;
}

Bytes RealHistory() {
    std::ifstream in(TW_REAL_HISTORY, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(IndexVisitor, RealFileSplitsAsItsHashTableAndBitmapSay) {
    // The record heads its hash table still links; the other eleven lie in
    // blocks its bitmap marks free.
    const std::vector<std::size_t> linked = {0x5000, 0x5200, 0x5380, 0x5500, 0x6000, 0x6400, 0x6580};
    const Bytes real = RealHistory();
    ASSERT_EQ(real.size(), 32768u) << "cannot read " << TW_REAL_HISTORY;
    int result = 0;
    const std::vector<Seen> seen = Visit(real, &result);
    EXPECT_EQ(result, kIndexVersion52);
    const Read read(real);
    ASSERT_EQ(seen.size(), 18u);
    ASSERT_EQ(read.entries.Count(), 18u);
    for (std::size_t i = 0; i < seen.size(); ++i) {
        const bool isLinked = std::find(linked.begin(), linked.end(), seen[i].offset) != linked.end();
        EXPECT_EQ(seen[i].state, isLinked ? IndexRecordState::Allocated : IndexRecordState::Recovered) << i;
        EXPECT_EQ(seen[i].type, IndexRecordType::Url);
        EXPECT_EQ(seen[i].url, read.entries[i].url);  // the tabs' reader walks the same records
        EXPECT_EQ(seen[i].url.rfind("Visited: testing@", 0), 0u) << seen[i].url;
    }
    EXPECT_EQ(seen[0].size, 256u);
    EXPECT_EQ(seen[0].hits, 13u);
    EXPECT_EQ(IsoUtcTime(seen[0].expiry), "2011-06-29T18:50:16Z");
    EXPECT_EQ(IsoUtcTime(seen[0].lastChecked), "2011-06-23T18:57:26Z");
    EXPECT_EQ(seen[17].offset, 0x7200u);
    EXPECT_EQ(seen[17].size, 512u);
}

// Variants of the real file, each changed in one place; the hash entry 392
// links the record at 0x5000, entry 77 is free.
TEST(IndexVisitor, StatesAndBoundsOfDamagedVariants) {
    const Bytes real = RealHistory();
    ASSERT_EQ(real.size(), 32768u) << "cannot read " << TW_REAL_HISTORY;
    using S = IndexRecordState;
    struct Case { const char* what; void (*change)(Bytes&); std::size_t offset; S state; std::size_t size; } cases[] = {
        {"as it is", [](Bytes&) {}, 0x5000, S::Allocated, 256},
        {"hash entry deleted, blocks in use", [](Bytes& b) { Put32(b, 0x4000 + 16 + 8 * 392, 1); }, 0x5000,
         S::Unlinked, 256},
        {"then its blocks freed", [](Bytes& b) { Put32(b, 0x4000 + 16 + 8 * 392, 1); b[0x254] &= 0xFC; }, 0x5000,
         S::Recovered, 256},
        {"only its second block freed: the head decides",
         [](Bytes& b) { Put32(b, 0x4000 + 16 + 8 * 392, 1); b[0x254] &= 0xFD; }, 0x5000, S::Unlinked, 256},
        {"a live key links a freed record", [](Bytes& b) { Put32(b, 0x4000 + 16 + 8 * 77, 0x12345640); }, 0x5100,
         S::Allocated, 256},
        {"a key with mark bits links nothing", [](Bytes& b) { Put32(b, 0x4000 + 16 + 8 * 77, 0x12345641); }, 0x5100,
         S::Recovered, 256},
        {"an entry off a block boundary links nothing",
         [](Bytes& b) { Put32(b, 0x4000 + 16 + 8 * 77, 0x12345640); Put32(b, 0x4000 + 20 + 8 * 77, 0x5101); }, 0x5100,
         S::Recovered, 256},
        {"a hash table chained to itself", [](Bytes& b) { Put32(b, 0x4008, 0x4000); }, 0x5000, S::Allocated, 256},
        {"a chain looping through a second table",
         [](Bytes& b) {
             Put(b, 0x7800, "HASH");
             Put32(b, 0x7804, 1);
             Put32(b, 0x7808, 0x4000);
             Put32(b, 0x4008, 0x7800);
         },
         0x5000, S::Allocated, 256},
        {"a hash table larger than the file", [](Bytes& b) { Put32(b, 0x4004, 0xFFFFFFF0u); }, 0x6580, S::Allocated,
         384},
        {"no hash table: nothing linked", [](Bytes& b) { Put32(b, 32, 0x9000000); }, 0x6580, S::Unlinked, 384},
        {"the last record ends at the file's last byte", [](Bytes& b) { b.resize(0x7400); }, 0x7200, S::Recovered, 512},
        {"the file ends one byte before", [](Bytes& b) { b.resize(0x73FF); }, 0x7200, S::Recovered, 511},
        {"the file ends inside its head block", [](Bytes& b) { b.resize(0x7203); }, 0x7200, S::Recovered, 3},
        {"a block count of 0 moves the walk on", [](Bytes& b) { Put32(b, 0x5004, 0); }, 0x5000, S::Allocated, 128},
    };
    for (const Case& c : cases) {
        Bytes b = real;
        c.change(b);
        const std::vector<Seen> seen = Visit(b);
        EXPECT_EQ(seen.size(), 18u) << c.what;
        const auto s = std::find_if(seen.begin(), seen.end(), [&](const Seen& x) { return x.offset == c.offset; });
        ASSERT_NE(s, seen.end()) << c.what;
        EXPECT_EQ(s->state, c.state) << c.what;
        EXPECT_EQ(s->size, c.size) << c.what;
    }
}

TEST(IndexVisitor, RecordTypesFilesAndFolders) {
    IndexRecord r = Url("http://www.example.com/logo.png");
    r.localFile = "logo[1].png";
    r.hits = 7;
    Bytes b = IndexFileWriter().Add(r).Add(Url("http://www.example.com/redirected")).Add(Url("http://x/")).Build();
    // One cache folder in the header; the first record keeps its file there.
    Put32(b, 72, 1);
    Put(b, 76 + 4, "ABCD1234");
    Put(b, 76 + 12 + 4, "EFGH5678");  // beyond the count: not a folder
    const std::vector<Seen> plain = Visit(b);
    ASSERT_EQ(plain.size(), 3u);
    const std::size_t second = plain[1].offset, third = plain[2].offset;
    b[second + 56] = 1;  // past the folders the header has
    Put(b, second, "LEAK");
    Put(b, third, "REDR");
    Put(b, third + 16, std::string("http://moved/\0", 14));
    const std::vector<Seen> seen = Visit(b);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].type, IndexRecordType::Url);
    EXPECT_EQ(seen[0].localFile, "logo[1].png");
    EXPECT_EQ(seen[0].folder, "ABCD1234");
    EXPECT_EQ(seen[0].hits, 7u);
    EXPECT_EQ(seen[1].type, IndexRecordType::Leak);
    EXPECT_EQ(seen[1].url, "http://www.example.com/redirected");
    EXPECT_EQ(seen[1].folder, "");
    EXPECT_EQ(seen[2].type, IndexRecordType::Redirect);
    EXPECT_EQ(seen[2].url, "http://moved/");
    EXPECT_EQ(Read(b).entries.Count(), 1u);  // the tabs show URL records only
    // A file with no URL record hands nothing on, other records or not.
    Put(b, plain[0].offset, "LEAK");
    int result = 0;
    EXPECT_TRUE(Visit(b, &result).empty());
    EXPECT_EQ(result, kIndexNoUrlRecords);
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
        EXPECT_EQ(t.IsZero() ? std::string() : IsoUtcTime(t), c.iso) << std::hex << c.fat;
    }
}

}  // namespace
}  // namespace tw
