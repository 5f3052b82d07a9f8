#include "clean/cleanup_dialog_model.h"

#include "res/resource.h"

namespace tw {

namespace {

const CleanupOption kHistoryOptions[] = {
    {IDC_CLEAN_ALL, kCleanAll},
    {IDC_CLEAN_HISTORY_LOCAL, kCleanLocalLinks},
    {IDC_CLEAN_HISTORY_PROTOCOL, kCleanSelectedProtocol},
    {IDC_CLEAN_HISTORY_CONTAINING, kCleanContainingText},
    {IDC_CLEAN_HISTORY_BETWEEN, kCleanBetweenDates},
};
const CleanupOption kCookieOptions[] = {
    {IDC_CLEAN_ALL, kCleanAll},
    {IDC_CLEAN_COOKIES_EXPIRED, kCleanExpiredCookies},
    {IDC_CLEAN_COOKIES_CONTAINING, kCleanContainingText},
    {IDC_CLEAN_COOKIES_BETWEEN, kCleanBetweenDates},
};
const CleanupOption kCacheOptions[] = {
    {IDC_CLEAN_ALL, kCleanAll},
    {IDC_CLEAN_CACHE_PICTURES, kCleanPictures},
    {IDC_CLEAN_CACHE_ARCHIVES, kCleanArchives},
    {IDC_CLEAN_CACHE_STYLES, kCleanStylesAndScripts},
    {IDC_CLEAN_CACHE_PAGES, kCleanPagesAndOtherFiles},
    {IDC_CLEAN_CACHE_CONTAINING, kCleanContainingText},
    {IDC_CLEAN_CACHE_BETWEEN, kCleanBetweenDates},
};

const CleanupDialogInfo kDialogs[] = {
    {kStoreHistory, IDD_CLEAN_HISTORY, kHistoryOptions, 5, "Are you sure you want to delete Internet Explorer History?",
     IDC_CLEAN_HISTORY_COMBO, IDC_CLEAN_HISTORY_TEXT, IDC_CLEAN_HISTORY_FROM, IDC_CLEAN_HISTORY_TO},
    {kStoreCookies, IDD_CLEAN_COOKIES, kCookieOptions, 4, "Are you sure you want to delete Internet Explorer Cookies?",
     0, IDC_CLEAN_COOKIES_TEXT, IDC_CLEAN_COOKIES_FROM, IDC_CLEAN_COOKIES_TO},
    {kStoreCache, IDD_CLEAN_CACHE, kCacheOptions, 7, "Are you sure you want to delete Internet Explorer Cache?", 0,
     IDC_CLEAN_CACHE_TEXT, IDC_CLEAN_CACHE_FROM, IDC_CLEAN_CACHE_TO},
};

std::string Cut(const std::string& text, std::size_t most) {
    return text.size() > most ? text.substr(0, most) : text;
}

// Days since 1601-01-01 of a proleptic Gregorian date.
std::int64_t DaysSince1601(const CivilDate& d) {
    const std::int64_t y = d.month <= 2 ? d.year - 1 : d.year;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t mp = (d.month + 9) % 12;
    const std::int64_t doy = (153 * mp + 2) / 5 + d.day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const std::int64_t daysSince1970 = era * 146097 + doe - 719468;
    return daysSince1970 + 134774;
}

bool ValidDate(const CivilDate& d) {
    static const int kDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (d.year < 1601 || d.year > 30827 || d.month < 1 || d.month > 12 || d.day < 1 || d.day > kDays[d.month - 1])
        return false;
    const bool leap = (d.year % 4 == 0 && d.year % 100 != 0) || d.year % 400 == 0;
    return d.month != 2 || d.day <= 28 || leap;
}

const std::uint64_t kTicksPerDay = 864000000000ULL;

}  // namespace

const char* const kCleanupProtocols[6] = {"file:", "ftp:", "http:", "https:", "mailto:", "telnet:"};

const CleanupDialogInfo* CleanupDialogFor(std::int32_t store) {
    for (const CleanupDialogInfo& info : kDialogs) {
        if (info.store == store)
            return &info;
    }
    return nullptr;
}

std::string CleanupTextOf(std::int32_t store, std::int32_t kind, const std::string& comboText,
                          const std::string& boxText) {
    if (store != kStoreHistory)
        return Cut(boxText, 98);
    if (kind == kCleanSelectedProtocol)
        return Cut(comboText, 31);
    if (kind == kCleanContainingText)
        return Cut(boxText, 99);
    return std::string();
}

bool DayStart(const CivilDate& date, FileTime* time) {
    if (!ValidDate(date))
        return false;
    *time = FileTime::FromValue(std::uint64_t(DaysSince1601(date)) * kTicksPerDay);
    return true;
}

bool DayEnd(const CivilDate& date, FileTime* time) {
    if (!ValidDate(date))
        return false;
    *time = FileTime::FromValue((std::uint64_t(DaysSince1601(date)) + 1) * kTicksPerDay - 1);
    return true;
}

CleanupCriteria BuildCleanupCriteria(const CleanupDialogInfo& info, std::int32_t kind, const std::string& comboText,
                                     const std::string& boxText, const PickedDay& from, const PickedDay& to,
                                     FileTime now) {
    CleanupCriteria criteria;
    criteria.store = info.store;
    criteria.kind = kind;
    const std::string text = CleanupTextOf(info.store, kind, comboText, boxText);
    CopyField(criteria.text, sizeof criteria.text, text.c_str());
    criteria.from = now;
    criteria.to = now;
    if (from.valid)
        DayStart(from.date, &criteria.from);
    if (to.valid)
        DayEnd(to.date, &criteria.to);
    return criteria;
}

}  // namespace tw
