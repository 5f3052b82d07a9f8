// The buttons of the menu bar: the top-level items of its menu laid out
// left to right, their hit test and mnemonics, and the command list of a
// tool bar resource that gives each strip image its command.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace tw {

struct MenuBarButton {
    std::string text;  // with its '&' mnemonic marker
    int left = 0;
    int width = 0;
};

class MenuBarModel {
public:
    // Space left and right of a button's text.
    static constexpr int kTextPadding = 6;

    // textWidths[i] is the drawn width of texts[i]; missing or negative
    // widths count as 0.
    void SetButtons(const std::vector<std::string>& texts, const std::vector<int>& textWidths);
    int Count() const { return int(buttons_.size()); }
    // An empty button for an index outside the bar.
    const MenuBarButton& Button(int index) const;
    int TotalWidth() const;
    // The button under x, or -1; the left edge belongs to the button.
    int HitTest(int x) const;
    // The button whose access key is key (letters compared without case), or -1.
    int FindMnemonic(char key) const;
    // The button step places away, wrapping round; -1 on an empty bar.
    int Neighbour(int index, int step) const;

private:
    std::vector<MenuBarButton> buttons_;
};

// The character after the first single '&' ("&&" is a literal '&'), or 0.
char MnemonicOf(const std::string& text);
// The key that opens a button: its mnemonic, else the first letter or digit
// of its text, as the platform's own menus take it; 0 for none.
char AccessKeyOf(const std::string& text);
// The text as drawn with the keyboard cues on: its access key marked for
// underlining, whether the text marks it itself or not. Like every menu
// text it shows "&&" as one '&'.
std::string WithAccessKeyMarked(const std::string& text);
// The item of a popup that a typed key picks by the items' access keys,
// looking from the item after `highlighted` round to it; -1 for none.
// `only` tells whether no other item has that key.
int ItemOfKey(const std::vector<std::string>& texts, int highlighted, char key, bool* only);

// A tool bar resource: image width and height, the item count, then one
// command identifier per item (0 for a separator), little-endian. Two
// layouts exist: the Microsoft compiler's, 16-bit fields after a version
// field of 1, and the GNU compiler's (windres), 32-bit fields without a
// version.
struct ToolBarResource {
    int imageWidth = 0;
    int imageHeight = 0;
    std::vector<unsigned> commands;  // separators included
};

// False for a block that is neither layout: too short, of another version,
// or with an item count that does not fit its size.
bool ParseToolBarResource(const unsigned char* data, std::size_t size, ToolBarResource& out);

// Image number of each command: its position among the non-separator items.
// A command listed twice keeps its first image.
std::map<unsigned, int> CommandImageNumbers(const std::vector<unsigned>& commands);

}  // namespace tw
