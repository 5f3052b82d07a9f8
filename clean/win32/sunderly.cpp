// Sunderly.dll: the companion that RunOnce runs at the next logon on older
// systems, before the browser opens its index files, to remove them.
//   rundll32 <folder>\Sunderly.dll,DeleteHistoryIndex
#include <windows.h>

#include <string>

#include "clean/index_removal.h"
#include "core/index_files.h"
#include "platform/win32/win32_file_system.h"

namespace {

// Removes the first of the store's candidates that exists, as the removal
// at restart would have chosen it; the Cookies file is tried whether or not
// it is found. Silent on failure: there is nobody to tell at logon.
void DeleteStoreIndex(int store) {
    tw::Win32FileSystem files;
    for (const std::string& path : tw::IndexCandidates(files, store)) {
        if (store == 2 || tw::FileFound(files, path)) {
            if (!DeleteFileA(path.c_str()) && files.TakeOwnershipForCurrentUser(path.c_str()))
                DeleteFileA(path.c_str());
            return;
        }
    }
}

}  // namespace

// Exported by Sunderly.def under their plain names, as rundll32 calls them.
extern "C" {

void CALLBACK DeleteHistoryIndex(HWND, HINSTANCE, LPSTR, int) {
    DeleteStoreIndex(1);
}

void CALLBACK DeleteCookieIndex(HWND, HINSTANCE, LPSTR, int) {
    DeleteStoreIndex(2);
}

void CALLBACK DeleteCacheIndex(HWND, HINSTANCE, LPSTR, int) {
    DeleteStoreIndex(3);
}

}  // extern "C"
