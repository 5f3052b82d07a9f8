// The tabs of a "QvFlatTabCtrl" strip: texts, the current tab, equal widths
// and the hit test of a click.
#pragma once

#include <string>
#include <vector>

#include "ui/colour_math.h"

namespace tw {

struct TabRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const TabRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

struct TabColours {
    Rgb dark, light, current;
};

// Dark, light and current colours from the 3D face colour.
TabColours TabColoursFrom(Rgb face);

class TabStripModel {
public:
    static constexpr int kDefaultTabWidth = 70;

    // 1, or -1 when index < 0 or index > count (nothing changes then).
    int AddItem(int index, const std::string& text);
    int GetCurSel() const { return current_; }
    int Count() const { return int(texts_.size()); }
    int TabWidth() const { return tabWidth_; }
    int TotalWidth() const { return Count() * tabWidth_; }
    const std::string& Text(int index) const;
    // Empty for an index outside the tabs.
    TabRect Rect(int index, int clientHeight) const;
    // The tab under x; a boundary pixel belongs to the lower tab. -1 for none.
    int HitTest(int x) const;
    // Makes a tab current; false for an index outside the tabs.
    bool SetCurrent(int index);
    // Every tab's width in pixels (the strip's DPI decides it); widths
    // below 1 are refused.
    bool SetTabWidth(int width);

private:
    std::vector<std::string> texts_;
    int current_ = -1;
    int tabWidth_ = kDefaultTabWidth;
};

}  // namespace tw
