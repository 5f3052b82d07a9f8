// Large index files made from a real one, for the benchmarks.
#pragma once

#include <cstddef>
#include <string>

namespace tw::bench {

// The real file's block region (hash table and records) repeated until the
// allocation bitmap has no room for more, each copy's hash table chained to
// the next and linking that copy's records, so that every copy holds the same
// allocated and recovered records. Empty when the image is no index file
// with a block region to repeat.
std::string GrowIndexImage(const std::string& image);

// A file of exactly `records` URL records: the real file's records in turn,
// packed block to block as a long-used file holds them, with full hash
// tables of the real size chained between them. Records that the real file
// links are linked again and marked in the bitmap as far as it reaches; the
// others stay unlinked. Empty as above.
std::string PackIndexRecords(const std::string& image, std::size_t records);

}  // namespace tw::bench
