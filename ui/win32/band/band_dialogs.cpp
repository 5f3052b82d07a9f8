#include "ui/win32/band/band_actions.h"

#include <string>

#include "ui/win32/dialogs/about_dialog.h"
#include "ui/win32/band/band_window.h"
#include "ui/win32/dialogs/cleanup_dialog.h"
#include "ui/win32/dialogs/index_choice_dialog.h"

namespace tw {

namespace {

void ChooseIndexFile(BandWindow& band, EntryKind store) {
    ShellFolderPicker picker;
    std::string path;
    if (RunIndexChoiceDialog(band, store, picker, &path))
        band.LoadIndex(path);
}

}  // namespace

void RunDialogCommand(BandWindow& band, Command command) {
    switch (command) {
    case Command::CleanHistory: RunCleanupDialog(band, kStoreHistory); break;
    case Command::CleanCookies: RunCleanupDialog(band, kStoreCookies); break;
    case Command::CleanCache: RunCleanupDialog(band, kStoreCache); break;
    case Command::CleanIndexFiles: RunIndexRemovalDialog(band); break;
    case Command::FindOnTab: RunFindDialog(band); break;
    case Command::Options: RunOptionsDialog(band); break;
    case Command::OpenHistoryIndex: ChooseIndexFile(band, EntryKind::History); break;
    case Command::OpenCookiesIndex: ChooseIndexFile(band, EntryKind::Cookie); break;
    case Command::OpenCacheIndex: ChooseIndexFile(band, EntryKind::Cache); break;
    case Command::SearchIndexFiles: {
        ShellFolderPicker picker;
        std::string path;
        if (RunIndexSearchDialog(band, picker, &path))
            band.LoadIndex(path);
        break;
    }
    case Command::About: RunAboutDialog(band); break;
    default: break;
    }
}

}  // namespace tw
