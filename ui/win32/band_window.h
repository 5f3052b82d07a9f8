// The band window that the Explorer bar puts into the browser's band site:
// the menu bar, the tab strip and the three lists, the start-up fills, the
// layout, and the command table of the menu bar.
#pragma once

#include <windows.h>
#include <exdisp.h>

#include <memory>
#include <string>

#include "clean/cleanup.h"
#include "core/tab_fill.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_history.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/com_ptr.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_url_cache.h"
#include "report/win32/file_dialog_win32.h"
#include "settings/date_format.h"
#include "settings/settings_store.h"
#include "ui/band_window_model.h"
#include "ui/win32/list_window.h"
#include "ui/win32/menu_bar.h"
#include "ui/win32/menu_painter.h"
#include "ui/win32/progress_window.h"
#include "ui/win32/tab_strip_window.h"

namespace tw {

const char kBandWindowClass[] = "TidewellBandWindow";
const char kBandWindowText[] = "TidewellSuperClass";
// Showing or hiding the band starts this one-shot timer (the page click).
const UINT_PTR kPageClickTimer = 3;
const UINT kPageClickDelayMs = 100;
const UINT_PTR kHistoryFillTimer = 1;
const UINT_PTR kCacheFillTimer = 2;
const UINT kHistoryFillDelayMs = 500;
const UINT kCacheFillDelayMs = 200;
// Control ids of the three lists, by tab.
const UINT kListIds[3] = {1100, 1101, 1102};

// The platform services the band window works with, realised over Win32.
struct BandServices {
    Win32Registry registry;
    Win32UrlCache cache;
    Win32HistoryService history;
    Win32FileSystem files;
    Win32Shell shell;
    Win32Clock clock;
    Win32FileDialogs dialogs;
};

class BandWindow : public ListRebuilder {
public:
    BandWindow(HINSTANCE module, std::unique_ptr<BandServices> services);
    ~BandWindow() override;
    BandWindow(const BandWindow&) = delete;
    BandWindow& operator=(const BandWindow&) = delete;

    // Makes the window, which owns band from its first message on and
    // deletes it with WM_NCDESTROY; band is deleted here when no window
    // could take it.
    static HWND Create(BandWindow* band, HWND parent, const RECT& rect);
    HWND Handle() const { return hwnd_; }
    static BandWindow* FromHandle(HWND window);

    // Takes a reference of its own; null clears.
    void SetBrowser(IWebBrowser2* browser);

    // The list of the tab strip's current tab.
    ListWindow& CurrentList();
    int CurrentTab() const { return tabs_.GetCurSel(); }
    ListWindow& List(EntryKind kind) { return *lists_[int(kind)]; }
    void ShowStatus(EntryKind store);
    // Gives the Cookies rows of kept sites their image; answers how many
    // rows belong to kept sites.
    int MarkKeptCookies();
    bool ContextMenuOpen() const { return contextMenuOpen_; }
    void SetContextMenuOpen(bool open) { contextMenuOpen_ = open; }
    ContextMenuPainter& Painter() { return painter_; }
    HINSTANCE Module() const { return module_; }
    bool ConfirmDeletions() const { return settings_.confirmDeletions; }
    const std::string& DateTemplate() const { return settings_.dateTemplate; }
    BandServices& Services() { return *services_; }
    IWebBrowser2* Browser() const { return browser_.Get(); }

    // Shows one index file in the tab of its kind; silent when it is none.
    void LoadIndex(const std::string& path);
    void ReloadSettings();

    // ListRebuilder
    void ShowStore(std::int32_t store) override;
    void RebuildList(std::int32_t store) override;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    bool OnCreate();
    void OnTimer(UINT_PTR id);
    void OnSize(int width, int height);
    void OnEraseBackground(HDC dc);
    LRESULT OnNotify(const NMHDR& header);
    void OnCommand(WPARAM wParam);
    void RunCommand(Command command);

    void SwitchToTab(int tab);
    void ShowOnly(EntryKind kind);
    void Refresh();
    void RepaintAll();
    void PageClick();
    // The right margin that keeps the lists clear of the browser frame.
    int Margin() const;

    HINSTANCE module_;
    std::unique_ptr<BandServices> services_;
    HWND hwnd_ = nullptr;
    ComPtr<IWebBrowser2> browser_;
    bool newSystem_ = false;
    BandSettings settings_;
    MenuBar menuBar_;
    UniqueMenu menu_;
    std::unique_ptr<ListWindow> lists_[3];
    FlatTabStrip tabs_;
    // Kept until the lists that draw with them are gone (the destructor).
    UniqueImageList listImages_;
    UniqueImageList contextImages_;
    ContextMenuPainter painter_;
    bool contextMenuOpen_ = false;
    ProgressController progress_;
};

// A visible child of `parent` covering `rect`, with the module's activation
// context active; null when it cannot be made.
HWND CreateBandWindow(HINSTANCE module, HWND parent, const RECT& rect);
void SetBandBrowser(HWND band, IWebBrowser2* browser);
void StartPageClick(HWND band);
// Removes the window class when the module unloads.
void UnregisterBandWindowClass(HINSTANCE module);

}  // namespace tw
