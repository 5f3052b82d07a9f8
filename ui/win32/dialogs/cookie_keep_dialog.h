// "Cookies to keep": the list of sites whose cookies survive a cleanup,
// opened by the "Sites..." button of the Cookies cleanup dialog.
#pragma once

namespace tw {

class BandWindow;

// Runs the dialog over the stored list; OK stores the list as edited and
// marks the Cookies list's rows afresh. Answers whether the list is now
// not empty (also after Cancel, which leaves it as it was).
bool RunCookieKeepDialog(BandWindow& band);

}  // namespace tw
