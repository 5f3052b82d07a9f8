// The flat tab strip window, class "QvFlatTabCtrl".
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "ui/tab_strip_model.h"
#include "ui/win32/window/accessible.h"
#include "ui/win32/gdi.h"
#include "ui/win32/window/window_base.h"

namespace tw {

class FlatTabStrip : public Window<FlatTabStrip> {
public:
    static constexpr DWORD kStyleToolTip = 0x4000;
    static constexpr const char* kClassName = "QvFlatTabCtrl";
    // Posted by a screen reader's default action: change to tab wParam.
    static constexpr UINT kSwitchMessage = WM_USER + 100;

    HWND Create(HWND parent, const RECT& rect, UINT id, DWORD style);

    int AddItem(int index, const std::string& text);
    int GetCurSel() const { return model_.GetCurSel(); }
    // Makes a tab current and redraws the strip, without notifying anyone.
    bool SetCurrent(int index);
    // As a click on a tab: the parent may refuse the change, and is told
    // of it once made. False when nothing changed.
    bool ChangeTo(int index);
    const TabStripModel& Model() const { return model_; }
    int ClientHeight() const { return clientHeight_; }
    // The DPI the strip is drawn at: its window's at creation, then as the
    // band tells it. It sets the tabs' width and the fonts.
    int Dpi() const { return dpi_; }
    void SetDpi(int dpi);

    // Draws the whole strip into dc (WM_PAINT and WM_PRINTCLIENT).
    void Paint(HDC dc);

    static const std::vector<MessageEntry<FlatTabStrip>>& Messages();

private:
    void OnCreate(DWORD style);
    void MakeFonts();
    void OnLeftDown(int x);
    LRESULT Notify(int code);
    void DrawTab(HDC dc, int index, const TabColours& colours, HPEN shadow);

    UniqueWindow tooltip_;
    TabStripModel model_;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
    GdiObject<HFONT> normalFont_;
    GdiObject<HFONT> boldFont_;
    AccessibleSlot accessible_;
    int dpi_ = 96;
    // The texts' colours of the paint under way.
    Rgb text_, currentText_;
};

}  // namespace tw
