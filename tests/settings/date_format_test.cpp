#include <gtest/gtest.h>

#include "settings/date_format.h"
#include "tests/fixtures/index_file_writer.h"

namespace tw {
namespace {

using fixtures::TicksOf;

CivilDate Date(int y, int m, int d) {
    CivilDate c;
    c.year = y;
    c.month = m;
    c.day = d;
    return c;
}

// Each template once, the separators taken in turn.
TEST(DateFormat, EveryTemplateAndSeparator) {
    const char* expected[8] = {"05.07.2024", "05/07/24", "5-7-24",   "2024.07.05",
                               "07/05/2024", "07-05-24", "7.5.2024", "24/07/05"};
    for (int t = 0; t < 8; ++t) {
        const std::string loaded = LoadedDateTemplate(kDateTemplates[t], kDateSeparators[t % 3]);
        EXPECT_EQ(FormatDate(loaded, Date(2024, 7, 5)), expected[t]) << loaded;
        EXPECT_EQ(FormatDateSample(kDateTemplates[t], kDateSeparators[t % 3], Date(2024, 7, 5)), expected[t]);
    }
}

TEST(DateFormat, Edges) {
    struct Case { const char* tmpl; CivilDate date; const char* text; } cases[] = {
        {"dd-MM-yy", Date(2009, 11, 23), "23-11-09"}, {"abc", Date(2024, 7, 5), "abc"},
        {"dd.MM.yyyy", Date(999, 1, 2), "02.01.999"}, {"yy", Date(999, 1, 2), "99"},
        {"d.M.yy", Date(5, 1, 2), "2.1.5"},           {"", Date(2024, 7, 5), ""},
        {"dd", Date(2024, 7, 5), "05"},
        // Template text is never a format directive.
        {"dd.%s%n", Date(2024, 7, 5), "05.%s%n"}, {"dd.%d.MM", Date(2024, 7, 5), "05.%d.07"},
        {"d d.M", Date(2024, 7, 5), "5 d.M"},  // the first non-letter is the separator
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatDate(c.tmpl, c.date), c.text) << c.tmpl;
    EXPECT_EQ(FormatDate(LoadedDateTemplate("MM.dd.yyyy", "."), Date(2024, 7, 5)), "07.05.2024");
}

TEST(DateFormat, FileTimeConversionAndUnknownDates) {
    struct Case { std::uint64_t ticks; bool ok; CivilDate date; } cases[] = {
        {0, true, Date(1601, 1, 1)}, {863999999999ull, true, Date(1601, 1, 1)},
        {864000000000ull, true, Date(1601, 1, 2)}, {116444736000000000ull, true, Date(1970, 1, 1)},
        {TicksOf(2024, 2, 29), true, Date(2024, 2, 29)}, {TicksOf(2000, 3, 1) - 1, true, Date(2000, 2, 29)},
        {TicksOf(1900, 3, 1) - 1, true, Date(1900, 2, 28)}, {TicksOf(9999, 12, 31), true, Date(9999, 12, 31)},
        {0x7FFFFFFFFFFFFFFFull, true, Date(30828, 9, 14)}, {0x8000000000000000ull, false, Date(0, 0, 0)},
        {0xFFFFFFFFFFFFFFFFull, false, Date(0, 0, 0)},
    };
    for (const Case& c : cases) {
        CivilDate d;
        EXPECT_EQ(FileTimeToCivil(FileTime::FromValue(c.ticks), &d), c.ok) << c.ticks;
        EXPECT_EQ((std::vector<int>{d.year, d.month, d.day}), (std::vector<int>{c.date.year, c.date.month, c.date.day}))
            << c.ticks;
    }
    EXPECT_EQ(DateText(FileTime(), "dd.MM.yyyy", UnknownDates::UpTo1601), "unknown");
    EXPECT_EQ(DateText(FileTime(), "dd.MM.yyyy", UnknownDates::Exactly1601), "unknown");
    EXPECT_EQ(DateText(FileTime::FromValue(TicksOf(1602, 6, 1)), "dd.MM.yyyy", UnknownDates::UpTo1601), "01.06.1602");
}

}  // namespace
}  // namespace tw
