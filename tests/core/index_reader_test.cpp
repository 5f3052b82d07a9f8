#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "core/index_reader.h"
#include "tests/fixtures/index_file_writer.h"

namespace tw {
namespace {

using fixtures::EmptyIndexImage;
using fixtures::IndexFileWriter;
using fixtures::IndexRecord;
using Bytes = std::vector<unsigned char>;

int Read(const Bytes& b, EntryArray<PageEntry>& entries) {
    return ReadIndexImage(b.data(), b.size(), entries);
}

void Put(Bytes& b, std::size_t at, const void* data, std::size_t n) {
    if (b.size() < at + n)
        b.resize(at + n, 0);
    std::memcpy(&b[at], data, n);
}
void Put16(Bytes& b, std::size_t at, unsigned v) {
    const unsigned char le[2] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)};
    Put(b, at, le, 2);
}
// A URL record head at o of the given block count.
void PutRecord(Bytes& b, std::size_t o, unsigned blocks, const std::string& url) {
    Put(b, o, "URL ", 4);
    Put16(b, o + 4, blocks);
    if (!url.empty())
        Put(b, o + 104, url.data(), url.size());
}

TEST(IndexReader, ResultCodes) {
    IndexRecord r;
    r.url = "http://site/";
    struct Case { const char* name; Bytes bytes; int result; std::size_t records; } cases[] = {
        {"256 bytes with a correct header", EmptyIndexImage(256), kIndexUnreadable, 0},
        {"no bytes", Bytes(), kIndexUnreadable, 0},
        {"correct header, no URL block", EmptyIndexImage(4096), kIndexNoUrlRecords, 0},
        {"other header", [] { Bytes b(4096, 'x'); return b; }(), kIndexNotIndexFile, 0},
        {"version 5.2", IndexFileWriter().Add(r).Build(), kIndexVersion52, 1},
        {"version 4.7", IndexFileWriter("4.7").Add(r).Build(), kIndexOtherVersion, 1},
        {"truncated header text", [] { Bytes b(300, 0); Put(b, 0, "Client UrlCache MMF Ve", 22); return b; }(),
         kIndexNotIndexFile, 0},
    };
    for (auto& c : cases) {
        EntryArray<PageEntry> entries;
        EXPECT_EQ(Read(c.bytes, entries), c.result) << c.name;
        EXPECT_EQ(entries.Count(), c.records) << c.name;
    }
}

TEST(IndexReader, FilesAreReadWholeAndMissingFilesAnswerZero) {
    EntryArray<PageEntry> entries;
    EXPECT_EQ(ReadIndexFile("/nonexistent/dir/index.dat", entries), kIndexUnreadable);
    const std::string path = ::testing::TempDir() + "reader_index.dat";
    IndexRecord r;
    r.url = "Visited: me@http://a/";
    r.title = u"A";
    ASSERT_TRUE(IndexFileWriter().Add(r).Add(r).WriteTo(path));
    EXPECT_EQ(ReadIndexFile(path.c_str(), entries), kIndexVersion52);
    ASSERT_EQ(entries.Count(), 2u);
    EXPECT_STREQ(entries[1].url, "Visited: me@http://a/");
    EXPECT_STREQ(entries[1].title, "A");
    std::remove(path.c_str());
}

TEST(IndexReader, RecordsInFileOrderWithTimesAndTitles) {
    IndexFileWriter w;
    IndexRecord r;
    r.url = "Visited: alice@http://one/";
    r.title = u"First page";
    r.firstTime = 111;
    r.secondTime = 222;
    w.Add(r);
    w.AddFreeBlock();
    r.url = "Visited: alice@http://two/";
    r.title = u"Second, form 2";
    r.titleForm = 2;
    r.firstTime = 0x0123456789ABCDEFull;
    r.secondTime = 0xFFFFFFFFFFFFFFFFull;
    w.Add(r);
    EntryArray<PageEntry> entries;
    ASSERT_EQ(Read(w.Build(), entries), kIndexVersion52);
    ASSERT_EQ(entries.Count(), 2u);
    EXPECT_STREQ(entries[0].url, "Visited: alice@http://one/");
    EXPECT_STREQ(entries[0].title, "First page");
    EXPECT_EQ(entries[0].lastUpdated.Value(), 111u);
    EXPECT_EQ(entries[0].lastVisited.Value(), 222u);
    EXPECT_STREQ(entries[1].title, "Second, form 2");
    EXPECT_EQ(entries[1].lastUpdated.Value(), 0x0123456789ABCDEFull);
    for (const PageEntry& e : entries)
        EXPECT_EQ(e.expires.Value(), e.lastVisited.Value());
}

TEST(IndexReader, UrlIsBoundedByTheRecordsBlocks) {
    Bytes b = EmptyIndexImage(0x4000);
    PutRecord(b, 0x4000, 2, std::string(200, 'a'));   // 2 blocks: at most 128 bytes
    PutRecord(b, 0x4100, 1, "http://ignored/");        // 1 block: empty URL, still a row
    PutRecord(b, 0x4180, 40, std::string(5000, 'c'));  // limited to 4096 bytes
    b.resize(0x4180 + 40 * 128, 0);
    EntryArray<PageEntry> entries;
    ASSERT_EQ(Read(b, entries), kIndexVersion52);
    ASSERT_EQ(entries.Count(), 3u);
    EXPECT_EQ(std::string(entries[0].url), std::string(128, 'a'));
    EXPECT_STREQ(entries[1].url, "");
    EXPECT_EQ(std::strlen(entries[2].url), 1023u);  // the field keeps 1023
}

TEST(IndexReader, TitleAtTheThirdPositionBehindTheUrl) {
    Bytes b = EmptyIndexImage(0x4000);
    const std::size_t o = 0x4000;
    const std::string url(40, 'u');
    PutRecord(b, o, 2, url);
    b.resize(o + 256, 0);
    const std::size_t m = o + 104 + 40 + 2;
    const unsigned char marker[3] = {0x10, 0x00, 0x02};
    Put(b, m, marker, 3);
    Put16(b, m + 16, 22);
    b[m + 18] = 0x10;
    b[m + 19] = 0x1F;
    const char16_t title[] = u"Eleven char";
    for (int i = 0; i < 11; ++i)
        Put16(b, m + 20 + 2 * i, title[i]);
    EntryArray<PageEntry> entries;
    ASSERT_EQ(Read(b, entries), kIndexVersion52);
    ASSERT_EQ(entries.Count(), 1u);
    EXPECT_STREQ(entries[0].url, url.c_str());
    EXPECT_STREQ(entries[0].title, "Eleven char");
}

// Title blocks that must give no title: each case changes one byte of a good one.
TEST(IndexReader, TitleBlocksWithoutTitle) {
    struct Case { const char* name; std::size_t at; unsigned value; bool wide; } cases[] = {
        {"length A of 0", 16, 0, true},
        {"other tag pair", 19, 0x1E, false},
        {"marker beyond the sixth position", 0, 0, false},
    };
    for (const Case& c : cases) {
        Bytes b = EmptyIndexImage(0x4000);
        const std::size_t o = 0x4000, m = o + 104 + 10 + 1;
        PutRecord(b, o, 3, "0123456789");
        b.resize(o + 384, 0);
        const unsigned char marker[3] = {0x10, 0x00, 0x02};
        if (c.at == 0 && !c.wide)
            Put(b, m + 5, marker, 3);  // positions 0..5 hold nothing; position 6 does
        else
            Put(b, m, marker, 3);
        Put16(b, m + 16, 4);
        b[m + 18] = 0x10;
        b[m + 19] = 0x1F;
        Put16(b, m + 20, 'T');
        Put16(b, m + 22, 'i');
        if (c.at != 0) {
            if (c.wide)
                Put16(b, m + c.at, c.value);
            else
                b[m + c.at] = static_cast<unsigned char>(c.value);
        }
        EntryArray<PageEntry> entries;
        ASSERT_EQ(Read(b, entries), kIndexVersion52) << c.name;
        EXPECT_STREQ(entries[0].title, "") << c.name;
    }
}

// The sanitizer build sees an exact-size copy, so the last byte of the file
// is the last byte of the allocation.
TEST(IndexReader, ARecordEndingOnTheFilesLastByteIsReadWhole) {
    Bytes b = EmptyIndexImage(0x4000);
    const std::size_t o = 0x4000, m = o + 104 + 10 + 1;
    PutRecord(b, o, 2, "0123456789");
    const unsigned char marker[3] = {0x10, 0x00, 0x02};
    Put(b, m, marker, 3);
    const unsigned char title[8] = {4, 0, 0x10, 0x1F, 'T', 0, 'i', 0};  // its length, form and text
    Put(b, m + 16, title, 8);
    const Bytes exact(b);
    EntryArray<PageEntry> entries;
    ASSERT_EQ(Read(exact, entries), kIndexVersion52);
    EXPECT_STREQ(entries[0].url, "0123456789");
    EXPECT_STREQ(entries[0].title, "Ti");
}

TEST(IndexReader, FormTwoTitleOf128BytesOrMoreIsNone) {
    for (unsigned length : {126u, 128u, 200u}) {
        IndexRecord r;
        r.url = "Visited: x@http://y/";
        r.title = std::u16string(length / 2, u'w');
        r.titleForm = 2;
        EntryArray<PageEntry> entries;
        ASSERT_EQ(Read(IndexFileWriter().Add(r).Build(), entries), kIndexVersion52);
        EXPECT_EQ(std::strlen(entries[0].title), length < 128 ? length / 2 : 0u) << length;
    }
}

TEST(IndexReader, LongFormOneTitleKeeps255Characters) {
    IndexRecord r;
    r.url = "Visited: x@http://y/";
    r.title = std::u16string(30000, u'L');  // A = 60000 bytes, beyond the title buffer
    EntryArray<PageEntry> entries;
    ASSERT_EQ(Read(IndexFileWriter().Add(r).Build(), entries), kIndexVersion52);
    EXPECT_EQ(std::string(entries[0].title), std::string(255, 'L'));
}

TEST(IndexReader, NothingIsReadPastTheEndOfTheImage) {
    // Each image ends inside a record; the reader sees an exact-size copy on
    // the heap, so a read past its end is caught by the sanitizer build.
    IndexRecord r;
    r.url = "Visited: someone@http://www.example.com/a/rather/long/address";
    r.title = u"A title that is cut by the end of the file";
    const Bytes whole = IndexFileWriter().Add(r).Build();
    const std::size_t head = whole.size() - 256;  // the record's head block
    for (std::size_t cut = head + 1; cut < whole.size(); cut += 7) {
        std::unique_ptr<unsigned char[]> copy(new unsigned char[cut]);
        std::memcpy(copy.get(), whole.data(), cut);
        EntryArray<PageEntry> entries;
        ASSERT_EQ(ReadIndexImage(copy.get(), cut, entries), kIndexVersion52) << cut;
        ASSERT_EQ(entries.Count(), 1u);
        EXPECT_EQ(std::string(r.url).compare(0, std::strlen(entries[0].url), entries[0].url), 0);
    }
}

TEST(IndexReader, BlockCountZeroMovesTheWalkOn) {
    Bytes b = EmptyIndexImage(0x4000);
    PutRecord(b, 0x4000, 0, "http://zero/");
    PutRecord(b, 0x4080, 2, "http://next/");
    b.resize(0x4180, 0);
    EntryArray<PageEntry> entries;
    ASSERT_EQ(Read(b, entries), kIndexVersion52);
    ASSERT_EQ(entries.Count(), 2u);
    EXPECT_STREQ(entries[0].url, "");
    EXPECT_STREQ(entries[1].url, "http://next/");
}

TEST(IndexReader, RecordsInFreedSpaceAreRead) {
    // The writer leaves the allocation bitmap clear for a freed record.
    IndexRecord r;
    r.url = "http://live/";
    Bytes b = IndexFileWriter().Add(r).Build();
    const std::size_t freed = b.size();
    PutRecord(b, freed, 2, "http://freed/");
    b.resize(freed + 256, 0);
    EntryArray<PageEntry> entries;
    ASSERT_EQ(Read(b, entries), kIndexVersion52);
    ASSERT_EQ(entries.Count(), 2u);
    EXPECT_STREQ(entries[1].url, "http://freed/");
}

TEST(IndexReader, OnlyBlockStartsAreRecognised) {
    Bytes b = EmptyIndexImage(0x4000);
    PutRecord(b, 0x4001, 2, "http://misaligned/");
    b.resize(0x4200, 0);
    EntryArray<PageEntry> entries;
    EXPECT_EQ(Read(b, entries), kIndexNoUrlRecords);
}

}  // namespace
}  // namespace tw
