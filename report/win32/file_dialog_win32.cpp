#include "report/win32/file_dialog_win32.h"

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
