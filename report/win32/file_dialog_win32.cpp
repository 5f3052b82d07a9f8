#include "report/win32/file_dialog_win32.h"

#include <objbase.h>

#include <cstring>
#include <string>

namespace tw {

namespace {

// Looked up once by name, so that the module does not load the common
// dialogs before the first time they are needed.
FileDialogFunction Lookup(bool save) {
    static FileDialogFunction open = nullptr, saveAs = nullptr;
    FileDialogFunction& slot = save ? saveAs : open;
    if (!slot) {
        HMODULE comdlg = LoadLibraryA("Comdlg32.dll");
        if (comdlg)
            slot = reinterpret_cast<FileDialogFunction>(
                reinterpret_cast<void*>(GetProcAddress(comdlg, save ? "GetSaveFileNameA" : "GetOpenFileNameA")));
    }
    return slot;
}

UINT_PTR CALLBACK QuietHook(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}

DWORD StructureSize() {
    OSVERSIONINFOA v = {};
    v.dwOSVersionInfoSize = sizeof v;
#ifdef _MSC_VER
#pragma warning(suppress : 4996)
#endif
    if (!GetVersionExA(&v))
        return OpenFileNameSize(0, 0, 0);
    // On 64-bit builds the structure is laid out wider; the older short
    // form only ever existed for 32-bit systems.
    const DWORD size = OpenFileNameSize(v.dwPlatformId, v.dwMajorVersion, v.dwMinorVersion);
    return sizeof(void*) == 4 ? size : DWORD(sizeof(OPENFILENAMEA));
}

// The process's current folder, put back when the scope ends. An Open
// dialog moves it to the folder of the chosen file whatever OFN_NOCHANGEDIR
// says (the flag has no effect on GetOpenFileName); Wine honours the flag
// there too. Inside the browser the folder must stay where it was.
class CurrentFolderScope {
public:
    CurrentFolderScope() {
        const DWORD needed = GetCurrentDirectoryA(0, nullptr);
        if (needed == 0)
            return;
        folder_.assign(needed, '\0');
        const DWORD n = GetCurrentDirectoryA(needed, &folder_[0]);
        folder_.resize(n < needed ? n : 0);
    }
    ~CurrentFolderScope() {
        if (!folder_.empty())
            SetCurrentDirectoryA(folder_.c_str());
    }
    CurrentFolderScope(const CurrentFolderScope&) = delete;
    CurrentFolderScope& operator=(const CurrentFolderScope&) = delete;

private:
    std::string folder_;
};

}  // namespace

bool Win32FileDialogs::Run(const FileDialogRequest& request, std::string* path) {
    FileDialogFunction given = request.save ? save_ : open_;
    FileDialogFunction run = given ? given : Lookup(request.save);
    if (!run)
        return false;
    char file[MAX_PATH] = {};
    char title[256] = {};
    std::strncpy(file, request.initialName.c_str(), MAX_PATH - 1);
    const std::string filter = FilterString(request);

    OPENFILENAMEA ofn = {};
    ofn.lStructSize = StructureSize();
    ofn.hwndOwner = request.owner ? static_cast<HWND>(request.owner) : GetActiveWindow();
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrFileTitle = title;
    ofn.nMaxFileTitle = sizeof title;
    ofn.lpstrDefExt = request.defaultExtension;
    ofn.Flags = request.flags | kOfnAlwaysAdded;
    ofn.lpfnHook = QuietHook;
    const CurrentFolderScope folder;
    if (!run(&ofn))
        return false;
    *path = file;
    return true;
}

}  // namespace tw

namespace tw {

namespace {

typedef HRESULT(WINAPI* ShowSaveFn)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, DWORD, DWORD, LPWSTR*, HANDLE*);
typedef HRESULT(WINAPI* SaveFileFn)(HANDLE, LPCWSTR);
typedef HRESULT(WINAPI* CancelSaveFn)(HANDLE);

template <typename Fn>
Fn BrowserFunction(const char* name) {
    HMODULE ieframe = GetModuleHandleW(L"ieframe.dll");
    return ieframe ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(ieframe, name))) : nullptr;
}

std::wstring WideText(const std::string& text) {
    std::wstring wide(text.size() + 1, L'\0');
    const int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], int(wide.size()));
    wide.resize(n > 0 ? std::size_t(n - 1) : 0);
    return wide;
}

}  // namespace

bool Win32BrokeredSave::Available() {
    return BrowserFunction<ShowSaveFn>("IEShowSaveFileDialog") && BrowserFunction<SaveFileFn>("IESaveFile") &&
           BrowserFunction<CancelSaveFn>("IECancelSaveFile");
}

Win32BrokeredSave::~Win32BrokeredSave() {
    if (state_)
        Finish(false);
}

bool Win32BrokeredSave::Choose(const FileDialogRequest& request, std::string* scratch) {
    const ShowSaveFn show = BrowserFunction<ShowSaveFn>("IEShowSaveFileDialog");
    if (!show || state_)
        return false;
    // The temporary folder is the low one in Protected Mode, where this
    // process may write the file that the browser's broker then copies.
    char folder[MAX_PATH], file[MAX_PATH];
    const DWORD n = GetTempPathA(MAX_PATH, folder);
    if (n == 0 || n >= MAX_PATH || !GetTempFileNameA(folder, "twr", 0, file))
        return false;
    const std::wstring name = WideText(request.initialName.substr(0, 259));
    const std::wstring filter = WideText(PipeFilterString(request));
    const std::wstring extension = WideText(request.defaultExtension);
    // The broker's dialog takes no hook of ours.
    const DWORD flags = request.flags | kOfnExplorer | kOfnNoChangeDir;
    LPWSTR destination = nullptr;
    HANDLE state = nullptr;
    const HRESULT hr = show(static_cast<HWND>(request.owner), name.c_str(), nullptr, filter.c_str(),
                            extension.c_str(), 1, flags, &destination, &state);
    if (destination)
        CoTaskMemFree(destination);
    // S_FALSE is the user's Cancel.
    if (hr != S_OK || !state) {
        DeleteFileA(file);
        return false;
    }
    state_ = state;
    scratch_ = file;
    *scratch = scratch_;
    return true;
}

bool Win32BrokeredSave::Finish(bool save) {
    if (!state_)
        return false;
    bool saved = false;
    if (save) {
        const SaveFileFn copy = BrowserFunction<SaveFileFn>("IESaveFile");
        saved = copy && SUCCEEDED(copy(static_cast<HANDLE>(state_), WideText(scratch_).c_str()));
    } else if (const CancelSaveFn cancel = BrowserFunction<CancelSaveFn>("IECancelSaveFile")) {
        cancel(static_cast<HANDLE>(state_));
    }
    state_ = nullptr;
    DeleteFileA(scratch_.c_str());
    scratch_.clear();
    return saved;
}

}  // namespace tw
