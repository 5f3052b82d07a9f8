#include "platform/win32/win32_shell.h"

#include <shellapi.h>
#include <shlobj.h>

namespace tw {
namespace {

const char kCaption[] = "Tidewell";

UINT IconStyle(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Question:
        return MB_ICONQUESTION;
    case MessageIcon::Exclamation:
        return MB_ICONEXCLAMATION;
    case MessageIcon::Stop:
        return MB_ICONSTOP;
    case MessageIcon::Information:
        return MB_ICONINFORMATION;
    }
    return 0;
}

}  // namespace

bool Win32Shell::AskYesNo(const char* text) {
    return MessageBoxA(owner_, text, kCaption, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

void Win32Shell::ShowMessage(const char* text, MessageIcon icon) {
    MessageBoxA(owner_, text, kCaption, MB_OK | IconStyle(icon));
}

void Win32Shell::ClearRecentDocuments() { SHAddToRecentDocs(SHARD_PATHA, nullptr); }

bool Win32Shell::Execute(const char* file, const char* parameters) {
    const char* params = parameters && *parameters ? parameters : nullptr;
    const HINSTANCE r = ShellExecuteA(nullptr, "open", file, params, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(r) > 32;
}

std::string Win32Shell::ExpandEnvironment(const char* text) {
    const DWORD needed = ExpandEnvironmentStringsA(text, nullptr, 0);
    if (needed == 0)
        return text;
    std::string out(needed, '\0');
    const DWORD written = ExpandEnvironmentStringsA(text, &out[0], needed);
    if (written == 0 || written > needed)
        return text;
    out.resize(written - 1);
    return out;
}

int Win32Shell::MajorVersion() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;  // 148
    // A failed query leaves the record zeroed: major version 0.
    GetVersionExA(&info);
    return int(info.dwMajorVersion);
}

std::string Win32Shell::ModuleFileName() {
    HMODULE module = nullptr;
    static const char anchor = 0;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            &anchor, &module))
        return std::string();
    char name[MAX_PATH] = "";
    const DWORD n = GetModuleFileNameA(module, name, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return std::string();
    return std::string(name, n);
}

}  // namespace tw
