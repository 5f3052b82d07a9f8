// --add-favorite NAME URL [--favorite-icon FILE]: the band's Add to
// Favorites for a process that may write the Favorites folder, which the
// browser's low process may not. The favorite goes into the current user's
// Favorites folder and nowhere else, under NAME made fit for a file name,
// and never replaces one that is there.
#pragma once

#include <string>
#include <vector>

#include "core/ansi_text.h"
#include "report/favorites.h"

namespace tw {

struct FavoriteRequest {
    bool given = false;
    std::string name, url, icon;
};

// Takes argv[*i] (with its values) when it is one of the two options;
// *matched tells whether it was. False, with *error one line, when its
// values are missing or it is given twice.
bool ParseFavoriteOption(const std::vector<std::string>& args, std::size_t* i, FavoriteRequest* request,
                         bool* matched, std::string* error);

// False, with *error saying why, when the favorite was not written.
bool AddFavoriteFor(const FavoriteRequest& request, Registry& registry, FileSystem& files, Shell& shell,
                    InternetShortcutWriter& writer, const AnsiCodePage& codePage, std::string* error);

}  // namespace tw
