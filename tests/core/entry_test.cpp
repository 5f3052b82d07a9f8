#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "core/ansi_text.h"
#include "core/entry.h"

namespace tw {
namespace {

TEST(CopyField, CutsToFieldLessOne) {
    PageEntry e;
    CopyField(e.url, std::string(1500, 'u').c_str());
    EXPECT_EQ(std::string(e.url), std::string(1023, 'u'));
    CopyField(e.title, nullptr);
    EXPECT_STREQ(e.title, "");
    CopyField(e.title, sizeof e.title, "abcdef", 3);
    EXPECT_STREQ(e.title, "abc");
}

TEST(Latin1CodePage, LowersLettersAndConvertsUnitsWithinTheirCount) {
    const Latin1CodePage cp;
    char text[] = "@AZ[`az{\xBF\xC0\xD6\xD7\xD8\xDE\xDF";
    cp.Lower(text);
    EXPECT_STREQ(text, "@az[`az{\xBF\xE0\xF6\xD7\xF8\xFE\xDF");
    const char16_t units[] = {u'a', 0xE9, 0x20AC, u'b', u'c'};
    char out[8] = "xxxxxxx";
    EXPECT_EQ(cp.FromUtf16(units, 4, out, sizeof out), 4u);
    EXPECT_STREQ(out, "a\xE9?b");  // the unit past the count is not read
    EXPECT_EQ(cp.FromUtf16(units, 5, out, 3), 2u);
    EXPECT_STREQ(out, "a\xE9");
}

TEST(EntryArray, GrowsToOneThenDoubles) {
    EntryArray<FileEntry> a;
    std::vector<std::size_t> capacities;
    for (int i = 0; i < 9; ++i) {
        FileEntry e;
        e.size = std::uint32_t(i);
        ASSERT_TRUE(a.Append(e));
        capacities.push_back(a.Capacity());
    }
    EXPECT_EQ(capacities, (std::vector<std::size_t>{1, 2, 4, 4, 8, 8, 8, 8, 16}));
    for (std::size_t i = 0; i < a.Count(); ++i) EXPECT_EQ(a[i].size, i);
}

int g_allowedAllocations = 0;
void* LimitedRealloc(void* p, std::size_t n) { return g_allowedAllocations-- <= 0 ? nullptr : std::realloc(p, n); }

TEST(EntryArray, AppendWithoutMemoryDropsTheRecordAndKeepsTheRest) {
    g_allowedAllocations = 2;  // capacity 1, then 2; the growth to 4 fails
    EntryArray<PageEntry> a(&LimitedRealloc);
    PageEntry e;
    for (std::uint32_t i : {1u, 2u}) {
        e.lastVisited.low = i;
        EXPECT_TRUE(a.Append(e));
    }
    e.lastVisited.low = 99;
    EXPECT_FALSE(a.Append(e));
    ASSERT_EQ(a.Count(), 2u);
    EXPECT_EQ(a[0].lastVisited.low, 1u);
    EXPECT_EQ(a[1].lastVisited.low, 2u);
}

}  // namespace
}  // namespace tw
