// The shell seam over message boxes, the shell's functions and the facts
// of the running system.
#pragma once

#include <windows.h>

#include "platform/shell.h"

namespace tw {

class Win32Shell : public Shell {
public:
    // Questions and messages are owned by owner (may be null).
    explicit Win32Shell(HWND owner = nullptr) : owner_(owner) {}
    void SetOwner(HWND owner) { owner_ = owner; }

    bool AskYesNo(const char* text) override;
    void ShowMessage(const char* text, MessageIcon icon) override;
    void ClearRecentDocuments() override;
    bool Execute(const char* file, const char* parameters) override;
    std::string ExpandEnvironment(const char* text) override;
    int MajorVersion() override;
    // The module that holds this code: the system's DLL, or a test program.
    std::string ModuleFileName() override;

private:
    HWND owner_;
};

}  // namespace tw
