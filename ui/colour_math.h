// Colour arithmetic shared by the painted controls: the flat shading of the
// tab strip and the menu bar, and the lightness/saturation adjustment of the
// menu painter.
#pragma once

#include <cstdint>

namespace tw {

struct Rgb {
    int r = 0, g = 0, b = 0;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const Rgb& o) const { return !(*this == o); }
};

// The shading factors are single-precision constants; their products are
// truncated as they stand, so 200 x 0.95f gives 189, not 190.
constexpr float kTabDark = 0.95f;
constexpr float kTabLight = 1.05f;
constexpr float kTabCurrent = 1.07f;
constexpr float kBarDark = 0.9f;
constexpr float kBarLight = 1.1f;

// component x factor, truncated and capped at 255.
int ScaleComponent(int component, float factor);
Rgb ScaleColour(Rgb colour, float factor);

// Band k (0 at the bottom) of a vertical shading in bands 2 pixels high:
// dark + (light - dark) x 2k / height, integer division. A height of 0
// gives dark.
Rgb ShadeBand(Rgb dark, Rgb light, int band, int height);

// Lightens (positive) or darkens (negative) lightness and saturation by
// percentages, through hue, saturation and lightness scaled to 0..255.
Rgb AdjustColour(Rgb colour, int lightnessPercent, int saturationPercent);

// 0x00BBGGRR, as COLORREF.
inline std::uint32_t ToColourRef(Rgb c) {
    return std::uint32_t(c.r & 255) | (std::uint32_t(c.g & 255) << 8) | (std::uint32_t(c.b & 255) << 16);
}
inline Rgb FromColourRef(std::uint32_t c) { return Rgb{int(c & 255), int((c >> 8) & 255), int((c >> 16) & 255)}; }

}  // namespace tw
