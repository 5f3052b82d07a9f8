// The moving indicator of the progress window: ten boxes, one of them
// current, walking 0..9..0 one step per advance.
#pragma once

#include <array>

#include "ui/tab_strip_model.h"

namespace tw {

class ProgressIndicator {
public:
    static constexpr int kBoxes = 10;

    int Position() const { return position_; }
    int Direction() const { return direction_; }
    // Reverses at either end, then steps.
    void Advance();

    // Box rectangles for a client of width x height: each box is
    // width x 0.1 - 1.3 wide, one pixel apart, edges truncated; the 1.3 and
    // the gap are pixels at 96 dpi and grow with the DPI.
    static std::array<TabRect, kBoxes> Boxes(int width, int height, int dpi = 96);

private:
    int position_ = 0;
    int direction_ = 1;
};

}  // namespace tw
