#include "report/favorites.h"

#include <cstring>

#include "platform/win_errors.h"
#include "settings/settings_store.h"

namespace tw {

const char kUserShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

namespace {

const std::size_t kBoxLimit = 259;
const std::size_t kPathLimit = 260;

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// The name without its first ".url" extension, found without regard to
// case since the file system finds it so.
std::string WithoutUrlExtension(const std::string& name, const AnsiCodePage& codePage) {
    for (std::size_t i = 0; i + 4 <= name.size(); ++i) {
        if (name[i] == '.' && LowerAscii(name[i + 1]) == 'u' && LowerAscii(name[i + 2]) == 'r' &&
            LowerAscii(name[i + 3]) == 'l')
            return name.substr(0, i);
        if (codePage.IsLeadByte(static_cast<unsigned char>(name[i])))
            ++i;
    }
    return name;
}

}  // namespace

std::string CleanDescription(const std::string& text, const AnsiCodePage& codePage) {
    static const char kRefused[] = ":\\/+;><!?|\"'";
    std::string out = text;
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (codePage.IsLeadByte(static_cast<unsigned char>(out[i]))) {
            ++i;
            continue;
        }
        if (out[i] != '\0' && std::strchr(kRefused, out[i]))
            out[i] = '_';
    }
    return out;
}

bool SameFileName(const std::string& a, const std::string& b, const AnsiCodePage& codePage) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (codePage.IsLeadByte(static_cast<unsigned char>(a[i]))) {
            if (a[i] != b[i])
                return false;
            if (i + 1 < a.size()) {
                ++i;
                if (a[i] != b[i])
                    return false;
            }
            continue;
        }
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    }
    return true;
}

bool FavoritesFolder(Registry& registry, Shell& shell, std::string* folder) {
    RegKey key(registry);
    if (key.Open(RegRoot::CurrentUser, kUserShellFolders, false) != kErrorSuccess)
        return false;
    std::string stored;
    if (!ReadString(key, "Favorites", kPathLimit, &stored))
        stored.clear();
    key.Reset();
    std::string expanded = shell.ExpandEnvironment(stored.c_str());
    if (expanded.size() > kPathLimit - 1)
        expanded.resize(kPathLimit - 1);
    // An absent or empty value names no folder; "\" alone would put the
    // favorite at the root of the current drive.
    if (expanded.empty())
        return false;
    if (expanded.back() != '\\')
        expanded += '\\';
    *folder = expanded;
    return true;
}

std::string FitFavoriteName(const std::string& folder, const std::string& description,
                            const AnsiCodePage& codePage) {
    const std::size_t extension = 4;  // ".url"
    if (folder.size() + extension >= kPathLimit - 1)
        return std::string();
    const std::size_t room = kPathLimit - 1 - folder.size() - extension;
    std::size_t end = 0;
    while (end < description.size()) {
        const bool pair = codePage.IsLeadByte(static_cast<unsigned char>(description[end])) && end + 1 < description.size();
        const std::size_t next = end + (pair ? 2 : 1);
        if (next > room)
            break;
        end = next;
    }
    return description.substr(0, end);
}

bool FavoriteExists(FileSystem& files, const std::string& folder, const std::string& description,
                    const AnsiCodePage& codePage) {
    FindEntry entry;
    const FileSearch search = StartFileSearch(files, (folder + "*.*").c_str(), &entry);
    if (!search)
        return false;
    bool found = false;
    // Every entry is examined: the folder's own "." and ".." entries are
    // directories and drop out by that test, whichever place the listing
    // gives them.
    do {
        if (entry.attributes & (kAttributeHidden | kAttributeSystem | kAttributeDirectory))
            continue;
        if (SameFileName(WithoutUrlExtension(entry.name, codePage), description, codePage))
            found = true;
    } while (!found && files.FindNext(search.Get(), &entry));
    return found;
}

FavoriteOutcome AddFavorite(const FavoriteBoxes& boxes, FavoriteServices s) {
    const std::string description = CleanDescription(boxes.description.substr(0, kBoxLimit), s.codePage);
    const std::string url = boxes.url.substr(0, kBoxLimit);
    const std::string icon = boxes.iconFile.substr(0, kBoxLimit);
    if (description.empty()) {
        s.shell.ShowMessage("Please enter a Description.", MessageIcon::Exclamation);
        return FavoriteOutcome::StayOpen;
    }
    if (url.empty()) {
        s.shell.ShowMessage("Please enter valid URL.", MessageIcon::Exclamation);
        return FavoriteOutcome::StayOpen;
    }
    std::string folder;
    if (!FavoritesFolder(s.registry, s.shell, &folder)) {
        s.shell.ShowMessage("Favorites folder is not found.", MessageIcon::Stop);
        return FavoriteOutcome::StayOpen;
    }
    // A name too long for the folder is shortened rather than cut by the
    // platform, which would drop its ".url" or fail.
    const std::string name = FitFavoriteName(folder, description, s.codePage);
    if (name.empty()) {
        s.shell.ShowMessage("Unable update Favorites.", MessageIcon::Exclamation);
        return FavoriteOutcome::Close;
    }
    if (FavoriteExists(s.files, folder, name, s.codePage)) {
        s.shell.ShowMessage("Please enter another Description.", MessageIcon::Exclamation);
        return FavoriteOutcome::StayOpen;
    }
    if (s.writer.Write(folder + name + ".url", url, icon, description))
        s.shell.ShowMessage("New entry has been successfully added.", MessageIcon::Information);
    else
        s.shell.ShowMessage("Unable update Favorites.", MessageIcon::Exclamation);
    return FavoriteOutcome::Close;
}

}  // namespace tw
