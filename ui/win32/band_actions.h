// What the band window hands on: the lists' notifications with the actions
// on their rows, and the commands that open dialogs.
#pragma once

#include <windows.h>

#include "ui/band_window_model.h"

namespace tw {

class BandWindow;

// WM_NOTIFY codes of the lists; every code answers 0.
LRESULT HandleListNotify(BandWindow& band, const NMHDR& header);

// The menu commands that run a dialog.
void RunDialogCommand(BandWindow& band, Command command);

}  // namespace tw
