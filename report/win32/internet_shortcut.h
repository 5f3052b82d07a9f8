// Internet shortcuts written through the shell's shortcut object.
#pragma once

#include <unknwn.h>

#include <string>

#include "report/favorites.h"

namespace tw {

class Win32InternetShortcutWriter : public InternetShortcutWriter {
public:
    bool Write(const std::string& path, const std::string& url, const std::string& iconFile,
               const std::string& description) override;
};

// Write's work on a shortcut object already made: the URL (a scheme guessed
// when it has none), the icon, the description, then the file. False as soon
// as the object refuses one of them. iconLost tells that the object could
// not carry the icon and wrote the shortcut without it.
bool WriteThroughShortcutObject(IUnknown* object, const std::string& path, const std::string& url,
                                const std::string& iconFile, const std::string& description, bool* iconLost);

// The standard shortcut file, for when the shell object cannot carry the
// icon itself.
std::string InternetShortcutFileText(const std::string& url, const std::string& iconFile);

}  // namespace tw
