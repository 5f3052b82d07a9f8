#include "report/file_dialog.h"

namespace tw {

FileDialogRequest ReportDialogRequest(const char* initialName, void* owner) {
    FileDialogRequest r;
    r.save = true;
    r.defaultExtension = "html";
    r.initialName = initialName;
    r.flags = kOfnHideReadOnly | kOfnOverwritePrompt;
    r.filterDescription = "HTML Files (*.html)";
    r.filterPattern = "*.html";
    r.owner = owner;
    return r;
}

FileDialogRequest IndexFileDialogRequest(void* owner) {
    FileDialogRequest r;
    r.defaultExtension = "dat";
    r.initialName = "index.dat";
    r.flags = kOfnHideReadOnly | kOfnForceShowHidden;
    r.filterDescription = "IE History Files (*.dat)";
    r.filterPattern = "*.dat";
    r.owner = owner;
    return r;
}

FileDialogRequest IconFileDialogRequest(void* owner) {
    FileDialogRequest r;
    r.defaultExtension = "ico";
    r.flags = kOfnHideReadOnly;
    r.filterDescription = "Icon Files (*.ico)";
    r.filterPattern = "*.ico";
    r.owner = owner;
    return r;
}

std::string FilterString(const FileDialogRequest& request) {
    std::string filter = request.filterDescription;
    filter += '\0';
    filter += request.filterPattern;
    filter += '\0';
    filter += '\0';
    return filter;
}

std::string PipeFilterString(const FileDialogRequest& request) {
    return std::string(request.filterDescription) + "|" + request.filterPattern + "|";
}

std::uint32_t OpenFileNameSize(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor) {
    const std::uint32_t kPlatformWindows = 1, kPlatformNt = 2;
    const bool full = (platformId == kPlatformNt && major >= 5) ||
                      (platformId == kPlatformWindows && (major > 4 || (major == 4 && minor >= 90)));
    return full ? 88 : 76;
}

}  // namespace tw
