#include "core/index_reader.h"

#include "core/ansi_text.h"
#include "core/file_image.h"
#include "core/index_visitor.h"

namespace tw {

PageEntry PageEntryOf(const IndexRecordView& record) {
    PageEntry entry;
    if (record.url.length > 0)
        CopyField(entry.url, sizeof entry.url, record.url.text, record.url.length);
    entry.lastUpdated = record.lastModified;
    entry.lastVisited = entry.expires = record.lastAccessed;
    if (record.titleUnits > 0) {
        char16_t units[kMaxTitleUnits];
        const std::size_t n = TitleUnits(record, units, kMaxTitleUnits);
        // The converted title is made in 260 bytes before it goes to its field.
        char converted[260];
        ActiveCodePage().FromUtf16(units, n, converted, sizeof converted);
        CopyField(entry.title, converted);
    }
    return entry;
}

namespace {

class EntryCollector : public IndexVisitor {
public:
    explicit EntryCollector(EntryArray<PageEntry>& entries) : entries_(entries) {}
    void Record(const IndexRecordView& record) override {
        if (record.type == IndexRecordType::Url)
            entries_.Append(PageEntryOf(record));
    }

private:
    EntryArray<PageEntry>& entries_;
};

}  // namespace

int ReadIndexImage(const unsigned char* bytes, std::size_t size, EntryArray<PageEntry>& entries) {
    EntryCollector collector(entries);
    return VisitIndexImage(bytes, size, collector);
}

int ReadIndexFile(const char* path, EntryArray<PageEntry>& entries) {
    FileImage image;
    if (image.Open(path) != FileImage::kOk)
        return kIndexUnreadable;
    return ReadIndexImage(image.Data(), image.Size(), entries);
}

}  // namespace tw
