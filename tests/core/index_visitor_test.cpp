#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/index_reader.h"
#include "core/index_visitor.h"
#include "settings/date_format.h"
#include "tests/fixtures/index_file_writer.h"

namespace tw {
namespace {

using Bytes = std::vector<unsigned char>;

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

Bytes RealHistory() {
    std::ifstream in(TW_REAL_HISTORY, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::vector<Seen> Visit(const Bytes& b, int* result = nullptr) {
    Collect c;
    const int r = VisitIndexImage(b.data(), b.size(), c);
    if (result)
        *result = r;
    return c.seen;
}

void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<unsigned char>(v >> (8 * i));
}

// The record heads of the real file that its hash table still links; the
// other eleven lie in blocks its bitmap marks free.
const std::size_t kLinked[] = {0x5000, 0x5200, 0x5380, 0x5500, 0x6000, 0x6400, 0x6580};

bool IsLinked(std::size_t offset) {
    for (std::size_t o : kLinked)
        if (o == offset)
            return true;
    return false;
}

TEST(IndexVisitor, RealFileSplitsAsItsHashTableAndBitmapSay) {
    const Bytes real = RealHistory();
    ASSERT_EQ(real.size(), 32768u);
    int result = 0;
    const std::vector<Seen> seen = Visit(real, &result);
    EXPECT_EQ(result, kIndexVersion52);
    ASSERT_EQ(seen.size(), 18u);
    EntryArray<PageEntry> entries;
    ASSERT_EQ(ReadIndexImage(real.data(), real.size(), entries), kIndexVersion52);
    ASSERT_EQ(entries.Count(), 18u);
    for (std::size_t i = 0; i < seen.size(); ++i) {
        EXPECT_EQ(seen[i].state, IsLinked(seen[i].offset) ? IndexRecordState::Allocated : IndexRecordState::Recovered)
            << std::hex << seen[i].offset;
        EXPECT_EQ(seen[i].type, IndexRecordType::Url);
        EXPECT_EQ(seen[i].url, entries[i].url);  // the tabs' reader walks the same records
        EXPECT_EQ(seen[i].url.rfind("Visited: testing@", 0), 0u) << seen[i].url;
    }
    EXPECT_EQ(seen[0].size, 256u);
    EXPECT_EQ(seen[0].hits, 13u);
    EXPECT_EQ(IsoUtcTime(seen[0].expiry), "2011-06-29T18:50:16Z");
    EXPECT_EQ(IsoUtcTime(seen[0].lastChecked), "2011-06-23T18:57:26Z");
    EXPECT_EQ(seen[17].offset, 0x7200u);
    EXPECT_EQ(seen[17].size, 512u);
}

// Variants of the real file, each changed in one place.
TEST(IndexVisitor, StatesAndBoundsOfDamagedVariants) {
    const Bytes real = RealHistory();
    struct Case {
        const char* what;
        void (*change)(Bytes&);
        std::size_t offset;  // the record to look at
        IndexRecordState state;
        std::size_t size;
        std::size_t records;
    } cases[] = {
        {"as it is", [](Bytes&) {}, 0x5000, IndexRecordState::Allocated, 256, 18},
        {"its hash entry marked deleted: linked no more, its blocks still in use",
         [](Bytes& b) { Put32(b, 0x4000 + 16 + 8 * 392, 1); }, 0x5000, IndexRecordState::Unlinked, 256, 18},
        {"then its blocks freed too",
         [](Bytes& b) { Put32(b, 0x4000 + 16 + 8 * 392, 1); b[0x250 + 4] &= 0xFC; }, 0x5000,
         IndexRecordState::Recovered, 256, 18},
        {"only its second block freed: the head block decides",
         [](Bytes& b) { Put32(b, 0x4000 + 16 + 8 * 392, 1); b[0x250 + 4] &= 0xFD; }, 0x5000,
         IndexRecordState::Unlinked, 256, 18},
        {"a live key that names a freed record links it",
         [](Bytes& b) { Put32(b, 0x4000 + 16 + 8 * 77, 0x12345640); }, 0x5100, IndexRecordState::Allocated, 256, 18},
        {"a key with the table's marks in its low bits links nothing",
         [](Bytes& b) { Put32(b, 0x4000 + 16 + 8 * 77, 0x12345641); }, 0x5100, IndexRecordState::Recovered, 256, 18},
        {"an entry off a block boundary links nothing",
         [](Bytes& b) { Put32(b, 0x4000 + 16 + 8 * 77, 0x12345640); Put32(b, 0x4000 + 20 + 8 * 77, 0x5101); },
         0x5100, IndexRecordState::Recovered, 256, 18},
        {"a hash table chained to itself ends",
         [](Bytes& b) { Put32(b, 0x4008, 0x4000); }, 0x5000, IndexRecordState::Allocated, 256, 18},
        {"a chain that loops through a second table ends",
         [](Bytes& b) {
             std::memcpy(&b[0x7800], "HASH", 4);
             Put32(b, 0x7804, 1);
             Put32(b, 0x7808, 0x4000);
             Put32(b, 0x4008, 0x7800);
         },
         0x5000, IndexRecordState::Allocated, 256, 18},
        {"a hash table that claims more blocks than the file has",
         [](Bytes& b) { Put32(b, 0x4004, 0xFFFFFFF0u); }, 0x6580, IndexRecordState::Allocated, 384, 18},
        {"no hash table at all: nothing is linked",
         [](Bytes& b) { Put32(b, 32, 0x9000000); }, 0x6580, IndexRecordState::Unlinked, 384, 18},
        {"the last record ends at the file's last byte", [](Bytes& b) { b.resize(0x7400); }, 0x7200,
         IndexRecordState::Recovered, 512, 18},
        {"the file ends one byte before it", [](Bytes& b) { b.resize(0x73FF); }, 0x7200,
         IndexRecordState::Recovered, 511, 18},
        {"the file ends inside its head block", [](Bytes& b) { b.resize(0x7203); }, 0x7200,
         IndexRecordState::Recovered, 3, 18},
        {"a block count of 0 still moves the walk on",
         [](Bytes& b) { Put32(b, 0x5004, 0); }, 0x5000, IndexRecordState::Allocated, 128, 18},
    };
    for (const Case& c : cases) {
        Bytes b = real;
        c.change(b);
        const std::vector<Seen> seen = Visit(b);
        EXPECT_EQ(seen.size(), c.records) << c.what;
        bool found = false;
        for (const Seen& s : seen) {
            if (s.offset != c.offset)
                continue;
            found = true;
            EXPECT_EQ(s.state, c.state) << c.what;
            EXPECT_EQ(s.size, c.size) << c.what;
            EXPECT_LE(s.offset + s.size, b.size()) << c.what;
        }
        EXPECT_TRUE(found) << c.what;
    }
}

TEST(IndexVisitor, RecordTypesFilesAndFolders) {
    fixtures::IndexFileWriter w;
    fixtures::IndexRecord r;
    r.url = "http://www.example.com/logo.png";
    r.localFile = "logo[1].png";
    r.hits = 7;
    w.Add(r);
    r.url = "http://www.example.com/redirected";
    r.localFile.clear();
    w.Add(r);
    w.Add(r);
    Bytes b = w.Build();
    // One cache folder in the header; the first record keeps its file there.
    Put32(b, 72, 1);
    std::memcpy(&b[76 + 4], "ABCD1234", 8);
    std::memcpy(&b[76 + 12 + 4], "EFGH5678", 8);  // beyond the count: not a folder
    const std::vector<Seen> plain = Visit(b);
    ASSERT_EQ(plain.size(), 3u);
    const std::size_t second = plain[1].offset, third = plain[2].offset;
    b[plain[0].offset + 56] = 0;
    b[second + 56] = 1;  // past the folders the header has
    std::memcpy(&b[second], "LEAK", 4);
    std::memcpy(&b[third], "REDR", 4);
    std::memcpy(&b[third + 16], "http://moved/\0", 14);

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
    // The tabs show URL records only.
    EntryArray<PageEntry> entries;
    ASSERT_EQ(ReadIndexImage(b.data(), b.size(), entries), kIndexVersion52);
    EXPECT_EQ(entries.Count(), 1u);

    // A file with no URL record hands nothing on, other records or not.
    std::memcpy(&b[plain[0].offset], "LEAK", 4);
    int result = 0;
    EXPECT_TRUE(Visit(b, &result).empty());
    EXPECT_EQ(result, kIndexNoUrlRecords);
}

TEST(IndexVisitor, FatTimes) {
    struct Case { std::uint32_t fat; const char* iso; } cases[] = {
        {0x96483EDDu, "2011-06-29T18:50:16Z"},
        {0x00000021u, "1980-01-01T00:00:00Z"},
        {0xBF7DFF9Fu, "2107-12-31T23:59:58Z"},
        {0x0000405Du, "2012-02-29T00:00:00Z"},  // a leap day
        {0x00003E5Du, ""},                      // 29 February 2011
        {0x000041A1u, ""},                      // month 13
        {0x00003EC0u, ""},                      // day 0
        {0xC0003EDDu, ""},                      // hour 24
        {0x077E3EDDu, ""},                      // minute 59, second 60
        {0, ""},
    };
    for (const Case& c : cases) {
        const FileTime t = FatTimeToFileTime(c.fat);
        EXPECT_EQ(t.IsZero() ? std::string() : IsoUtcTime(t), c.iso) << std::hex << c.fat;
    }
}

}  // namespace
}  // namespace tw
