#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "band/guid_text.h"
#include "band/guids.h"

namespace tw {
namespace {

TEST(GuidText, ReadsEveryField) {
    const GuidFields g = ParseGuidText("{00021494-0000-0000-C000-000000000046}");
    ASSERT_TRUE(g.valid);
    EXPECT_EQ(g.data1, 0x00021494u);
    EXPECT_EQ(g.data2, 0u);
    EXPECT_EQ(g.data3, 0u);
    const std::uint8_t tail[8] = {0xC0, 0, 0, 0, 0, 0, 0, 0x46};
    EXPECT_EQ(std::memcmp(g.data4, tail, 8), 0);
    const GuidFields lower = ParseGuidText("{e0dd6cab-2d10-11d2-8f1a-0000f87abd16}");
    ASSERT_TRUE(lower.valid);
    EXPECT_EQ(lower.data1, 0xE0DD6CABu);
    EXPECT_EQ(lower.data3, 0x11D2u);
    EXPECT_EQ(lower.data4[7], 0x16u);
}

TEST(GuidText, RefusesMalformedTexts) {
    const char* bad[] = {
        "",
        "00021494-0000-0000-C000-000000000046",
        "{00021494-0000-0000-C000-000000000046",
        "{00021494-0000-0000-C000-0000000000460}",
        "{00021494-0000-0000-C000-00000000004G}",
        "{00021494+0000-0000-C000-000000000046}",
        "{0002149-40000-0000-C000-000000000046}",
        "{00021494-0000-0000-C000-000000000046}x",
    };
    for (const char* text : bad) EXPECT_FALSE(ParseGuidText(text).valid) << text;
}

// Every identifier this module owns is well formed and used once.
TEST(GuidText, OwnIdentifiersAreValidAndDistinct) {
    const char* own[] = {TW_CLSID_ExplorerBar, TW_IID_IExplorerBar,     TW_LIBID_TidewellLib, TW_CLSID_StartButton,
                         TW_IID_IStartButton,  TW_GUID_ButtonExtension, TW_CLSID_Retired};
    std::set<std::string> seen;
    for (const char* text : own) {
        EXPECT_TRUE(ParseGuidText(text).valid) << text;
        EXPECT_TRUE(seen.insert(text).second) << text;
    }
}

}  // namespace
}  // namespace tw
