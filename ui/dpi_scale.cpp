#include "ui/dpi_scale.h"

#include <cstdint>

namespace tw {
namespace {

int Known(int dpi) { return dpi > 0 ? dpi : kBaseDpi; }

// a x b / c rounded half away from zero, in 64 bits so that no product
// overflows; c > 0.
int MulDivRounded(int a, int b, int c) {
    const std::int64_t product = std::int64_t(a) * b;
    const std::int64_t half = c / 2;
    const std::int64_t q = product >= 0 ? (product + half) / c : -((-product + half) / c);
    return int(q);
}

}  // namespace

int ScaleToDpi(int pixels, int dpi) { return MulDivRounded(pixels, Known(dpi), kBaseDpi); }

int ScaleBetweenDpi(int pixels, int fromDpi, int toDpi) { return MulDivRounded(pixels, Known(toDpi), Known(fromDpi)); }

int ImageSizeForDpi(int dpi) {
    const int wanted = ScaleToDpi(kImageSizes[0], dpi);
    int size = kImageSizes[0];
    for (int s : kImageSizes)
        if (s <= wanted)
            size = s;
    return size;
}

int BitmapForImageSize(int bitmap16, int imageSize) {
    switch (imageSize) {
    case 24: return bitmap16 + 1000;
    case 32: return bitmap16 + 2000;
    default: return bitmap16;
    }
}

BandMetrics BandMetricsFor(int dpi) {
    const BandMetrics base;
    BandMetrics m;
    m.dpi = Known(dpi);
    m.menuBarHeight = ScaleToDpi(base.menuBarHeight, dpi);
    m.tabStripWidth = ScaleToDpi(base.tabStripWidth, dpi);
    m.tabStripHeight = ScaleToDpi(base.tabStripHeight, dpi);
    m.tabWidth = ScaleToDpi(base.tabWidth, dpi);
    m.listTop = ScaleToDpi(base.listTop, dpi);
    m.barLine = ScaleToDpi(base.barLine, dpi);
    m.imageSize = ImageSizeForDpi(dpi);
    m.marginSlack = ScaleToDpi(base.marginSlack, dpi);
    m.marginLimit = ScaleToDpi(base.marginLimit, dpi);
    return m;
}

}  // namespace tw
