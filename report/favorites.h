// Add to Favorites: the description made fit for a file name, the checks
// of the dialog's Add button with their messages, and the shortcut writer.
#pragma once

#include <string>

#include "core/ansi_text.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/shell.h"

namespace tw {

extern const char kUserShellFolders[];  // HKCU "...\Explorer\User Shell Folders"

// Replaces each of : \ / + ; > < ! ? | " ' by "_", stepping over the trail
// bytes of double-byte characters.
std::string CleanDescription(const std::string& text, const AnsiCodePage& codePage);

// Whether two names are the same file name: ASCII letters compare without
// regard to case, double-byte characters byte for byte.
bool SameFileName(const std::string& a, const std::string& b, const AnsiCodePage& codePage);

// The Internet shortcut object of the shell, or what stands in for it.
class InternetShortcutWriter {
public:
    virtual ~InternetShortcutWriter() = default;
    // Writes a shortcut file at path; iconFile may be empty (no icon).
    virtual bool Write(const std::string& path, const std::string& url, const std::string& iconFile,
                       const std::string& description) = 0;
};

// What the dialog's three boxes hold when Add is pressed.
struct FavoriteBoxes {
    std::string description;
    std::string url;
    std::string iconFile;
};

enum class FavoriteOutcome { StayOpen, Close };

struct FavoriteServices {
    Registry& registry;
    FileSystem& files;
    Shell& shell;
    InternetShortcutWriter& writer;
    const AnsiCodePage& codePage;
};

// The Add button: every check in its order with its message, then the
// write and its message. The dialog stays open after a refused input.
FavoriteOutcome AddFavorite(const FavoriteBoxes& boxes, FavoriteServices services);

// The current user's Favorites folder, ending in "\"; false when the key
// cannot be opened or names no folder.
bool FavoritesFolder(Registry& registry, Shell& shell, std::string* folder);

// The description cut at a character so that folder, the description and
// ".url" together are a path the platform can open (259 characters at
// most); empty when not one character fits.
std::string FitFavoriteName(const std::string& folder, const std::string& description, const AnsiCodePage& codePage);

// Whether the folder already holds a favorite of that description.
bool FavoriteExists(FileSystem& files, const std::string& folder, const std::string& description,
                    const AnsiCodePage& codePage);

}  // namespace tw
