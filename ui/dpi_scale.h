// Sizes in pixels are fixed for a screen of 96 dots per inch; on another
// screen each is multiplied by its DPI / 96 and rounded, so that at 96 dpi
// every size stays exactly as it is.
#pragma once

namespace tw {

constexpr int kBaseDpi = 96;

// pixels x dpi / 96, rounded half away from zero. A DPI of 0 or less (the
// platform could not tell) counts as 96.
int ScaleToDpi(int pixels, int dpi);
// A size laid out at one DPI, at another: the columns of a band that moves
// to a screen of another DPI keep the widths the user gave them, in scale.
int ScaleBetweenDpi(int pixels, int fromDpi, int toDpi);

// The image cells the bitmaps come in: 16 pixels and two larger sets.
constexpr int kImageSizes[] = {16, 24, 32};
// The largest cell that is no larger than 16 pixels scaled: a cell must fit
// the space laid out for it.
int ImageSizeForDpi(int dpi);
// The bitmap resource of a strip of cells of that size: the 16-pixel
// strip's own number, + 1000 for the 24-pixel one, + 2000 for 32.
int BitmapForImageSize(int bitmap16, int imageSize);

// The band's fixed sizes at one DPI.
struct BandMetrics {
    int dpi = kBaseDpi;
    int menuBarHeight = 21;
    int tabStripWidth = 210;
    int tabStripHeight = 22;
    int tabWidth = 70;
    int listTop = 25;
    int barLine = 21;  // the line under the menu bar
    int imageSize = 16;
    // The right margin: the distance to the frame's edge less this, unless
    // it is more than the limit.
    int marginSlack = 30;
    int marginLimit = 20;
};
BandMetrics BandMetricsFor(int dpi);

}  // namespace tw
