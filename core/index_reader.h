// Reads a URL cache index file (index.dat) by walking its 128-byte blocks;
// every URL record is taken, whether the file still links it or not. Built
// on the record visitor of index_visitor.h.
#pragma once

#include <cstddef>

#include "core/entry.h"

namespace tw {

enum IndexResult : int {
    kIndexUnreadable = 0,      // cannot be opened or read, or 256 bytes or fewer
    kIndexVersion52 = 1,       // "Client UrlCache MMF Ver 5.2"; records read
    kIndexNotIndexFile = -1,   // header text does not match
    kIndexOtherVersion = -2,   // header text matches, other version; records read
    kIndexNoUrlRecords = -3,   // header text matches, no block begins with "URL"
};

// Appends the file's URL records to entries in file order and answers one of
// the results above; entries are unchanged unless records were read.
int ReadIndexFile(const char* path, EntryArray<PageEntry>& entries);

// The same over a file's bytes already in memory. Never reads outside
// image[0, size).
int ReadIndexImage(const unsigned char* image, std::size_t size, EntryArray<PageEntry>& entries);

struct IndexRecordView;
// The record of a URL record as the tabs show it.
PageEntry PageEntryOf(const IndexRecordView& record);

}  // namespace tw
