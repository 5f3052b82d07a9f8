#include "core/index_reader.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/ansi_text.h"

namespace tw {
namespace {

const char kHeader[] = "Client UrlCache MMF Ver";
const std::size_t kHeaderLength = sizeof kHeader - 1;
const std::size_t kBlock = 128;
const std::size_t kMinimumSize = 257;
const std::size_t kUrlOffset = 104;
const std::size_t kUrlLimit = 4096;
// The title is gathered in a buffer of 8192 bytes, zero unit included.
const std::size_t kTitleUnits = 8192 / 2 - 1;
// The converted title is made in 260 bytes before it goes to its field.
const std::size_t kConvertedTitle = 260;

// Every read goes through this view: a byte past the end of the image reads
// as absent, so a record that runs past the end is cut there.
class Image {
public:
    Image(const unsigned char* bytes, std::size_t size) : bytes_(bytes), size_(size) {}

    std::size_t Size() const { return size_; }
    bool Has(std::size_t offset, std::size_t length) const {
        return offset <= size_ && length <= size_ - offset;
    }
    bool Matches(std::size_t offset, const void* text, std::size_t length) const {
        return Has(offset, length) && std::memcmp(bytes_ + offset, text, length) == 0;
    }
    // Little-endian, with bytes past the end taken as zero.
    std::uint32_t Le(std::size_t offset, std::size_t length) const {
        std::uint32_t v = 0;
        for (std::size_t i = length; i-- > 0;)
            v = (v << 8) | (offset + i < size_ ? bytes_[offset + i] : 0u);
        return v;
    }
    FileTime Time(std::size_t offset) const {
        FileTime t;
        t.low = Le(offset, 4);
        t.high = Le(offset + 4, 4);
        return t;
    }
    // Length of the text at offset up to its zero byte, at most limit bytes and
    // never past the end.
    std::size_t TextLength(std::size_t offset, std::size_t limit) const {
        if (offset >= size_)
            return 0;
        const std::size_t room = size_ - offset < limit ? size_ - offset : limit;
        const void* zero = std::memchr(bytes_ + offset, 0, room);
        return zero ? std::size_t(static_cast<const unsigned char*>(zero) - (bytes_ + offset)) : room;
    }
    const char* Text(std::size_t offset) const {
        return reinterpret_cast<const char*>(bytes_ + offset);
    }
    // Copies at most maxUnits UTF-16 units of length bytes at offset into
    // units, stopping at a zero unit or the end of the image.
    std::size_t Utf16(std::size_t offset, std::size_t length, char16_t* units,
                      std::size_t maxUnits) const {
        std::size_t n = 0;
        for (; n < maxUnits && 2 * n + 1 < length && Has(offset + 2 * n, 2); ++n) {
            const char16_t u = char16_t(Le(offset + 2 * n, 2));
            if (u == 0)
                break;
            units[n] = u;
        }
        return n;
    }

private:
    const unsigned char* bytes_;
    std::size_t size_;
};

bool IsUrlBlock(const Image& image, std::size_t o) { return image.Matches(o, "URL", 3); }

void ReadTitle(const Image& image, std::size_t urlEnd, char* title, std::size_t titleSize) {
    static const unsigned char kMarker[3] = {0x10, 0x00, 0x02};
    std::size_t m = 0;
    bool found = false;
    for (std::size_t k = 0; k < 6 && !found; ++k) {
        if (image.Matches(urlEnd + k, kMarker, sizeof kMarker)) {
            m = urlEnd + k;
            found = true;
        }
    }
    if (!found)
        return;
    const std::size_t a = image.Le(m + 16, 2);
    const unsigned tag1 = image.Le(m + 18, 1), tag2 = image.Le(m + 19, 1);
    if (a == 0)
        return;
    std::size_t start, length;
    if (tag1 == 0x10 && tag2 == 0x1F) {
        start = m + 20;
        length = a;
    } else if (tag1 == 0x15 && tag2 == 0x1E) {
        length = image.Le(m + a + 28, 2);
        if (length >= 128)
            return;
        start = m + a + 32;
    } else {
        return;
    }
    char16_t units[kTitleUnits];
    const std::size_t n = image.Utf16(start, length, units, kTitleUnits);
    char converted[kConvertedTitle];
    ActiveCodePage().FromUtf16(units, n, converted, sizeof converted);
    CopyField(title, titleSize, converted);
}

}  // namespace

int ReadIndexImage(const unsigned char* bytes, std::size_t size, EntryArray<PageEntry>& entries) {
    const Image image(bytes, size);
    if (size < kMinimumSize)
        return kIndexUnreadable;
    if (!image.Matches(0, kHeader, kHeaderLength))
        return kIndexNotIndexFile;
    const int result = image.Matches(24, "5.2", 3) ? kIndexVersion52 : kIndexOtherVersion;

    std::size_t o = 0;
    while (o < size && !IsUrlBlock(image, o))
        o += kBlock;
    if (o >= size)
        return kIndexNoUrlRecords;

    PageEntry entry;
    while (o < size) {
        if (!IsUrlBlock(image, o)) {
            o += kBlock;
            continue;
        }
        const std::size_t blocks = image.Le(o + 4, 2);
        entry = PageEntry();
        const std::size_t urlStart = o + kUrlOffset;
        std::size_t limit = blocks > 0 ? (blocks - 1) * kBlock : 0;
        if (limit > kUrlLimit)
            limit = kUrlLimit;
        const std::size_t urlLength = image.TextLength(urlStart, limit);
        if (urlLength > 0)
            CopyField(entry.url, sizeof entry.url, image.Text(urlStart), urlLength);
        entry.lastUpdated = image.Time(o + 8);
        entry.lastVisited = entry.expires = image.Time(o + 16);
        ReadTitle(image, urlStart + urlLength, entry.title, sizeof entry.title);
        entries.Append(entry);
        // A count of 0 would stand the walk still.
        o += (blocks > 0 ? blocks : 1) * kBlock;
    }
    return result;
}

int ReadIndexFile(const char* path, EntryArray<PageEntry>& entries) {
    std::FILE* file = std::fopen(path, "rb");
    if (!file)
        return kIndexUnreadable;
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0)
        size = std::ftell(file);
    int result = kIndexUnreadable;
    if (size >= long(kMinimumSize) && std::fseek(file, 0, SEEK_SET) == 0) {
        // One zero byte behind the image, as the format's readers expect.
        unsigned char* image = static_cast<unsigned char*>(std::malloc(std::size_t(size) + 1));
        if (image) {
            const std::size_t got = std::fread(image, 1, std::size_t(size), file);
            image[got] = 0;
            result = ReadIndexImage(image, got, entries);
            std::free(image);
        }
    }
    std::fclose(file);
    return result;
}

}  // namespace tw
