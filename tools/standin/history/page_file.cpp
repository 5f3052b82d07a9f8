#include "tools/standin/history/page_file.h"

#include <cstdio>

namespace tw {
namespace standin {

namespace {

bool ReadNumber(std::string_view text, int& out) {
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    out = value;
    return !text.empty();
}

bool ReadDate(std::string_view text, PageDate& out) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    PageDate date;
    if (!ReadNumber(text.substr(0, 4), date.year) || !ReadNumber(text.substr(5, 2), date.month) ||
        !ReadNumber(text.substr(8, 2), date.day) || !IsValidPageDate(date))
        return false;
    out = date;
    return true;
}

int DaysInMonth(int year, int month) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// Days from 1970-01-01 to the date in the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(int year, int month, int day) {
    const int y = month <= 2 ? year - 1 : year;
    const int era = y / 400;  // y is never negative here
    const int yearOfEra = y - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return std::int64_t(era) * 146097 + dayOfEra - 719468;
}

bool HasLineBreakOrTab(std::string_view text) {
    return text.find_first_of("\t\r\n") != std::string_view::npos;
}

}  // namespace

std::vector<std::string_view> SplitPageLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::size_t length = end == std::string_view::npos ? text.size() : end + 1;
        lines.push_back(text.substr(0, length));
        text.remove_prefix(length);
    }
    return lines;
}

bool ParsePageLine(std::string_view line, PageLine& out) {
    if (line.size() > kMaxPageLineBytes) return false;
    if (line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
    if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    const std::size_t firstTab = line.find('\t');
    if (firstTab == std::string_view::npos) return false;
    const std::size_t secondTab = line.find('\t', firstTab + 1);
    if (secondTab == std::string_view::npos) return false;
    const std::string_view url = line.substr(0, firstTab);
    const std::string_view title = line.substr(firstTab + 1, secondTab - firstTab - 1);
    const std::string_view date = line.substr(secondTab + 1);

    PageLine page;
    if (url.empty() || HasLineBreakOrTab(url) || title.find('\r') != std::string_view::npos ||
        !ReadDate(date, page.visited))
        return false;
    page.url.assign(url.data(), url.size());
    page.title.assign(title.data(), title.size());
    out = page;
    return true;
}

bool IsValidPageDate(const PageDate& date) {
    return date.year >= 1601 && date.year <= 9999 && date.month >= 1 && date.month <= 12 && date.day >= 1 &&
           date.day <= DaysInMonth(date.year, date.month);
}

std::uint64_t PageDateTicks(const PageDate& date) {
    const std::int64_t days = DaysFromCivil(date.year, date.month, date.day) - DaysFromCivil(1601, 1, 1);
    return std::uint64_t(days) * kTicksPerDay;
}

std::string FormatPageLine(std::string_view url, std::string_view title, const PageDate& visited) {
    std::string line(url);
    line += '\t';
    for (char c : title) line += c == '\t' || c == '\r' || c == '\n' ? ' ' : c;
    char date[16];
    const int n = std::snprintf(date, sizeof date, "\t%04d-%02d-%02d\n", visited.year, visited.month, visited.day);
    line.append(date, n > 0 ? std::size_t(n) : 0);
    return line;
}

}  // namespace standin
}  // namespace tw
