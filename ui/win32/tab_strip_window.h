// The flat tab strip window, class "QvFlatTabCtrl".
#pragma once

#include <windows.h>

#include <string>

#include "ui/tab_strip_model.h"
#include "ui/win32/gdi.h"

namespace tw {

class FlatTabStrip {
public:
    static constexpr DWORD kStyleToolTip = 0x4000;
    static constexpr const char* kClassName = "QvFlatTabCtrl";

    FlatTabStrip() = default;
    FlatTabStrip(const FlatTabStrip&) = delete;
    FlatTabStrip& operator=(const FlatTabStrip&) = delete;
    ~FlatTabStrip();

    HWND Create(HWND parent, const RECT& rect, UINT id, DWORD style);
    HWND Handle() const { return hwnd_; }

    int AddItem(int index, const std::string& text);
    int GetCurSel() const { return model_.GetCurSel(); }
    // Makes a tab current and redraws the strip, without notifying anyone.
    bool SetCurrent(int index);
    const TabStripModel& Model() const { return model_; }

    // Draws the whole strip into dc (WM_PAINT and WM_PRINTCLIENT).
    void Paint(HDC dc);

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
    void OnCreate(DWORD style);
    void OnLeftDown(int x);
    LRESULT Notify(int code);
    void DrawTab(HDC dc, int index, const TabColours& colours, HPEN shadow);

    HWND hwnd_ = nullptr;
    HWND tooltip_ = nullptr;
    TabStripModel model_;
    int clientWidth_ = 0;
    int clientHeight_ = 0;
    GdiObject<HFONT> normalFont_;
    GdiObject<HFONT> boldFont_;
};

}  // namespace tw
