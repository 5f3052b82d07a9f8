#include "tools/clean/add_favorite.h"

namespace tw {

bool ParseFavoriteOption(const std::vector<std::string>& args, std::size_t* i, FavoriteRequest* request,
                         bool* matched, std::string* error) {
    const std::string& arg = args[*i];
    *matched = arg == "--add-favorite" || arg == "--favorite-icon";
    if (!*matched)
        return true;
    const std::size_t values = arg == "--add-favorite" ? 2 : 1;
    if (*i + values >= args.size()) {
        *error = arg + (values == 2 ? " needs a name and a URL" : " needs an icon file");
        return false;
    }
    std::string& first = values == 2 ? request->name : request->icon;
    if ((values == 2 && request->given) || (values == 1 && !request->icon.empty())) {
        *error = arg + " is given twice";
        return false;
    }
    first = args[++*i];
    if (values == 2) {
        request->url = args[++*i];
        request->given = true;
    }
    return true;
}

bool AddFavoriteFor(const FavoriteRequest& request, Registry& registry, FileSystem& files, Shell& shell,
                    InternetShortcutWriter& writer, const AnsiCodePage& codePage, std::string* error) {
    const std::string description = CleanDescription(request.name, codePage);
    std::string folder;
    if (description.empty() || request.url.empty()) {
        *error = "--add-favorite: the name or the URL is empty";
    } else if (!FavoritesFolder(registry, shell, &folder)) {
        *error = "--add-favorite: the Favorites folder is not found";
    } else {
        const std::string name = FitFavoriteName(folder, description, codePage);
        if (name.empty())
            *error = "--add-favorite: the Favorites folder's path leaves no room for the name";
        else if (FavoriteExists(files, folder, name, codePage))
            *error = "--add-favorite: a favorite named \"" + name + "\" is there already";
        else if (!writer.Write(folder + name + ".url", request.url, request.icon, description))
            *error = "--add-favorite: the favorite could not be written";
        else
            return true;
    }
    return false;
}

}  // namespace tw
