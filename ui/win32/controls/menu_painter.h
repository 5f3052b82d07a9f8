// Flat owner-drawn painting of the lists' context menus: each prepared item
// keeps its text and its command's image, and is measured and drawn here.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tw {

class ContextMenuPainter {
public:
    static constexpr int kImageWidth = 16;
    static constexpr int kImageHeight = 15;
    static constexpr int kButtonWidth = 22;
    static constexpr int kButtonHeight = 21;

    // A screen reader takes an owner-drawn item's text from the record its
    // data points to, when the record begins with the platform's menu
    // information for it.
    struct Item {
        MSAAMENUINFO accessible{};
        std::wstring wideText;
        std::string text;
        UINT type = 0;
        UINT state = 0;
        int image = -1;
    };

    // Image numbers by command; the image list is not owned.
    void SetImages(HIMAGELIST images, std::map<UINT, int> commandImages);
    // The sizes above are pixels at 96 dpi; the items are measured and
    // drawn at this DPI, with images of the image list's own size.
    void SetDpi(int dpi) { dpi_ = dpi > 0 ? dpi : 96; }

    // WM_INITMENUPOPUP: makes every item not yet owner-drawn owner-drawn.
    void PreparePopup(HMENU popup);
    // WM_MEASUREITEM / WM_DRAWITEM for prepared items; false for others.
    bool Measure(HWND owner, MEASUREITEMSTRUCT& measure) const;
    bool Draw(const DRAWITEMSTRUCT& draw) const;

    // WM_MENUCHAR in a prepared popup: the item whose access key was
    // typed is chosen, or selected when others share its key.
    LRESULT MenuChar(HMENU menu, char key) const;

    // The menu that was prepared has closed: its records go.
    void Forget();

    std::size_t PreparedPopups() const { return popups_.size(); }
    std::size_t PreparedItems() const { return items_.size(); }

private:
    const Item* ItemOf(ULONG_PTR data) const;
    int Px(int pixels) const;
    int ImageWidth() const;

    HIMAGELIST images_ = nullptr;
    int dpi_ = 96;
    std::map<UINT, int> commandImages_;
    std::vector<HMENU> popups_;
    std::vector<std::unique_ptr<Item>> items_;
};

}  // namespace tw
