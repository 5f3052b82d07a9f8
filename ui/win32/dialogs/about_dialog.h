// The About dialog with its hyperlink controls.
#pragma once

#include <windows.h>

#include <string>

#include "platform/registry.h"
#include "platform/shell.h"
#include "ui/colour_math.h"
#include "platform/win32/handles.h"
#include "ui/win32/gdi.h"

namespace tw {

class BandWindow;

// A static control of a dialog taken over to show a link: underlined text
// in the browser's link colours, the hand cursor, a tooltip with the target,
// and the shell opening the target on a click.
class Hyperlink {
public:
    Hyperlink() = default;
    ~Hyperlink();
    Hyperlink(const Hyperlink&) = delete;
    Hyperlink& operator=(const Hyperlink&) = delete;

    // Also the text of the tooltip, which may be made already.
    void SetTarget(const std::string& target);
    void SetLabel(const std::string& label);
    // Colours come from the browser's settings in registry; shell opens the
    // target. Both must outlive the control.
    bool Attach(HWND control, Registry& registry, Shell& shell);

    Rgb LinkColour() const { return link_; }
    Rgb VisitedColour() const { return visitedColour_; }
    bool Visited() const { return visited_; }
    void Click();

private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc);

    HWND hwnd_ = nullptr;
    UniqueWindow tip_;
    Shell* shell_ = nullptr;
    std::string target_;
    std::string label_;
    Rgb link_ = {0, 0, 255};
    Rgb visitedColour_ = {128, 0, 128};
    bool visited_ = false;
    bool hover_ = false;
    bool tracking_ = false;
    bool text_ = true;
    HCURSOR cursor_ = nullptr;
    GdiObject<HFONT> font_;
};

void RunAboutDialog(BandWindow& band);

}  // namespace tw
