// Calendar dates of cache timestamps, in the user's short date template.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "core/entry.h"

namespace tw {

struct CivilDate {
    int year = 0;
    int month = 0;
    int day = 0;
};

// The UTC calendar date of a FILETIME, proleptic Gregorian, as
// FileTimeToSystemTime gives it. Fails, leaving the date all zeros, for
// values of 2^63 or more, which the platform refuses too.
bool FileTimeToCivil(FileTime time, CivilDate* date);

extern const char kDefaultDateTemplate[];      // "dd.MM.yyyy"
extern const char* const kDateTemplates[8];    // in the order the Options list shows
extern const char* const kDateSeparators[3];   // ".", "/", "-"

// Formats a date with a loaded template, which carries its own separator
// (dd/MM/yyyy). Text of the template other than its fields passes through
// as it stands; nothing in it is ever read as a format directive.
std::string FormatDate(const std::string& dateTemplate, const CivilDate& date);

// The Options sample: a template as listed (with ".") shown with the chosen
// separator.
std::string FormatDateSample(const std::string& listedTemplate, const std::string& separator,
                             const CivilDate& date);

// The template that the band window holds: every "." of the stored template
// replaced by the stored separator.
std::string LoadedDateTemplate(const std::string& storedTemplate, const std::string& separator);

// When a list or report writes "unknown" instead of a date.
enum class UnknownDates {
    UpTo1601,     // live lists: year 1601 or earlier
    Exactly1601,  // index-file lists and reports
};

// The text of one date cell: "unknown" by the rule, and also for a time that
// cannot be converted at all; otherwise the formatted date.
std::string DateText(FileTime time, const std::string& dateTemplate, UnknownDates rule);

// An instant in ISO 8601, UTC, with the time of day and as many decimals of
// the second as it holds: 2011-06-23T18:57:24.25Z; years past 9999 carry a
// sign (+30828-09-14T02:48:05.4775807Z). Empty for a time that cannot be
// converted (2^63 or more).
std::string IsoUtcTime(FileTime time);

// The date cells of one fill or report. The template cannot change while a
// fill runs, so each calendar day is formatted once and its text handed out
// again for every later time of that day; the same texts as DateText.
// Holds at most kMaxDays days, so a fill of any size stays bounded.
class DateTexts {
public:
    static const std::size_t kMaxDays = 1 << 16;

    explicit DateTexts(std::string dateTemplate);
    const std::string& Template() const { return template_; }
    // Valid until the next call.
    const std::string& Text(FileTime time, UnknownDates rule);

private:
    struct Day {
        int year;
        std::string text;
    };
    const Day& DayOf(std::uint32_t day);

    std::string template_;
    std::unordered_map<std::uint32_t, Day> days_;
    std::uint32_t lastDay_ = 0;
    const Day* last_ = nullptr;
};

}  // namespace tw
