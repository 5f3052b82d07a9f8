// The band's keyboard: the menu bar's keys and the band's own.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "ui/band_keys.h"

namespace tw {
namespace {

// Words of a key script: "alt" (pressed and released), "alt-down",
// "alt-repeat" (held down), "alt-up", "altgr" (Alt with Ctrl held, pressed
// and released), a key name (pressed), "up:" before one (released), "A-"
// before one (with Alt), "C-" (with Ctrl), "S-" (with Shift), "#" before a
// key's code; and what befalls the bar: "escaped", "closed" (its popup, of
// the button last opened), "away" (the focus went elsewhere from the bar),
// "moved" (the focus moved, or the activation went).
std::vector<KeyPress> Presses(const std::string& word) {
    static const std::vector<std::pair<std::string, int>> names = {
        {"left", kVkLeft},   {"right", kVkRight}, {"down", kVkDown}, {"up", kVkUp},     {"enter", kVkReturn},
        {"space", kVkSpace}, {"esc", kVkEscape},  {"F10", kVkF10},   {"tab", kVkTab}, {"apps", kVkApps}};
    if (word == "alt")
        return {{kVkAlt, true, false, true}, {kVkAlt, false, false, false}};
    if (word == "altgr")
        return {{kVkAlt, true, false, true, false, true}, {kVkAlt, false, false, false, false, true}};
    if (word == "alt-down" || word == "alt-up")
        return {{kVkAlt, word == "alt-down", false, word == "alt-down"}};
    if (word == "alt-repeat")
        return {{kVkAlt, true, true, true}};
    KeyPress key;
    std::string name = word;
    for (;;) {
        if (name.compare(0, 2, "A-") == 0)
            key.alt = true;
        else if (name.compare(0, 2, "C-") == 0)
            key.control = true;
        else if (name.compare(0, 2, "S-") == 0)
            key.shift = true;
        else if (name.compare(0, 3, "up:") == 0)
            key.down = false;
        else
            break;
        name = name.substr(name[1] == '-' ? 2 : 3);
    }
    key.key = name.size() == 1 ? std::toupper(name[0]) : name[0] == '#' ? std::atoi(name.c_str() + 1) : 0;
    for (const auto& [n, code] : names)
        if (n == name)
            key.key = code;
    return {key};
}

// Each step as '+' when consumed or '-', then H, O or L and the button for
// an effect; then the button the keyboard works, or "idle".
std::string Play(MenuBarKeys& keys, const MenuBarModel& bar, const std::vector<std::string>& script) {
    std::ostringstream out;
    int opened = -1;
    for (const std::string& word : script) {
        std::vector<MenuBarKeys::Step> steps;
        if (word == "escaped" || word == "closed")
            steps.push_back(keys.OnPopupClosed(opened, word == "escaped"));
        else if (word == "away")
            steps.push_back(keys.OnLeft());
        else if (word == "moved")
            keys.Disarm();
        else
            for (const KeyPress& key : Presses(word))
                steps.push_back(keys.OnKey(bar, key));
        for (const MenuBarKeys::Step& s : steps) {
            out << (s.consumed ? '+' : '-');
            switch (s.effect) {
            case MenuBarKeys::Effect::Hot: out << 'H' << s.button; break;
            case MenuBarKeys::Effect::Open: out << 'O' << s.button, opened = s.button; break;
            case MenuBarKeys::Effect::Leave: out << 'L'; break;
            case MenuBarKeys::Effect::None: break;
            }
            out << ' ';
        }
    }
    out << (keys.Active() ? "at " + std::to_string(keys.Button()) : std::string("idle"));
    return out.str();
}

struct KeyCase {
    const char* name;
    std::vector<std::string> script;
    const char* record;
    std::vector<std::string> buttons = {"File", "Clean", "Edit", "Settings", "Help"};  // without '&' markers
};

// clang-format off
const KeyCase kKeyCases[] = {
    {"AltAloneEntersAndTheArrowsWrap", {"alt", "left", "right", "right", "right"}, "+ +H0 +H4 +H0 +H1 +H2 at 2"},
    {"F10EntersAndLeaves", {"F10", "F10"}, "+H0 +L idle"},
    {"OpeningKeysOpenTheHotButton", {"alt", "right", "down", "escaped", "up", "escaped", "enter", "escaped", "space",
                                     "closed"},
     "+ +H0 +H1 +O1 +H1 +O1 +H1 +O1 +H1 +O1 +L idle"},
    {"EscOrAltAgainLeaves", {"alt", "esc", "alt", "alt"}, "+ +H0 +L + +H0 + +L idle"},
    {"AltWithAnotherKeyIsNoEntry", {"alt-down", "A-d", "alt-up", "altgr"}, "+ - - + - idle"},
    {"AltAndAnAccessKeyOpens", {"A-c", "escaped", "away", "A-f", "escaped", "f"}, "+O1 +H1 +L +O0 +H0 +O0 at 0"},
    {"AnAccessKeyAloneOpensOnlyWhileHot", {"s", "alt", "s", "closed"}, "- + +H0 +O3 +L idle"},
    // While hot, a letter is the bar's even when it opens nothing; any other
    // key leaves the bar and goes on.
    {"WhileHotLettersAreTheBarsAndOtherKeysLeave", {"F10", "x", "tab", "up:down"}, "+H0 + -L - idle"},
    // Alt and Ctrl chords leave and go on: Alt+F4, Ctrl+W, Ctrl's own press.
    {"WhileHotChordsLeaveAndGoOn", {"F10", "A-#115", "alt", "C-w", "F10", "C-#17", "c"},
     "+H0 -L + +H0 -L +H0 -L - idle"},
    {"WhileHotShiftAloneStays", {"F10", "#16", "S-c", "closed"}, "+H0 - +O1 +L idle"},
    // Any key between Alt's press and release spoils it, even a release
    // alone (Print Screen, whose press the system keeps), or Shift; a
    // repeat of Alt itself does not.
    {"AnyKeyEventBetweenSpoilsAltAlone",
     {"alt-down", "up:A-#44", "alt-up", "alt-down", "#16", "up:#16", "alt-up", "alt-down", "alt-repeat", "alt-up"},
     "+ - - + - - - + + +H0 at 0"},
    {"TheFocusMovingDisarmsAltAlone", {"alt-down", "moved", "alt-up", "F10", "alt-down", "moved", "alt-up"},
     "+ - +H0 + - at 0"},
    {"ShiftF10AndAClosedPopupOfNoButtonAreNotTheBars", {"S-F10", "closed", "away"}, "- +L - idle"},
    {"ReleasingOtherKeysIsNotTheBars", {"up:F10", "up:esc"}, "- - idle"},
    {"AltReleasedAfterTheFocusWentIsNoEntry", {"alt-down", "away", "alt-up"}, "+ - - idle"},
    // Letters and digits are access keys; a numeric keypad key whose code is
    // that of a small letter is none.
    {"AccessKeysAreLettersAndDigits", {"A-a", "closed", "A-z", "closed", "A-0", "closed", "A-9", "closed", "A-#97"},
     "+O0 +L +O1 +L +O2 +L +O3 +L - idle", {"about", "Zoom", "0 in", "9 out"}},
    {"AnEmptyBarTakesNoKey", {"alt", "F10", "A-f"}, "- - - - idle", {}},
};
// clang-format on

class MenuBarKeyScripts : public ::testing::TestWithParam<KeyCase> {};

TEST_P(MenuBarKeyScripts, Run) {
    MenuBarModel bar;
    bar.SetButtons(GetParam().buttons, {});
    MenuBarKeys keys;
    EXPECT_EQ(Play(keys, bar, GetParam().script), GetParam().record);
}

INSTANTIATE_TEST_SUITE_P(Keys, MenuBarKeyScripts, ::testing::ValuesIn(kKeyCases),
                         [](const ::testing::TestParamInfo<KeyCase>& info) { return info.param.name; });

TEST(BandKeys, TabsAndContextMenuKeys) {
    const auto word = [](const char* w, bool control = false) {
        KeyPress key = Presses(w).front();
        key.control = control;
        return BandKeyActionOf(key);
    };
    using A = BandKeyAction;
    for (auto [w, control, action] :
         {std::tuple{"tab", true, A::NextTab}, {"S-tab", true, A::PreviousTab}, {"tab", false, A::None},
          {"up:tab", true, A::None}, {"A-tab", true, A::None}, {"S-F10", false, A::ContextMenu}, {"F10", false, A::None},
          {"S-F10", true, A::None}, {"apps", false, A::ContextMenu}, {"up:apps", false, A::Swallow},
          {"up:S-F10", false, A::Swallow}, {"apps", true, A::None}})
        EXPECT_EQ(word(w, control), action) << w << " " << control;
    for (auto [current, step, count, to] : {std::tuple{0, 1, 3, 1}, {2, 1, 3, 0}, {0, -1, 3, 2}, {-1, 1, 3, 0},
                                            {-1, -1, 3, 2}, {3, 1, 3, 0}, {0, 1, 0, -1}})
        EXPECT_EQ(StepTab(current, step, count), to) << current << " " << step << " " << count;
}

}  // namespace
}  // namespace tw
