#include "ui/tab_strip_model.h"

namespace tw {

TabColours TabColoursFrom(Rgb face) {
    return TabColours{ScaleColour(face, kTabDark), ScaleColour(face, kTabLight),
                      ScaleColour(face, kTabCurrent)};
}

int TabStripModel::AddItem(int index, const std::string& text) {
    if (index < 0 || index > Count())
        return -1;
    texts_.insert(texts_.begin() + index, text);
    if (Count() == 1)
        current_ = 0;
    return 1;
}

const std::string& TabStripModel::Text(int index) const {
    static const std::string empty;
    return (index >= 0 && index < Count()) ? texts_[std::size_t(index)] : empty;
}

TabRect TabStripModel::Rect(int index, int clientHeight) const {
    if (index < 0 || index >= Count())
        return TabRect{};
    return TabRect{index * tabWidth_, 0, (index + 1) * tabWidth_, clientHeight};
}

int TabStripModel::HitTest(int x) const {
    for (int i = 0; i < Count(); ++i)
        if (i * tabWidth_ <= x && x <= (i + 1) * tabWidth_)
            return i;
    return -1;
}

bool TabStripModel::SetTabWidth(int width) {
    if (width < 1)
        return false;
    tabWidth_ = width;
    return true;
}

bool TabStripModel::SetCurrent(int index) {
    if (index < 0 || index >= Count())
        return false;
    current_ = index;
    return true;
}

}  // namespace tw
