#include "ui/progress_indicator.h"

namespace tw {

void ProgressIndicator::Advance() {
    if (position_ >= kBoxes - 1)
        direction_ = -1;
    if (position_ <= 0)
        direction_ = 1;
    position_ += direction_;
}

std::array<TabRect, ProgressIndicator::kBoxes> ProgressIndicator::Boxes(int width, int height, int dpi) {
    std::array<TabRect, kBoxes> boxes{};
    const double scale = dpi > 0 ? dpi / 96.0 : 1.0;
    const double w = width * 0.1 - 1.3 * scale;
    const double step = w + 1.0 * scale;
    double a = 0.0;
    for (int i = 0; i < kBoxes; ++i) {
        boxes[std::size_t(i)] = TabRect{int(a), 0, int(a + w), height};
        a += step;
    }
    return boxes;
}

}  // namespace tw
