// What every dialog of the band shares: running a template modally with its
// object, reading a control's text, and the messages captioned "Tidewell".
#pragma once

#include <windows.h>

#include <string>

namespace tw {

class BandWindow;

// A dialog object: Handle() answers its messages once WM_INITDIALOG has
// handed it over; hwnd is the dialog window from then on.
class DialogObject {
public:
    virtual ~DialogObject() = default;
    virtual INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    HWND hwnd = nullptr;
};

// Runs template id of module modally for object, owned by the window that
// is active now, with the module's common controls; the dialog's result,
// or -1 when it could not be made.
INT_PTR RunModalDialog(HINSTANCE module, int id, DialogObject& object);

// The text of a control, at most `most` characters.
std::string ItemText(HWND dialog, int id, int most);
bool IsChecked(HWND dialog, int id);
void SetChecked(HWND dialog, int id, bool checked);

// A message box captioned "Tidewell", owned by owner.
int ShowMessageBox(HWND owner, const char* text, UINT flags);

// Whether the band keeps its settings where newer systems put them.
bool BandUsesNewSystem(BandWindow& band);

}  // namespace tw
