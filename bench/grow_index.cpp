#include "bench/grow_index.h"

#include <cstdint>
#include <cstring>
#include <vector>

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

void MarkUsed(std::string& s, std::size_t offset, std::size_t blocks) {
    for (std::size_t b = (offset - kRegion) / kBlock, end = b + blocks; b < end && b < kBitmapBlocks; ++b)
        s[kBitmap + b / 8] = char(static_cast<unsigned char>(s[kBitmap + b / 8]) | (1u << (b % 8)));
}

// The first hash table in the block region, or 0.
std::size_t FirstTable(const std::string& image) {
    if (image.size() <= kRegion || image.compare(0, 23, "Client UrlCache MMF Ver") != 0)
        return 0;
    const std::size_t table = Get(image, 32);
    if (table < kRegion || table % kBlock != 0 || table + kBlock > image.size() || image.compare(table, 4, "HASH") != 0)
        return 0;
    return table;
}

}  // namespace

std::string GrowIndexImage(const std::string& image) {
    const std::size_t firstTable = FirstTable(image);
    const std::size_t region = (image.size() - kRegion) / kBlock * kBlock;
    const std::size_t regionBlocks = region / kBlock;
    const std::size_t copies = regionBlocks ? kBitmapBlocks / regionBlocks : 0;
    if (firstTable == 0 || copies == 0 || firstTable >= kRegion + region)
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

std::string PackIndexRecords(const std::string& image, std::size_t records) {
    const std::size_t firstTable = FirstTable(image);
    if (firstTable == 0)
        return std::string();
    struct Record {
        std::size_t offset, bytes;
        std::uint32_t key;  // the live hash key that links it, or 0
    };
    std::vector<Record> found;
    for (std::size_t o = kRegion; o + kBlock <= image.size();) {
        const std::size_t blocks = static_cast<unsigned char>(image[o + 4]) | static_cast<unsigned char>(image[o + 5]) << 8;
        if (image.compare(o, 4, "URL ") != 0 || blocks == 0 || o + blocks * kBlock > image.size()) {
            o += kBlock;
            continue;
        }
        found.push_back({o, blocks * kBlock, 0});
        o += blocks * kBlock;
    }
    const std::size_t tableBlocks = Get(image, firstTable + 4);
    const std::size_t tableBytes = tableBlocks * kBlock;
    if (found.empty() || tableBlocks < 2 || firstTable + tableBytes > image.size())
        return std::string();
    for (std::size_t e = firstTable + 16; e + 8 <= firstTable + tableBytes; e += 8) {
        const std::uint32_t key = Get(image, e), at = Get(image, e + 4);
        for (Record& r : found)
            if (key != 0 && (key & 0x3F) == 0 && at == r.offset)
                r.key = key;
    }

    std::string packed = image.substr(0, kRegion);
    std::memset(&packed[kBitmap], 0, kRegion - kBitmap);
    const std::size_t entries = (tableBytes - 16) / 8;
    std::size_t table = 0, used = 0, linked = entries;
    for (std::size_t i = 0; i < records; ++i) {
        const Record& r = found[i % found.size()];
        if (r.key != 0 && linked == entries) {
            // A new table, free in every entry, chained behind the last one.
            const std::size_t at = packed.size();
            packed.append(image, firstTable, 16);
            packed.resize(at + tableBytes, '\0');
            for (std::size_t e = at + 16; e < at + tableBytes; e += 8)
                Put(packed, e, 3);
            Put(packed, at + 8, 0);
            Put(packed, table ? table + 8 : 32, std::uint32_t(at));
            MarkUsed(packed, at, tableBlocks);
            used += tableBlocks;
            table = at;
            linked = 0;
        }
        const std::size_t at = packed.size();
        packed.append(image, r.offset, r.bytes);
        if (r.key != 0) {
            Put(packed, table + 16 + 8 * linked, r.key);
            Put(packed, table + 16 + 8 * linked + 4, std::uint32_t(at));
            ++linked;
            MarkUsed(packed, at, r.bytes / kBlock);
            used += r.bytes / kBlock;
        }
    }
    Put(packed, 28, std::uint32_t(packed.size()));
    Put(packed, 36, std::uint32_t((packed.size() - kRegion) / kBlock));
    Put(packed, 40, std::uint32_t(used));
    return packed;
}

}  // namespace tw::bench
