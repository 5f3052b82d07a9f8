#include "clean/cleanup_dialog_model.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace tw {
namespace {

// The last option of each dialog, an option of another dialog, and two
// checked at once, where the first in the dialog's order wins.
TEST(CleanupDialogModel, TheFirstCheckedOptionInTableOrderGivesTheKind) {
    struct Case { std::int32_t store; std::set<int> checked; std::int32_t kind; } cases[] = {
        {kStoreHistory, {218}, kCleanBetweenDates}, {kStoreHistory, {225}, kCleanNothing},
        {kStoreCookies, {213}, kCleanBetweenDates}, {kStoreCookies, {207, 205}, kCleanAll},
        {kStoreCache, {228}, kCleanBetweenDates},   {kStoreCache, {228, 213}, kCleanStylesAndScripts},
        {kStoreCache, {}, kCleanNothing},
    };
    for (const auto& c : cases) {
        const CleanupDialogInfo* info = CleanupDialogFor(c.store);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(CleanupKindOf(*info, [&](int id) { return c.checked.count(id) != 0; }), c.kind) << c.store;
    }
    for (std::int32_t store : {0, 4})
        EXPECT_EQ(CleanupDialogFor(store), nullptr);
}

TEST(CleanupDialogModel, TextTravelsByTheRulesOfEachDialogCutToItsLimit) {
    const std::string combo = "gopher:", box = "Example.COM ", long_(300, 'x');
    struct Case { std::int32_t store, kind; std::string combo, box, expected; } cases[] = {
        {kStoreHistory, kCleanSelectedProtocol, combo, box, combo}, {kStoreHistory, kCleanAll, combo, box, ""},
        {kStoreHistory, kCleanContainingText, combo, box, box},     {kStoreCookies, kCleanAll, combo, box, box},
        {kStoreCache, kCleanNothing, combo, box, box},
        {kStoreHistory, kCleanSelectedProtocol, long_, "", std::string(31, 'x')},
        {kStoreHistory, kCleanContainingText, "", long_, std::string(99, 'x')},
        {kStoreCookies, kCleanContainingText, "", long_, std::string(98, 'x')},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CleanupTextOf(c.store, c.kind, c.combo, c.box), c.expected) << c.store << "/" << c.kind;
}

TEST(CleanupDialogModel, DayBoundsCoverTheWholeDay) {
    const std::uint64_t day = 864000000000ULL, any = ~0ULL;
    // 2024-07-05 00:00:00 UTC is 1720137600 s after 1970, which is 11644473600 s after 1601.
    struct Case { CivilDate date; std::uint64_t start; } cases[] = {
        {{1601, 1, 1}, 0}, {{1601, 3, 1}, 59 * day}, {{1700, 3, 1}, (99 * 365 + 24 + 59) * day},
        {{2024, 7, 5}, (1720137600ULL + 11644473600ULL) * 10000000ULL},
        {{2000, 2, 29}, (951782400ULL + 11644473600ULL) * 10000000ULL},
        {{30827, 12, 31}, any}, {{2023, 2, 28}, any},
    };
    for (const Case& c : cases) {
        FileTime start, end;
        ASSERT_TRUE(DayStart(c.date, &start)) << c.date.year;
        ASSERT_TRUE(DayEnd(c.date, &end)) << c.date.year;
        if (c.start != any) {
            EXPECT_EQ(start.Value(), c.start) << c.date.year;
        }
        EXPECT_EQ(end.Value() - start.Value(), day - 1) << c.date.year;
        CivilDate back;
        ASSERT_TRUE(FileTimeToCivil(end, &back));
        EXPECT_EQ(std::vector<int>({back.year, back.month, back.day}),
                  std::vector<int>({c.date.year, c.date.month, c.date.day}));
    }
    const CivilDate bad[] = {{2023, 2, 29}, {1900, 2, 29}, {2024, 13, 1}, {2024, 0, 5}, {2024, 4, 31}, {2024, 1, 32},
                             {1600, 12, 31}, {30828, 1, 1}, {2024, 1, 0}, {2024, -1, 5}};
    for (const CivilDate& d : bad) {
        FileTime t = FileTime::FromValue(7);
        EXPECT_FALSE(DayStart(d, &t)) << d.year << "-" << d.month << "-" << d.day;
        EXPECT_FALSE(DayEnd(d, &t)) << d.year << "-" << d.month << "-" << d.day;
        EXPECT_EQ(t.Value(), 7u);
    }
}

TEST(CleanupDialogModel, CriteriaSpanThePickedDaysOrStayAtNow) {
    const FileTime now = FileTime::FromValue(42);
    const PickedDay day{true, {2024, 7, 5}};
    FileTime early, next;
    DayStart({2024, 7, 5}, &early);
    DayStart({2024, 7, 6}, &next);
    const CleanupCriteria c =
        BuildCleanupCriteria(*CleanupDialogFor(kStoreHistory), kCleanBetweenDates, "file:", "x", day, day, now);
    EXPECT_EQ(c.from.Value(), early.Value());
    EXPECT_EQ(c.to.Value(), next.Value() - 1);  // an item late on the last day lies between the dates
    EXPECT_EQ(c.store, kStoreHistory);
    EXPECT_EQ(c.kind, kCleanBetweenDates);
    EXPECT_STREQ(c.text, "");
    // Unreadable pickers leave the bounds at now.
    const CleanupCriteria d =
        BuildCleanupCriteria(*CleanupDialogFor(kStoreCookies), kCleanContainingText, "", "ads", {}, {}, now);
    EXPECT_EQ(d.from.Value(), now.Value());
    EXPECT_EQ(d.to.Value(), now.Value());
    EXPECT_STREQ(d.text, "ads");
    EXPECT_EQ(d.store, kStoreCookies);
}

}  // namespace
}  // namespace tw
