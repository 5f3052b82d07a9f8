// tidewell-grow-index SOURCE TARGET [RECORDS]: writes the grown copy of an
// index file that the dump's benchmarks read, or with RECORDS the packed
// file of that many records that the list's benchmarks read.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "bench/grow_index.h"

int main(int argc, char** argv) {
    char* end = nullptr;
    const unsigned long long records = argc == 4 ? std::strtoull(argv[3], &end, 10) : 0;
    if ((argc != 3 && argc != 4) || (argc == 4 && (*end != 0 || records == 0))) {
        std::fprintf(stderr, "usage: tidewell-grow-index SOURCE TARGET [RECORDS]\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::string image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string grown = argc == 4 ? tw::bench::PackIndexRecords(image, std::size_t(records))
                                        : tw::bench::GrowIndexImage(image);
    if (grown.empty()) {
        std::fprintf(stderr, "tidewell-grow-index: %s: not an index file with a hash table in its blocks\n", argv[1]);
        return 2;
    }
    std::ofstream out(argv[2], std::ios::binary);
    out.write(grown.data(), std::streamsize(grown.size()));
    if (!out) {
        std::fprintf(stderr, "tidewell-grow-index: %s: cannot write\n", argv[2]);
        return 2;
    }
    std::printf("%s: %zu bytes\n", argv[2], grown.size());
    return 0;
}
