// Any bytes at all, as the demo history store's page file: the lines must
// give back every byte, and every line read as a page must hold a real
// date and a URL and title that the file's own format writes back to the
// same page.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "tools/standin/history/page_file.h"

namespace {

bool Same(const tw::standin::PageLine& a, const tw::standin::PageLine& b) {
    return a.url == b.url && a.title == b.title && a.visited.year == b.visited.year &&
           a.visited.month == b.visited.month && a.visited.day == b.visited.day;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tw::standin;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::string joined;
    for (std::string_view line : SplitPageLines(text)) {
        joined.append(line.data(), line.size());
        PageLine page;
        if (!ParsePageLine(line, page))
            continue;
        if (page.url.empty() || page.url.find_first_of("\t\r\n") != std::string::npos ||
            page.title.find_first_of("\t\r\n") != std::string::npos || !IsValidPageDate(page.visited) ||
            PageDateTicks(page.visited) % kTicksPerDay != 0)
            std::abort();
        // A line may open with a byte order mark, so a URL that starts with
        // one cannot be written back as it is.
        if (page.url.compare(0, 3, "\xEF\xBB\xBF") == 0)
            continue;
        PageLine again;
        if (!ParsePageLine(FormatPageLine(page.url, page.title, page.visited), again) || !Same(page, again))
            std::abort();
    }
    if (joined != text)
        std::abort();
    return 0;
}
