// The colours the painted controls draw with. In the normal scheme they are
// the band's own (shadings and gradients made from the 3D face colour, the
// link blue, the Find marks, the progress boxes), except that a text whose
// contrast with its background is below 4.5:1 is drawn in the window text
// colour. In high contrast every one of them gives way to the system's.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "clean/find.h"
#include "ui/colour_math.h"

namespace tw {

// Relative luminance of an sRGB colour, 0 (black) to 1 (white).
double RelativeLuminance(Rgb colour);
// (lighter + 0.05) / (darker + 0.05): 1 for equal colours, 21 for black on white.
double ContrastRatio(Rgb a, Rgb b);
// What a text of at most this size needs against its background.
constexpr double kMinimumTextContrast = 4.5;
// text when it reaches the minimum against every one of the backgrounds
// (the colours of a gradient under it), else fallback.
Rgb ReadableText(Rgb text, std::initializer_list<Rgb> backgrounds, Rgb fallback);
// text where it reads, else the window text colour, else (a scheme whose
// window text does not read there either) black or white.
Rgb ReadableOrWindowText(Rgb text, std::initializer_list<Rgb> backgrounds, Rgb windowText);

struct SystemColours {
    Rgb window{255, 255, 255}, windowText{0, 0, 0};
    Rgb highlight{0, 120, 215}, highlightText{255, 255, 255};
    Rgb hotLight{0, 102, 204};
    Rgb menu{240, 240, 240}, menuText{0, 0, 0};
    Rgb face{240, 240, 240}, buttonText{0, 0, 0}, shadow{160, 160, 160};
    Rgb grayText{109, 109, 109};
};

// A Find mark is kept in a cell as the search's colour (the mark's
// identity, which the search compares); the painters show it through the
// palette.
inline Rgb NameMarkColour() { return FromColourRef(kNameMark); }
inline Rgb ValueMarkColour() { return FromColourRef(kValueMark); }
// The lists' link text; the platform's hot-light colour can be too pale.
constexpr Rgb kListLink{0, 0, 204};

struct Palette {
    bool highContrast = false;
    // Menu bar: its shading, the text of a button, and a hot button's two
    // gradients (outer, then 2 pixels inside) with its text, pressed or not.
    Rgb barDark, barLight, barText;
    Rgb hotOuterFrom, hotOuterTo, hotInnerFrom, hotInnerTo, hotText, pressedText;
    // Popups: the image strip and the rest of an item, its text, a selected
    // item's text (on the hot gradients), a disabled item's text, the
    // separator and a checked item's image frame and fills.
    Rgb itemStrip, itemBack, itemText, selectedText, disabledText, separator;
    Rgb checkFrame, checkFill, checkFillSelected, checkFillDisabled;
    // Tab strip: shading, the current tab, outlines and texts.
    Rgb tabDark, tabLight, tabCurrent, tabOutline, tabText, currentTabText;
    // The band's background and its lines.
    Rgb bandBack, bandLine;
    // Lists: a link cell's text, and the two Find marks with their text.
    Rgb link, nameMark, valueMark, markText;
    // The progress indicator.
    Rgb progressBack, boxFill, boxOutline, currentBoxFill, currentBoxOutline;
};

// The palette for the system's colours, in high contrast or not.
Palette ChoosePalette(const SystemColours& system, bool highContrast);

// A cell's colours as the list paints them: a Find mark through the
// palette, any other text kept readable on its background.
struct CellColours {
    Rgb text, back;
};
CellColours CellColoursOf(const Palette& palette, const SystemColours& system, Rgb text, Rgb back, bool link);

// A link of the About box (its colour may come from the browser's
// settings) on the dialog's face.
Rgb DialogLinkColour(const Palette& palette, const SystemColours& system, Rgb link);

// Every text the painters draw and the backgrounds under it, by name, for
// checking a palette; disabled texts are left out (an inactive control
// need not reach the minimum).
struct TextOnBackground {
    std::string what;
    Rgb text;
    std::vector<Rgb> backgrounds;
};
std::vector<TextOnBackground> TextsOf(const Palette& palette, const SystemColours& system);

}  // namespace tw
