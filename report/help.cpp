#include "report/help.h"

namespace tw {

const char kOnlineHelpAddress[] = "https://www.tidewell.invalid/help/";
const char kHomePageAddress[] = "https://www.tidewell.invalid/";

std::string HelpFilePath(const std::string& moduleFileName) {
    const std::size_t slash = moduleFileName.rfind('\\');
    const std::string folder = slash == std::string::npos ? moduleFileName : moduleFileName.substr(0, slash);
    return folder + "\\Tidewell.chm";
}

void OpenHelp(Shell& shell) {
    shell.Execute(HelpFilePath(shell.ModuleFileName()).c_str(), "");
}

void OpenOnlineHelp(Shell& shell) {
    shell.Execute("iexplore.exe", kOnlineHelpAddress);
}

void OpenWebPage(Shell& shell) {
    shell.Execute("iexplore.exe", kHomePageAddress);
}

}  // namespace tw
