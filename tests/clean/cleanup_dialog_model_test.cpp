#include "clean/cleanup_dialog_model.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

namespace tw {
namespace {

struct KindCase {
    std::int32_t store;
    int checkedId;
    std::int32_t kind;
};

TEST(CleanupDialogModel, EachOptionGivesTheKindOfItsStore) {
    const KindCase cases[] = {
        {kStoreHistory, 205, kCleanAll},
        {kStoreHistory, 207, kCleanLocalLinks},
        {kStoreHistory, 211, kCleanSelectedProtocol},
        {kStoreHistory, 213, kCleanContainingText},
        {kStoreHistory, 218, kCleanBetweenDates},
        {kStoreHistory, 225, kCleanNothing},
        {kStoreCookies, 205, kCleanAll},
        {kStoreCookies, 207, kCleanExpiredCookies},
        {kStoreCookies, 211, kCleanContainingText},
        {kStoreCookies, 213, kCleanBetweenDates},
        {kStoreCookies, 218, kCleanNothing},
        {kStoreCache, 205, kCleanAll},
        {kStoreCache, 207, kCleanPictures},
        {kStoreCache, 211, kCleanArchives},
        {kStoreCache, 213, kCleanStylesAndScripts},
        {kStoreCache, 218, kCleanPagesAndOtherFiles},
        {kStoreCache, 225, kCleanContainingText},
        {kStoreCache, 228, kCleanBetweenDates},
    };
    for (const KindCase& c : cases) {
        const CleanupDialogInfo* info = CleanupDialogFor(c.store);
        ASSERT_NE(info, nullptr);
        EXPECT_EQ(CleanupKindOf(*info, [&](int id) { return id == c.checkedId; }), c.kind)
            << "store " << c.store << " option " << c.checkedId;
    }
}

TEST(CleanupDialogModel, TheFirstCheckedOptionInTableOrderWins) {
    const CleanupDialogInfo* cache = CleanupDialogFor(kStoreCache);
    const std::set<int> checked = {228, 213};
    EXPECT_EQ(CleanupKindOf(*cache, [&](int id) { return checked.count(id) != 0; }), kCleanStylesAndScripts);
    EXPECT_EQ(CleanupKindOf(*cache, [](int) { return false; }), kCleanNothing);
}

TEST(CleanupDialogModel, OnlyTheThreeStoresHaveADialog) {
    EXPECT_EQ(CleanupDialogFor(0), nullptr);
    EXPECT_EQ(CleanupDialogFor(4), nullptr);
    EXPECT_STREQ(CleanupDialogFor(kStoreHistory)->confirmation,
                 "Are you sure you want to delete Internet Explorer History?");
    EXPECT_STREQ(CleanupDialogFor(kStoreCookies)->confirmation,
                 "Are you sure you want to delete Internet Explorer Cookies?");
    EXPECT_STREQ(CleanupDialogFor(kStoreCache)->confirmation,
                 "Are you sure you want to delete Internet Explorer Cache?");
    EXPECT_EQ(CleanupDialogFor(kStoreCookies)->comboId, 0);
}

TEST(CleanupDialogModel, ProtocolsAreListedInTheirOrder) {
    const std::string expected[] = {"file:", "ftp:", "http:", "https:", "mailto:", "telnet:"};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(kCleanupProtocols[i], expected[i]);
}

struct TextCase {
    std::int32_t store;
    std::int32_t kind;
    std::string expected;
};

TEST(CleanupDialogModel, TextTravelsByTheRulesOfEachDialog) {
    const std::string combo = "gopher:", box = "Example.COM ";
    const TextCase cases[] = {
        {kStoreHistory, kCleanSelectedProtocol, combo},
        {kStoreHistory, kCleanContainingText, box},
        {kStoreHistory, kCleanAll, ""},
        {kStoreHistory, kCleanBetweenDates, ""},
        {kStoreCookies, kCleanAll, box},
        {kStoreCookies, kCleanContainingText, box},
        {kStoreCache, kCleanPictures, box},
        {kStoreCache, kCleanNothing, box},
    };
    for (const TextCase& c : cases)
        EXPECT_EQ(CleanupTextOf(c.store, c.kind, combo, box), c.expected) << c.store << "/" << c.kind;
}

TEST(CleanupDialogModel, TextsAreCutToTheirLimits) {
    const std::string long_(300, 'x');
    EXPECT_EQ(CleanupTextOf(kStoreHistory, kCleanSelectedProtocol, long_, "").size(), 31u);
    EXPECT_EQ(CleanupTextOf(kStoreHistory, kCleanContainingText, "", long_).size(), 99u);
    EXPECT_EQ(CleanupTextOf(kStoreCookies, kCleanContainingText, "", long_).size(), 98u);
    EXPECT_EQ(CleanupTextOf(kStoreCache, kCleanContainingText, "", long_).size(), 98u);
}

TEST(CleanupDialogModel, DayBoundsCoverTheWholeDay) {
    FileTime start, end;
    ASSERT_TRUE(DayStart({1601, 1, 1}, &start));
    EXPECT_EQ(start.Value(), 0u);
    ASSERT_TRUE(DayEnd({1601, 1, 1}, &end));
    EXPECT_EQ(end.Value(), 864000000000ULL - 1);
    // 2024-07-05 00:00:00 UTC is 1720137600 s after 1970, which is 11644473600 s after 1601.
    ASSERT_TRUE(DayStart({2024, 7, 5}, &start));
    EXPECT_EQ(start.Value(), (1720137600ULL + 11644473600ULL) * 10000000ULL);
    ASSERT_TRUE(DayEnd({2024, 7, 5}, &end));
    EXPECT_EQ(end.Value() - start.Value(), 864000000000ULL - 1);
    CivilDate back;
    ASSERT_TRUE(FileTimeToCivil(end, &back));
    EXPECT_EQ(back.year, 2024);
    EXPECT_EQ(back.month, 7);
    EXPECT_EQ(back.day, 5);
    ASSERT_TRUE(DayStart({2024, 2, 29}, &start));
    ASSERT_TRUE(FileTimeToCivil(start, &back));
    EXPECT_EQ(back.month, 2);
    EXPECT_EQ(back.day, 29);
}

TEST(CleanupDialogModel, ImpossibleDatesGiveNoBound) {
    const CivilDate bad[] = {{2023, 2, 29}, {1900, 2, 29}, {2024, 13, 1}, {2024, 4, 31}, {1600, 12, 31}, {2024, 1, 0}};
    for (const CivilDate& d : bad) {
        FileTime t = FileTime::FromValue(7);
        EXPECT_FALSE(DayStart(d, &t));
        EXPECT_FALSE(DayEnd(d, &t));
        EXPECT_EQ(t.Value(), 7u);
    }
    FileTime t;
    EXPECT_TRUE(DayStart({2000, 2, 29}, &t));
}

TEST(CleanupDialogModel, AnItemLateOnTheLastDayLiesBetweenTheDates) {
    const CleanupDialogInfo* history = CleanupDialogFor(kStoreHistory);
    const FileTime now = FileTime::FromValue(42);
    PickedDay day{true, {2024, 7, 5}};
    const CleanupCriteria c = BuildCleanupCriteria(*history, kCleanBetweenDates, "file:", "x", day, day, now);
    FileTime lateThatDay, earlyThatDay, nextDay;
    DayStart({2024, 7, 5}, &earlyThatDay);
    lateThatDay = FileTime::FromValue(earlyThatDay.Value() + 23ULL * 3600 * 10000000 + 59ULL * 60 * 10000000);
    DayStart({2024, 7, 6}, &nextDay);
    EXPECT_LE(c.from.Value(), earlyThatDay.Value());
    EXPECT_GE(c.to.Value(), lateThatDay.Value());
    EXPECT_LT(c.to.Value(), nextDay.Value());
    EXPECT_EQ(c.store, kStoreHistory);
    EXPECT_EQ(c.kind, kCleanBetweenDates);
    EXPECT_STREQ(c.text, "");
}

TEST(CleanupDialogModel, UnreadablePickersLeaveTheBoundsAtNow) {
    const FileTime now = FileTime::FromValue(123456789);
    const CleanupCriteria c =
        BuildCleanupCriteria(*CleanupDialogFor(kStoreCookies), kCleanContainingText, "", "ads", {}, {}, now);
    EXPECT_EQ(c.from.Value(), now.Value());
    EXPECT_EQ(c.to.Value(), now.Value());
    EXPECT_STREQ(c.text, "ads");
    EXPECT_EQ(c.store, kStoreCookies);
}

}  // namespace
}  // namespace tw
