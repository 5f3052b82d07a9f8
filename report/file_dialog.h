// The one open/save dialog that reports, index files and favorite icons
// share: what each user asks of it, and the seam that runs it.
#pragma once

#include <cstdint>
#include <string>

namespace tw {

// OFN_ flag values of the platform.
const std::uint32_t kOfnOverwritePrompt = 0x00000002;
const std::uint32_t kOfnHideReadOnly = 0x00000004;
const std::uint32_t kOfnNoChangeDir = 0x00000008;
const std::uint32_t kOfnEnableHook = 0x00000020;
const std::uint32_t kOfnExplorer = 0x00080000;
const std::uint32_t kOfnEnableSizing = 0x00800000;
const std::uint32_t kOfnForceShowHidden = 0x10000000;

// Flags that every run of the dialog adds to those it is given. The dialog
// runs inside the browser, whose current folder must stay where it was:
// the browser would keep the chosen folder open, and its own relative
// paths would move. Only the Save dialog honours the flag; the Open one
// moves the folder all the same, and the runner of the dialogs puts it back.
const std::uint32_t kOfnAlwaysAdded = kOfnExplorer | kOfnEnableSizing | kOfnEnableHook | kOfnNoChangeDir;

struct FileDialogRequest {
    bool save = false;
    const char* defaultExtension = "";
    std::string initialName;  // cut to 259 characters when run
    std::uint32_t flags = 0;
    const char* filterDescription = "";
    const char* filterPattern = "";
    void* owner = nullptr;  // a window; null: the window active when it runs
};

FileDialogRequest ReportDialogRequest(const char* initialName, void* owner);
FileDialogRequest IndexFileDialogRequest(void* owner);
FileDialogRequest IconFileDialogRequest(void* owner);

// The filter as the platform takes it: description, pattern, each ended by
// a zero, and a final zero.
std::string FilterString(const FileDialogRequest& request);

// The size of OPENFILENAMEA that a system takes: the full 88 bytes from NT 5
// and from Windows Me (platform 1, 4.90) on, the older 76 bytes before.
std::uint32_t OpenFileNameSize(std::uint32_t platformId, std::uint32_t major, std::uint32_t minor);

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // Runs the dialog modally; true (OK) with the chosen path, false on
    // Cancel or when the platform call fails.
    virtual bool Run(const FileDialogRequest& request, std::string* path) = 0;
};

}  // namespace tw
