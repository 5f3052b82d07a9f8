#include <gtest/gtest.h>

#include "settings/date_format.h"
#include "tests/fixtures/index_file_writer.h"

namespace tw {
namespace {

using fixtures::TicksOf;

// A fill's day cache must give exactly what formatting each cell alone
// gives, in any order of days, under either rule for "unknown".
TEST(DateTexts, SameTextsAsEachCellAlone) {
    const std::uint64_t day = 864000000000ull;
    const std::uint64_t times[] = {
        0, 1, 365 * day - 1, 365 * day,  // the last tick of 1601 and the first of 1602
        TicksOf(2024, 7, 5), TicksOf(2024, 7, 5) + day - 1, TicksOf(2024, 7, 6),
        TicksOf(2024, 7, 5) + 5,  // back to a day seen before
        TicksOf(1999, 12, 31), TicksOf(2000, 2, 29), 0x7FFFFFFFFFFFFFFFull, 0x8000000000000000ull,
        0xFFFFFFFFFFFFFFFFull, TicksOf(2024, 7, 6) + 1,
    };
    for (const char* tmpl : {"dd.MM.yyyy", "M/d/yy", "yyyy-MM-dd"}) {
        DateTexts dates(tmpl);
        EXPECT_EQ(dates.Template(), tmpl);
        for (int pass = 0; pass < 2; ++pass) {
            for (std::uint64_t t : times) {
                for (UnknownDates rule : {UnknownDates::UpTo1601, UnknownDates::Exactly1601}) {
                    const FileTime ft = FileTime::FromValue(t);
                    EXPECT_EQ(dates.Text(ft, rule), DateText(ft, tmpl, rule)) << tmpl << " " << t;
                }
            }
        }
    }
}

TEST(IsoUtcTime, Edges) {
    struct Case { std::uint64_t ticks; const char* iso; } cases[] = {
        {0, "1601-01-01T00:00:00Z"}, {1, "1601-01-01T00:00:00.0000001Z"},
        {TicksOf(1601, 1, 2) - 1, "1601-01-01T23:59:59.9999999Z"},
        {TicksOf(2024, 2, 29) + 863990000000ull, "2024-02-29T23:59:59Z"},
        {TicksOf(2024, 3, 1), "2024-03-01T00:00:00Z"}, {TicksOf(1900, 3, 1) - 10000000ull, "1900-02-28T23:59:59Z"},
        {129533290442500000ull, "2011-06-23T18:57:24.25Z"},
        {TicksOf(9999, 12, 31) + 863999999999ull, "9999-12-31T23:59:59.9999999Z"},
        {TicksOf(10000, 1, 1), "+10000-01-01T00:00:00Z"}, {0x8000000000000000ull, ""},
        {0x7FFFFFFFFFFFFFFFull, "+30828-09-14T02:48:05.4775807Z"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsoUtcTime(FileTime::FromValue(c.ticks)), c.iso) << c.ticks;
}

}  // namespace
}  // namespace tw
