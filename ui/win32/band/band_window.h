// The band window that the Explorer bar puts into the browser's band site:
// the menu bar, the tab strip and the three lists, the start-up fills, the
// layout, and the command table of the menu bar.
#pragma once

#include <windows.h>
#include <exdisp.h>

#include <memory>
#include <string>
#include <vector>

#include "clean/broker.h"
#include "clean/cleanup.h"
#include "core/tab_fill.h"
#include "platform/process_files.h"
#include "platform/win32/com_ptr.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_broker.h"
#include "platform/win32/win32_clock.h"
#include "platform/win32/win32_file_system.h"
#include "platform/win32/win32_history.h"
#include "platform/win32/win32_process_rights.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_shell.h"
#include "platform/win32/win32_url_cache.h"
#include "report/win32/file_dialog_win32.h"
#include "settings/date_format.h"
#include "settings/settings_store.h"
#include "ui/band_window_model.h"
#include "ui/win32/band/key_watch.h"
#include "ui/win32/controls/list_window.h"
#include "ui/win32/controls/menu_bar.h"
#include "ui/win32/controls/menu_painter.h"
#include "ui/win32/controls/progress_window.h"
#include "ui/win32/controls/tab_strip_window.h"
#include "ui/win32/window/window_base.h"

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
    // The rights the system reports, unless a test gives others.
    explicit BandServices(std::unique_ptr<ProcessRights> given = std::unique_ptr<ProcessRights>())
        : ownRights(given ? std::move(given) : std::unique_ptr<ProcessRights>(new Win32ProcessRights)),
          rights(*ownRights) {}
    BandServices(const BandServices&) = delete;
    BandServices& operator=(const BandServices&) = delete;

    std::unique_ptr<ProcessRights> ownRights;
    const ProcessRights& rights;
    Win32Registry registry;
    Win32UrlCache cache;
    Win32HistoryService history;
    Win32FileSystem systemFiles;
    // The store folders are those of this process's stores: in Protected
    // Mode the Low ones.
    ProcessFileSystem files{systemFiles, rights};
    Win32Shell shell;
    Win32Clock clock;
    Win32FileDialogs dialogs;
    // tidewell-cleanw.exe beside the module.
    Win32Broker broker{BrokerBeside(shell.ModuleFileName())};
};

// The window owns its object: the object is deleted when the window goes.
class BandWindow : public ListRebuilder, public Window<BandWindow>, private KeyWatcher {
public:
    BandWindow(HINSTANCE module, std::unique_ptr<BandServices> services);
    ~BandWindow() override;

    // Makes the window, which owns band from its first message on and
    // deletes it when it goes; band is deleted here when no window could
    // take it. When slot is given it holds the window and is cleared when
    // the window goes, whoever destroys it.
    static HWND Create(BandWindow* band, HWND parent, const RECT& rect, UniqueWindow* slot = nullptr);
    static BandWindow* FromHandle(HWND window);

    // Takes a reference of its own; null clears.
    void SetBrowser(IWebBrowser2* browser) { browser_ = ComPtr<IWebBrowser2>::Share(browser); }

    // The list of the tab strip's current tab.
    ListWindow& CurrentList();
    int CurrentTab() const { return tabs_.GetCurSel(); }
    ListWindow& List(EntryKind kind) { return *lists_[int(kind)]; }
    FlatTabStrip& TabStrip() { return tabs_; }
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
    std::shared_ptr<BandServices> SharedServices() const { return services_; }
    IWebBrowser2* Browser() const { return browser_.Get(); }
    ProgressController& Progress() { return progress_; }

    // Shows one index file in the tab of its kind; silent when it is none.
    void LoadIndex(const std::string& path);
    // Runs a cleanup that deletes nothing, selects the rows it would delete
    // in the store's list, and tells the counts in the status line.
    void PreviewCleanup(const CleanupCriteria& criteria, bool useKeepList);
    void ReloadSettings();
    // The sizes the band is laid out with, at its window's DPI.
    const BandMetrics& Metrics() const { return metrics_; }

    // ListRebuilder
    void ShowStore(std::int32_t store) override;
    void RebuildList(std::int32_t store) override;

    static const std::vector<MessageEntry<BandWindow>>& Messages();

private:
    void OnWindowGone() override;
    // Ctrl+Tab, Ctrl+Shift+Tab and the context menu keys, wherever the
    // focus is in the band.
    bool WatchKey(const MSG& msg) override;
    bool OnCreate();
    void OnTimer(UINT_PTR id);
    void OnSize(int width, int height);
    // Takes the window's DPI afresh; when it changed, the images, fonts and
    // sizes follow it. Lays the band out again when it changed or when
    // asked to.
    void ApplyDpi(bool repaint);
    void LoadImageLists();
    void OnEraseBackground(HDC dc);
    LRESULT OnNotify(const NMHDR& header);
    void OnCommand(WPARAM wParam);
    void RunCommand(Command command);
    // Hands a change of the system's settings, colours or fonts to the
    // child controls, which top-level broadcasts never reach.
    void ForwardToChildren(UINT message, WPARAM wParam, LPARAM lParam);

    void SwitchToTab(int tab);
    void ShowOnly(EntryKind kind);
    void Refresh();
    void RepaintAll();
    void PageClick();
    // The right margin that keeps the lists clear of the browser frame.
    int Margin() const;

    HINSTANCE module_;
    std::shared_ptr<BandServices> services_;
    bool* adopted_ = nullptr;
    UniqueWindow* slot_ = nullptr;
    ComPtr<IWebBrowser2> browser_;
    bool newSystem_ = false;
    BandSettings settings_;
    BandMetrics metrics_;
    UniqueMenu menu_;
    UniqueImageList listImages_;
    UniqueImageList contextImages_;
    UniqueImageList headerImages_;
    ContextMenuPainter painter_;
    ProgressController progress_;
    // The controls go before the images they show.
    MenuBar menuBar_;
    std::unique_ptr<ListWindow> lists_[3];
    FlatTabStrip tabs_;
    bool contextMenuOpen_ = false;
    KeyWatch watch_;
};

// What a caller holds across a modal loop of the band, since the browser
// may close the band meanwhile: the services stay alive for whatever the
// caller still does with them, and the band itself is not used once Gone().
class BandHold {
public:
    explicit BandHold(const BandWindow& band) : services_(band.SharedServices()), life_(band.Life()) {}
    BandServices& Services() const { return *services_; }
    bool Gone() const { return life_.expired(); }

private:
    std::shared_ptr<BandServices> services_;
    std::weak_ptr<void> life_;
};

// A visible child of `parent` covering `rect`, with the module's activation
// context active; null when it cannot be made.
HWND CreateBandWindow(HINSTANCE module, HWND parent, const RECT& rect, UniqueWindow* slot);
void SetBandBrowser(HWND band, IWebBrowser2* browser);
void StartPageClick(HWND band);

}  // namespace tw
