#include "ui/menu_bar_model.h"

#include <cctype>
#include <cstdint>

namespace tw {
namespace {

// Letters match in either case; a text without a key matches none.
bool HasAccessKey(const std::string& text, char key) {
    const char own = AccessKeyOf(text);
    return own != 0 && std::toupper(static_cast<unsigned char>(own)) == std::toupper(static_cast<unsigned char>(key));
}

}  // namespace

void MenuBarModel::SetButtons(const std::vector<std::string>& texts, const std::vector<int>& textWidths) {
    buttons_.clear();
    int left = 0;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const int text = i < textWidths.size() && textWidths[i] > 0 ? textWidths[i] : 0;
        MenuBarButton button{texts[i], left, text + 2 * kTextPadding};
        left += button.width;
        buttons_.push_back(button);
    }
}

const MenuBarButton& MenuBarModel::Button(int index) const {
    static const MenuBarButton none;
    return index >= 0 && index < Count() ? buttons_[std::size_t(index)] : none;
}

int MenuBarModel::TotalWidth() const { return buttons_.empty() ? 0 : buttons_.back().left + buttons_.back().width; }

int MenuBarModel::HitTest(int x) const {
    for (int i = 0; i < Count(); ++i) {
        const MenuBarButton& b = buttons_[std::size_t(i)];
        if (x >= b.left && x < b.left + b.width)
            return i;
    }
    return -1;
}

int MenuBarModel::FindMnemonic(char key) const {
    for (int i = 0; i < Count(); ++i) {
        if (HasAccessKey(buttons_[std::size_t(i)].text, key))
            return i;
    }
    return -1;
}

int MenuBarModel::Neighbour(int index, int step) const {
    const int n = Count();
    if (n == 0)
        return -1;
    const int moved = (index + step) % n;
    return moved < 0 ? moved + n : moved;
}

char MnemonicOf(const std::string& text) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&')
            continue;
        if (text[i + 1] != '&')
            return text[i + 1];
        ++i;  // "&&" shows one '&'
    }
    return 0;
}

char AccessKeyOf(const std::string& text) {
    if (const char marked = MnemonicOf(text))
        return marked;
    for (const char c : text)
        if (std::isalnum(static_cast<unsigned char>(c)))
            return c;
    return 0;
}

std::string WithAccessKeyMarked(const std::string& text) {
    if (MnemonicOf(text))
        return text;
    const char key = AccessKeyOf(text);
    // Its '&' are all doubled already ("&&" shows one); the first letter or
    // digit is the key, and never one of them.
    const std::size_t at = text.find(key);
    return key == 0 ? text : text.substr(0, at) + '&' + text.substr(at);
}

int ItemOfKey(const std::vector<std::string>& texts, int highlighted, char key, bool* only) {
    const int count = int(texts.size());
    int found = -1, matches = 0;
    for (int step = 1; step <= count; ++step) {
        const int i = ((highlighted < 0 ? -1 : highlighted) + step) % count;
        if (HasAccessKey(texts[std::size_t(i)], key)) {
            found = matches == 0 ? i : found;
            ++matches;
        }
    }
    if (only)
        *only = matches == 1;
    return found;
}

bool ParseToolBarResource(const unsigned char* data, std::size_t size, ToolBarResource& out) {
    if (!data)
        return false;
    const auto word = [data](std::size_t i) { return unsigned(data[2 * i]) | unsigned(data[2 * i + 1]) << 8; };
    const auto dword = [data](std::size_t i) {
        return std::uint32_t(data[4 * i]) | std::uint32_t(data[4 * i + 1]) << 8 |
               std::uint32_t(data[4 * i + 2]) << 16 | std::uint32_t(data[4 * i + 3]) << 24;
    };
    out = ToolBarResource{};
    if (size >= 12 && size % 4 == 0 && dword(2) == (size - 12) / 4 && dword(0) <= 0xFFFF && dword(1) <= 0xFFFF) {
        out.imageWidth = int(dword(0));
        out.imageHeight = int(dword(1));
        for (std::size_t i = 0; i < dword(2); ++i)
            out.commands.push_back(unsigned(dword(3 + i)));
        return true;
    }
    if (size < 8 || word(0) != 1)
        return false;
    const std::size_t count = word(3);
    if (size / 2 < 4 + count)
        return false;
    out.imageWidth = int(word(1));
    out.imageHeight = int(word(2));
    for (std::size_t i = 0; i < count; ++i)
        out.commands.push_back(word(4 + i));
    return true;
}

std::map<unsigned, int> CommandImageNumbers(const std::vector<unsigned>& commands) {
    std::map<unsigned, int> images;
    int image = 0;
    for (unsigned command : commands)
        if (command != 0)
            images.emplace(command, image++);
    return images;
}

}  // namespace tw
