// What every dialog of the band shares: running a template modally with its
// object, reading a control's text, and the messages captioned "Tidewell".
#pragma once

#include <windows.h>

#include <memory>
#include <string>

namespace tw {

class BandWindow;

// A dialog object: OnMessage answers its messages once WM_INITDIALOG has
// handed it over; hwnd is the dialog window from then on. By default
// WM_INITDIALOG goes to OnInit and WM_COMMAND to OnCommand, which ends the
// dialog with 1 for OK and 2 for cancel.
class DialogObject {
public:
    virtual ~DialogObject() = default;
    virtual INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void OnInit() {}
    virtual void OnCommand(int id, int code);
    HWND hwnd = nullptr;
    // A dialog of a band ends as soon as the band has gone, and its
    // messages no longer reach the object.
    std::weak_ptr<void> bandLife;
    bool watchesBand = false;
    // The dialog and its controls are Unicode windows. A text box of an
    // ANSI dialog holds what the user types or pastes outside the code page
    // as a best-fit letter or a "?" already, which would match more than
    // was meant; a dialog whose box holds a text to match is wide, and its
    // text is read with ExactItemText.
    bool wide = false;
};

// Runs template id of module modally for object, owned by the window that
// is active now, with the module's common controls; the dialog's result,
// or -1 when it could not be made.
INT_PTR RunModalDialog(HINSTANCE module, int id, DialogObject& object);
// The same for a dialog of band, from the band's module; -1 too when the
// band went while the dialog ran (the caller must then leave it alone).
INT_PTR RunBandDialog(BandWindow& band, int id, DialogObject& object);

// The text of a control, at most `most` characters.
std::string ItemText(HWND dialog, int id, int most);
// The box's text, at most `most` characters, in the ANSI code page the
// stores use. When some character has no exact equal there, the user is
// told so, the box gets the focus, and the answer is false.
bool ExactItemText(HWND dialog, int id, int most, std::string* text);
bool IsChecked(HWND dialog, int id);
void SetChecked(HWND dialog, int id, bool checked);

// A message box captioned "Tidewell", owned by owner.
int ShowMessageBox(HWND owner, const char* text, UINT flags);

// Whether the band keeps its settings where newer systems put them.
bool BandUsesNewSystem(BandWindow& band);

}  // namespace tw
