// Internet shortcuts written through the shell's shortcut object.
#pragma once

#include <string>

#include "report/favorites.h"

namespace tw {

class Win32InternetShortcutWriter : public InternetShortcutWriter {
public:
    bool Write(const std::string& path, const std::string& url, const std::string& iconFile,
               const std::string& description) override;
};

// The standard shortcut file, for when the shell object cannot carry the
// icon itself.
std::string InternetShortcutFileText(const std::string& url, const std::string& iconFile);

}  // namespace tw
