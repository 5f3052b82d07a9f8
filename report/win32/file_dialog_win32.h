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

namespace tw {

// The browser's own save, over IEShowSaveFileDialog, IESaveFile and
// IECancelSaveFile of ieframe.dll, looked up by name.
class Win32BrokeredSave : public BrokeredSave {
public:
    Win32BrokeredSave() = default;
    ~Win32BrokeredSave() override;
    Win32BrokeredSave(const Win32BrokeredSave&) = delete;
    Win32BrokeredSave& operator=(const Win32BrokeredSave&) = delete;

    // Whether this process has the browser's functions: only its processes
    // load ieframe.dll, and Wine's has none of them.
    static bool Available();
    bool Choose(const FileDialogRequest& request, std::string* scratch) override;
    bool Finish(bool save) override;

private:
    void* state_ = nullptr;  // the choice's handle, used once
    std::string scratch_;
};

}  // namespace tw
