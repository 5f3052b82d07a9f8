#include "ui/band_keys.h"

namespace tw {
namespace {

bool IsAccessKey(int key) { return (key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'); }

}  // namespace

MenuBarKeys::Step MenuBarKeys::Go(Effect effect, int button) {
    button_ = effect == Effect::Leave ? -1 : button;
    return Step{true, effect, button_};
}

MenuBarKeys::Step MenuBarKeys::OnKey(const MenuBarModel& bar, const KeyPress& key) {
    if (bar.Count() == 0)
        return Step{};
    if (key.key == kVkAlt) {
        if (key.down) {
            // Held down it repeats, which neither arms nor spoils it; with
            // Ctrl held it is AltGr, which never enters.
            if (!key.repeat)
                altAlone_ = !key.control;
            return Step{true};
        }
        const bool alone = altAlone_;
        altAlone_ = false;
        if (!alone)
            return Step{};
        return Active() ? Go(Effect::Leave, -1) : Go(Effect::Hot, 0);
    }
    // Any other key, pressed or released: even one whose press the system
    // kept (Print Screen) tells of itself by its release.
    altAlone_ = false;
    if (!key.down)
        return Step{};
    if (key.key == kVkF10 && !key.alt && !key.shift && !key.control)
        return Active() ? Go(Effect::Leave, -1) : Go(Effect::Hot, 0);
    if (!Active()) {
        const int button = key.alt && !key.control && IsAccessKey(key.key) ? bar.FindMnemonic(char(key.key)) : -1;
        return button >= 0 ? Go(Effect::Open, button) : Step{};
    }
    if (key.alt || key.control) {
        button_ = -1;
        return Step{false, Effect::Leave, -1};
    }
    if (key.key == kVkShift)
        return Step{};
    switch (key.key) {
    case kVkLeft: return Go(Effect::Hot, bar.Neighbour(button_, -1));
    case kVkRight: return Go(Effect::Hot, bar.Neighbour(button_, 1));
    case kVkDown:
    case kVkUp:
    case kVkReturn:
    case kVkSpace: return Go(Effect::Open, button_);
    case kVkEscape: return Go(Effect::Leave, -1);
    default: break;
    }
    if (!IsAccessKey(key.key)) {
        button_ = -1;
        return Step{false, Effect::Leave, -1};
    }
    // A letter that opens nothing is still the bar's, as in the platform's menus.
    const int button = bar.FindMnemonic(char(key.key));
    return button >= 0 ? Go(Effect::Open, button) : Step{true};
}

MenuBarKeys::Step MenuBarKeys::OnPopupClosed(int button, bool escaped) {
    return escaped && button >= 0 ? Go(Effect::Hot, button) : Go(Effect::Leave, -1);
}

MenuBarKeys::Step MenuBarKeys::OnLeft() {
    altAlone_ = false;
    return Active() ? Go(Effect::Leave, -1) : Step{};
}

BandKeyAction BandKeyActionOf(const KeyPress& key) {
    if (key.alt)
        return BandKeyAction::None;
    if (key.key == kVkTab && key.control && key.down)
        return key.shift ? BandKeyAction::PreviousTab : BandKeyAction::NextTab;
    if ((key.key == kVkF10 && key.shift && !key.control) || (key.key == kVkApps && !key.control))
        return key.down ? BandKeyAction::ContextMenu : BandKeyAction::Swallow;
    return BandKeyAction::None;
}

int StepTab(int current, int step, int count) {
    if (count <= 0)
        return -1;
    if (current < 0 || current >= count)
        return step > 0 ? 0 : count - 1;
    const int moved = (current + step) % count;
    return moved < 0 ? moved + count : moved;
}

}  // namespace tw
