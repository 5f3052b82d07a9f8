#include "core/index_visitor.h"

#include <cstring>
#include <vector>

#include "core/index_reader.h"

namespace tw {
namespace {

const char kHeader[] = "Client UrlCache MMF Ver";
const std::size_t kHeaderLength = sizeof kHeader - 1;
const std::size_t kBlock = 128;
const std::size_t kMinimumSize = 257;
const std::size_t kUrlOffset = 104;
const std::size_t kUrlLimit = 4096;
// Where the header keeps its hash table's offset, its table of cache
// folders and its allocation bitmap; bit i of the bitmap stands for the
// block at kBlocksStart + i * 128.
const std::size_t kHashTableOffset = 32;
const std::size_t kFolderCount = 72;
const std::size_t kFolders = 76;
const std::size_t kFolderEntry = 12;  // files held (4), name (8)
const std::size_t kMaxFolders = 32;
const std::size_t kBitmapStart = 0x250;
const std::size_t kBlocksStart = 0x4000;
// Offsets in a URL or LEAK record.
const std::size_t kExpiry = 24, kFolderIndex = 56, kFileNameOffset = 60, kLastChecked = 80, kHits = 84;
const std::size_t kRedirectUrl = 16;
// What the browser writes into space it has reserved and not yet used, and
// leaves in the fields of LEAK records: bytes EF BE AD DE.
const std::uint32_t kFillPattern = 0xDEADBEEF;
// The low six bits of a hash entry's key are the entry's type; these two
// mark an entry that links nothing. Every other type is a live entry.
const std::uint32_t kTypeMask = 0x3F, kDeletedEntry = 1, kFreeEntry = 3;

// Every read goes through this view: a byte past the end of the image reads
// as absent, so a record that runs past the end is cut there.
class Image {
public:
    Image(const unsigned char* bytes, std::size_t size) : bytes_(bytes), size_(size) {}

    std::size_t Size() const { return size_; }
    const unsigned char* At(std::size_t offset) const { return bytes_ + offset; }
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
            v = (v << 8) | (offset < size_ && i < size_ - offset ? bytes_[offset + i] : 0u);
        return v;
    }
    // A time that holds the fill pattern holds none, and reads as zero.
    FileTime Time(std::size_t offset) const {
        FileTime t;
        t.low = Le(offset, 4);
        t.high = Le(offset + 4, 4);
        return t.low == kFillPattern && t.high == kFillPattern ? FileTime() : t;
    }
    // False, and value zero, for a count that holds the fill pattern.
    bool Count(std::size_t offset, std::uint32_t& value) const {
        const std::uint32_t v = Le(offset, 4);
        value = v == kFillPattern ? 0 : v;
        return v != kFillPattern;
    }
    // The text at offset up to its zero byte, at most limit bytes and never
    // past the end.
    IndexText Text(std::size_t offset, std::size_t limit) const {
        IndexText t;
        if (offset >= size_)
            return t;
        const std::size_t room = size_ - offset < limit ? size_ - offset : limit;
        const void* zero = std::memchr(bytes_ + offset, 0, room);
        t.text = reinterpret_cast<const char*>(bytes_ + offset);
        t.length = zero ? std::size_t(static_cast<const unsigned char*>(zero) - (bytes_ + offset)) : room;
        return t;
    }

private:
    const unsigned char* bytes_;
    std::size_t size_;
};

bool IsUrlBlock(const Image& image, std::size_t o) { return image.Matches(o, "URL", 3); }

// Whether the block at o is the head of a record the walk hands on, and of
// which type.
bool RecordAt(const Image& image, std::size_t o, IndexRecordType& type) {
    if (IsUrlBlock(image, o))
        type = IndexRecordType::Url;
    else if (image.Matches(o, "LEAK", 4))
        type = IndexRecordType::Leak;
    else if (image.Matches(o, "REDR", 4))
        type = IndexRecordType::Redirect;
    else
        return false;
    return true;
}

// What the hash table links and what the bitmap leaves free.
class Allocation {
public:
    explicit Allocation(const Image& image) : image_(image), linked_(image.Size() / kBlock + 1, false) {
        // A chain that loops or overlaps itself is cut once it has covered as
        // many bytes as the file holds, so the work stays linear.
        std::size_t covered = 0;
        std::size_t table = image.Le(kHashTableOffset, 4);
        while (table != 0 && table % kBlock == 0 && image.Matches(table, "HASH", 4) && covered < image.Size()) {
            std::size_t blocks = image.Le(table + 4, 4);
            const std::size_t room = (image.Size() - table) / kBlock;
            if (blocks > room)
                blocks = room;
            const std::size_t end = table + blocks * kBlock;
            for (std::size_t e = table + 16; e + 8 <= end; e += 8) {
                const std::uint32_t hash = image.Le(e, 4);
                const std::uint32_t record = image.Le(e + 4, 4);
                const std::uint32_t type = hash & kTypeMask;
                if (type != kDeletedEntry && type != kFreeEntry && hash != kFillPattern && record % kBlock == 0 &&
                    record < image.Size())
                    linked_[record / kBlock] = true;
            }
            covered += blocks > 0 ? blocks * kBlock : kBlock;
            const std::size_t next = image.Le(table + 8, 4);
            if (next == table)
                break;
            table = next;
        }
    }

    bool Linked(std::size_t offset) const { return linked_[offset / kBlock]; }

    IndexRecordState StateOf(std::size_t offset) const {
        if (Linked(offset))
            return IndexRecordState::Allocated;
        if (offset >= kBlocksStart) {
            const std::size_t bit = (offset - kBlocksStart) / kBlock;
            const std::size_t byte = kBitmapStart + bit / 8;
            if (byte < kBlocksStart && image_.Has(byte, 1) && !(image_.Le(byte, 1) >> (bit % 8) & 1))
                return IndexRecordState::Recovered;
        }
        return IndexRecordState::Unlinked;
    }

private:
    const Image& image_;
    std::vector<bool> linked_;
};

// The title block right behind the URL's text: the first of six places that
// holds 0x10 0x00 0x02, then one of its two forms.
void FindTitle(const Image& image, std::size_t urlEnd, IndexRecordView& r) {
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
    std::size_t n = 0;
    while (n < kMaxTitleUnits && 2 * n + 1 < length && image.Has(start + 2 * n, 2) && image.Le(start + 2 * n, 2) != 0)
        ++n;
    if (n > 0) {
        r.title = image.At(start);
        r.titleUnits = n;
    }
}

void ReadUrlFields(const Image& image, std::size_t o, IndexRecordView& r) {
    // Browsers keep the URL's zero byte inside the record, often in its last
    // block; a URL that would run past the record is cut, as a field is, so
    // that its zero still fits.
    std::size_t limit = r.blocks > 0 ? r.blocks * kBlock - kUrlOffset - 1 : 0;
    if (limit > kUrlLimit)
        limit = kUrlLimit;
    r.url = image.Text(o + kUrlOffset, limit);
    r.lastModified = image.Time(o + 8);
    r.lastAccessed = image.Time(o + 16);
    r.expiry = FatTimeToFileTime(image.Le(o + kExpiry, 4));
    r.lastChecked = FatTimeToFileTime(image.Le(o + kLastChecked, 4));
    r.hasHits = image.Count(o + kHits, r.hits);
    FindTitle(image, o + kUrlOffset + r.url.length, r);

    const std::size_t nameAt = image.Le(o + kFileNameOffset, 4);
    if (nameAt != 0 && nameAt < r.size)
        r.localFile = image.Text(o + nameAt, r.size - nameAt);
    const std::size_t folder = image.Le(o + kFolderIndex, 1);
    const std::size_t folders = image.Le(kFolderCount, 4);
    if (folder < folders && folder < kMaxFolders)
        r.cacheFolder = image.Text(kFolders + folder * kFolderEntry + 4, 8);
}

bool DaysInMonthOk(int year, int month, int day) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1)
        return false;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

// Days from 1601-01-01 to a date of the proleptic Gregorian calendar.
long long DaysFrom1601(int year, int month, int day) {
    const long long y = year - (month <= 2 ? 1 : 0);
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468 + 134774;
}

}  // namespace

FileTime FatTimeToFileTime(std::uint32_t fat) {
    const unsigned date = fat & 0xFFFF, time = fat >> 16;
    const int year = 1980 + int(date >> 9), month = int((date >> 5) & 0xF), day = int(date & 0x1F);
    const int hour = int(time >> 11), minute = int((time >> 5) & 0x3F), second = int(time & 0x1F) * 2;
    if (fat == 0 || !DaysInMonthOk(year, month, day) || hour > 23 || minute > 59 || second > 59)
        return FileTime();
    const long long seconds = DaysFrom1601(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
    return FileTime::FromValue(std::uint64_t(seconds) * 10000000ull);
}

std::size_t TitleUnits(const IndexRecordView& record, char16_t* out, std::size_t maxUnits) {
    std::size_t n = record.titleUnits < maxUnits ? record.titleUnits : maxUnits;
    for (std::size_t i = 0; i < n; ++i)
        out[i] = char16_t(record.title[2 * i] | (record.title[2 * i + 1] << 8));
    return n;
}

std::string IndexVersionText(const unsigned char* bytes, std::size_t size) {
    std::string v;
    for (std::size_t i = 24; i < 28 && i < size && bytes[i] != 0; ++i)
        v += bytes[i] >= 0x20 && bytes[i] < 0x7F ? char(bytes[i]) : '?';
    return v;
}

int VisitIndexImage(const unsigned char* bytes, std::size_t size, IndexVisitor& visitor) {
    const Image image(bytes, size);
    if (size < kMinimumSize)
        return kIndexUnreadable;
    if (!image.Matches(0, kHeader, kHeaderLength))
        return kIndexNotIndexFile;
    const int result = image.Matches(24, "5.2", 3) ? kIndexVersion52 : kIndexOtherVersion;

    // Nothing is handed on from a file without a URL record.
    std::size_t o = 0;
    while (o < size && !IsUrlBlock(image, o))
        o += kBlock;
    if (o >= size)
        return kIndexNoUrlRecords;

    const Allocation allocation(image);
    for (o = 0; o < size;) {
        IndexRecordView r;
        if (!RecordAt(image, o, r.type)) {
            o += kBlock;
            continue;
        }
        r.offset = o;
        r.blocks = image.Le(o + 4, 2);
        const std::size_t claimed = (r.blocks > 0 ? r.blocks : 1) * kBlock;
        r.size = claimed < size - o ? claimed : size - o;
        r.state = allocation.StateOf(o);
        if (r.type == IndexRecordType::Redirect)
            r.url = image.Text(o + kRedirectUrl, r.size > kRedirectUrl ? r.size - kRedirectUrl : 0);
        else
            ReadUrlFields(image, o, r);
        visitor.Record(r);
        // The walk steps over URL records whole, as the tabs' reader does; a
        // count of 0 would stand it still. Other records are passed a block
        // at a time, so that the URL records found stay exactly those.
        const std::size_t next = r.type == IndexRecordType::Url ? o + claimed : o + kBlock;
        // A stale record's blocks may have been given to a record the
        // browser still has: the walk goes on at the first head inside the
        // span that the hash table links, so that no such record is lost.
        // Each block is looked at once, so the walk stays linear.
        for (o += kBlock; o < next && o < size; o += kBlock) {
            IndexRecordType type;
            if (allocation.Linked(o) && RecordAt(image, o, type))
                break;
        }
    }
    return result;
}

}  // namespace tw
