#include "ui/win32/band_window.h"

#include <commctrl.h>

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
#include "ui/win32/activation.h"
#include "ui/win32/band_actions.h"
#include "ui/win32/gdi.h"
#include "ui/win32/list_adapters.h"

namespace tw {

namespace {

const UINT kToolBarCommandImages = 203;
const UINT kBitmapListImages = 212;
const UINT kBitmapContextImages = 227;


HIMAGELIST LoadImages(HINSTANCE module, UINT bitmap) {
    return ImageList_LoadImageA(module, MAKEINTRESOURCEA(bitmap), 16, 0, RGB(255, 0, 255), IMAGE_BITMAP,
                                LR_CREATEDIBSECTION);
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

// What CreateWindowEx carries to the first message: the object, and whether
// the window took it over (from then on the window deletes it).
// Turns drawing off for a scope. WM_SETREDRAW(TRUE) makes a window
// visible, so a band the browser has hidden is left as it is.
class RedrawPause {
public:
    explicit RedrawPause(HWND window)
        : window_(window), paused_((GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0) {
        if (paused_)
            SendMessageA(window_, WM_SETREDRAW, FALSE, 0);
    }
    ~RedrawPause() {
        if (paused_)
            SendMessageA(window_, WM_SETREDRAW, TRUE, 0);
    }
    RedrawPause(const RedrawPause&) = delete;
    RedrawPause& operator=(const RedrawPause&) = delete;

private:
    HWND window_;
    bool paused_;
};

struct Birth {
    BandWindow* band;
    bool adopted;
};

bool EnsureClass(HINSTANCE module, WNDPROC proc) {
    WNDCLASSEXA existing = {};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExA(module, kBandWindowClass, &existing))
        return true;
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = proc;
    wc.hInstance = module;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kBandWindowClass;
    return RegisterClassExA(&wc) != 0;
}

}  // namespace

BandWindow::BandWindow(HINSTANCE module, std::unique_ptr<BandServices> services)
    : module_(module), services_(std::move(services)) {
    const int major = services_->shell.MajorVersion();
    newSystem_ = IsNewSystem(major > 0, major);
    settings_.dateTemplate = kDefaultDateTemplate;
    for (auto& list : lists_)
        list.reset(new ListWindow(services_->clock));
}

BandWindow::~BandWindow() {
    progress_.Teardown();
    for (auto& list : lists_)
        list.reset();
}

HWND BandWindow::Create(BandWindow* band, HWND parent, const RECT& rect) {
    Birth birth = {band, false};
    HWND window = nullptr;
    if (EnsureClass(band->module_, &BandWindow::Proc)) {
        ActivationScope scope;
        window = CreateWindowExA(0, kBandWindowClass, kBandWindowText,
                                 WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, rect.left, rect.top,
                                 rect.right - rect.left, rect.bottom - rect.top, parent, nullptr, band->module_,
                                 &birth);
    }
    if (!birth.adopted)
        delete band;
    return window;
}

BandWindow* BandWindow::FromHandle(HWND window) {
    if (!window || !IsWindow(window))
        return nullptr;
    char cls[64] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (std::strcmp(cls, kBandWindowClass) != 0)
        return nullptr;
    return reinterpret_cast<BandWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

void BandWindow::SetBrowser(IWebBrowser2* browser) {
    if (browser)
        browser->AddRef();
    browser_ = ComPtr<IWebBrowser2>(browser);
}

LRESULT CALLBACK BandWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    BandWindow* self = reinterpret_cast<BandWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        Birth* birth = static_cast<Birth*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        birth->adopted = true;
        self = birth->band;
        self->hwnd_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self)
        return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        const LRESULT r = DefWindowProcA(window, message, wParam, lParam);
        delete self;
        return r;
    }
    return self->Handle(message, wParam, lParam);
}

LRESULT BandWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        // -1 makes CreateWindowEx fail, so that no half-made band is shown.
        return OnCreate() ? 0 : -1;
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
    case WM_FONTCHANGE:
        // The system sends these to top-level windows only.
        for (HWND child : {menuBar_.Handle(), tabs_.Handle(), lists_[0]->Handle(), lists_[1]->Handle(),
                           lists_[2]->Handle()})
            if (child)
                SendMessageA(child, message, wParam, lParam);
        break;
    case WM_ERASEBKGND:
        OnEraseBackground(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_CLOSE:
        // Only the band's owner closes it.
        return 0;
    case WM_SIZE:
        OnSize(short(LOWORD(lParam)), short(HIWORD(lParam)));
        return 0;
    case WM_NOTIFY:
        return lParam ? OnNotify(*reinterpret_cast<const NMHDR*>(lParam)) : 0;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_INITMENUPOPUP:
        if (contextMenuOpen_ && !HIWORD(lParam))
            painter_.PreparePopup(reinterpret_cast<HMENU>(wParam));
        return 0;
    case kWmFindOnTab:
        if (lParam) {
            ListWindowSearch search(CurrentList());
            FindItems(search, *reinterpret_cast<const FindRequest*>(lParam), ActiveCodePage());
        }
        return 0;
    case kWmRunCleanup:
        if (lParam) {
            Cleaner cleaner(services_->history, services_->cache, services_->files, services_->clock);
            // Over the dialog that sent it.
            services_->shell.SetOwner(GetActiveWindow() ? GetActiveWindow() : hwnd_);
            RunCleanupKeeping(*reinterpret_cast<const CleanupCriteria*>(lParam), wParam != kRunCleanupIgnoringKeepList,
                              cleaner, *this, services_->registry, newSystem_, services_->shell);
        }
        return 0;
    case WM_COMMAND:
        if (FindCommand(wParam)) {
            OnCommand(wParam);
            return 0;
        }
        break;
    case WM_MEASUREITEM:
        if (lParam && painter_.Measure(hwnd_, *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)))
            return TRUE;
        break;
    case WM_DRAWITEM:
        if (lParam && painter_.Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)))
            return TRUE;
        break;
    default:
        break;
    }
    return DefWindowProcA(hwnd_, message, wParam, lParam);
}

bool BandWindow::OnCreate() {
    ActivationScope scope;
    RECT none = {0, 0, 0, 0};
    menu_.Reset(LoadMenuA(module_, MAKEINTRESOURCEA(IDM_MENU_BAR)));
    if (menuBar_.Create(hwnd_, none)) {
        menuBar_.AttachMenu(menu_.Get());
        menuBar_.SetMaskColour(RGB(255, 0, 255));
        menuBar_.LoadToolBar(module_, kToolBarCommandImages);
    }
    listImages_.Reset(LoadImages(module_, kBitmapListImages));
    contextImages_.Reset(LoadImages(module_, kBitmapContextImages));
    std::map<UINT, int> images;
    for (const ItemCommandImage& i : kItemCommandImages)
        images[UINT(i.command)] = i.image;
    painter_.SetImages(contextImages_.Get(), std::move(images));

    const EntryKind kinds[3] = {EntryKind::History, EntryKind::Cookie, EntryKind::Cache};
    for (int i = 0; i < 3; ++i) {
        const DWORD visible = i == 0 ? WS_VISIBLE : 0;
        if (!lists_[i]->Create(hwnd_, WS_CHILD | WS_TABSTOP | visible, WS_EX_CLIENTEDGE, none, kListIds[i]))
            return false;
        lists_[i]->SetImageList(listImages_.Get());
        ListWindowRows rows(*lists_[i]);
        for (const Column& c : LiveColumns(kinds[i]))
            rows.AddColumn(c);
    }
    tabs_.Create(hwnd_, none, kTabStripId, WS_VISIBLE | FlatTabStrip::kStyleToolTip);
    for (int i = 0; i < 3; ++i)
        tabs_.AddItem(i, kTabTitles[i]);
    ReloadSettings();
    SetTimer(hwnd_, kHistoryFillTimer, kHistoryFillDelayMs, nullptr);
    return true;
}

void BandWindow::ReloadSettings() {
    settings_ = LoadBandSettings(services_->registry, newSystem_);
}

void BandWindow::OnTimer(UINT_PTR id) {
    KillTimer(hwnd_, id);
    switch (id) {
    case kHistoryFillTimer: {
        {
            RedrawPause pause(hwnd_);
            ListWindowRows rows(List(EntryKind::History));
            BrowserStatusLine status(browser_.Get());
            FillHistoryList(services_->history, rows, settings_.dateTemplate, browser_ ? &status : nullptr);
        }
        RepaintAll();
        SetTimer(hwnd_, kCacheFillTimer, kCacheFillDelayMs, nullptr);
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
        return RightMargin(false, 0, 0);
    GetWindowRect(hwnd_, &band);
    GetWindowRect(reinterpret_cast<HWND>(frame), &browser);
    return RightMargin(true, band.left, browser.left);
}

void BandWindow::OnSize(int width, int height) {
    const BandLayout l = LayOutBand(width, height, Margin());
    if (menuBar_.Handle())
        MoveWindow(menuBar_.Handle(), l.menuBar.x, l.menuBar.y, l.menuBar.width, l.menuBar.height, TRUE);
    for (auto& list : lists_) {
        if (list->Handle())
            MoveWindow(list->Handle(), l.lists.x, l.lists.y, l.lists.width, l.lists.height, TRUE);
    }
    if (tabs_.Handle())
        MoveWindow(tabs_.Handle(), l.tabStrip.x, l.tabStrip.y, l.tabStrip.width, l.tabStrip.height, TRUE);
}

void BandWindow::OnEraseBackground(HDC dc) {
    RECT client;
    GetClientRect(hwnd_, &client);
    const Rgb back = BandBackground(FromColourRef(GetSysColor(COLOR_3DFACE)));
    GdiObject<HBRUSH> brush(CreateSolidBrush(ToColourRef(back)));
    FillRect(dc, &client, brush.Get());
    GdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_3DSHADOW)));
    HGDIOBJ old = SelectObject(dc, pen.Get());
    RECT strip = {};
    if (tabs_.Handle())
        GetClientRect(tabs_.Handle(), &strip);
    MoveToEx(dc, client.left, client.top, nullptr);
    LineTo(dc, client.left, client.bottom);
    MoveToEx(dc, client.right - 2, client.top, nullptr);
    LineTo(dc, client.right - 2, client.bottom);
    MoveToEx(dc, client.left, 21, nullptr);
    LineTo(dc, client.right - (strip.right - strip.left), 21);
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
    for (int i = 0; i < 3; ++i) {
        if (lists_[i]->Handle())
            ShowWindow(lists_[i]->Handle(), i == int(kind) ? SW_SHOW : SW_HIDE);
    }
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
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void BandWindow::Refresh() {
    progress_.Start();
    {
        RedrawPause pause(hwnd_);
        const EntryKind kind = ListOfTab(tabs_.GetCurSel());
        RebuildList(kind == EntryKind::Cookie ? kStoreCookies : kind == EntryKind::Cache ? kStoreCache
                                                                                         : kStoreHistory);
    }
    progress_.End();
    RepaintAll();
}

void BandWindow::LoadIndex(const std::string& path) {
    TabList* lists[3];
    std::unique_ptr<ListWindowRows> rows[3];
    for (int i = 0; i < 3; ++i) {
        rows[i].reset(new ListWindowRows(*lists_[i]));
        lists[i] = rows[i].get();
    }
    EntryKind kind = EntryKind::History;
    if (!LoadIndexFile(path.c_str(), lists, settings_.dateTemplate, &kind))
        return;
    if (int(kind) < tabs_.Model().Count()) {
        tabs_.SetCurrent(int(kind));
    }
    ShowOnly(kind);
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
    BandServices& s = *services_;
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
        SaveReport(kind, s.dialogs, {s.history, s.cache, kept}, settings_.dateTemplate, hwnd_);
        break;
    }
    case Command::OpenIndexFile: {
        std::string path;
        ActivationScope scope;
        if (s.dialogs.Run(IndexFileDialogRequest(hwnd_), &path))
            LoadIndex(path);
        break;
    }
    case Command::ClearTypedUrls:
        s.shell.SetOwner(hwnd_);
        ClearTypedUrls(s.registry, s.shell, settings_.confirmDeletions);
        break;
    case Command::ClearRecentDocuments:
        s.shell.SetOwner(hwnd_);
        ClearRecentDocuments(s.shell, settings_.confirmDeletions);
        break;
    case Command::ClearRunHistory:
        s.shell.SetOwner(hwnd_);
        ClearRunHistory(s.registry, s.shell, settings_.confirmDeletions);
        break;
    case Command::SelectAll:
        if (IsTab(tabs_.GetCurSel())) {
            ListWindowSearch rows(CurrentList());
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

HWND CreateBandWindow(HINSTANCE module, HWND parent, const RECT& rect) {
    return BandWindow::Create(new BandWindow(module, std::unique_ptr<BandServices>(new BandServices)), parent, rect);
}

void SetBandBrowser(HWND band, IWebBrowser2* browser) {
    if (BandWindow* b = BandWindow::FromHandle(band))
        b->SetBrowser(browser);
}

void StartPageClick(HWND band) {
    SetTimer(band, kPageClickTimer, kPageClickDelayMs, nullptr);
}

void UnregisterBandWindowClass(HINSTANCE module) {
    // The controls' classes too: their window procedures go with the module.
    for (const char* name : {kBandWindowClass, ListWindow::kClassName, ListWindow::kTipClassName,
                             FlatTabStrip::kClassName, MenuBar::kClassName})
        UnregisterClassA(name, module);
}

}  // namespace tw
