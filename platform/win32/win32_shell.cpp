#include "platform/win32/win32_shell.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>

#include "platform/win32/handles.h"

namespace tw {
namespace {

const char kCaption[] = "Tidewell";
// The broker's work takes a moment; the browser's thread must not wait on
// a program that hangs.
const DWORD kElevatedWaitMs = 30000;

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

// After the consent prompt, which ShellExecuteExA shows for "runas" under
// UAC: a declined prompt fails it with ERROR_CANCELLED. Without UAC (and
// under Wine, which has none) the verb just runs the program. The process
// handle comes only with SEE_MASK_NOCLOSEPROCESS, and none at all when the
// launch went through DDE, which an .exe never does.
long Win32Shell::RunElevated(const char* file, const char* parameters, unsigned long* exitCode) {
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.hwnd = owner_;
    info.lpVerb = "runas";
    info.lpFile = file;
    info.lpParameters = parameters && *parameters ? parameters : nullptr;
    info.nShow = SW_HIDE;
    if (!ShellExecuteExA(&info))
        return long(GetLastError());
    const UniqueKernelHandle process(info.hProcess);
    if (!process)
        return ERROR_INVALID_HANDLE;
    if (WaitForSingleObject(process.Get(), kElevatedWaitMs) != WAIT_OBJECT_0)
        return ERROR_TIMEOUT;
    DWORD code = 0;
    if (!GetExitCodeProcess(process.Get(), &code))
        return long(GetLastError());
    *exitCode = code;
    return ERROR_SUCCESS;
}

std::string ExpandEnvironmentWith(ExpandFunction expand, const char* text) {
    const DWORD needed = expand(text, nullptr, 0);
    if (needed == 0)
        return text;
    // The ANSI form wants room for the text, its terminator and one more
    // character; Wine is content with the size it answers.
    const DWORD size = needed + 1;
    std::string out(size, '\0');
    const DWORD written = expand(text, &out[0], size);
    if (written == 0 || written > size)
        return text;
    // What it answers may count double-byte characters twice.
    out.resize(std::strlen(out.c_str()));
    return out;
}

std::string Win32Shell::ExpandEnvironment(const char* text) { return ExpandEnvironmentWith(ExpandEnvironmentStringsA, text); }

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
