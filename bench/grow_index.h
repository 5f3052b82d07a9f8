// A large index file made from a real one: its block region (hash table and
// records) repeated until the allocation bitmap has no room for more, each
// copy's hash table chained to the next and linking that copy's records, so
// that every copy holds the same allocated and recovered records.
#pragma once

#include <string>

namespace tw::bench {

// Empty when the image is no index file with a block region to repeat.
std::string GrowIndexImage(const std::string& image);

}  // namespace tw::bench
