// The stand-in history store's file: one visited page a line, as
// URL <tab> title <tab> YYYY-MM-DD, in UTF-8. Lines that do not read
// that way are skipped when reading and kept as they are when the file
// is rewritten, so that nobody's notes are lost to a deletion.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tw {
namespace standin {

// A line longer than this is not a page; a file longer than this is not
// read at all (and so never rewritten).
constexpr std::size_t kMaxPageLineBytes = 4096;
constexpr std::size_t kMaxPageFileBytes = 1024 * 1024;

struct PageDate {
    int year = 0;
    int month = 0;
    int day = 0;
};

struct PageLine {
    std::string url;    // UTF-8, never empty
    std::string title;  // UTF-8, may be empty
    PageDate visited;
};

// The lines of text, each with its own terminator (the last may have none).
std::vector<std::string_view> SplitPageLines(std::string_view text);

// Reads one line (its terminator, a final "\r" and a leading UTF-8 byte
// order mark are allowed); false when the line is not a page.
bool ParsePageLine(std::string_view line, PageLine& out);

// A valid date from 1601-01-01 to 9999-12-31.
bool IsValidPageDate(const PageDate& date);

// 100-nanosecond intervals from 1601-01-01 00:00 UTC to the start of the
// day, the unit and origin of a FILETIME.
std::uint64_t PageDateTicks(const PageDate& date);
constexpr std::uint64_t kTicksPerDay = 864000000000ULL;

// One line for the file, with its "\n". Tabs and line breaks in the title
// become spaces; the URL must have none.
std::string FormatPageLine(std::string_view url, std::string_view title, const PageDate& visited);

}  // namespace standin
}  // namespace tw
