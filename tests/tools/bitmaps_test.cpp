#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/bitmaps/images.h"

namespace tw::bitmaps {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t U32(const Bytes& b, std::size_t at) {
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 |
           std::uint32_t(b[at + 3]) << 24;
}

Bytes Committed(const std::string& file) {
    std::ifstream in(std::string(TW_SOURCE_DIR) + "/res/bitmaps/" + file, std::ios::binary);
    return Bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Every pixel read back from a bottom-up 24-bit BMP, rows padded to four bytes.
void ExpectEncodes(const Image& image) {
    const Bytes bmp = EncodeBmp(image);
    const std::uint32_t stride = (std::uint32_t(image.width) * 3 + 3) & ~3u;
    ASSERT_EQ(bmp.size(), 54u + stride * std::uint32_t(image.height));
    EXPECT_EQ((Bytes{bmp[0], bmp[1], bmp[28]}), (Bytes{'B', 'M', 24}));
    EXPECT_EQ((std::vector<std::uint32_t>{U32(bmp, 2), U32(bmp, 10), U32(bmp, 18), U32(bmp, 22)}),
              (std::vector<std::uint32_t>{std::uint32_t(bmp.size()), 54, std::uint32_t(image.width),
                                          std::uint32_t(image.height)}));
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const std::size_t at = 54 + std::size_t(image.height - 1 - y) * stride + std::size_t(x) * 3;
            ASSERT_EQ((Colour{bmp[at + 2], bmp[at + 1], bmp[at]}), image.At(x, y)) << x << "," << y;
        }
}

// The resource build uses the committed files: they must be what the
// generator draws now (make-bitmaps res/bitmaps writes them).
TEST(Bitmaps, StripsAreOneRowOfCellsAndCommittedFilesAreCurrent) {
    for (const Strip& strip : Strips()) {
        const Image image = strip.draw();
        EXPECT_EQ(std::make_pair(image.width, image.height), std::make_pair(strip.images * kCell, kCell)) << strip.file;
        EXPECT_TRUE(Committed(strip.file) == EncodeBmp(image)) << strip.file;
    }
    for (const Picture& picture : Pictures())
        EXPECT_TRUE(Committed(picture.file) == EncodeBmp(picture.draw())) << picture.file;
}

TEST(Bitmaps, EncodedPixelsRowsPaddedAndDrawingOutsideIgnored) {
    Image image(3, 2);
    image.Set(2, 1, Colour{1, 2, 3});
    image.Set(-1, 0, Colour{});
    image.Set(0, 2, Colour{});
    ExpectEncodes(image);
    EXPECT_EQ(image.At(2, 1), (Colour{1, 2, 3}));
    EXPECT_EQ(image.At(0, 1), kMask);
}

}  // namespace
}  // namespace tw::bitmaps
