// What the band window hands on: the lists' notifications with the actions
// on their rows, and the commands that open dialogs.
#pragma once

#include <windows.h>

#include <string>

#include "ui/band_window_model.h"

namespace tw {

class BandWindow;

// WM_NOTIFY codes of the lists; every code answers 0.
LRESULT HandleListNotify(BandWindow& band, const NMHDR& header);
// The current list's context menu, asked for from the keyboard: it opens
// at the current row rather than at the pointer.
void ShowRowMenuFromKeyboard(BandWindow& band);

// The menu commands that run a dialog.
void RunDialogCommand(BandWindow& band, Command command);

// The context menu that a right click on the current list offers now (a
// menu resource), or 0 for none.
int RowMenuOfCurrentList(BandWindow& band);
// Runs a context menu command on the current list, as the menu's choice
// does.
void RunRowCommand(BandWindow& band, int command);

// The text that the Cookie Details box shows for a cookie file; empty when
// the file cannot be read.
std::string ReadCookieDetails(const std::string& path);
// The modal Cookie Details dialog (template 214) on file; answers 1 for OK,
// 2 for cancel.
INT_PTR RunCookieDetailsDialog(BandWindow& band, const std::string& file);

}  // namespace tw
