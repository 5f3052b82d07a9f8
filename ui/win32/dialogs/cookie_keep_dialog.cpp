#include "ui/win32/dialogs/cookie_keep_dialog.h"

#include <windows.h>

#include "clean/cookie_keep.h"
#include "res/resource.h"
#include "settings/settings_store.h"
#include "ui/win32/band/band_window.h"
#include "ui/win32/dialogs/dialog_support.h"

namespace tw {

namespace {

// "www." and a 255-character name: what a name that is kept can be typed as.
const int kTypedNameMost = int(kKeptSiteLengthMost) + 5;

class CookieKeepDialog : public DialogObject {
public:
    CookieKeepDialog(BandWindow& band, CookieKeep& keep) : band_(band), keep_(keep) {}

    void OnInit() override {
        SendDlgItemMessageA(hwnd, IDC_KEEP_NAME, EM_LIMITTEXT, WPARAM(kTypedNameMost), 0);
        ShowNames();
        if (!keep_.readable)
            ShowMessageBox(hwnd, kKeepListUnreadableToEdit, MB_OK | MB_ICONEXCLAMATION);
    }

    void OnCommand(int id, int) override {
        switch (id) {
        case IDC_KEEP_ADD:
            Add();
            break;
        case IDC_KEEP_REMOVE:
            Remove();
            break;
        case IDOK:
            // Enter in the name box adds the name rather than closing.
            if (GetFocus() == GetDlgItem(hwnd, IDC_KEEP_NAME) && !ItemText(hwnd, IDC_KEEP_NAME, 1).empty()) {
                Add();
                break;
            }
            if (SaveCookieKeepList(band_.Services().registry, BandUsesNewSystem(band_), keep_.list))
                keep_.readable = true;
            EndDialog(hwnd, IDOK);
            break;
        case IDCANCEL:
            EndDialog(hwnd, IDCANCEL);
            break;
        default:
            break;
        }
    }

private:
    void ShowNames() {
        SendDlgItemMessageA(hwnd, IDC_KEEP_LIST, LB_RESETCONTENT, 0, 0);
        for (const std::string& name : keep_.list.Names())
            SendDlgItemMessageA(hwnd, IDC_KEEP_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }

    void Add() {
        switch (keep_.list.Add(ItemText(hwnd, IDC_KEEP_NAME, kTypedNameMost))) {
        case CookieKeepList::Added::Yes:
        case CookieKeepList::Added::AlreadyKept:
            SetDlgItemTextA(hwnd, IDC_KEEP_NAME, "");
            ShowNames();
            break;
        case CookieKeepList::Added::Full:
            ShowMessageBox(hwnd, kKeepListFull, MB_OK | MB_ICONEXCLAMATION);
            break;
        case CookieKeepList::Added::NotAName:
            MessageBeep(MB_ICONEXCLAMATION);
            break;
        }
        SetFocus(GetDlgItem(hwnd, IDC_KEEP_NAME));
    }

    void Remove() {
        const LRESULT at = SendDlgItemMessageA(hwnd, IDC_KEEP_LIST, LB_GETCURSEL, 0, 0);
        const LRESULT length = at < 0 ? LB_ERR : SendDlgItemMessageA(hwnd, IDC_KEEP_LIST, LB_GETTEXTLEN, WPARAM(at), 0);
        if (length < 0 || length > LRESULT(kKeptSiteLengthMost))
            return;
        // By its text: the box's order need not be the list's.
        char text[kKeptSiteLengthMost + 1] = "";
        SendDlgItemMessageA(hwnd, IDC_KEEP_LIST, LB_GETTEXT, WPARAM(at), reinterpret_cast<LPARAM>(text));
        const std::vector<std::string>& names = keep_.list.Names();
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (names[i] == text) {
                keep_.list.RemoveAt(i);
                break;
            }
        }
        ShowNames();
        const LRESULT count = SendDlgItemMessageA(hwnd, IDC_KEEP_LIST, LB_GETCOUNT, 0, 0);
        if (count > 0)
            SendDlgItemMessageA(hwnd, IDC_KEEP_LIST, LB_SETCURSEL, WPARAM(at < count ? at : count - 1), 0);
    }

    BandWindow& band_;
    CookieKeep& keep_;
};

}  // namespace

bool RunCookieKeepDialog(BandWindow& band) {
    CookieKeep keep = LoadCookieKeep(band.Services().registry, BandUsesNewSystem(band));
    CookieKeepDialog dialog(band, keep);
    const INT_PTR answer = RunBandDialog(band, IDD_COOKIES_TO_KEEP, dialog);
    // A band closed meanwhile is left alone.
    if (answer == -1)
        return false;
    if (answer != IDOK)
        return LoadCookieKeep(band.Services().registry, BandUsesNewSystem(band)).KeepsAny();
    band.MarkKeptCookies();
    return !keep.list.Empty();
}

}  // namespace tw
