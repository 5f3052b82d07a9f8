#include "bench/grow_index.h"

#include <cstdint>
#include <cstring>

namespace tw::bench {
namespace {

const std::size_t kBlock = 128, kBitmap = 0x250, kRegion = 0x4000;
const std::size_t kBitmapBlocks = (kRegion - kBitmap) * 8;

std::uint32_t Get(const std::string& s, std::size_t o) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(s[o + i]);
    return v;
}

void Put(std::string& s, std::size_t o, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        s[o + i] = char(v >> (8 * i));
}

}  // namespace

std::string GrowIndexImage(const std::string& image) {
    if (image.size() <= kRegion || image.compare(0, 23, "Client UrlCache MMF Ver") != 0)
        return std::string();
    const std::size_t region = (image.size() - kRegion) / kBlock * kBlock;
    const std::size_t regionBlocks = region / kBlock;
    const std::size_t copies = kBitmapBlocks / regionBlocks;
    const std::size_t firstTable = Get(image, 32);
    if (copies == 0 || firstTable < kRegion || firstTable >= kRegion + region ||
        image.compare(firstTable, 4, "HASH") != 0)
        return std::string();

    std::string grown = image.substr(0, kRegion + region);
    grown.reserve(kRegion + copies * region);
    for (std::size_t k = 1; k < copies; ++k) {
        const std::size_t shift = k * region;
        std::string copy = image.substr(kRegion, region);
        const std::size_t table = firstTable - kRegion;
        const std::size_t tableEnd = table + Get(copy, table + 4) * kBlock;
        for (std::size_t e = table + 16; e + 8 <= tableEnd && e + 8 <= copy.size(); e += 8) {
            const std::uint32_t at = Get(copy, e + 4);
            if (at >= kRegion && at < kRegion + region)
                Put(copy, e + 4, std::uint32_t(at + shift));
        }
        Put(copy, table + 8, 0);
        Put(grown, kRegion + (k - 1) * region + table + 8, std::uint32_t(firstTable + shift));
        grown += copy;
        for (std::size_t b = 0; b < regionBlocks; ++b) {
            const bool used = static_cast<unsigned char>(image[kBitmap + b / 8]) >> (b % 8) & 1;
            const std::size_t bit = k * regionBlocks + b;
            if (used)
                grown[kBitmap + bit / 8] = char(static_cast<unsigned char>(grown[kBitmap + bit / 8]) | (1u << (bit % 8)));
        }
    }
    Put(grown, 28, std::uint32_t(grown.size()));
    Put(grown, 36, std::uint32_t(copies * regionBlocks));
    Put(grown, 40, std::uint32_t(Get(image, 40) * copies));
    return grown;
}

}  // namespace tw::bench
