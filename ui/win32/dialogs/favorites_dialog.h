// The "Add To Favorites" dialog of a History row.
#pragma once

#include <string>

namespace tw {

class BandWindow;

// Offers name (made fit for a file name) and url as a new favorite; does
// nothing when url is empty. Both are trimmed of surrounding white space.
void RunAddToFavoritesDialog(BandWindow& band, const std::string& name, const std::string& url);

}  // namespace tw
