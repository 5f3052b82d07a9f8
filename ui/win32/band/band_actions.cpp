#include "ui/win32/band/band_actions.h"

#include <objbase.h>
#include <shellapi.h>

#include <cstring>
#include <optional>
#include <vector>

#include "core/ansi_text.h"
#include "res/resource.h"
#include "ui/item_actions.h"
#include "ui/win32/band/band_window.h"
#include "ui/win32/dialogs/dialog_support.h"
#include "ui/win32/dialogs/favorites_dialog.h"
#include "ui/win32/controls/list_adapters.h"

namespace tw {

static_assert(kItemHistoryOpen == ID_HISTORY_OPEN_URL && kItemHistoryCopy == ID_HISTORY_COPY_URL &&
                  kItemHistoryDelete == ID_HISTORY_DELETE && kItemHistoryAddFavorite == ID_HISTORY_ADD_FAVORITE &&
                  kItemCookieOpen == ID_COOKIE_OPEN_URL && kItemCookieCopy == ID_COOKIE_COPY_URL &&
                  kItemCookieDelete == ID_COOKIE_DELETE && kItemCookieDetails == ID_COOKIE_DETAILS &&
                  kItemCookieProperties == ID_COOKIE_PROPERTIES && kItemCacheOpen == ID_CACHE_OPEN_URL &&
                  kItemCacheCopy == ID_CACHE_COPY_URL && kItemCacheDelete == ID_CACHE_DELETE &&
                  kItemCacheOpenFile == ID_CACHE_OPEN_FILE && kItemCacheProperties == ID_CACHE_PROPERTIES &&
                  kItemDeleteSelected == ID_DELETE_SELECTED && kItemCookieKeepSite == ID_COOKIE_KEEP_SITE,
              "the commands of the context menus are those of the menu resources");
static_assert(kHistoryRowMenu == IDM_HISTORY_ROW && kCookieRowMenu == IDM_COOKIE_ROW &&
                  kCacheRowMenu == IDM_CACHE_ROW && kSeveralRowsMenu == IDM_SEVERAL_ROWS,
              "the row menus are the menu resources");

namespace {

// A cookie file is a few kilobytes; anything far beyond is not one, and is
// not read whole into memory.
const DWORD kCookieFileLimit = 16u << 20;

void NavigateTo(IWebBrowser2* browser, const std::string& address) {
    if (!browser)
        return;
    BSTR url = AnsiToBstr(address);
    if (!url)
        return;
    VARIANT empty;
    VariantInit(&empty);
    browser->Navigate(url, &empty, &empty, &empty, &empty);
    SysFreeString(url);
}

void CopyToClipboard(HWND owner, const std::string& text) {
    if (!OpenClipboard(owner))
        return;
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_DDESHARE | GMEM_MOVEABLE, text.size() + 1);
    if (memory) {
        if (void* bytes = GlobalLock(memory)) {
            std::memcpy(bytes, text.c_str(), text.size() + 1);
            GlobalUnlock(memory);
            if (!SetClipboardData(CF_TEXT, memory))
                GlobalFree(memory);
        } else {
            GlobalFree(memory);
        }
    }
    CloseClipboard();
}

void ShowFileProperties(HWND owner, const std::string& file) {
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_INVOKEIDLIST;
    info.hwnd = owner;
    info.lpVerb = "properties";
    info.lpFile = file.c_str();
    info.lpParameters = "";
    info.lpDirectory = nullptr;
    info.nShow = SW_SHOW;
    ShellExecuteExA(&info);
}

// The history store's deletions need COM on this thread. The keep list is
// read once per command, at its first cookie deletion. Nothing here runs a
// modal loop: the list is worked through without the band going meanwhile.
class BandStores : public ItemStores {
public:
    explicit BandStores(BandWindow& band)
        : hold_(band), newSystem_(BandUsesNewSystem(band)),
          cleaner_(hold_.Services().history, hold_.Services().cache, hold_.Services().files, hold_.Services().clock) {}
    void Begin(EntryKind store) override {
        if (store == EntryKind::History)
            com_.emplace(hold_.Services().history);
        if (store == EntryKind::Cookie && !keepRead_) {
            keep_ = LoadCookieKeep(hold_.Services().registry, newSystem_);
            keepRead_ = true;
            cleaner_.KeepCookies(&keep_);
        }
    }
    bool Spares(EntryKind store, const std::string& address) override {
        if (store != EntryKind::Cookie || !keepRead_)
            return false;
        keptAll_ = keptAll_ || !keep_.readable;
        return keep_.Spares(address.c_str());
    }
    // Once the command is done with the list: a list that could not be read
    // kept every cookie the command met.
    void SayWhetherAllWereKept(HWND owner) {
        if (!keptAll_)
            return;
        Win32Shell& shell = hold_.Services().shell;
        const Win32Shell::OwnerScope scope(shell, owner);
        shell.ShowMessage(kKeepListUnreadable, MessageIcon::Exclamation);
    }
    void Delete(EntryKind store, const std::string& address) override {
        switch (store) {
        case EntryKind::History: cleaner_.DeleteHistoryUrls(address.c_str(), true); break;
        case EntryKind::Cookie: cleaner_.DeleteCookieUrls(address.c_str(), true); break;
        case EntryKind::Cache: cleaner_.DeleteCacheUrls(address.c_str(), true); break;
        }
    }
    void End(EntryKind) override { com_.reset(); }

private:
    const BandHold hold_;
    const bool newSystem_;
    Cleaner cleaner_;
    std::optional<ComApartment> com_;
    CookieKeep keep_;
    bool keepRead_ = false;
    bool keptAll_ = false;
};

// The band may be closed by the browser while a question or a dialog is
// open; from then on nothing of it is used.
class BandHost : public ItemHost {
public:
    explicit BandHost(BandWindow& band) : band_(band), hold_(band) {}
    bool BandGone() const { return hold_.Gone(); }
    void Navigate(const std::string& address) override { NavigateTo(band_.Browser(), address); }
    void CopyText(const std::string& text) override { CopyToClipboard(band_.Hwnd(), text); }
    bool AskYesNo(const char* text) override {
        Win32Shell& shell = hold_.Services().shell;
        const Win32Shell::OwnerScope owner(shell, band_.Hwnd());
        return shell.AskYesNo(text) && !BandGone();
    }
    void ShowStatus(EntryKind store) override {
        if (!BandGone())
            band_.ShowStatus(store);
    }
    void AddToFavorites(const std::string& name, const std::string& url) override {
        RunAddToFavoritesDialog(band_, name, url);
    }
    void ShowCookieDetails(const std::string& file) override {
        RunCookieDetailsDialog(band_, file);
    }
    void ShowProperties(const std::string& file) override { ShowFileProperties(band_.Hwnd(), file); }
    void KeepCookiesOf(const std::string& site) override {
        BandServices& s = hold_.Services();
        const bool newSystem = BandUsesNewSystem(band_);
        CookieKeep keep = LoadCookieKeep(s.registry, newSystem);
        const Win32Shell::OwnerScope owner(s.shell, band_.Hwnd());
        // A list that cannot be read is not replaced by one of a single site.
        if (!keep.readable) {
            s.shell.ShowMessage(kKeepListUnreadableToAdd, MessageIcon::Exclamation);
            return;
        }
        if (keep.list.Add(site) == CookieKeepList::Added::Full) {
            s.shell.ShowMessage(kKeepListFull, MessageIcon::Exclamation);
            return;
        }
        SaveCookieKeepList(s.registry, newSystem, keep.list);
        const int kept = band_.MarkKeptCookies();
        BrowserStatusLine(band_.Browser())
            .Show(KeptStatusText(unsigned(band_.List(EntryKind::Cookie).Model().RowCount()), unsigned(kept)));
    }

private:
    BandWindow& band_;
    const BandHold hold_;
};

void OpenRowAddress(BandWindow& band) {
    if (!band.Browser())
        return;
    ModelItemList list(band.CurrentList().Model());
    const std::string url = CurrentCell(list, "URL");
    NavigateTo(band.Browser(), band.CurrentTab() == 1 ? CookieAddress(url) : url);
}

// A point beside every monitor is moved across onto the nearest one's work
// area; its height is left as it is.
POINT OntoMonitor(POINT point) {
    if (MonitorFromPoint(point, MONITOR_DEFAULTTONULL))
        return point;
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST), &info)) {
        if (point.x < info.rcWork.left)
            point.x = info.rcWork.left;
        if (point.x > info.rcWork.right)
            point.x = info.rcWork.right;
    }
    return point;
}

void RunCommandOnTab(BandWindow& band, int command, int tab) {
    ListWindow& window = band.CurrentList();
    ModelItemList list(window.Model());
    BandStores stores(band);
    BandHost host(band);
    RunItemCommand(command, tab, list, stores, host, band.ConfirmDeletions(), ActiveCodePage());
    if (host.BandGone())
        return;
    window.Changed();
    stores.SayWhetherAllWereKept(band.Hwnd());
}

// At the pointer, or at `at` when the keyboard asked.
void ShowContextMenu(BandWindow& band, const POINT* at = nullptr) {
    const int tab = band.CurrentTab();
    const int menuId = RowMenuOfCurrentList(band);
    if (menuId == kNoRowMenu)
        return;
    POINT cursor = {};
    if (at)
        cursor = *at;
    else
        GetCursorPos(&cursor);
    band.SetContextMenuOpen(true);
    const UniqueMenu menu(LoadMenuA(band.Module(), MAKEINTRESOURCEA(menuId)));
    if (!menu) {
        band.SetContextMenuOpen(false);
        return;
    }
    const std::weak_ptr<void> life = band.Life();
    HMENU popup = GetSubMenu(menu.Get(), 0);
    int command = 0;
    if (popup) {
        const POINT at = OntoMonitor(cursor);
        command = int(TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RETURNCMD, at.x, at.y, 0, band.Hwnd(), nullptr));
    }
    if (life.expired())
        return;
    // The menu is done with: its painted items go with it.
    band.Painter().Forget();
    if (command)
        RunCommandOnTab(band, command, tab);
    if (!life.expired())
        band.SetContextMenuOpen(false);
}

// The Cookie Details dialog (template 214): the cookie file's text.
class CookieDetailsDialog : public DialogObject {
public:
    explicit CookieDetailsDialog(const std::string& file) : file_(file) {}
    void OnInit() override { SetDlgItemTextA(hwnd, IDC_COOKIE_DETAILS_TEXT, ReadCookieDetails(file_).c_str()); }

private:
    const std::string& file_;
};

}  // namespace

int RowMenuOfCurrentList(BandWindow& band) {
    ModelItemList list(band.CurrentList().Model());
    return ChooseRowMenu(band.CurrentTab(), list);
}

void RunRowCommand(BandWindow& band, int command) {
    RunCommandOnTab(band, command, band.CurrentTab());
}

LRESULT HandleListNotify(BandWindow& band, const NMHDR& header) {
    switch (int(header.code)) {
    case kListLinkDown:
        OpenRowAddress(band);
        break;
    case kListRightUp:
        ShowContextMenu(band);
        break;
    default:
        break;
    }
    return 0;
}

void ShowRowMenuFromKeyboard(BandWindow& band) {
    const POINT at = band.CurrentList().KeyboardMenuPoint();
    ShowContextMenu(band, &at);
}

std::string ReadCookieDetails(const std::string& path) {
    const UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return std::string();
    std::string text;
    const DWORD size = GetFileSize(file.Get(), nullptr);
    if (size != INVALID_FILE_SIZE && size > 0 && size <= kCookieFileLimit) {
        std::vector<char> buffer(size, '\0');
        DWORD read = 0;
        if (ReadFile(file.Get(), buffer.data(), size, &read, nullptr) && read > 0)
            text = CookieDetailsText(std::string(buffer.data(), read));
    }
    return text;
}

INT_PTR RunCookieDetailsDialog(BandWindow& band, const std::string& file) {
    CookieDetailsDialog dialog(file);
    return RunBandDialog(band, IDD_COOKIE_DETAILS, dialog);
}

}  // namespace tw
