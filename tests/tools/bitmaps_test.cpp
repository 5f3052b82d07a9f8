#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <ostream>
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

class StripTest : public ::testing::TestWithParam<Strip> {};

// The pictures themselves are for people to look at (make-bitmaps writes
// them); what is checked is their shape and their encoding.
TEST_P(StripTest, IsOneRowOfCellsEncodedAsA24BitBottomUpBmp) {
    const Image image = GetParam().draw();
    EXPECT_EQ(image.width, GetParam().images * kCell);
    EXPECT_EQ(image.height, kCell);
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
        for (int x = 0; x < image.width; ++x) ASSERT_EQ(PixelOf(bmp, x, y), image.At(x, y)) << x << "," << y;
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

TEST(Bitmaps, OddWidthsArePaddedAndDrawingOutsideIsIgnored) {
    Image image(3, 2);
    image.Set(2, 1, Colour{1, 2, 3});
    image.Set(-1, 0, Colour{});
    image.Set(0, 2, Colour{});
    const std::vector<std::uint8_t> bmp = EncodeBmp(image);
    EXPECT_EQ(bmp.size(), 54u + 12u * 2u);
    EXPECT_EQ(PixelOf(bmp, 2, 1), (Colour{1, 2, 3}));
    for (auto [x, y] : {std::pair{0, 0}, {2, 0}, {0, 1}}) EXPECT_EQ(PixelOf(bmp, x, y), kMask) << x << "," << y;
}

}  // namespace
}  // namespace tw::bitmaps
