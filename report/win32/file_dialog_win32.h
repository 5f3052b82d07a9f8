// The file dialog seam over the common dialogs of Comdlg32.dll.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include "report/file_dialog.h"

namespace tw {

// GetOpenFileNameA or GetSaveFileNameA, or what stands in for them.
using FileDialogFunction = BOOL(WINAPI*)(LPOPENFILENAMEA);

class Win32FileDialogs : public FileDialogs {
public:
    // Null functions are looked up in Comdlg32.dll at their first use.
    explicit Win32FileDialogs(FileDialogFunction open = nullptr, FileDialogFunction save = nullptr)
        : open_(open), save_(save) {}
    // The current folder is where it was before, whatever the dialog did.
    bool Run(const FileDialogRequest& request, std::string* path) override;

private:
    FileDialogFunction open_;
    FileDialogFunction save_;
};

}  // namespace tw
