#include "ui/win32/band_actions.h"

#include "ui/win32/band_window.h"

namespace tw {

void RunDialogCommand(BandWindow& band, Command command) {
}

}  // namespace tw
