// The file dialog seam over the common dialogs of Comdlg32.dll.
#pragma once

#include "report/file_dialog.h"

namespace tw {

class Win32FileDialogs : public FileDialogs {
public:
    bool Run(const FileDialogRequest& request, std::string* path) override;
};

}  // namespace tw
