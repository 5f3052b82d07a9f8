// The shell seam over message boxes, the shell's functions and the facts
// of the running system.
#pragma once

#include <windows.h>

#include "platform/shell.h"

namespace tw {

// ExpandEnvironmentStringsA, or what stands in for it.
using ExpandFunction = DWORD(WINAPI*)(LPCSTR, LPSTR, DWORD);
// The text with its variables expanded by expand; the text itself when
// that fails.
std::string ExpandEnvironmentWith(ExpandFunction expand, const char* text);

class Win32Shell : public Shell {
public:
    // Questions and messages are owned by owner (may be null); what the
    // shell launches has no owner.
    explicit Win32Shell(HWND owner = nullptr) : owner_(owner) {}

    // While it lives, the shell's questions and messages are owned by owner;
    // then the shell's own owner comes back, since the window named here (a
    // dialog, the band) may be gone by the next message. The shell must
    // outlive it.
    class OwnerScope {
    public:
        OwnerScope(Win32Shell& shell, HWND owner) : shell_(shell), previous_(shell.owner_) { shell.owner_ = owner; }
        ~OwnerScope() { shell_.owner_ = previous_; }
        OwnerScope(const OwnerScope&) = delete;
        OwnerScope& operator=(const OwnerScope&) = delete;

    private:
        Win32Shell& shell_;
        HWND previous_;
    };

    bool AskYesNo(const char* text) override;
    void ShowMessage(const char* text, MessageIcon icon) override;
    void ClearRecentDocuments() override;
    bool Execute(const char* file, const char* parameters) override;
    long RunElevated(const char* file, const char* parameters, unsigned long* exitCode) override;
    std::string ExpandEnvironment(const char* text) override;
    int MajorVersion() override;
    // The module that holds this code: the system's DLL, or a test program.
    std::string ModuleFileName() override;

private:
    HWND owner_;
};

}  // namespace tw
