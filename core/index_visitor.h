// The records of an index file, one at a time, straight from its image:
// the same walk over 128-byte blocks that the tabs' reader makes, with what
// the file's hash table and allocation bitmap say about each record. Nothing
// is copied; every text points into the image and is bounded by it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "core/entry.h"

namespace tw {

enum class IndexRecordType { Url, Redirect, Leak };  // "URL ", "REDR", "LEAK"

enum class IndexRecordState {
    Allocated,  // a live entry of the hash table links it, whatever the record's type
    Recovered,  // not linked, and its blocks are marked free: left behind by a deletion
    Unlinked,   // not linked, yet its blocks are marked in use
};

// A text inside the image; not terminated.
struct IndexText {
    const char* text = nullptr;
    std::size_t length = 0;
    bool Empty() const { return length == 0; }
};

struct IndexRecordView {
    std::size_t offset = 0;  // of the record's first block in the file
    std::size_t blocks = 0;  // as the record states it (16-bit)
    std::size_t size = 0;    // bytes of the file the record covers: its blocks, cut at the file's end
    IndexRecordType type = IndexRecordType::Url;
    IndexRecordState state = IndexRecordState::Unlinked;
    // The URL as the tabs read it: for URL and LEAK records the text at 104 up
    // to its zero byte, which lies inside the record's blocks (so at most
    // blocks * 128 - 105 bytes), and at most 4096 bytes; for REDR records the
    // text at 16.
    IndexText url;
    IndexText localFile;    // the cached file's name, where it has one
    IndexText cacheFolder;  // its folder from the header's table, where it has one
    // The title block's text: UTF-16 little-endian, titleUnits units (no zero
    // unit among them, at most kMaxTitleUnits), at an unaligned place.
    const unsigned char* title = nullptr;
    std::size_t titleUnits = 0;
    // Zero where the record holds none (the fill pattern, or a FAT time that
    // is no date).
    FileTime lastModified;  // the record's first time
    FileTime lastAccessed;  // its second time
    FileTime expiry;        // a FAT date and time in the record
    FileTime lastChecked;   // likewise
    std::uint32_t hits = 0;
    bool hasHits = false;  // false where the count holds the fill pattern, and for REDR records
};

// The title is gathered in a buffer of 8192 bytes, zero unit included.
const std::size_t kMaxTitleUnits = 8192 / 2 - 1;

class IndexVisitor {
public:
    virtual ~IndexVisitor() = default;
    virtual void Record(const IndexRecordView& record) = 0;
};

// Answers the result code of ReadIndexImage (index_reader.h). Only with
// kIndexVersion52 or kIndexOtherVersion are records handed on: every URL,
// REDR and LEAK record in file order, each before the walk goes on. The walk
// steps over a URL record's blocks, except where a head inside them is one
// that the hash table links: that record is handed on as well.
// Never reads outside image[0, size); its own memory is one bit per block.
int VisitIndexImage(const unsigned char* image, std::size_t size, IndexVisitor& visitor);

// The version text of the header ("5.2"), printable characters only.
std::string IndexVersionText(const unsigned char* image, std::size_t size);

// A FAT date and time (date in the low half) as a FILETIME; zero for a value
// that names no valid date and time.
FileTime FatTimeToFileTime(std::uint32_t fat);

// The title's units into out (at most maxUnits); returns how many.
std::size_t TitleUnits(const IndexRecordView& record, char16_t* out, std::size_t maxUnits);

}  // namespace tw
