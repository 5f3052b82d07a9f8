// The dialogs that choose an index file to show: the choice among a store's
// own index files, and the search of a folder tree on a worker thread.
#pragma once

#include <windows.h>

#include <string>

#include "core/entry.h"

namespace tw {

class BandWindow;

// Asks the user for a folder, starting at start (may be empty).
class FolderPicker {
public:
    virtual ~FolderPicker() = default;
    virtual bool Pick(HWND owner, const char* title, const std::string& start, std::string* folder) = 0;
};

// The shell's folder browser, file-system folders only.
class ShellFolderPicker : public FolderPicker {
public:
    bool Pick(HWND owner, const char* title, const std::string& start, std::string* folder) override;
};

// True with the chosen path when the dialog ends with OK and a row was
// selected.
bool RunIndexChoiceDialog(BandWindow& band, EntryKind store, FolderPicker& picker, std::string* path);
bool RunIndexSearchDialog(BandWindow& band, FolderPicker& picker, std::string* path);

// Private messages of the search dialog: a row found (lParam a heap
// std::string the dialog takes over) and the end of the worker.
const UINT kWmIndexFound = WM_APP + 61;
const UINT kWmIndexSearchDone = WM_APP + 62;

}  // namespace tw
