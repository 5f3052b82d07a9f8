#include "ui/win32/dialogs/favorites_dialog.h"

#include <windows.h>

#include "core/ansi_text.h"
#include "report/favorites.h"
#include "report/win32/internet_shortcut.h"
#include "res/resource.h"
#include "ui/protected_mode.h"
#include "ui/win32/band/band_window.h"
#include "ui/win32/dialogs/dialog_support.h"

namespace tw {

namespace {

std::string Trimmed(const std::string& text) {
    const char* space = " \t\r\n\v\f";
    const std::size_t first = text.find_first_not_of(space);
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(space) - first + 1);
}

class FavoritesDialog : public DialogObject {
public:
    FavoritesDialog(BandWindow& band, std::string description, std::string url)
        : band_(band), description_(std::move(description)), url_(std::move(url)) {}

private:
    void OnInit() override {
        if (!description_.empty())
            SetDlgItemTextA(hwnd, IDC_FAVORITE_DESCRIPTION, description_.c_str());
        if (!url_.empty())
            SetDlgItemTextA(hwnd, IDC_FAVORITE_URL, url_.c_str());
    }

    void OnCommand(int id, int code) override {
        if (id == IDOK)
            Add();
        else if (id == IDC_FAVORITE_BROWSE)
            ChooseIcon();
        else
            DialogObject::OnCommand(id, code);
    }

    void ChooseIcon() {
        std::string path;
        if (band_.Services().dialogs.Run(IconFileDialogRequest(hwnd), &path) && !path.empty())
            SetDlgItemTextA(hwnd, IDC_FAVORITE_ICON, path.c_str());
    }

    void Add() {
        FavoriteBoxes boxes;
        boxes.description = ItemText(hwnd, IDC_FAVORITE_DESCRIPTION, 259);
        boxes.url = ItemText(hwnd, IDC_FAVORITE_URL, 259);
        boxes.iconFile = ItemText(hwnd, IDC_FAVORITE_ICON, 259);
        BandServices& s = band_.Services();
        // The messages of the checks and of the write belong to this dialog.
        Win32Shell shell(hwnd);
        Win32InternetShortcutWriter writer;
        // In Protected Mode the process may not write the Favorites folder.
        BrokerShortcutWriter throughBroker(s.broker);
        InternetShortcutWriter& chosen = FavoritesWriter(s.rights, writer, throughBroker);
        if (AddFavorite(boxes, {s.registry, s.files, shell, chosen, ActiveCodePage()}) == FavoriteOutcome::Close)
            EndDialog(hwnd, IDOK);
    }

    BandWindow& band_;
    std::string description_;
    std::string url_;
};

}  // namespace

void RunAddToFavoritesDialog(BandWindow& band, const std::string& name, const std::string& url) {
    const std::string address = Trimmed(url);
    if (address.empty())
        return;
    FavoritesDialog dialog(band, CleanDescription(Trimmed(name), ActiveCodePage()), address);
    RunBandDialog(band, IDD_ADD_FAVORITE, dialog);
}

}  // namespace tw
