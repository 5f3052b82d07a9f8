#include "settings/date_format.h"

#include <cstdio>
#include <utility>

namespace tw {

const char kDefaultDateTemplate[] = "dd.MM.yyyy";
const char* const kDateTemplates[8] = {"dd.MM.yyyy", "dd.MM.yy",   "d.M.yy",   "yyyy.MM.dd",
                                       "MM.dd.yyyy", "MM.dd.yy",   "M.d.yyyy", "yy.MM.dd"};
const char* const kDateSeparators[3] = {".", "/", "-"};

bool FileTimeToCivil(FileTime time, CivilDate* date) {
    *date = CivilDate();
    const std::uint64_t ticks = time.Value();
    if (ticks >> 63)
        return false;
    // Days since 1970-01-01, then the civil-from-days conversion of the
    // proleptic Gregorian calendar (eras of 400 years).
    const long long days1601 = (long long)(ticks / 864000000000ULL);
    long long z = days1601 - 134774 + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const long long d = doy - (153 * mp + 2) / 5 + 1;
    const long long m = mp < 10 ? mp + 3 : mp - 9;
    date->year = int(yoe + era * 400 + (m <= 2 ? 1 : 0));
    date->month = int(m);
    date->day = int(d);
    return true;
}

namespace {

void ReplaceAll(std::string& s, const std::string& from, const std::string& to) {
    if (from.empty())
        return;
    std::string out;
    std::size_t pos = 0;
    for (std::size_t hit; (hit = s.find(from, pos)) != std::string::npos; pos = hit + from.size())
        out.append(s, pos, hit - pos).append(to);
    out.append(s, pos, std::string::npos);
    s.swap(out);
}

std::string Digits(int value, int minimum) {
    char text[16];
    std::snprintf(text, sizeof text, "%.*d", minimum, value);
    return text;
}

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

std::string FirstNonLetter(const std::string& s) {
    for (char c : s)
        if (!IsLetter(c))
            return std::string(1, c);
    return std::string();
}

// Each field's placeholder is replaced by the value itself, left to right;
// that gives what formatting "*%.2i*" would, without ever handing template
// text to printf.
std::string Format(const std::string& tmpl, const std::string& inSeparator,
                   const std::string& outSeparator, const CivilDate& date) {
    std::string w = tmpl;
    if (!inSeparator.empty())
        ReplaceAll(w, inSeparator, "*");
    w = "*" + w + "*";
    ReplaceAll(w, "*d*", "*" + Digits(date.day, 1) + "*");
    ReplaceAll(w, "*dd*", "*" + Digits(date.day, 2) + "*");
    if (w.find("*M*") != std::string::npos)
        ReplaceAll(w, "*M*", "*" + Digits(date.month, 1) + "*");
    else if (w.find("*MM*") != std::string::npos)
        ReplaceAll(w, "*MM*", "*" + Digits(date.month, 2) + "*");
    const std::string year = std::to_string(date.year);
    if (w.find("*yy*") != std::string::npos)
        ReplaceAll(w, "*yy*", "*" + year.substr(year.size() > 2 ? year.size() - 2 : 0) + "*");
    else if (w.find("*yyyy*") != std::string::npos)
        ReplaceAll(w, "*yyyy*", "*" + year + "*");
    w = w.substr(1, w.size() - 2);
    ReplaceAll(w, "*", outSeparator);
    return w;
}

}  // namespace

std::string FormatDate(const std::string& dateTemplate, const CivilDate& date) {
    const std::string separator = FirstNonLetter(dateTemplate);
    return Format(dateTemplate, separator, separator, date);
}

std::string FormatDateSample(const std::string& listedTemplate, const std::string& separator,
                             const CivilDate& date) {
    return Format(listedTemplate, ".", separator, date);
}

std::string LoadedDateTemplate(const std::string& storedTemplate, const std::string& separator) {
    std::string t = storedTemplate;
    ReplaceAll(t, ".", separator);
    return t;
}

std::string DateText(FileTime time, const std::string& dateTemplate, UnknownDates rule) {
    CivilDate date;
    if (!FileTimeToCivil(time, &date))
        return "unknown";
    const bool unknown = rule == UnknownDates::UpTo1601 ? date.year <= 1601 : date.year == 1601;
    return unknown ? "unknown" : FormatDate(dateTemplate, date);
}

namespace {
const std::uint64_t kTicksPerDay = 864000000000ull;
const std::string kUnknown = "unknown";
}  // namespace

std::string IsoUtcTime(FileTime time) {
    CivilDate date;
    if (!FileTimeToCivil(time, &date))
        return std::string();
    const std::uint64_t inDay = time.Value() % kTicksPerDay;
    const unsigned seconds = unsigned(inDay / 10000000u);
    unsigned fraction = unsigned(inDay % 10000000u);
    // Written digit by digit: a dump writes four of these a record.
    char text[40];
    char* p = text;
    auto digits = [&p](unsigned value, int count) {
        for (int i = count - 1; i >= 0; --i, value /= 10)
            p[i] = char('0' + value % 10);
        p += count;
    };
    if (date.year > 9999) {
        *p++ = '+';
        digits(unsigned(date.year), 5);
    } else {
        digits(unsigned(date.year), 4);
    }
    *p++ = '-';
    digits(unsigned(date.month), 2);
    *p++ = '-';
    digits(unsigned(date.day), 2);
    *p++ = 'T';
    digits(seconds / 3600, 2);
    *p++ = ':';
    digits(seconds / 60 % 60, 2);
    *p++ = ':';
    digits(seconds % 60, 2);
    if (fraction) {
        int count = 7;
        for (; fraction % 10 == 0; --count)
            fraction /= 10;
        *p++ = '.';
        digits(fraction, count);
    }
    *p++ = 'Z';
    return std::string(text, p);
}

DateTexts::DateTexts(std::string dateTemplate) : template_(std::move(dateTemplate)) {}

const DateTexts::Day& DateTexts::DayOf(std::uint32_t day) {
    if (last_ && day == lastDay_)
        return *last_;
    auto it = days_.find(day);
    if (it == days_.end()) {
        if (days_.size() >= kMaxDays)
            days_.clear();
        CivilDate date;
        FileTimeToCivil(FileTime::FromValue(std::uint64_t(day) * kTicksPerDay), &date);
        it = days_.emplace(day, Day{date.year, FormatDate(template_, date)}).first;
    }
    lastDay_ = day;
    last_ = &it->second;
    return *last_;
}

const std::string& DateTexts::Text(FileTime time, UnknownDates rule) {
    const std::uint64_t ticks = time.Value();
    if (ticks >> 63)
        return kUnknown;
    const Day& day = DayOf(std::uint32_t(ticks / kTicksPerDay));
    const bool unknown = rule == UnknownDates::UpTo1601 ? day.year <= 1601 : day.year == 1601;
    return unknown ? kUnknown : day.text;
}

}  // namespace tw
