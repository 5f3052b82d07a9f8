#include "ui/win32/band/band_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <cstring>
#include <map>

#include "clean/find.h"
#include "clean/shell_history.h"
#include "core/ansi_text.h"
#include "report/help.h"
#include "report/save_report.h"
#include "res/resource.h"
#include "settings/settings_store.h"
#include "ui/item_actions.h"
#include "ui/protected_mode.h"
#include "ui/win32/window/activation.h"
#include "ui/win32/band/band_actions.h"
#include "ui/win32/gdi.h"
#include "ui/win32/controls/list_adapters.h"
#include "ui/win32/window/dpi.h"
#include "ui/win32/window/system_palette.h"

namespace tw {

namespace {

// The strip of the size the DPI chose, else the 16-pixel one.
UniqueImageList LoadImages(HINSTANCE module, UINT bitmap, int size) {
    const auto load = [module](int id, int cx) {
        return UniqueImageList(ImageList_LoadImageA(module, MAKEINTRESOURCEA(id), cx, 0, RGB(255, 0, 255),
                                                    IMAGE_BITMAP, LR_CREATEDIBSECTION));
    };
    UniqueImageList images = load(BitmapForImageSize(int(bitmap), size), size);
    return images ? std::move(images) : load(int(bitmap), 16);
}

std::map<UINT, int> ItemCommandImageNumbers() {
    std::map<UINT, int> images;
    for (const ItemCommandImage& i : kItemCommandImages)
        images[UINT(i.command)] = i.image;
    return images;
}

EntryKind KindOfStore(std::int32_t store) {
    return store == kStoreCookies ? EntryKind::Cookie : store == kStoreCache ? EntryKind::Cache : EntryKind::History;
}

// The first child of parent whose class name is exactly name.
HWND ChildOfClass(HWND parent, const char* name) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char cls[260] = "";
        GetClassNameA(child, cls, sizeof cls);
        if (std::strcmp(cls, name) == 0)
            return child;
    }
    return nullptr;
}

const WindowClass kBandClass = {kBandWindowClass, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS,
                                 reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)};

// Stops the band's drawing for a scope. WM_SETREDRAW(TRUE) also gives a
// window the visible style, so a band that is hidden is left alone: it has
// nothing to draw, and it must stay hidden.
class DrawingPause {
public:
    explicit DrawingPause(HWND window)
        : window_(window), paused_((GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE) != 0) {
        if (paused_)
            SendMessageA(window_, WM_SETREDRAW, FALSE, 0);
    }
    ~DrawingPause() {
        if (paused_)
            SendMessageA(window_, WM_SETREDRAW, TRUE, 0);
    }
    DrawingPause(const DrawingPause&) = delete;
    DrawingPause& operator=(const DrawingPause&) = delete;

private:
    HWND window_;
    bool paused_;
};

}  // namespace

BandWindow::BandWindow(HINSTANCE module, std::unique_ptr<BandServices> services)
    : module_(module), services_(std::move(services)) {
    const int major = services_->shell.MajorVersion();
    newSystem_ = IsNewSystem(major > 0, major);
    settings_.dateTemplate = kDefaultDateTemplate;
    for (auto& list : lists_)
        list.reset(new ListWindow(services_->clock));
}

BandWindow::~BandWindow() = default;

HWND BandWindow::Create(BandWindow* band, HWND parent, const RECT& rect, UniqueWindow* slot) {
    bool adopted = false;
    band->adopted_ = &adopted;
    band->slot_ = slot;
    HWND window = nullptr;
    {
        ActivationScope scope;
        window = band->CreateWindowOf(kBandClass, 0, kBandWindowText,
                                      WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, rect, parent, 0);
    }
    if (!adopted)
        delete band;
    else if (window)
        band->adopted_ = nullptr;
    return window;
}

BandWindow* BandWindow::FromHandle(HWND window) {
    if (!window || !IsWindow(window))
        return nullptr;
    char cls[64] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (std::strcmp(cls, kBandWindowClass) != 0)
        return nullptr;
    return static_cast<BandWindow*>(reinterpret_cast<WindowBase*>(GetWindowLongPtrA(window, GWLP_USERDATA)));
}

void BandWindow::OnWindowGone() {
    if (slot_)
        slot_->Detach();
    delete this;
}

void BandWindow::ForwardToChildren(UINT message, WPARAM wParam, LPARAM lParam) {
    for (HWND child = GetWindow(Hwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        SendMessageA(child, message, wParam, lParam);
}

const std::vector<MessageEntry<BandWindow>>& BandWindow::Messages() {
    static const std::vector<MessageEntry<BandWindow>> table = {
        {WM_NCCREATE, [](BandWindow& b, WPARAM, LPARAM, bool& handled) -> LRESULT {
             if (b.adopted_)
                 *b.adopted_ = true;
             if (b.slot_)
                 b.slot_->Reset(b.Hwnd());
             handled = false;
             return 0;
         }},
        // A band whose controls could not all be made is no band: the
        // creation fails, and so does the site that asked for it.
        {WM_CREATE, [](BandWindow& b, WPARAM, LPARAM, bool&) -> LRESULT { return b.OnCreate() ? 0 : -1; }},
        {WM_ERASEBKGND, [](BandWindow& b, WPARAM wp, LPARAM, bool&) -> LRESULT {
             b.OnEraseBackground(reinterpret_cast<HDC>(wp));
             return 0;
         }},
        // Only the band's owner closes it.
        {WM_CLOSE, [](BandWindow&, WPARAM, LPARAM, bool&) -> LRESULT { return 0; }},
        {WM_SIZE, [](BandWindow& b, WPARAM, LPARAM lp, bool&) -> LRESULT {
             b.OnSize(short(LOWORD(lp)), short(HIWORD(lp)));
             return 0;
         }},
        {WM_NOTIFY, [](BandWindow& b, WPARAM, LPARAM lp, bool&) -> LRESULT {
             return lp ? b.OnNotify(*reinterpret_cast<const NMHDR*>(lp)) : 0;
         }},
        {WM_TIMER, [](BandWindow& b, WPARAM wp, LPARAM, bool&) -> LRESULT {
             b.OnTimer(wp);
             return 0;
         }},
        {WM_INITMENUPOPUP, [](BandWindow& b, WPARAM wp, LPARAM lp, bool&) -> LRESULT {
             if (b.contextMenuOpen_ && !HIWORD(lp))
                 b.painter_.PreparePopup(reinterpret_cast<HMENU>(wp));
             return 0;
         }},
        {kWmFindOnTab, [](BandWindow& b, WPARAM, LPARAM lp, bool&) -> LRESULT {
             if (lp) {
                 const FindRequest& request = *reinterpret_cast<const FindRequest*>(lp);
                 ListWindowSearch search(b.CurrentList(), request.findAll != 0);
                 FindItems(search, request, ActiveCodePage());
             }
             return 0;
         }},
        {kWmRunCleanup, [](BandWindow& b, WPARAM wp, LPARAM lp, bool&) -> LRESULT {
             if (lp) {
                 const BandHold hold(b);
                 BandServices& s = hold.Services();
                 Cleaner cleaner(s.history, s.cache, s.files, s.clock);
                 const CleanupCriteria& criteria = *reinterpret_cast<const CleanupCriteria*>(lp);
                 // Over the dialog that sent it.
                 const Win32Shell::OwnerScope owner(s.shell, GetActiveWindow() ? GetActiveWindow() : b.Hwnd());
                 const CleanupBeyond beyond = RunBandCleanup(criteria, wp != kRunCleanupIgnoringKeepList, cleaner, b,
                                                             s.registry, b.newSystem_, s.shell, s.rights, s.broker);
                 if (beyond.brokerRan && !hold.Gone()) {
                     const EntryKind kind = KindOfStore(criteria.store);
                     BrowserStatusLine(b.browser_.Get())
                         .Show(BeyondStatusText(kind, unsigned(b.List(kind).Model().RowCount()), beyond));
                 }
             }
             return 0;
         }},
        {kWmPreviewCleanup, [](BandWindow& b, WPARAM wp, LPARAM lp, bool&) -> LRESULT {
             if (lp)
                 b.PreviewCleanup(*reinterpret_cast<const CleanupCriteria*>(lp), wp != kRunCleanupIgnoringKeepList);
             return 0;
         }},
        {WM_COMMAND, [](BandWindow& b, WPARAM wp, LPARAM, bool& handled) -> LRESULT {
             handled = FindCommand(wp) != nullptr;
             if (handled)
                 b.OnCommand(wp);
             return 0;
         }},
        // The row menus' items are painted, so their keys are the band's to find.
        {WM_MENUCHAR, [](BandWindow& b, WPARAM wp, LPARAM lp, bool& handled) -> LRESULT {
             handled = b.contextMenuOpen_ && (HIWORD(wp) & MF_POPUP) != 0;
             return handled ? b.painter_.MenuChar(reinterpret_cast<HMENU>(lp), char(LOWORD(wp))) : 0;
         }},
        {WM_MEASUREITEM, [](BandWindow& b, WPARAM, LPARAM lp, bool& handled) -> LRESULT {
             handled = lp && b.painter_.Measure(b.Hwnd(), *reinterpret_cast<MEASUREITEMSTRUCT*>(lp));
             return TRUE;
         }},
        {WM_DRAWITEM, [](BandWindow& b, WPARAM, LPARAM lp, bool& handled) -> LRESULT {
             handled = lp && b.painter_.Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
             return TRUE;
         }},
        // A change of the screen's DPI may come as a change of settings
        // alone; either way the band lays itself out again, and a change of
        // colours (high contrast on or off) paints everything anew. Both
        // messages go to top-level windows, and a browser need not pass
        // them on; the painters read the colours at each paint, so the
        // repaint the system asks for after a change of colours is enough.
        {WM_SETTINGCHANGE, [](BandWindow& b, WPARAM wp, LPARAM lp, bool& handled) -> LRESULT {
             b.ForwardToChildren(WM_SETTINGCHANGE, wp, lp);
             b.ApplyDpi(true);
             handled = false;
             return 0;
         }},
        {WM_SYSCOLORCHANGE, [](BandWindow& b, WPARAM wp, LPARAM lp, bool& handled) -> LRESULT {
             b.ForwardToChildren(WM_SYSCOLORCHANGE, wp, lp);
             b.RepaintAll();
             handled = false;
             return 0;
         }},
        {kWmDpiChanged, [](BandWindow& b, WPARAM, LPARAM, bool& handled) -> LRESULT {
             b.ApplyDpi(false);
             handled = false;
             return 0;
         }},
        {kWmDpiChangedAfterParent, [](BandWindow& b, WPARAM, LPARAM, bool& handled) -> LRESULT {
             b.ApplyDpi(false);
             handled = false;
             return 0;
         }},
        {WM_FONTCHANGE, [](BandWindow& b, WPARAM wp, LPARAM lp, bool& handled) -> LRESULT {
             b.ForwardToChildren(WM_FONTCHANGE, wp, lp);
             handled = false;
             return 0;
         }},
        // The focus given to the band goes to the list shown.
        {WM_SETFOCUS, [](BandWindow& b, WPARAM, LPARAM, bool&) -> LRESULT {
             if (b.CurrentList().Hwnd())
                 SetFocus(b.CurrentList().Hwnd());
             return 0;
         }},
        // From the keyboard (-1, -1): the current row's menu at that row.
        {WM_CONTEXTMENU, [](BandWindow& b, WPARAM, LPARAM lp, bool& handled) -> LRESULT {
             handled = GET_X_LPARAM(lp) == -1 && GET_Y_LPARAM(lp) == -1 && !b.contextMenuOpen_;
             if (handled)
                 ShowRowMenuFromKeyboard(b);
             return 0;
         }},
        {WM_DESTROY, [](BandWindow& b, WPARAM, LPARAM, bool& handled) -> LRESULT {
             b.watch_.Stop();
             handled = false;
             return 0;
         }},
    };
    return table;
}

bool BandWindow::OnCreate() {
    ActivationScope scope;
    metrics_ = BandMetricsFor(WindowDpi(Hwnd()));
    painter_.SetDpi(metrics_.dpi);
    RECT none = {0, 0, 0, 0};
    menu_.Reset(LoadMenuA(module_, MAKEINTRESOURCEA(IDM_MENU_BAR)));
    if (menuBar_.Create(Hwnd(), none)) {
        menuBar_.AttachMenu(menu_.Get());
        menuBar_.SetMaskColour(RGB(255, 0, 255));
        menuBar_.LoadToolBar(module_, IDR_COMMAND_IMAGES);
    }
    LoadImageLists();
    painter_.SetImages(contextImages_.Get(), ItemCommandImageNumbers());

    const EntryKind kinds[3] = {EntryKind::History, EntryKind::Cookie, EntryKind::Cache};
    for (int i = 0; i < 3; ++i) {
        const DWORD visible = i == 0 ? WS_VISIBLE : 0;
        if (!lists_[i]->Create(Hwnd(), WS_CHILD | WS_TABSTOP | visible, WS_EX_CLIENTEDGE, none, kListIds[i]))
            return false;
        lists_[i]->SetImageList(listImages_.Get());
        lists_[i]->SetHeaderImageList(headerImages_.Get());
        ListWindowRows rows(*lists_[i]);
        for (const Column& c : LiveColumns(kinds[i]))
            rows.AddColumn(c);
        // A screen reader names the list by its text.
        SetWindowTextA(lists_[i]->Hwnd(), TrimText(kTabTitles[i]).c_str());
    }
    tabs_.Create(Hwnd(), none, kTabStripId, WS_VISIBLE | FlatTabStrip::kStyleToolTip);
    for (int i = 0; i < 3; ++i)
        tabs_.AddItem(i, kTabTitles[i]);
    ReloadSettings();
    SetTimer(Hwnd(), kHistoryFillTimer, kHistoryFillDelayMs, nullptr);
    watch_.Start(*this);
    return true;
}

bool BandWindow::WatchKey(const MSG& msg) {
    KeyPress key;
    if (contextMenuOpen_ || !KeyPressOf(msg, key) || !WithinWindow(Hwnd(), msg.hwnd))
        return false;
    switch (BandKeyActionOf(key)) {
    case BandKeyAction::NextTab:
    case BandKeyAction::PreviousTab: {
        const int step = BandKeyActionOf(key) == BandKeyAction::NextTab ? 1 : -1;
        tabs_.ChangeTo(StepTab(tabs_.GetCurSel(), step, tabs_.Model().Count()));
        return true;
    }
    case BandKeyAction::ContextMenu:
        // The menu runs a loop of its own: not inside the thread's hook.
        PostMessageA(Hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(CurrentList().Hwnd()), LPARAM(-1));
        return true;
    case BandKeyAction::Swallow:
        return true;
    case BandKeyAction::None:
        break;
    }
    return false;
}

void BandWindow::LoadImageLists() {
    const int size = metrics_.imageSize;
    listImages_ = LoadImages(module_, IDB_ROW_IMAGES, size);
    contextImages_ = LoadImages(module_, IDB_CONTEXT_IMAGES, size);
    headerImages_ = LoadImages(module_, IDB_SORT_MARKS, size);
}

void BandWindow::ApplyDpi(bool repaint) {
    const int dpi = WindowDpi(Hwnd());
    if (dpi != metrics_.dpi) {
        metrics_ = BandMetricsFor(dpi);
        painter_.SetDpi(dpi);
        // The controls let go of the old images before they go.
        const UniqueImageList oldList = std::move(listImages_), oldContext = std::move(contextImages_),
                              oldHeader = std::move(headerImages_);
        LoadImageLists();
        painter_.SetImages(contextImages_.Get(), ItemCommandImageNumbers());
        for (auto& list : lists_) {
            if (!list->Hwnd())
                continue;
            list->SetImageList(listImages_.Get());
            list->SetHeaderImageList(headerImages_.Get());
            list->SetDpi(dpi);
        }
        if (tabs_.Hwnd())
            tabs_.SetDpi(dpi);
        if (menuBar_.Hwnd()) {
            menuBar_.SetDpi(dpi);
            menuBar_.LoadToolBar(module_, IDR_COMMAND_IMAGES);
        }
        repaint = true;
    }
    if (!repaint)
        return;
    RECT client{};
    GetClientRect(Hwnd(), &client);
    OnSize(client.right, client.bottom);
    RepaintAll();
}

void BandWindow::ReloadSettings() {
    settings_ = LoadBandSettings(services_->registry, newSystem_);
}

void BandWindow::OnTimer(UINT_PTR id) {
    KillTimer(Hwnd(), id);
    switch (id) {
    case kHistoryFillTimer: {
        {
            const DrawingPause pause(Hwnd());
            ListWindowRows rows(List(EntryKind::History));
            BrowserStatusLine status(browser_.Get());
            FillHistoryList(services_->history, rows, settings_.dateTemplate, browser_ ? &status : nullptr);
        }
        RepaintAll();
        SetTimer(Hwnd(), kCacheFillTimer, kCacheFillDelayMs, nullptr);
        break;
    }
    case kCacheFillTimer: {
        progress_.Start();
        {
            ListWindowRows cookies(List(EntryKind::Cookie)), cache(List(EntryKind::Cache));
            FillCookieAndCacheLists(services_->cache, cookies, cache, settings_.dateTemplate);
        }
        MarkKeptCookies();
        progress_.End();
        break;
    }
    case kPageClickTimer:
        PageClick();
        break;
    default:
        break;
    }
}

int BandWindow::Margin() const {
    if (!browser_)
        return 0;
    SHANDLE_PTR frame = 0;
    RECT band = {}, browser = {};
    if (FAILED(browser_->get_HWND(&frame)) || !frame)
        return RightMargin(false, 0, 0, metrics_);
    GetWindowRect(Hwnd(), &band);
    GetWindowRect(reinterpret_cast<HWND>(frame), &browser);
    return RightMargin(true, band.left, browser.left, metrics_);
}

void BandWindow::OnSize(int width, int height) {
    const BandLayout l = LayOutBand(width, height, Margin(), metrics_);
    if (menuBar_.Hwnd())
        MoveWindow(menuBar_.Hwnd(), l.menuBar.x, l.menuBar.y, l.menuBar.width, l.menuBar.height, TRUE);
    for (auto& list : lists_) {
        if (list->Hwnd())
            MoveWindow(list->Hwnd(), l.lists.x, l.lists.y, l.lists.width, l.lists.height, TRUE);
    }
    if (tabs_.Hwnd())
        MoveWindow(tabs_.Hwnd(), l.tabStrip.x, l.tabStrip.y, l.tabStrip.width, l.tabStrip.height, TRUE);
}

void BandWindow::OnEraseBackground(HDC dc) {
    RECT client;
    GetClientRect(Hwnd(), &client);
    const Palette palette = CurrentPalette();
    GdiObject<HBRUSH> brush(CreateSolidBrush(Ref(palette.bandBack)));
    FillRect(dc, &client, brush.Get());
    GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, Ref(palette.bandLine)));
    HGDIOBJ old = SelectObject(dc, pen.Get());
    RECT strip = {};
    if (tabs_.Hwnd())
        GetClientRect(tabs_.Hwnd(), &strip);
    MoveToEx(dc, client.left, client.top, nullptr);
    LineTo(dc, client.left, client.bottom);
    MoveToEx(dc, client.right - 2, client.top, nullptr);
    LineTo(dc, client.right - 2, client.bottom);
    MoveToEx(dc, client.left, metrics_.barLine, nullptr);
    LineTo(dc, client.right - (strip.right - strip.left), metrics_.barLine);
    SelectObject(dc, old);
}

LRESULT BandWindow::OnNotify(const NMHDR& header) {
    switch (header.code) {
    case UINT(kTcnSelChange):
        SwitchToTab(tabs_.GetCurSel());
        return 0;
    case UINT(kTcnSelChanging):
    case UINT(kTbnDropDown):
        return 0;
    default:
        return HandleListNotify(*this, header);
    }
}

ListWindow& BandWindow::CurrentList() {
    return List(ListOfTab(tabs_.GetCurSel()));
}

void BandWindow::ShowOnly(EntryKind kind) {
    // A hidden list cannot keep the focus: the shown one takes it over.
    const HWND focus = GetFocus();
    bool focused = false;
    for (const auto& list : lists_)
        focused = focused || (focus && focus == list->Hwnd());
    for (int i = 0; i < 3; ++i) {
        if (lists_[i]->Hwnd())
            ShowWindow(lists_[i]->Hwnd(), i == int(kind) ? SW_SHOW : SW_HIDE);
    }
    if (focused)
        SetFocus(List(kind).Hwnd());
}

void BandWindow::SwitchToTab(int tab) {
    if (!IsTab(tab))
        return;
    ShowOnly(EntryKind(tab));
    ShowStatus(EntryKind(tab));
}

void BandWindow::ShowStatus(EntryKind store) {
    BrowserStatusLine(browser_.Get()).Show(StatusText(store, unsigned(List(store).Model().RowCount())));
}

void BandWindow::ShowStore(std::int32_t store) {
    const EntryKind kind = KindOfStore(store);
    tabs_.SetCurrent(int(kind));
    ShowOnly(kind);
}

void BandWindow::RebuildList(std::int32_t store) {
    const EntryKind kind = KindOfStore(store);
    ListWindowRows rows(List(kind));
    BrowserStatusLine status(browser_.Get());
    RebuildLiveList(kind, rows, services_->history, services_->cache, settings_.dateTemplate,
                    browser_ ? &status : nullptr);
    if (kind == EntryKind::Cookie)
        MarkKeptCookies();
}

int BandWindow::MarkKeptCookies() {
    // A list that cannot be read marks nothing: the rows it would keep are not known.
    const CookieKeep keep = LoadCookieKeep(services_->registry, newSystem_);
    const int kept = MarkKeptCookieRows(List(EntryKind::Cookie).Model(), keep.list);
    List(EntryKind::Cookie).Changed();
    return kept;
}

void BandWindow::RepaintAll() {
    // The lists too: the band clips its children, so invalidating the band
    // alone would leave the rows added while drawing was off unpainted.
    RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void BandWindow::Refresh() {
    progress_.Start();
    {
        const DrawingPause pause(Hwnd());
        const EntryKind kind = ListOfTab(tabs_.GetCurSel());
        RebuildList(kind == EntryKind::Cookie  ? kStoreCookies
                    : kind == EntryKind::Cache ? kStoreCache
                                               : kStoreHistory);
    }
    progress_.End();
    RepaintAll();
}

void BandWindow::LoadIndex(const std::string& path) {
    EntryKind kind = EntryKind::History;
    IndexLoad load;
    {
        TabList* lists[3];
        std::unique_ptr<ListWindowRows> rows[3];
        for (int i = 0; i < 3; ++i) {
            rows[i].reset(new ListWindowRows(*lists_[i]));
            lists[i] = rows[i].get();
        }
        load = LoadIndexFile(path.c_str(), lists, settings_.dateTemplate, &kind);
    }
    if (load == IndexLoad::Refused)
        return;
    if (int(kind) < tabs_.Model().Count()) {
        tabs_.SetCurrent(int(kind));
    }
    ShowOnly(kind);
    if (load == IndexLoad::CutShort) {
        // Last of all: the browser may close the band while the message is up.
        const BandHold hold(*this);
        const std::string text = CutShortText(List(kind).Model().RowCount());
        const Win32Shell::OwnerScope owner(hold.Services().shell, Hwnd());
        hold.Services().shell.ShowMessage(text.c_str(), MessageIcon::Exclamation);
    }
}

void BandWindow::PreviewCleanup(const CleanupCriteria& criteria, bool useKeepList) {
    const std::int32_t store = criteria.store;
    if (store != kStoreHistory && store != kStoreCookies && store != kStoreCache)
        return;
    BandServices& s = *services_;
    // The broker's part first: a message about it may outlast the band.
    const BandHold hold(*this);
    CleanupBeyond beyond;
    {
        const Win32Shell::OwnerScope owner(s.shell, GetActiveWindow() ? GetActiveWindow() : Hwnd());
        beyond = PreviewBeyond(criteria, s.rights, s.shell, s.broker);
    }
    if (hold.Gone())
        return;
    CleanupJournal journal(true);
    Cleaner cleaner(s.history, s.cache, s.files, s.clock);
    cleaner.Journal(&journal);
    RunCleanupWithKeepList(criteria, useKeepList, cleaner, *this, s.registry, newSystem_);
    const EntryKind kind = KindOfStore(store);
    ListWindow& list = List(kind);
    const CleanupOutcome& outcome = journal.Outcome();
    const std::vector<int> rows = RowsOfUrls(ModelItemList(list.Model()), kind, outcome.deleted);
    list.Model().Select(-1, 0, 0);
    // The first row last, so that it has the focus and is scrolled to.
    for (std::size_t i = 1; i < rows.size(); ++i)
        list.Model().Select(rows[i], 0, kKeyControl);
    if (rows.empty())
        list.Changed();
    else
        list.Select(rows.front(), 0, kKeyControl);
    PreviewCounts counts;
    counts.deleted = unsigned(outcome.deleted.size());
    counts.rows = unsigned(list.Model().RowCount());
    counts.kept = unsigned(outcome.kept.size());
    counts.files = unsigned(outcome.files.size());
    counts.bytes = outcome.FileBytes();
    BrowserStatusLine(browser_.Get()).Show(BeyondPreviewText(PreviewStatusText(kind, counts), beyond));
}

void BandWindow::PageClick() {
    if (!browser_)
        return;
    SHANDLE_PTR frame = 0;
    if (FAILED(browser_->get_HWND(&frame)) || !frame)
        return;
    HWND view = ChildOfClass(reinterpret_cast<HWND>(frame), "Shell DocObject View");
    HWND page = view ? ChildOfClass(view, "Internet Explorer_Server") : nullptr;
    if (page)
        SendMessageA(page, WM_LBUTTONDOWN, 0, 0);
}

void BandWindow::OnCommand(WPARAM wParam) {
    const CommandEntry* entry = FindCommand(wParam);
    if (entry)
        RunCommand(entry->command);
}

void BandWindow::RunCommand(Command command) {
    // Dialogs and questions below may outlast the band.
    const BandHold hold(*this);
    BandServices& s = hold.Services();
    switch (command) {
    case Command::Refresh: Refresh(); break;
    case Command::SaveHistory:
    case Command::SaveCookies:
    case Command::SaveCache: {
        const ReportKind kind = command == Command::SaveHistory   ? ReportKind::History
                                : command == Command::SaveCookies ? ReportKind::Cookies
                                                                  : ReportKind::Cache;
        ActivationScope scope;
        const CookieKeep keep = LoadCookieKeep(s.registry, newSystem_);
        const KeptCookieTest kept = [&keep](const FileEntry& e) { return keep.list.KeepsCookie(e.url); };
        // The report is written after the dialog, from nothing of the band's.
        const std::string dates = settings_.dateTemplate;
        // In Protected Mode this process may not write where the user saves.
        Win32BrokeredSave brokered;
        const bool throughBrowser = s.rights.IsProtectedMode() && Win32BrokeredSave::Available();
        SaveReport(kind, s.dialogs, {s.history, s.cache, kept}, dates, Hwnd(), throughBrowser ? &brokered : nullptr);
        break;
    }
    case Command::OpenIndexFile: {
        std::string path;
        bool chosen = false;
        {
            ActivationScope scope;
            chosen = s.dialogs.Run(IndexFileDialogRequest(Hwnd()), &path);
        }
        if (chosen && !hold.Gone())
            LoadIndex(path);
        break;
    }
    case Command::ClearTypedUrls:
    case Command::ClearRecentDocuments:
    case Command::ClearRunHistory: {
        const ShellTrace trace = command == Command::ClearTypedUrls         ? ShellTrace::TypedUrls
                                 : command == Command::ClearRecentDocuments ? ShellTrace::RecentDocuments
                                                                            : ShellTrace::RunHistory;
        const Win32Shell::OwnerScope owner(s.shell, Hwnd());
        ClearShellTrace(trace, settings_.confirmDeletions, s.rights, s.registry, s.shell, s.files, s.broker);
        break;
    }
    case Command::SelectAll:
        if (IsTab(tabs_.GetCurSel())) {
            ListWindowSearch rows(CurrentList(), true);
            SelectAllItems(rows);
        }
        break;
    case Command::Help: OpenHelp(s.shell); break;
    case Command::OnlineHelp: OpenOnlineHelp(s.shell); break;
    case Command::WebPage: OpenWebPage(s.shell); break;
    default:
        RunDialogCommand(*this, command);
        break;
    }
}

HWND CreateBandWindow(HINSTANCE module, HWND parent, const RECT& rect, UniqueWindow* slot) {
    return BandWindow::Create(new BandWindow(module, std::unique_ptr<BandServices>(new BandServices)), parent, rect,
                              slot);
}

void SetBandBrowser(HWND band, IWebBrowser2* browser) {
    if (BandWindow* b = BandWindow::FromHandle(band))
        b->SetBrowser(browser);
}

void StartPageClick(HWND band) {
    SetTimer(band, kPageClickTimer, kPageClickDelayMs, nullptr);
}

}  // namespace tw
