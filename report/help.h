// The Help menu's launchers: the help file beside the module and the
// product's two web pages, handed to the shell without waiting.
#pragma once

#include <string>

#include "platform/shell.h"

namespace tw {

extern const char kOnlineHelpAddress[];
extern const char kHomePageAddress[];

// The folder of the module (cut at its last "\") followed by "\Tidewell.chm".
std::string HelpFilePath(const std::string& moduleFileName);

void OpenHelp(Shell& shell);
void OpenOnlineHelp(Shell& shell);
void OpenWebPage(Shell& shell);

}  // namespace tw
