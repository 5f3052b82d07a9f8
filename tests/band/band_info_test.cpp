#include <gtest/gtest.h>

#include <cstdint>

#include "band/band_info.h"

namespace tw {
namespace {

// The shape of the browser's DESKBANDINFO, with a marker in every field so
// that a field written without being asked for shows.
struct Point {
    std::int32_t x, y;
};
struct Info {
    std::uint32_t dwMask;
    Point ptMinSize, ptMaxSize, ptIntegral, ptActual;
    wchar_t wszTitle[256];
    std::uint32_t dwModeFlags;
    std::uint32_t crBkgnd;
};

const std::int32_t kUntouched = 0x5A5A5A5A;

Info Marked(std::uint32_t mask) {
    Info info;
    info.dwMask = mask;
    info.ptMinSize = info.ptMaxSize = info.ptIntegral = info.ptActual = {kUntouched, kUntouched};
    for (wchar_t& c : info.wszTitle) c = L'#';
    info.dwModeFlags = 0xA5A5A5A5u;
    info.crBkgnd = 0x00123456u;
    return info;
}

bool Same(const Point& p, std::int32_t x, std::int32_t y) { return p.x == x && p.y == y; }

TEST(BandInfo, MaskOfZeroChangesNothing) {
    Info info = Marked(0);
    FillBandInfo(info);
    EXPECT_EQ(info.dwMask, 0u);
    EXPECT_TRUE(Same(info.ptMinSize, kUntouched, kUntouched));
    EXPECT_EQ(info.wszTitle[0], L'#');
    EXPECT_EQ(info.dwModeFlags, 0xA5A5A5A5u);
}

TEST(BandInfo, EveryBitFillsSixFieldsAndDropsTheBackground) {
    Info info = Marked(0x7F);
    FillBandInfo(info);
    EXPECT_EQ(info.dwMask, 0x3Fu);
    EXPECT_TRUE(Same(info.ptMinSize, 100, 200));
    EXPECT_TRUE(Same(info.ptMaxSize, -1, -1));
    EXPECT_TRUE(Same(info.ptIntegral, 1, 1));
    EXPECT_TRUE(Same(info.ptActual, 0, 0));
    EXPECT_STREQ(info.wszTitle, L"Tidewell");
    EXPECT_EQ(info.dwModeFlags, 8u);
    EXPECT_EQ(info.crBkgnd, 0x00123456u);
}

// Each bit alone writes its own field and no other.
TEST(BandInfo, EachBitWritesOnlyItsField) {
    struct Row {
        std::uint32_t bit;
        bool min, max, integral, actual, title, mode;
    };
    const Row rows[] = {
        {0x01, true, false, false, false, false, false}, {0x02, false, true, false, false, false, false},
        {0x04, false, false, true, false, false, false}, {0x08, false, false, false, true, false, false},
        {0x10, false, false, false, false, true, false}, {0x20, false, false, false, false, false, true},
        {0x40, false, false, false, false, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.bit);
        Info info = Marked(row.bit);
        FillBandInfo(info);
        EXPECT_EQ(info.dwMask, row.bit & ~0x40u);
        EXPECT_EQ(!Same(info.ptMinSize, kUntouched, kUntouched), row.min);
        EXPECT_EQ(!Same(info.ptMaxSize, kUntouched, kUntouched), row.max);
        EXPECT_EQ(!Same(info.ptIntegral, kUntouched, kUntouched), row.integral);
        EXPECT_EQ(!Same(info.ptActual, kUntouched, kUntouched), row.actual);
        EXPECT_EQ(info.wszTitle[0] != L'#', row.title);
        EXPECT_EQ(info.dwModeFlags != 0xA5A5A5A5u, row.mode);
    }
}

TEST(BandInfo, UnknownMaskBitsAreHandedBack) {
    Info info = Marked(0xFFFFFF00u | 0x40u);
    FillBandInfo(info);
    EXPECT_EQ(info.dwMask, 0xFFFFFF00u);
}

// A title field shorter than the title is cut and still terminated.
TEST(BandInfo, ShortTitleFieldIsCutAndTerminated) {
    struct Small {
        std::uint32_t dwMask;
        Point ptMinSize, ptMaxSize, ptIntegral, ptActual;
        wchar_t wszTitle[4];
        std::uint32_t dwModeFlags;
    } info = {};
    info.dwMask = 0x10;
    FillBandInfo(info);
    EXPECT_STREQ(info.wszTitle, L"Tid");
}

}  // namespace
}  // namespace tw
