// The band's keyboard apart from its windows: how the menu bar is entered,
// walked and left without a mouse, as the platform's own menu bar is, and
// the keys that switch tabs and open a row's context menu.
#pragma once

#include "ui/menu_bar_model.h"

namespace tw {

// Virtual-key codes, with the platform's values.
enum VirtualKey : int {
    kVkTab = 0x09,
    kVkReturn = 0x0D,
    kVkShift = 0x10,
    kVkControl = 0x11,
    kVkAlt = 0x12,
    kVkEscape = 0x1B,
    kVkSpace = 0x20,
    kVkLeft = 0x25,
    kVkUp = 0x26,
    kVkRight = 0x27,
    kVkDown = 0x28,
    kVkApps = 0x5D,
    kVkF10 = 0x79,
};

// A key going down or up, with the modifiers held at the time.
struct KeyPress {
    int key = 0;
    bool down = true;
    bool repeat = false;  // a press of a key held down
    bool alt = false;
    bool shift = false;
    bool control = false;
};

// The menu bar under the keyboard. Alt pressed and released alone, or F10,
// makes the first button hot; Left and Right move round the buttons; Down,
// Up, Enter or Space open the hot button's popup; Esc, Alt or F10 again
// leave. A button's access key opens it with Alt, or alone while the bar
// is hot. Esc in an open popup comes back to its button.
//
// "Alone" is strict: any other key's press or release between Alt's press
// and its release spoils it, and so does the focus moving or the window
// losing the activation (Disarm). While the bar is hot only plain letters
// and digits, the arrows, Enter, Space, Esc and F10 are the bar's; an Alt
// or Ctrl chord, or any other key, leaves the bar and goes on untouched,
// as it does from the platform's own menu mode, so that Alt+F4, Ctrl+W or
// Ctrl+C still reach the browser. Shift alone changes nothing.
class MenuBarKeys {
public:
    enum class Effect {
        None,
        Hot,    // show `button` hot with the keyboard cues (the bar takes the focus)
        Open,   // open the popup of `button`
        Leave,  // no button hot; the focus goes back where it was
    };
    struct Step {
        bool consumed = false;  // the key was the bar's: nobody else sees it
        Effect effect = Effect::None;
        int button = -1;
    };

    Step OnKey(const MenuBarModel& bar, const KeyPress& key);
    // A popup of the bar closed; escaped when Esc closed it at its own level.
    Step OnPopupClosed(int button, bool escaped);
    // The bar lost the focus, or the pointer went down elsewhere.
    Step OnLeft();
    // The focus moved or the activation went: a later release of Alt is
    // not "Alt alone".
    void Disarm() { altAlone_ = false; }
    // Whether the keyboard works the bar: a button is hot or its popup open.
    bool Active() const { return button_ >= 0; }
    int Button() const { return button_; }

private:
    Step Go(Effect effect, int button);

    int button_ = -1;
    bool altAlone_ = false;
};

// What a key pressed in the band does besides the menu bar's keys.
// Swallow: the release of a context menu key, whose default handling
// would open the menu a second time.
enum class BandKeyAction { None, NextTab, PreviousTab, ContextMenu, Swallow };
BandKeyAction BandKeyActionOf(const KeyPress& key);
// The tab `step` places from current, wrapping round; from no tab (-1) the
// first or the last. -1 when there are no tabs.
int StepTab(int current, int step, int count);

}  // namespace tw
