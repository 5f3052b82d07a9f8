// The three cleanup dialogs, the Options dialog and the Find dialog: the
// modal dialogs of the menu bar that hand their work to the band window.
#pragma once

#include <cstdint>

namespace tw {

class BandWindow;

// Store 1 (History), 2 (Cookies) or 3 (Cache); each Clean Up runs inside
// the dialog, which stays open until Close.
void RunCleanupDialog(BandWindow& band, std::int32_t store);
// Reloads the band's settings when the dialog ends with OK.
void RunOptionsDialog(BandWindow& band);
void RunFindDialog(BandWindow& band);
// Marks the stores' index files for removal at the next restart.
void RunIndexRemovalDialog(BandWindow& band);

}  // namespace tw
