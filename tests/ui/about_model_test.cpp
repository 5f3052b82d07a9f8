#include <gtest/gtest.h>

#include "ui/about_model.h"

namespace tw {
namespace {

TEST(AboutModel, AnchorColoursAreThreeNumbersOrNothing) {
    const struct {
        const char* text;
        bool ok;
        Rgb colour;
    } cases[] = {
        {"0,128,0", true, {0, 128, 0}},     {"0,128", false, {}},          {"1,2,", false, {}},
        {" 12, 34 ,56x", true, {12, 34, 56}}, {"a,b,c", true, {0, 0, 0}},  {"300,0,99999", true, {255, 0, 255}},
        {"", false, {}},                    {",,", false, {}},             {",,7", true, {0, 0, 7}},
    };
    for (const auto& c : cases) {
        Rgb got = kLinkColour;
        EXPECT_EQ(ParseAnchorColour(c.text, &got), c.ok) << c.text;
        EXPECT_EQ(got, c.ok ? c.colour : kLinkColour) << c.text;
    }
}

TEST(AboutModel, BannerKeepsItsProportions) {
    EXPECT_EQ(BannerHeight(400, 400, 80), 80);
    EXPECT_EQ(BannerHeight(401, 400, 80), 80);
    EXPECT_EQ(BannerHeight(405, 400, 80), 81);
    EXPECT_EQ(BannerHeight(200, 400, 80), 40);
    EXPECT_EQ(BannerHeight(200, 0, 80), 80);
}

TEST(AboutModel, SupportMailHasItsSubject) {
    EXPECT_EQ(SupportMailLink("a@b.c"), "mailto:a@b.c?subject=Message%20from%20Tidewell%20application");
}

}  // namespace
}  // namespace tw
