#include "ui/palette.h"

#include <algorithm>
#include <cmath>

#include "ui/band_window_model.h"
#include "ui/tab_strip_model.h"

namespace tw {
namespace {

double Linear(int component) {
    // The sRGB transfer curve; its threshold 0.04045 (an older text of the
    // contrast rule has 0.03928) decides nothing for 8-bit components.
    const double c = std::clamp(component, 0, 255) / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double MinimumContrast(Rgb text, std::initializer_list<Rgb> backgrounds) {
    double lowest = 21.0;
    for (const Rgb& b : backgrounds)
        lowest = std::min(lowest, ContrastRatio(text, b));
    return lowest;
}

}  // namespace

double RelativeLuminance(Rgb c) { return 0.2126 * Linear(c.r) + 0.7152 * Linear(c.g) + 0.0722 * Linear(c.b); }

double ContrastRatio(Rgb a, Rgb b) {
    const double la = RelativeLuminance(a), lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Rgb ReadableText(Rgb text, std::initializer_list<Rgb> backgrounds, Rgb fallback) {
    return MinimumContrast(text, backgrounds) >= kMinimumTextContrast ? text : fallback;
}

Rgb ReadableOrWindowText(Rgb text, std::initializer_list<Rgb> backgrounds, Rgb windowText) {
    if (MinimumContrast(text, backgrounds) >= kMinimumTextContrast)
        return text;
    if (MinimumContrast(windowText, backgrounds) >= kMinimumTextContrast)
        return windowText;
    // A scheme of the user's own whose window text is no better: black or
    // white, whichever reads.
    const Rgb black{0, 0, 0}, white{255, 255, 255};
    return MinimumContrast(black, backgrounds) >= MinimumContrast(white, backgrounds) ? black : white;
}

Palette ChoosePalette(const SystemColours& s, bool highContrast) {
    Palette p;
    p.highContrast = highContrast;
    p.bandLine = s.shadow;
    p.tabOutline = s.shadow;
    p.separator = s.shadow;
    p.checkFrame = s.highlight;
    if (highContrast) {
        p.barDark = p.barLight = s.menu;
        p.barText = s.menuText;
        p.hotOuterFrom = p.hotOuterTo = p.hotInnerFrom = p.hotInnerTo = s.highlight;
        p.hotText = p.pressedText = s.highlightText;
        p.itemStrip = p.itemBack = s.menu;
        p.itemText = s.menuText;
        p.selectedText = s.highlightText;
        p.disabledText = s.grayText;
        p.separator = s.menuText;
        p.checkFill = s.menu;
        p.checkFillSelected = s.highlight;
        p.checkFillDisabled = s.menu;
        p.checkFrame = s.menuText;
        p.tabDark = p.tabLight = s.face;
        p.tabCurrent = s.window;
        p.tabOutline = s.buttonText;
        p.tabText = s.buttonText;
        p.currentTabText = s.windowText;
        p.bandBack = s.face;
        p.bandLine = s.buttonText;
        p.link = s.hotLight;
        p.nameMark = p.valueMark = s.highlight;
        p.markText = s.highlightText;
        p.progressBack = s.face;
        p.boxFill = s.window;
        p.boxOutline = s.windowText;
        p.currentBoxFill = s.highlight;
        p.currentBoxOutline = s.windowText;
        return p;
    }
    const Rgb& fallback = s.windowText;
    p.barDark = ScaleColour(s.face, kBarDark);
    p.barLight = ScaleColour(s.face, kBarLight);
    p.barText = ReadableOrWindowText(s.buttonText, {p.barDark, p.barLight}, fallback);
    p.hotOuterFrom = {170, 200, 245};
    p.hotOuterTo = {230, 250, 250};
    p.hotInnerFrom = {210, 240, 250};
    p.hotInnerTo = {185, 215, 250};
    const auto onHot = [&](Rgb text) {
        return ReadableOrWindowText(text, {p.hotOuterFrom, p.hotOuterTo, p.hotInnerFrom, p.hotInnerTo}, fallback);
    };
    p.hotText = onHot({0, 0, 0});
    p.pressedText = onHot(s.highlightText);
    p.itemStrip = AdjustColour(s.face, 20, 0);
    p.itemBack = AdjustColour(s.face, 75, 0);
    p.itemText = ReadableOrWindowText(s.menuText, {p.itemBack}, fallback);
    p.selectedText = onHot(s.menuText);
    p.disabledText = AdjustColour(s.face, -18, 0);
    p.checkFill = AdjustColour(s.highlight, 70, -57);
    p.checkFillSelected = AdjustColour(s.highlight, 50, -50);
    p.checkFillDisabled = AdjustColour(s.face, 73, 0);
    const TabColours tabs = TabColoursFrom(s.face);
    p.tabDark = tabs.dark;
    p.tabLight = tabs.light;
    p.tabCurrent = tabs.current;
    p.tabText = ReadableOrWindowText(s.buttonText, {p.tabDark, p.tabLight}, fallback);
    p.currentTabText = ReadableOrWindowText(s.buttonText, {p.tabCurrent}, fallback);
    p.bandBack = BandBackground(s.face);
    p.link = ReadableOrWindowText(kListLink, {s.window}, fallback);
    p.nameMark = NameMarkColour();
    p.valueMark = ValueMarkColour();
    p.markText = ReadableOrWindowText(s.windowText, {NameMarkColour(), ValueMarkColour()}, s.windowText);
    p.progressBack = s.face;
    p.boxFill = {160, 190, 220};
    p.boxOutline = {50, 90, 135};
    p.currentBoxFill = {190, 220, 255};
    p.currentBoxOutline = {50, 90, 135};
    return p;
}

CellColours CellColoursOf(const Palette& p, const SystemColours& s, Rgb text, Rgb back, bool link) {
    if (back == NameMarkColour() || back == ValueMarkColour()) {
        const Rgb mark = back == NameMarkColour() ? p.nameMark : p.valueMark;
        // A link keeps its colour on a mark where it can be read.
        const Rgb shown = link && !p.highContrast ? ReadableOrWindowText(p.link, {mark}, p.markText) : p.markText;
        return {shown, mark};
    }
    if (p.highContrast)
        return {link ? p.link : s.windowText, s.window};
    return {ReadableOrWindowText(link ? p.link : text, {back}, s.windowText), back};
}

Rgb DialogLinkColour(const Palette& p, const SystemColours& s, Rgb link) {
    return p.highContrast ? s.hotLight : ReadableOrWindowText(link, {s.face}, s.windowText);
}

std::vector<TextOnBackground> TextsOf(const Palette& p, const SystemColours& s) {
    const std::vector<Rgb> hot = {p.hotOuterFrom, p.hotOuterTo, p.hotInnerFrom, p.hotInnerTo};
    return {
        {"menu bar button", p.barText, {p.barDark, p.barLight}},
        {"hot menu bar button", p.hotText, hot},
        {"open menu bar button", p.pressedText, hot},
        {"popup item", p.itemText, {p.itemBack}},
        {"selected popup item", p.selectedText, hot},
        {"tab", p.tabText, {p.tabDark, p.tabLight}},
        {"current tab", p.currentTabText, {p.tabCurrent}},
        {"name mark", p.markText, {p.nameMark}},
        {"value mark", p.markText, {p.valueMark}},
        {"link", p.link, {s.window}},
        {"link on a value mark", CellColoursOf(p, s, s.windowText, ValueMarkColour(), true).text, {p.valueMark}},
        {"About link", DialogLinkColour(p, s, {0, 0, 255}), {s.face}},
    };
}

}  // namespace tw
