// Any bytes at all, as an index file: the reader must stay inside them and
// every record it yields must hold terminated texts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/index_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tw::EntryArray<tw::PageEntry> entries;
    const int result = tw::ReadIndexImage(data, size, entries);
    const bool read = result == tw::kIndexVersion52 || result == tw::kIndexOtherVersion;
    if (read != !entries.Empty())
        std::abort();
    for (const tw::PageEntry& e : entries) {
        if (!std::memchr(e.url, 0, sizeof e.url) || !std::memchr(e.title, 0, sizeof e.title))
            std::abort();
        if (e.expires.Value() != e.lastVisited.Value())
            std::abort();
    }
    return 0;
}
