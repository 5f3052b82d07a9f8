// Any bytes at all, as an index file: the reader and the record visitor
// under it must stay inside them, every record the reader yields must hold
// terminated texts, and both must see the same URL records.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/index_reader.h"
#include "core/index_visitor.h"

namespace {

class Checker : public tw::IndexVisitor {
public:
    Checker(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    void Record(const tw::IndexRecordView& r) override {
        if (r.offset % 128 != 0 || r.offset >= size_ || r.size == 0 || r.size > size_ - r.offset)
            std::abort();
        if (r.offset < last_ || (records_ > 0 && r.offset == last_))
            std::abort();
        last_ = r.offset;
        ++records_;
        Inside(r.url);
        Inside(r.localFile);
        Inside(r.cacheFolder);
        if (r.titleUnits > tw::kMaxTitleUnits)
            std::abort();
        if (r.titleUnits > 0) {
            const std::uint8_t* t = r.title;
            if (t < data_ || t > data_ + size_ || 2 * r.titleUnits > std::size_t(data_ + size_ - t))
                std::abort();
            char16_t units[tw::kMaxTitleUnits];
            const std::size_t n = tw::TitleUnits(r, units, tw::kMaxTitleUnits);
            for (std::size_t i = 0; i < n; ++i)
                if (units[i] == 0)
                    std::abort();
        }
        if (r.type == tw::IndexRecordType::Url)
            ++urls_;
    }

    std::size_t urls_ = 0;

private:
    void Inside(const tw::IndexText& t) const {
        if (t.length == 0)
            return;
        const std::uint8_t* p = reinterpret_cast<const std::uint8_t*>(t.text);
        if (p < data_ || p > data_ + size_ || t.length > std::size_t(data_ + size_ - p))
            std::abort();
        if (std::memchr(p, 0, t.length))
            std::abort();
    }

    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t last_ = 0, records_ = 0;
};

}  // namespace

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

    Checker checker(data, size);
    if (tw::VisitIndexImage(data, size, checker) != result || checker.urls_ != entries.Count())
        std::abort();
    if (!read && checker.urls_ != 0)
        std::abort();
    return 0;
}
