#include "ui/colour_math.h"

#include <algorithm>
#include <cmath>

namespace tw {

int ScaleComponent(int component, float factor) {
    // The float factor widened to double keeps its exact single-precision
    // value; a float product would round 189.9999976 up to 190.
    const double product = double(component) * double(factor);
    return std::clamp(int(product), 0, 255);
}

Rgb ScaleColour(Rgb c, float factor) {
    return Rgb{ScaleComponent(c.r, factor), ScaleComponent(c.g, factor), ScaleComponent(c.b, factor)};
}

Rgb ShadeBand(Rgb dark, Rgb light, int band, int height) {
    if (height <= 0)
        return dark;
    auto mix = [&](int d, int l) { return d + (l - d) * 2 * band / height; };
    return Rgb{mix(dark.r, light.r), mix(dark.g, light.g), mix(dark.b, light.b)};
}

namespace {

struct Hsl {
    int h = 0, s = 0, l = 0;  // each 0..255
};

Hsl ToHsl(Rgb c) {
    const int mx = std::max({c.r, c.g, c.b});
    const int mn = std::min({c.r, c.g, c.b});
    Hsl out;
    out.l = (mx + mn) * 255 / 510;
    if (mx == mn)
        return out;
    const int delta = mx - mn;
    out.s = out.l <= 127 ? delta * 255 / (mx + mn) : delta * 255 / (510 - mx - mn);
    double hue;
    if (mx == c.r)
        hue = 60.0 * double(c.g - c.b) / delta;
    else if (mx == c.g)
        hue = 60.0 * (2.0 + double(c.b - c.r) / delta);
    else
        hue = 60.0 * (4.0 + double(c.r - c.g) / delta);
    if (hue < 0)
        hue += 360.0;
    out.h = std::clamp(int(hue * 255.0 / 360.0), 0, 255);
    return out;
}

double HueToComponent(double p, double q, double t) {
    if (t < 0)
        t += 1;
    if (t > 1)
        t -= 1;
    if (t < 1.0 / 6)
        return p + (q - p) * 6 * t;
    if (t < 0.5)
        return q;
    if (t < 2.0 / 3)
        return p + (q - p) * (2.0 / 3 - t) * 6;
    return p;
}

Rgb FromHsl(Hsl c) {
    if (c.s == 0)
        return Rgb{c.l, c.l, c.l};
    const double h = c.h / 255.0, s = c.s / 255.0, l = c.l / 255.0;
    const double q = l < 0.5 ? l * (1 + s) : l + s - l * s;
    const double p = 2 * l - q;
    auto component = [](double v) { return std::clamp(int(std::lround(v * 255.0)), 0, 255); };
    return Rgb{component(HueToComponent(p, q, h + 1.0 / 3)), component(HueToComponent(p, q, h)),
               component(HueToComponent(p, q, h - 1.0 / 3))};
}

int AdjustScaled(int value, int percent) {
    if (percent >= 1)
        return value + (255 - value) * percent / 100;
    if (percent < 0)
        return std::max(0, (percent + 100) * value / 100);
    return value;
}

}  // namespace

Rgb AdjustColour(Rgb colour, int lightnessPercent, int saturationPercent) {
    Hsl hsl = ToHsl(colour);
    hsl.l = std::clamp(AdjustScaled(hsl.l, std::min(lightnessPercent, 100)), 0, 255);
    hsl.s = std::clamp(AdjustScaled(hsl.s, std::min(saturationPercent, 100)), 0, 255);
    return FromHsl(hsl);
}

}  // namespace tw
