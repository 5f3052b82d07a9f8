#include <gtest/gtest.h>

#include <string>

#include "core/entry.h"

namespace tw {
namespace {

TEST(CopyField, CutsToFieldLessOne) {
    PageEntry e;
    const std::string longUrl(1500, 'u');
    CopyField(e.url, longUrl.c_str());
    EXPECT_EQ(std::string(e.url), std::string(1023, 'u'));
    CopyField(e.title, nullptr);
    EXPECT_STREQ(e.title, "");
    CopyField(e.title, sizeof e.title, "abcdef", 3);
    EXPECT_STREQ(e.title, "abc");
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
    for (std::size_t i = 0; i < a.Count(); ++i)
        EXPECT_EQ(a[i].size, i);
}

int g_allowedAllocations = 0;
void* LimitedRealloc(void* p, std::size_t n) {
    if (g_allowedAllocations-- <= 0)
        return nullptr;
    return std::realloc(p, n);
}

TEST(EntryArray, AppendWithoutMemoryDropsTheRecordAndKeepsTheRest) {
    g_allowedAllocations = 2;  // capacity 1, then 2; the growth to 4 fails
    EntryArray<PageEntry> a(&LimitedRealloc);
    PageEntry e;
    for (int i = 0; i < 2; ++i) {
        e.lastVisited.low = std::uint32_t(i + 1);
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
