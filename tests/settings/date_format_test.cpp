#include <gtest/gtest.h>

#include "settings/date_format.h"
#include "tools/samples/index_file_writer.h"

namespace tw {
namespace {

using samples::TicksOf;

// Each template once, the separators taken in turn, then templates of any shape.
TEST(DateFormat, TemplatesSeparatorsAndEdges) {
    const char* expected[8] = {"05.07.2024", "05/07/24", "5-7-24",   "2024.07.05",
                               "07/05/2024", "07-05-24", "7.5.2024", "24/07/05"};
    for (int t = 0; t < 8; ++t) {
        const std::string loaded = LoadedDateTemplate(kDateTemplates[t], kDateSeparators[t % 3]);
        EXPECT_EQ(FormatDate(loaded, {2024, 7, 5}), expected[t]) << loaded;
        EXPECT_EQ(FormatDateSample(kDateTemplates[t], kDateSeparators[t % 3], {2024, 7, 5}), expected[t]);
    }
    struct Case { const char* tmpl; CivilDate date; const char* text; } cases[] = {
        {"dd-MM-yy", {2009, 11, 23}, "23-11-09"}, {"dd", {2024, 7, 5}, "05"},
        {"dZMayy", {2024, 7, 5}, "dZMayy"}, {"dAMzyy", {2024, 7, 5}, "dAMzyy"},  // letters only: no fields
        {"dd.MM.yyyy", {999, 1, 2}, "02.01.999"}, {"yy", {999, 1, 2}, "99"}, {"d.M.yy", {5, 1, 2}, "2.1.5"},
        {"", {2024, 7, 5}, ""}, {"dd.%s%n", {2024, 7, 5}, "05.%s%n"},  // template text is never a format directive
        {"dd.%d.MM", {2024, 7, 5}, "05.%d.07"},
        {"d d.M", {2024, 7, 5}, "5 d.M"},  // the first non-letter is the separator
    };
    for (const Case& c : cases) EXPECT_EQ(FormatDate(c.tmpl, c.date), c.text) << c.tmpl;
}

// Every conversion of a time, and a fill's day cache, which must give exactly what formatting each cell alone
// gives, in any order of days, under either rule for "unknown".
TEST(DateFormat, FileTimesToDatesIsoTextsAndCachedDayTexts) {
    const std::uint64_t day = 864000000000ull, leap = TicksOf(2024, 2, 29), july5 = TicksOf(2024, 7, 5);
    struct Row { std::uint64_t ticks; const char *civil, *iso; } rows[] = {
        {0, "1601 1 1", "1601-01-01T00:00:00Z"}, {1, "1601 1 1", "1601-01-01T00:00:00.0000001Z"},
        {day - 1, "1601 1 1", "1601-01-01T23:59:59.9999999Z"}, {day, "1601 1 2", "1601-01-02T00:00:00Z"},
        {365 * day - 1, "1601 12 31", "1601-12-31T23:59:59.9999999Z"}, {365 * day, "1602 1 1", "1602-01-01T00:00:00Z"},
        {116444736000000000ull, "1970 1 1", "1970-01-01T00:00:00Z"},
        {leap + day - 10000000, "2024 2 29", "2024-02-29T23:59:59Z"}, {leap + day, "2024 3 1", "2024-03-01T00:00:00Z"},
        {TicksOf(2000, 3, 1) - 1, "2000 2 29", "2000-02-29T23:59:59.9999999Z"},
        {TicksOf(1900, 3, 1) - 1, "1900 2 28", "1900-02-28T23:59:59.9999999Z"},
        {129533290442500000ull, "2011 6 23", "2011-06-23T18:57:24.25Z"},
        {july5, "2024 7 5", "2024-07-05T00:00:00Z"}, {july5 + day - 1, "2024 7 5", "2024-07-05T23:59:59.9999999Z"},
        {july5 + day, "2024 7 6", "2024-07-06T00:00:00Z"},
        {july5 + 5, "2024 7 5", "2024-07-05T00:00:00.0000005Z"},  // back to a day seen before
        {TicksOf(1999, 12, 31), "1999 12 31", "1999-12-31T00:00:00Z"},
        {TicksOf(9999, 12, 31) + day - 1, "9999 12 31", "9999-12-31T23:59:59.9999999Z"},
        {TicksOf(10000, 1, 1), "10000 1 1", "+10000-01-01T00:00:00Z"},
        {0x7FFFFFFFFFFFFFFFull, "30828 9 14", "+30828-09-14T02:48:05.4775807Z"},
        {0x8000000000000000ull, "no 0 0 0", ""}, {0xFFFFFFFFFFFFFFFFull, "no 0 0 0", ""},
    };
    DateTexts caches[] = {DateTexts("dd.MM.yyyy"), DateTexts("M/d/yy"), DateTexts("yyyy-MM-dd")};
    for (const Row& r : rows) {
        const FileTime time = FileTime::FromValue(r.ticks);
        CivilDate d;
        const bool ok = FileTimeToCivil(time, &d);
        const std::string date = std::to_string(d.year) + " " + std::to_string(d.month) + " " + std::to_string(d.day);
        EXPECT_EQ((ok ? "" : "no ") + date, r.civil) << r.ticks;
        EXPECT_EQ(IsoUtcTime(time), r.iso) << r.ticks;
        for (DateTexts& cache : caches)
            for (UnknownDates rule : {UnknownDates::UpTo1601, UnknownDates::Exactly1601})
                EXPECT_EQ(cache.Text(time, rule), DateText(time, cache.Template(), rule)) << r.ticks;
    }
}

}  // namespace
}  // namespace tw
