#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "tools/bitmaps/images.h"

namespace tw::bitmaps {
namespace {

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 |
           std::uint32_t(b[at + 3]) << 24;
}
std::uint32_t U16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8;
}

// Reads a pixel of a bottom-up 24-bit BMP back from its bytes.
Colour PixelOf(const std::vector<std::uint8_t>& bmp, int x, int y) {
    const std::uint32_t width = U32(bmp, 18), height = U32(bmp, 22), offset = U32(bmp, 10);
    const std::uint32_t stride = (width * 3 + 3) & ~3u;
    const std::size_t at = offset + (height - 1 - std::uint32_t(y)) * stride + std::uint32_t(x) * 3;
    return Colour{bmp[at + 2], bmp[at + 1], bmp[at]};
}

}  // namespace

void PrintTo(const Strip& strip, std::ostream* os) { *os << strip.file; }

namespace {

TEST(Bitmaps, TheFourStripsOfTheResources) {
    std::set<int> resources;
    for (const auto& strip : Strips())
        resources.insert(strip.resource);
    EXPECT_EQ(resources, (std::set<int>{203, 210, 212, 227}));
}

class StripTest : public ::testing::TestWithParam<Strip> {};

TEST_P(StripTest, IsOneRowOfSixteenPixelCells) {
    const Strip& strip = GetParam();
    const Image image = strip.draw();
    EXPECT_EQ(image.width, strip.images * kCell);
    EXPECT_EQ(image.height, kCell);
}

TEST_P(StripTest, EveryCellShowsADistinctPictureOnTheMaskColour) {
    const Image image = GetParam().draw();
    std::set<std::vector<std::uint32_t>> pictures;
    for (int cell = 0; cell * kCell < image.width; ++cell) {
        const int x0 = cell * kCell;
        for (auto [x, y] : {std::pair{0, 0}, {15, 0}, {0, 15}, {15, 15}})
            EXPECT_EQ(image.At(x0 + x, y), kMask) << "cell " << cell << " corner " << x << "," << y;
        std::vector<std::uint32_t> picture;
        int painted = 0;
        for (int y = 0; y < kCell; ++y)
            for (int x = 0; x < kCell; ++x) {
                const Colour c = image.At(x0 + x, y);
                painted += c != kMask;
                picture.push_back(std::uint32_t(c.r) << 16 | std::uint32_t(c.g) << 8 | c.b);
            }
        EXPECT_GE(painted, 12) << "cell " << cell;
        EXPECT_TRUE(pictures.insert(picture).second) << "cell " << cell << " repeats an earlier one";
    }
}

TEST_P(StripTest, EncodesAsA24BitBottomUpBmp) {
    const Image image = GetParam().draw();
    const std::vector<std::uint8_t> bmp = EncodeBmp(image);
    ASSERT_GE(bmp.size(), 54u);
    EXPECT_EQ(U16(bmp, 0), 0x4D42u);
    EXPECT_EQ(U32(bmp, 2), bmp.size());
    EXPECT_EQ(U32(bmp, 14), 40u);
    EXPECT_EQ(U32(bmp, 18), std::uint32_t(image.width));
    EXPECT_EQ(U32(bmp, 22), std::uint32_t(image.height));
    EXPECT_EQ(U16(bmp, 28), 24u);
    EXPECT_EQ(U32(bmp, 30), 0u);
    const std::uint32_t stride = (std::uint32_t(image.width) * 3 + 3) & ~3u;
    EXPECT_EQ(bmp.size(), U32(bmp, 10) + stride * std::uint32_t(image.height));
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            ASSERT_EQ(PixelOf(bmp, x, y), image.At(x, y)) << x << "," << y;
}

// The resource build uses the committed files: they must be what the
// generator draws now.
TEST_P(StripTest, CommittedFileIsCurrent) {
    const Strip& strip = GetParam();
    std::ifstream in(std::string(TW_SOURCE_DIR) + "/res/bitmaps/" + strip.file, std::ios::binary);
    ASSERT_TRUE(in) << strip.file;
    const std::vector<std::uint8_t> committed{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_TRUE(committed == EncodeBmp(strip.draw())) << strip.file << ": run make-bitmaps res/bitmaps";
}

INSTANTIATE_TEST_SUITE_P(Resources, StripTest, ::testing::ValuesIn(Strips()),
                         [](const ::testing::TestParamInfo<Strip>& info) {
                             return "Bitmap" + std::to_string(info.param.resource);
                         });

TEST(Bitmaps, CommittedPicturesAreCurrent) {
    for (const Picture& picture : Pictures()) {
        std::ifstream in(std::string(TW_SOURCE_DIR) + "/res/bitmaps/" + picture.file, std::ios::binary);
        ASSERT_TRUE(in) << picture.file;
        const std::vector<std::uint8_t> committed{std::istreambuf_iterator<char>(in),
                                                  std::istreambuf_iterator<char>()};
        EXPECT_TRUE(committed == EncodeBmp(picture.draw())) << picture.file << ": run make-bitmaps res/bitmaps";
    }
}

TEST(Bitmaps, OddWidthsArePaddedToWholeWords) {
    Image image(3, 2);
    image.Set(2, 1, Colour{1, 2, 3});
    const std::vector<std::uint8_t> bmp = EncodeBmp(image);
    EXPECT_EQ(bmp.size(), 54u + 12u * 2u);
    EXPECT_EQ(PixelOf(bmp, 2, 1), (Colour{1, 2, 3}));
    EXPECT_EQ(PixelOf(bmp, 0, 0), kMask);
}

TEST(Bitmaps, DrawingOutsideTheImageIsIgnored) {
    Image image(2, 2);
    image.Set(-1, 0, Colour{});
    image.Set(2, 1, Colour{});
    image.Set(0, 2, Colour{});
    for (const Colour& c : image.pixels)
        EXPECT_EQ(c, kMask);
}

}  // namespace
}  // namespace tw::bitmaps
