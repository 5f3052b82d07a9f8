#include "ui/win32/controls/menu_painter.h"

#include <algorithm>

#include "ui/colour_math.h"
#include "ui/dpi_scale.h"
#include "ui/win32/window/dpi.h"
#include "ui/win32/window/system_palette.h"
#include "ui/menu_bar_model.h"
#include "platform/win32/handles.h"
#include "ui/win32/gdi.h"
#include "ui/win32/window/paint_util.h"

namespace tw {
namespace {

GdiObject<HFONT> MenuFont(bool bold, int dpi) {
    LOGFONTA lf = SystemFontAtDpi(SystemFont::Menu, dpi);
    if (bold)
        lf.lfWeight = std::min<LONG>(lf.lfWeight + 200, FW_HEAVY);
    return GdiObject<HFONT>(CreateFontIndirectA(&lf));
}

}  // namespace

int ContextMenuPainter::Px(int pixels) const { return ScaleToDpi(pixels, dpi_); }

int ContextMenuPainter::ImageWidth() const {
    int cx = 0, cy = 0;
    return images_ && ImageList_GetIconSize(images_, &cx, &cy) ? cx : Px(kImageWidth);
}

void ContextMenuPainter::SetImages(HIMAGELIST images, std::map<UINT, int> commandImages) {
    images_ = images;
    commandImages_ = std::move(commandImages);
}

void ContextMenuPainter::PreparePopup(HMENU popup) {
    const int count = GetMenuItemCount(popup);
    if (count <= 0)
        return;
    bool prepared = false;
    for (int i = 0; i < count; ++i) {
        char text[256] = {};
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text - 1;
        if (!GetMenuItemInfoA(popup, UINT(i), TRUE, &info) || (info.fType & MFT_OWNERDRAW))
            continue;
        auto item = std::make_unique<Item>();
        item->text = text;
        const int wide = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
        item->wideText.resize(std::size_t(wide > 1 ? wide - 1 : 0));
        if (wide > 1)
            MultiByteToWideChar(CP_ACP, 0, text, -1, &item->wideText[0], wide);
        item->accessible.dwMSAASignature = MSAA_MENU_SIG;
        item->accessible.cchWText = DWORD(item->wideText.size());
        item->accessible.pszWText = &item->wideText[0];
        item->type = info.fType;
        item->state = info.fState;
        const auto image = commandImages_.find(info.wID);
        item->image = image == commandImages_.end() ? -1 : image->second;
        MENUITEMINFOA owner{};
        owner.cbSize = sizeof owner;
        owner.fMask = MIIM_FTYPE | MIIM_DATA;
        owner.fType = info.fType | MFT_OWNERDRAW;
        owner.dwItemData = reinterpret_cast<ULONG_PTR>(item.get());
        if (SetMenuItemInfoA(popup, UINT(i), TRUE, &owner)) {
            items_.push_back(std::move(item));
            prepared = true;
        }
    }
    if (prepared && std::find(popups_.begin(), popups_.end(), popup) == popups_.end())
        popups_.push_back(popup);
}

LRESULT ContextMenuPainter::MenuChar(HMENU menu, char key) const {
    std::vector<std::string> texts;
    int highlighted = -1;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_DATA | MIIM_STATE;
        const Item* item = GetMenuItemInfoA(menu, UINT(i), TRUE, &info) ? ItemOf(info.dwItemData) : nullptr;
        texts.push_back(item && !(item->type & MFT_SEPARATOR) ? item->text : std::string());
        if (info.fState & MFS_HILITE)
            highlighted = i;
    }
    bool only = false;
    const int item = ItemOfKey(texts, highlighted, key, &only);
    return item < 0 ? MAKELRESULT(0, MNC_IGNORE) : MAKELRESULT(item, only ? MNC_EXECUTE : MNC_SELECT);
}

void ContextMenuPainter::Forget() {
    popups_.clear();
    items_.clear();
}

const ContextMenuPainter::Item* ContextMenuPainter::ItemOf(ULONG_PTR data) const {
    for (const auto& item : items_)
        if (reinterpret_cast<ULONG_PTR>(item.get()) == data)
            return item.get();
    return nullptr;  // not ours: the data came from elsewhere
}

bool ContextMenuPainter::Measure(HWND owner, MEASUREITEMSTRUCT& measure) const {
    if (measure.CtlType != ODT_MENU)
        return false;
    const Item* item = ItemOf(measure.itemData);
    if (!item)
        return false;
    // The system's metrics are made for the system's DPI.
    const int menuHeight = ScaleBetweenDpi(GetSystemMetrics(SM_CYMENU), SystemDpi(), dpi_);
    if (item->type & MFT_SEPARATOR) {
        measure.itemHeight = UINT(menuHeight / 2);
        measure.itemWidth = 0;
        return true;
    }
    const WindowDc dc = GetWindowDc(owner);
    if (!dc)
        return false;
    GdiObject<HFONT> font = MenuFont((item->state & MFS_DEFAULT) != 0, dpi_);
    RECT rc{};
    {
        SelectInto select(dc.Get(), font.Get());
        DrawTextA(dc.Get(), item->text.c_str(), int(item->text.size()), &rc,
                  DT_SINGLELINE | DT_LEFT | DT_VCENTER | DT_CALCRECT | DT_EXPANDTABS);
    }
    measure.itemHeight = UINT(menuHeight + Px(3));
    const int check = ScaleBetweenDpi(GetSystemMetrics(SM_CXMENUCHECK), SystemDpi(), dpi_);
    measure.itemWidth = UINT(std::max<LONG>(0, rc.right + 2 * Px(kButtonWidth) - check + Px(6)));
    return true;
}

bool ContextMenuPainter::Draw(const DRAWITEMSTRUCT& draw) const {
    if (draw.CtlType != ODT_MENU)
        return false;
    const Item* item = ItemOf(draw.itemData);
    if (!item)
        return false;
    HDC dc = draw.hDC;
    RECT rc = draw.rcItem;
    const bool selected = (draw.itemState & ODS_SELECTED) != 0;
    const bool disabled = (draw.itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
    const bool checked = (draw.itemState & ODS_CHECKED) != 0;
    const Palette palette = CurrentPalette();
    const int imageWidth = ImageWidth();
    const int imageHeight = imageWidth == kImageWidth ? kImageHeight : imageWidth;
    if (selected && !disabled) {
        GradientHorizontal(dc, rc, Ref(palette.hotOuterFrom), Ref(palette.hotOuterTo));
        RECT inner = rc;
        InflateRect(&inner, -Px(2), -Px(2));
        GradientHorizontal(dc, inner, Ref(palette.hotInnerFrom), Ref(palette.hotInnerTo));
    } else {
        RECT strip{rc.left, rc.top, rc.left + imageWidth + Px(6), rc.bottom};
        RECT rest{strip.right, rc.top, rc.right, rc.bottom};
        FillSolid(dc, strip, Ref(palette.itemStrip));
        FillSolid(dc, rest, Ref(palette.itemBack));
    }
    if (item->type & MFT_SEPARATOR) {
        const int y = rc.top + (rc.bottom - rc.top) / 2;
        RECT line{rc.left + imageWidth + Px(8), y, rc.right - Px(2), y + 1};
        FillSolid(dc, line, Ref(palette.separator));
        return true;
    }
    const int imageTop = rc.top + (rc.bottom - rc.top - imageHeight) / 2;
    if (checked) {
        RECT frame{rc.left + 1, rc.top + 1, rc.left + imageWidth + Px(5), rc.bottom - 1};
        const Rgb fill = disabled ? palette.checkFillDisabled : selected ? palette.checkFillSelected : palette.checkFill;
        FillSolid(dc, frame, Ref(fill));
        GdiObject<HBRUSH> border(CreateSolidBrush(Ref(palette.checkFrame)));
        FrameRect(dc, &frame, border.Get());
    }
    if (item->image >= 0 && images_) {
        if (disabled) {
            ImageList_DrawEx(images_, item->image, dc, rc.left + Px(3), imageTop, 0, 0, CLR_NONE, CLR_DEFAULT,
                             ILD_BLEND50);
        } else {
            if (selected)
                ImageList_DrawEx(images_, item->image, dc, rc.left + Px(3) + 1, imageTop + 1, 0, 0, CLR_NONE,
                                 GetSysColor(COLOR_3DSHADOW), ILD_MASK | ILD_BLEND50);
            ImageList_Draw(images_, item->image, dc, rc.left + Px(3), imageTop, ILD_TRANSPARENT);
        }
    } else if (checked) {
        RECT mark{rc.left + Px(3), imageTop, rc.left + Px(3) + imageWidth, imageTop + imageHeight};
        DrawFrameControl(dc, &mark, DFC_MENU, DFCS_MENUCHECK);
    }
    GdiObject<HFONT> font = MenuFont((item->state & MFS_DEFAULT) != 0, dpi_);
    SelectInto select(dc, font.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Ref(disabled ? palette.disabledText : selected ? palette.selectedText : palette.itemText));
    RECT text{rc.left + imageWidth + Px(14), rc.top, rc.right - Px(12), rc.bottom};
    const std::string::size_type tab = item->text.find('\t');
    const std::string label = item->text.substr(0, tab);
    DrawTextA(dc, label.c_str(), int(label.size()), &text, DT_SINGLELINE | DT_LEFT | DT_VCENTER);
    if (tab != std::string::npos) {
        const std::string accel = item->text.substr(tab + 1);
        DrawTextA(dc, accel.c_str(), int(accel.size()), &text, DT_SINGLELINE | DT_RIGHT | DT_VCENTER);
    }
    return true;
}

}  // namespace tw
