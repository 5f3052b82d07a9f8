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
    const auto write = [&](const std::string& file, const tw::bitmaps::Image& image, int bits) {
        const std::string path = std::string(argv[1]) + "/" + file;
        const auto bytes = tw::bitmaps::EncodeBmp(image, bits);
        if (bytes.empty()) {
            std::fprintf(stderr, "make-bitmaps: %s has too many colours for %d bits\n", file.c_str(), bits);
            return false;
        }
        std::FILE* f = std::fopen(path.c_str(), "wb");
        const bool ok = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
        if ((f && std::fclose(f) != 0) || !ok) {
            std::fprintf(stderr, "make-bitmaps: cannot write %s\n", path.c_str());
            return false;
        }
        return true;
    };
    for (const auto& strip : tw::bitmaps::Strips())
        for (int size : tw::bitmaps::kCellSizes) {
            const std::string file = tw::bitmaps::StripFile(strip, size);
            if (!write(file, strip.draw(size), 24))
                return 1;
            std::printf("%s: bitmap %d, %d images of %d pixels\n", file.c_str(), tw::bitmaps::StripResource(strip, size),
                        strip.images, size);
        }
    for (const auto& picture : tw::bitmaps::Pictures()) {
        const tw::bitmaps::Image image = picture.draw();
        if (!write(picture.file, image, picture.bits))
            return 1;
        std::printf("%s: bitmap %d, %d x %d\n", picture.file, picture.resource, image.width, image.height);
    }
    return 0;
}
