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

int g_allowedAllocations = 0;
void* LimitedRealloc(void* p, std::size_t n) { return g_allowedAllocations-- <= 0 ? nullptr : std::realloc(p, n); }

// Capacity 1, then doubling; a growth that fails drops the record and keeps the rest.
TEST(EntryArray, GrowsByDoublingAndSurvivesAFailedGrowth) {
    g_allowedAllocations = 3;
    EntryArray<FileEntry> a(&LimitedRealloc);
    std::vector<std::size_t> capacities;
    for (std::uint32_t i = 0; i < 5; ++i) {
        FileEntry e;
        e.size = i;
        EXPECT_EQ(a.Append(e), i < 4) << i;
        capacities.push_back(a.Capacity());
    }
    EXPECT_EQ(capacities, (std::vector<std::size_t>{1, 2, 4, 4, 4}));
    ASSERT_EQ(a.Count(), 4u);
    for (std::size_t i = 0; i < a.Count(); ++i)
        EXPECT_EQ(a[i].size, i);
}

}  // namespace
}  // namespace tw
