// Writes the image strips of the resources into a folder (res/bitmaps):
//   make-bitmaps <folder>
#include <cstdio>
#include <string>

#include "tools/bitmaps/images.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-bitmaps <folder>\n");
        return 2;
    }
    for (const auto& strip : tw::bitmaps::Strips()) {
        const std::string path = std::string(argv[1]) + "/" + strip.file;
        const auto bytes = tw::bitmaps::EncodeBmp(strip.draw());
        std::FILE* f = std::fopen(path.c_str(), "wb");
        const bool ok = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
        if (f && std::fclose(f) != 0) {
            std::fprintf(stderr, "make-bitmaps: cannot write %s\n", path.c_str());
            return 1;
        }
        if (!ok) {
            std::fprintf(stderr, "make-bitmaps: cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("%s: bitmap %d, %d images\n", path.c_str(), strip.resource, strip.images);
    }
    return 0;
}
