// The images of the resources, drawn in code so that they can be redrawn
// and checked: strips of square cells on the mask colour, of 16 pixels and
// of 24 and 32 for screens of higher DPI, written as 24-bit BMP files, and
// whole pictures in the depth their dialogs name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tw::bitmaps {

struct Colour {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Colour& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const Colour& o) const { return !(*this == o); }
};

// Pixels that show nothing: the image lists are made with this mask colour.
constexpr Colour kMask{255, 0, 255};
constexpr int kCell = 16;
// Every strip comes in these cell sizes.
constexpr int kCellSizes[] = {16, 24, 32};

struct Image {
    int width = 0;
    int height = 0;
    std::vector<Colour> pixels;  // row by row from the top

    Image(int w, int h) : width(w), height(h), pixels(std::size_t(w) * std::size_t(h), kMask) {}
    Colour At(int x, int y) const { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
    void Set(int x, int y, Colour c) {
        if (x >= 0 && y >= 0 && x < width && y < height)
            pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)] = c;
    }
};

// Each strip in cells of size x size pixels:
// the command image strip (bitmap 203): 23 images in the order of the
// command list of tool bar 203;
Image CommandImages(int size = kCell);
// the ten row images of the lists (bitmap 212);
Image RowImages(int size = kCell);
// the context menu images (bitmap 227);
Image ContextImages(int size = kCell);
// the header sort marks (bitmap 210): up, then down.
Image SortMarks(int size = kCell);

struct Strip {
    const char* name;  // of its files under res/bitmaps
    int resource;      // bitmap resource number of the 16-pixel strip
    int images;        // cells
    Image (*draw)(int size);
};
const std::vector<Strip>& Strips();
// "name.bmp" for 16 pixels, "name_24.bmp" and "name_32.bmp" for the others.
std::string StripFile(const Strip& strip, int size);
// The resource number of the strip of that size: + 1000 for 24, + 2000 for 32.
int StripResource(const Strip& strip, int size);

// The About banner (bitmap 219): a whole picture, not a strip of cells.
Image Banner();

struct Picture {
    const char* file;  // under res/bitmaps
    int resource;      // bitmap resource number
    int bits;          // 24, or 8 with a palette
    Image (*draw)();
};
const std::vector<Picture>& Pictures();

// A bottom-up BMP file of 24 bits a pixel, or of 8 with a palette of the
// image's colours in the order they first appear (empty when the image has
// more than 256).
std::vector<std::uint8_t> EncodeBmp(const Image& image, int bits = 24);

}  // namespace tw::bitmaps
