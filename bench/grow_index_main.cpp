// tidewell-grow-index SOURCE TARGET: writes the grown copy of an index file
// that the dump's benchmarks read.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "bench/grow_index.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: tidewell-grow-index SOURCE TARGET\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::string image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string grown = tw::bench::GrowIndexImage(image);
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
