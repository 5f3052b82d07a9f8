// The band window as the browser meets it: made with the module's resources
// in a parent window, given a browser stand-in that records the status bar
// and the navigations, filled from the URL cache of the test prefix, and
// driven with real messages, its dialogs and menus worked by scripts while
// their loops run. Settings live in a private key standing in for
// HKEY_CURRENT_USER.
#include <windows.h>
#include <wininet.h>
#include <commctrl.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "clean/cleanup_dialog_model.h"
#include "clean/cookie_keep.h"
#include "clean/find.h"
#include "core/classify.h"
#include "res/resource.h"
#include "settings/settings_store.h"
#include "tests/fixtures/index_file_writer.h"
#include "tests/ui/win32/harness.h"
#include "tools/standin/host.h"
#include "ui/about_model.h"
#include "ui/item_actions.h"
#include "ui/win32/about_dialog.h"
#include "ui/win32/activation.h"
#include "ui/win32/band_actions.h"
#include "ui/win32/band_window.h"
#include "ui/win32/favorites_dialog.h"
#include "ui/win32/index_choice_dialog.h"

namespace tw {
namespace {

using namespace testing;

const char kTestRoot[] = "Software\\TidewellBandTests";
// Sites for the keep list: kept, a subdomain of it, a name that only ends
// like it, and one of another site.
const char* const kSites[] = {"Cookie:tester@example.com/", "Cookie:tester@www.example.com/account",
                              "Cookie:tester@badexample.com/", "Cookie:tester@bank.example.net/"};

bool Commit(const std::string& url, const char* extension, DWORD type) {
    char file[MAX_PATH] = "";
    if (!CreateUrlCacheEntryA(url.c_str(), 0, extension, file, 0) || !(std::ofstream(file) << "sample of " << url))
        return false;
    FILETIME expires = {0xFFFFFFFFu, 0x7FFFFFFFu}, modified = {};
    GetSystemTimeAsFileTime(&modified);
    return CommitUrlCacheEntryA(url.c_str(), file, expires, modified, type, nullptr, 0, extension, nullptr) != FALSE;
}

bool InCache(const std::string& url) {
    DWORD size = 0;
    return !GetUrlCacheEntryInfoA(url.c_str(), nullptr, &size) && GetLastError() == ERROR_INSUFFICIENT_BUFFER;
}

// Wine takes the pattern as a case-sensitive prefix of the URL, where
// Windows matches "cookie:" against the cookie container.
std::size_t CookieCount() {
    std::size_t count = 0;
    std::vector<char> buffer(8192);
    DWORD size = DWORD(buffer.size());
    auto* entry = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
    HANDLE find = FindFirstUrlCacheEntryA("Cookie:", entry, &size);
    for (bool more = find != nullptr; more; more = FindNextUrlCacheEntryA(find, entry, &size)) {
        ++count;
        size = DWORD(buffer.size());
    }
    if (find)
        FindCloseUrlCache(find);
    return count;
}

std::vector<bool> SitesLeft() {
    std::vector<bool> left;
    for (const char* url : kSites)
        left.push_back(InCache(url));
    return left;
}

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

std::vector<std::string> Titles(const ListModel& model) {
    std::vector<std::string> titles(std::size_t(model.ColumnCount()));
    for (int c = 0; c < model.ColumnCount(); ++c)
        model.ColumnTitle(c, titles[std::size_t(c)]);
    return titles;
}

// Rows of column whose text contains part, ascending.
std::vector<int> RowsWith(const ListModel& model, int column, const std::string& part) {
    std::vector<int> rows;
    for (int r = 0; r < model.RowCount(); ++r) {
        if (model.CellText(r, column).find(part) != std::string::npos)
            rows.push_back(r);
    }
    return rows;
}

std::string TempPath(const char* name) {
    char dir[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

// A folder with two index files (one in a Cookies subfolder) and two
// other files.
std::string MakeTree() {
    const std::string root = TempPath("tw_dialog_tree");
    CreateDirectoryA(root.c_str(), nullptr);
    CreateDirectoryA((root + "\\a").c_str(), nullptr);
    CreateDirectoryA((root + "\\a\\Cookies").c_str(), nullptr);
    for (const char* name : {"\\a\\index.dat", "\\a\\myindex.dat.bak", "\\a\\Cookies\\index.dat", "\\other.txt"})
        std::ofstream(root + name) << "x";
    return root;
}

class FixedFolder : public FolderPicker {
public:
    explicit FixedFolder(std::string folder) : folder_(std::move(folder)) {}
    bool Pick(HWND, const char* title, const std::string&, std::string* folder) override {
        titles.push_back(title);
        *folder = folder_;
        return true;
    }
    std::vector<std::string> titles;

private:
    std::string folder_;
};

struct Recorded {
    std::vector<CleanupCriteria> cleanups;
    std::vector<FindRequest> finds;
    bool dryRun = false;  // whether the cleanups are kept from the band
};

LRESULT CALLBACK RecordRequests(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    Recorded* r = reinterpret_cast<Recorded*>(data);
    if (message == kWmRunCleanup && lParam) {
        r->cleanups.push_back(*reinterpret_cast<const CleanupCriteria*>(lParam));
        if (r->dryRun)
            return 0;
    }
    if (message == kWmFindOnTab && lParam)
        r->finds.push_back(*reinterpret_cast<const FindRequest*>(lParam));
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK CountChanges(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    if (message == WM_SETTINGCHANGE || message == WM_SYSCOLORCHANGE || message == WM_FONTCHANGE)
        ++*reinterpret_cast<int*>(data);
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

enum OpenFlags { kVisible = 1, kQuiet = 2, kDryRun = 4 };

class BandTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        // As the module does when it loads: the common controls of its manifest.
        if (!HasModuleActivationContext())
            CreateModuleActivationContext(GetModuleHandleA(nullptr));
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_DATE_CLASSES | ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&icc);
        SHDeleteKeyA(HKEY_CURRENT_USER, kTestRoot);
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kTestRoot, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root_,
                                  nullptr),
                  ERROR_SUCCESS);
        registry_ = Win32Registry(root_);
        host_ = std::string("tw-") + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".test";
        std::transform(host_.begin(), host_.end(), host_.begin(), [](char c) { return char(std::tolower(c)); });
        for (int i = 0; i < 10; ++i)
            cookies_.push_back("Cookie:tester@" + host_ + "/c" + std::to_string(i));
        cookies_.insert(cookies_.end(), std::begin(kSites), std::end(kSites));
        for (int i = 0; i < 4; ++i)
            cache_.push_back("http://" + host_ + "/page" + std::to_string(i) + ".html");
        for (const auto& url : cookies_)
            ASSERT_TRUE(Commit(url, "txt", COOKIE_CACHE_ENTRY)) << url;
        for (const auto& url : cache_)
            ASSERT_TRUE(Commit(url, "html", NORMAL_CACHE_ENTRY)) << url;
    }

    void TearDown() override {
        if (band_)
            RemoveWindowSubclass(band_->Hwnd(), &RecordRequests, 1);
        parent_.reset();
        for (const auto& list : {cookies_, cache_}) {
            for (const auto& url : list)
                DeleteUrlCacheEntryA(url.c_str());
        }
        RegCloseKey(root_);
        SHDeleteKeyA(HKEY_CURRENT_USER, kTestRoot);
        OleUninitialize();
    }

    bool NewSystem() {
        Win32Shell shell;
        const int major = shell.MajorVersion();
        return IsNewSystem(major > 0, major);
    }
    void SetDword(const char* name, std::uint32_t value) {
        RegKey key(registry_);
        ASSERT_TRUE(OpenOrCreateSettings(registry_, NewSystem(), key));
        WriteDword(key, name, value);
    }

    // The band filled as at start-up.
    void Open(int flags = 0) {
        if (band_)
            RemoveWindowSubclass(band_->Hwnd(), &RecordRequests, 1);
        band_ = nullptr;
        parent_.reset();
        if (flags & kQuiet)
            SetDword(kValueDisableConfirmation, 1);
        recorded_.dryRun = (flags & kDryRun) != 0;
        parent_.reset(new TestParent(false, 900, 400));
        browser_.reset(new standin::Browser(parent_->Hwnd()));
        std::unique_ptr<BandServices> services(new BandServices);
        services->registry = Win32Registry(root_);
        RECT client = {0, 0, 900, 400};
        HWND hwnd = BandWindow::Create(new BandWindow(GetModuleHandleA(nullptr), std::move(services)),
                                       parent_->Hwnd(), client);
        ASSERT_NE(hwnd, nullptr);
        band_ = BandWindow::FromHandle(hwnd);
        band_->SetBrowser(browser_.get());
        SetWindowSubclass(hwnd, &RecordRequests, 1, reinterpret_cast<DWORD_PTR>(&recorded_));
        SendMessageA(hwnd, WM_SIZE, 0, MAKELPARAM(client.right, client.bottom));
        if (flags & kVisible)
            ShowWindow(parent_->Hwnd(), SW_SHOWNOACTIVATE);
        // Timer 1 writes the History line; timer 2 fills Cookies and Cache.
        ASSERT_TRUE(PumpUntil([&] {
            return !browser_->StatusTexts().empty() && Ours(EntryKind::Cookie).size() == cookies_.size() - 4 &&
                   Ours(EntryKind::Cache).size() == cache_.size();
        })) << "start-up fills";
    }

    ListModel& Model(EntryKind kind) { return band_->List(kind).Model(); }
    std::vector<int> Ours(EntryKind kind) { return RowsWith(Model(kind), 1, host_); }
    std::wstring LastStatus() { return browser_->StatusTexts().empty() ? L"" : browser_->StatusTexts().back(); }
    std::wstring CountLine(const char* store, const char* verb, std::size_t count) {
        return Wide(std::string("Internet Explorer ") + store + " " + verb + ": " + std::to_string(count) + " items");
    }
    void Command(UINT id) { SendMessageA(band_->Hwnd(), WM_COMMAND, id, 0); }

    // A left click on the tab strip at x until tab is current.
    bool ClickTab(int tab) {
        for (int x = 5; x < 210 && band_->CurrentTab() != tab; x += 10) {
            SendMessageA(band_->TabStrip().Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 10));
            SendMessageA(band_->TabStrip().Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(x, 10));
        }
        return band_->CurrentTab() == tab;
    }
    void SelectOnly(EntryKind kind, const std::vector<int>& rows) {
        Model(kind).Select(-1, 0, 0);
        for (int r : rows)
            Model(kind).Select(r, 0, kKeyControl);
    }
    int CookieRow(const char* url) {
        for (int r = 0; r < Model(EntryKind::Cookie).RowCount(); ++r) {
            if ("Cookie:" + Model(EntryKind::Cookie).CellText(r, 1) == url)
                return r;
        }
        return -1;
    }
    int ImageOf(const char* url) { return Model(EntryKind::Cookie).CellAt(CookieRow(url), 0)->image; }
    std::vector<std::string> Kept() {
        std::vector<std::string> names;
        EXPECT_TRUE(ReadCookiesToKeep(registry_, NewSystem(), &names));
        return names;
    }
    // The right button let go over a list: its context menu runs.
    void RightClick(EntryKind kind) {
        ListNotify notify = {};
        notify.hdr.hwndFrom = band_->List(kind).Hwnd();
        notify.hdr.idFrom = kListIds[int(kind)];
        notify.hdr.code = UINT(kListRightUp);
        SendMessageA(band_->Hwnd(), WM_NOTIFY, kListIds[int(kind)], reinterpret_cast<LPARAM>(&notify));
    }
    void Run(tw::Command command, std::vector<Step> steps) {
        EXPECT_TRUE(RunScripted([&] { RunDialogCommand(*band_, command); }, std::move(steps)))
            << "the script did not finish";
    }

    HKEY root_ = nullptr;
    Win32Registry registry_;
    std::string host_;
    std::vector<std::string> cookies_, cache_;
    std::unique_ptr<TestParent> parent_;
    std::unique_ptr<standin::Browser> browser_;
    BandWindow* band_ = nullptr;
    Recorded recorded_;
};

// ---- the lists ---------------------------------------------------------------

TEST_F(BandTest, StartUpFillsTheListsTabsShowTheirListAndRefreshReloadsOne) {
    Open();
    EXPECT_EQ(browser_->StatusTexts().front(),
              CountLine("History", "contains", std::size_t(Model(EntryKind::History).RowCount())));
    EXPECT_EQ(std::size_t(Model(EntryKind::Cookie).RowCount()), CookieCount());
    // The lists show the URL without its marker.
    EXPECT_EQ(RowsWith(Model(EntryKind::Cookie), 1, "Cookie:").size(), 0u);
    EXPECT_EQ(RowsWith(Model(EntryKind::Cookie), 1, "tester@" + host_ + "/c").size(), 10u);
    EXPECT_EQ(RowsWith(Model(EntryKind::Cache), 1, "Cookie:").size(), 0u);
    EXPECT_EQ(RowsWith(Model(EntryKind::Cache), 1, "Visited:").size(), 0u);
    EXPECT_EQ(band_->CurrentTab(), 0);
    const struct {
        int tab;
        const char *store, *verb;
    } tabs[] = {{1, "Cookies", "contain"}, {2, "Cache", "contains"}, {0, "History", "contains"}};
    for (const auto& t : tabs) {
        ASSERT_TRUE(ClickTab(t.tab));
        EXPECT_EQ(LastStatus(), CountLine(t.store, t.verb, std::size_t(Model(ListOfTab(t.tab)).RowCount())));
        for (int other = 0; other < 3; ++other) {
            const LONG style = GetWindowLongA(band_->List(ListOfTab(other)).Hwnd(), GWL_STYLE);
            EXPECT_EQ((style & WS_VISIBLE) != 0, other == t.tab) << t.tab << " " << other;
        }
    }
    ASSERT_TRUE(ClickTab(1));
    cookies_.push_back("Cookie:tester@" + host_ + "/late");
    ASSERT_TRUE(Commit(cookies_.back(), "txt", COOKIE_CACHE_ENTRY));
    EXPECT_TRUE(RowsWith(Model(EntryKind::Cookie), 1, "/late").empty());
    Command(ID_REFRESH);
    EXPECT_EQ(RowsWith(Model(EntryKind::Cookie), 1, host_ + "/late").size(), 1u) << "Refresh reloads the tab";
    EXPECT_EQ(LastStatus(), CountLine("Cookies", "contain", CookieCount()));
}

// Drawing is stopped and resumed around a fill, which must not show a band
// that the browser has hidden.
TEST_F(BandTest, FillsLeaveAHiddenBandHidden) {
    Open();
    ShowWindow(band_->Hwnd(), SW_HIDE);
    SendMessageA(band_->Hwnd(), WM_TIMER, kHistoryFillTimer, 0);
    EXPECT_FALSE(GetWindowLongA(band_->Hwnd(), GWL_STYLE) & WS_VISIBLE) << "history fill";
    Command(ID_REFRESH);
    EXPECT_FALSE(GetWindowLongA(band_->Hwnd(), GWL_STYLE) & WS_VISIBLE) << "refresh";
}

// Only top-level windows hear of the system's changes; the band tells its
// controls.
TEST_F(BandTest, SettingsColourAndFontChangesReachEveryControl) {
    Open();
    std::vector<HWND> controls = {band_->Bar().Hwnd(), band_->TabStrip().Hwnd()};
    for (EntryKind kind : {EntryKind::History, EntryKind::Cookie, EntryKind::Cache})
        controls.push_back(band_->List(kind).Hwnd());
    std::vector<int> heard(controls.size(), 0);
    for (std::size_t i = 0; i < controls.size(); ++i)
        SetWindowSubclass(controls[i], &CountChanges, 7, reinterpret_cast<DWORD_PTR>(&heard[i]));
    for (UINT message : {WM_SETTINGCHANGE, WM_SYSCOLORCHANGE, WM_FONTCHANGE})
        SendMessageA(band_->Hwnd(), message, 0, 0);
    for (std::size_t i = 0; i < controls.size(); ++i) {
        EXPECT_EQ(heard[i], 3) << i;
        RemoveWindowSubclass(controls[i], &CountChanges, 7);
    }
}

TEST_F(BandTest, IndexFilesOfEachKindShowInTheirTabWithoutARowMenu) {
    Open();
    const struct {
        const char* url;
        int tab;
        std::vector<std::string> columns;
    } cases[] = {
        {"Visited: alice@http://a.example/", 0, {"Title", "User", "URL", "Last Visited", "Last Updated"}},
        {"Cookie:alice@b.example/", 1, {"User", "URL", "Last Visited", "Last Updated"}},
        {"http://c.example/x.png", 2, {"URL", "Last Visited", "Last Updated"}},
    };
    const std::string path = TempPath("tw-index.dat");
    for (const auto& c : cases) {
        fixtures::IndexRecord record;
        record.url = c.url;
        record.title = u"Example";
        record.firstTime = fixtures::TicksOf(2020, 5, 17);
        record.secondTime = fixtures::TicksOf(2021, 1, 2);
        ASSERT_TRUE(fixtures::IndexFileWriter().Add(record).Add(record).WriteTo(path));
        band_->LoadIndex(path);
        EXPECT_EQ(band_->CurrentTab(), c.tab) << c.url;
        EXPECT_EQ(Titles(band_->CurrentList().Model()), c.columns) << c.url;
        EXPECT_EQ(band_->CurrentList().Model().RowCount(), 2) << c.url;
        EXPECT_EQ(RowMenuOfCurrentList(*band_), kNoRowMenu) << c.url;
    }
    DeleteFileA(path.c_str());
    // Refresh on an index tab brings the live columns back.
    Command(ID_REFRESH);
    EXPECT_EQ(Titles(Model(EntryKind::Cache)),
              (std::vector<std::string>{"File", "URL", "Size", "Hits", "Last Visited", "Last Updated", "Expires"}));
    EXPECT_EQ(RowMenuOfCurrentList(*band_), kCacheRowMenu);
}

TEST_F(BandTest, RowCommandsDeleteTheChosenRowsAndCopyTheAddress) {
    Open(kQuiet);
    ASSERT_TRUE(ClickTab(1));
    const std::size_t before = CookieCount();
    const std::vector<int> ours = Ours(EntryKind::Cookie);
    ASSERT_EQ(ours.size(), 10u);
    std::vector<std::string> chosen;
    for (std::size_t i : {2, 5, 7})
        chosen.push_back("Cookie:" + Model(EntryKind::Cookie).CellText(ours[i], 1));
    SelectOnly(EntryKind::Cookie, {ours[2], ours[5], ours[7]});
    EXPECT_EQ(RowMenuOfCurrentList(*band_), kSeveralRowsMenu);
    RunRowCommand(*band_, kItemDeleteSelected);
    for (const auto& url : cookies_)
        EXPECT_EQ(InCache(url), std::find(chosen.begin(), chosen.end(), url) == chosen.end()) << url;
    EXPECT_EQ(Ours(EntryKind::Cookie).size(), 7u);
    EXPECT_EQ(LastStatus(), CountLine("Cookies", "contain", before - 3));

    SelectOnly(EntryKind::Cookie, {RowsWith(Model(EntryKind::Cookie), 1, host_ + "/c4").front()});
    RunRowCommand(*band_, kItemCookieCopy);
    ASSERT_TRUE(OpenClipboard(band_->Hwnd()));
    HANDLE data = GetClipboardData(CF_TEXT);
    const char* text = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
    EXPECT_EQ(std::string(text ? text : "(none)"), host_ + "/c4");
    if (text)
        GlobalUnlock(data);
    CloseClipboard();
    RunRowCommand(*band_, kItemCookieDelete);
    EXPECT_FALSE(InCache(cookies_[4]));
    EXPECT_TRUE(InCache(cookies_[3]));
    EXPECT_EQ(Ours(EntryKind::Cookie).size(), 6u);
}

TEST_F(BandTest, ClickOnALinkCellOpensTheCookieAddress) {
    Open(kVisible);
    ASSERT_TRUE(ClickTab(1));
    ListWindow& list = band_->List(EntryKind::Cookie);
    const int row = RowsWith(list.Model(), 1, host_ + "/c7").front();
    list.Select(row, 1, 0);
    ASSERT_GE(row - list.TopRow(), 0);
    ASSERT_LT(row - list.TopRow(), list.PageRows()) << "the row is in view";
    const int y = list.HeaderHeight() + (row - list.TopRow()) * list.RowHeight() + list.RowHeight() / 2;
    // Column 0 ("File") is 300 pixels wide; the link cell follows it.
    SendMessageA(list.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(310, y));
    SendMessageA(list.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(310, y));
    ASSERT_FALSE(browser_->Navigations().empty());
    EXPECT_EQ(browser_->Navigations().back(), Wide(host_ + "/c7"));
}

TEST_F(BandTest, FindAllMarksEveryMatchingUrl) {
    Open();
    ASSERT_TRUE(ClickTab(2));
    FindRequest request;
    std::snprintf(request.text, sizeof request.text, "%s/page", host_.c_str());
    request.searchValues = 1;
    request.findAll = 1;
    SendMessageA(band_->Hwnd(), kWmFindOnTab, 0, reinterpret_cast<LPARAM>(&request));
    const ListModel& model = Model(EntryKind::Cache);
    for (int r = 0; r < model.RowCount(); ++r) {
        const ListCell* cell = model.CellAt(r, 1);
        const bool ours = model.CellText(r, 1).find(host_ + "/page") != std::string::npos;
        EXPECT_EQ(cell && cell->backColour == kValueMark, ours) << model.CellText(r, 1);
    }
    EXPECT_EQ(Ours(EntryKind::Cache).size(), 4u);
}

// ---- context menus -------------------------------------------------------------

TEST_F(BandTest, RightClickTracksThePaintedMenuWhileTheFlagIsSet) {
    Open(kVisible);
    ASSERT_TRUE(ClickTab(2));
    SelectOnly(EntryKind::Cache, {0});
    const int rows = Model(EntryKind::Cache).RowCount();
    // Every menu's painted items go with it: the painter holds no more
    // after many right clicks than after one.
    for (int click = 0; click < 3; ++click) {
        bool flag = false;
        std::size_t popups = 0;
        EXPECT_TRUE(RunScripted([&] { RightClick(EntryKind::Cache); }, {Do([&] {
                                    flag = band_->ContextMenuOpen();
                                    popups = band_->Painter().PreparedPopups();
                                    EndMenu();
                                })}));
        EXPECT_TRUE(flag);
        EXPECT_GE(popups, 1u);
        EXPECT_EQ(band_->Painter().PreparedItems(), 0u) << click;
        EXPECT_FALSE(band_->ContextMenuOpen());
    }
    EXPECT_EQ(Model(EntryKind::Cache).RowCount(), rows) << "a cancelled menu runs nothing";
}

TEST_F(BandTest, DeleteSelectedItemsChosenFromTheMenu) {
    Open(kVisible | kQuiet);
    ASSERT_TRUE(ClickTab(2));
    const std::vector<int> ours = Ours(EntryKind::Cache);
    ASSERT_EQ(ours.size(), 4u);
    SelectOnly(EntryKind::Cache, {ours[1], ours[3]});
    EXPECT_TRUE(RunScripted([&] { RightClick(EntryKind::Cache); }, {MenuKeys({VK_DOWN, VK_RETURN})}));
    EXPECT_EQ(Ours(EntryKind::Cache).size(), 2u);
    EXPECT_EQ(Model(EntryKind::Cache).SelectedCount(), 0) << "the Cache list keeps no selection";
    EXPECT_EQ(std::count_if(cache_.begin(), cache_.end(), InCache), 2);
}

TEST_F(BandTest, KeepCookiesOfThisSiteFromTheContextMenu) {
    Open(kVisible);
    band_->ShowStore(kStoreCookies);
    Model(EntryKind::Cookie).Select(CookieRow(kSites[1]), 0, 0);
    // The fifth command of the Cookies menu.
    EXPECT_TRUE(RunScripted([&] { RightClick(EntryKind::Cookie); },
                            {MenuKeys({VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN})}));
    EXPECT_EQ(Kept(), std::vector<std::string>{"example.com"});  // "www." is dropped from the row's host
    EXPECT_EQ(ImageOf(kSites[0]), kImageKeptCookie);
    EXPECT_EQ(ImageOf(kSites[1]), kImageKeptCookie);
    EXPECT_EQ(ImageOf(kSites[2]), kImageCookie);
    const std::string line = KeptStatusText(unsigned(Model(EntryKind::Cookie).RowCount()), 2);
    EXPECT_EQ(LastStatus(), Wide(line));
}

// ---- cleanup dialogs -----------------------------------------------------------

TEST_F(BandTest, CleanupDialogsSendTheCheckedOptionAndItsText) {
    SYSTEMTIME picked{2024, 7, 5, 5, 13, 0, 0, 0};  // the bounds cover the whole day
    FileTime start, end;
    DayStart({2024, 7, 5}, &start);
    DayEnd({2024, 7, 5}, &end);
    struct Run {
        int option;
        const char* typed;  // into the text box first, when not null
        int answer;         // to the question, 0 when none is asked
        std::int32_t kind;  // of the record sent, kCleanNothing when none is
        const char* text;
    };
    const struct {
        tw::Command command;
        std::int32_t store;
        const char* caption;
        bool quiet;  // the cases that ask come first, before any settings
        std::vector<Run> runs;
    } cases[] = {
        {Command::CleanCookies, kStoreCookies, "Clean up Cookies", false,
         {{IDC_CLEAN_COOKIES_EXPIRED, nullptr, IDNO, kCleanNothing, ""},
          // The box travels with any option.
          {IDC_CLEAN_COOKIES_EXPIRED, "Ads.Example", IDYES, kCleanExpiredCookies, "Ads.Example"},
          {IDC_CLEAN_COOKIES_CONTAINING, nullptr, IDYES, kCleanContainingText, "Ads.Example"}}},
        {Command::CleanCache, kStoreCache, "Clean up Cache", true,
         {{IDC_CLEAN_CACHE_STYLES, nullptr, 0, kCleanStylesAndScripts, ""}}},
        {Command::CleanHistory, kStoreHistory, "Clean up History", true,
         {{IDC_CLEAN_HISTORY_PROTOCOL, "gopher:", 0, kCleanSelectedProtocol, "gopher:"},
          {IDC_CLEAN_HISTORY_BETWEEN, nullptr, 0, kCleanBetweenDates, ""}}},
    };
    for (const auto& c : cases) {
        recorded_.cleanups.clear();
        Open(kDryRun | (c.quiet ? kQuiet : 0));
        const CleanupDialogInfo& info = *CleanupDialogFor(c.store);
        HWND d = nullptr;
        std::size_t sent = 0;
        std::vector<Step> steps = {WaitFor(c.caption, &d), Do([&] {
                                       EXPECT_EQ(IsDlgButtonChecked(d, IDC_CLEAN_ALL), 1u);
                                       for (int id : {info.fromId, info.toId})
                                           SendDlgItemMessageA(d, id, DTM_SETSYSTEMTIME, GDT_VALID,
                                                               reinterpret_cast<LPARAM>(&picked));
                                   })};
        for (const Run& run : c.runs) {
            if (run.typed)
                steps.push_back(Type(&d, info.comboId ? info.comboId : info.textId, run.typed));
            steps.insert(steps.end(), {Click(&d, run.option), Click(&d, IDOK)});
            if (run.answer)
                steps.push_back(Answer(info.confirmation, run.answer));
            sent += run.kind != kCleanNothing;
            steps.insert(steps.end(), {Settle(), Do([&, run, sent] {
                                           EXPECT_TRUE(IsWindow(d)) << "stays open for another";
                                           ASSERT_EQ(recorded_.cleanups.size(), sent) << c.caption << run.option;
                                           if (!sent)
                                               return;
                                           const CleanupCriteria& r = recorded_.cleanups.back();
                                           EXPECT_EQ(r.store, c.store);
                                           EXPECT_EQ(r.kind, run.kind) << c.caption << run.option;
                                           EXPECT_STREQ(r.text, run.text) << c.caption << run.option;
                                           if (run.kind == kCleanBetweenDates) {
                                               EXPECT_EQ(r.from.Value(), start.Value());
                                               EXPECT_EQ(r.to.Value(), end.Value());
                                           }
                                       })});
        }
        steps.push_back(Click(&d, IDCANCEL));
        this->Run(c.command, steps);
    }
}

// ---- the keep list -------------------------------------------------------------

TEST_F(BandTest, SitesDialogEditsTheKeepListAndAllKeepsItsCookies) {
    ASSERT_TRUE(SaveCookiesToKeep(registry_, NewSystem(), {"example.com", "shop.test"}));
    Open(kQuiet);
    EXPECT_EQ(ImageOf(kSites[0]), kImageKeptCookie);
    EXPECT_EQ(ImageOf(kSites[3]), kImageCookie);
    HWND d = nullptr, sites = nullptr;
    const auto count = [&] { return SendDlgItemMessageA(sites, IDC_KEEP_LIST, LB_GETCOUNT, 0, 0); };
    Run(Command::CleanCookies,
        {WaitFor("Clean up Cookies", &d), Do([&] { EXPECT_EQ(IsDlgButtonChecked(d, IDC_CLEAN_KEEP_COOKIES), 1u); }),
         Click(&d, IDC_CLEAN_KEEP_SITES), WaitFor("Cookies to keep", &sites),
         Type(&sites, IDC_KEEP_NAME, " www.Bank.Example.NET "), Click(&sites, IDC_KEEP_ADD), Settle(), Do([&] {
             EXPECT_EQ(count(), 3);
             EXPECT_EQ(TextOf(GetDlgItem(sites, IDC_KEEP_NAME)), "");
             const LRESULT at = SendDlgItemMessageA(sites, IDC_KEEP_LIST, LB_FINDSTRINGEXACT, WPARAM(-1),
                                                    reinterpret_cast<LPARAM>("shop.test"));
             SendDlgItemMessageA(sites, IDC_KEEP_LIST, LB_SETCURSEL, WPARAM(at), 0);
         }),
         Click(&sites, IDC_KEEP_REMOVE), Settle(), Do([&] { EXPECT_EQ(count(), 2); }), Click(&sites, IDOK), Settle(),
         Do([&] {
             EXPECT_FALSE(IsWindow(sites));
             EXPECT_EQ(ImageOf(kSites[3]), kImageKeptCookie);
         }),
         Click(&d, IDOK), Settle(), Click(&d, IDCANCEL)});
    EXPECT_EQ(Kept(), (std::vector<std::string>{"example.com", "bank.example.net"}));
    EXPECT_EQ(SitesLeft(), (std::vector<bool>{true, true, false, true}));
    // The run refilled the Cookies tab, shown with its line, and marks the kept rows.
    EXPECT_TRUE(Ours(EntryKind::Cookie).empty());
    EXPECT_EQ(band_->CurrentTab(), 1);
    EXPECT_EQ(ImageOf(kSites[1]), kImageKeptCookie);
}

TEST_F(BandTest, CancelLeavesTheKeepListAndAnUncheckedBoxDeletesKeptCookiesToo) {
    ASSERT_TRUE(SaveCookiesToKeep(registry_, NewSystem(), {"example.com"}));
    Open(kQuiet);
    HWND d = nullptr, sites = nullptr;
    Run(Command::CleanCookies,
        {WaitFor("Clean up Cookies", &d), Click(&d, IDC_CLEAN_KEEP_SITES), WaitFor("Cookies to keep", &sites),
         Type(&sites, IDC_KEEP_NAME, "other.test"), Click(&sites, IDC_KEEP_ADD), Settle(), Click(&sites, IDCANCEL),
         Settle(), Click(&d, IDC_CLEAN_KEEP_COOKIES), Click(&d, IDC_CLEAN_COOKIES_CONTAINING),
         Type(&d, IDC_CLEAN_COOKIES_TEXT, "example.com"), Click(&d, IDOK), Settle(), Click(&d, IDCANCEL)});
    EXPECT_EQ(Kept(), std::vector<std::string>{"example.com"});
    EXPECT_EQ(SitesLeft(), (std::vector<bool>{false, false, false, true}));
}

TEST_F(BandTest, AnUnreadableKeepListDeletesNothingAndSaysSoOnce) {
    SetDword(kValueDisableConfirmation, 1);
    RegKey key(registry_);
    ASSERT_TRUE(OpenSettings(registry_, NewSystem(), key));
    WriteString(key, kValueCookiesToKeep, "example.com");  // REG_SZ, not a list
    Open();
    const int rows = Model(EntryKind::Cookie).RowCount();
    HWND d = nullptr;
    Run(Command::CleanCookies, {WaitFor("Clean up Cookies", &d), Click(&d, IDOK), Answer(kKeepListUnreadable, IDOK),
                                Settle(), Settle(),
                                Do([&] { EXPECT_EQ(OpenDialog("Tidewell"), nullptr) << "one message only"; }),
                                Click(&d, IDCANCEL)});
    EXPECT_EQ(SitesLeft(), (std::vector<bool>{true, true, true, true}));
    EXPECT_EQ(Model(EntryKind::Cookie).RowCount(), rows) << "refilled unchanged";
}

// ---- the other dialogs ---------------------------------------------------------

TEST_F(BandTest, OptionsWriteTheChoicesOnOkOnlyAndTheBandReloads) {
    Open();
    HWND d = nullptr;
    Run(Command::Options, {WaitFor("Options", &d), Click(&d, IDC_OPTIONS_DISABLE), Click(&d, IDCANCEL)});
    RegKey key(registry_);
    EXPECT_FALSE(OpenSettings(registry_, NewSystem(), key)) << "Cancel writes nothing";
    SYSTEMTIME now;
    GetSystemTime(&now);
    char today[16];
    std::snprintf(today, sizeof today, "%04d/%02d/%02d", now.wYear, now.wMonth, now.wDay);
    // yyyy.MM.dd, then "/", as a user's choice in the lists.
    const auto choose = [&](int id, int index) {
        SendDlgItemMessageA(d, id, CB_SETCURSEL, WPARAM(index), 0);
        SendMessageA(d, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(d, id)));
    };
    Run(Command::Options, {WaitFor("Options", &d), Do([&] {
                               choose(IDC_OPTIONS_TEMPLATE, 3);
                               choose(IDC_OPTIONS_SEPARATOR, 1);
                           }),
                           Click(&d, IDC_OPTIONS_DISABLE), Settle(),
                           Do([&] { EXPECT_EQ(TextOf(GetDlgItem(d, IDC_OPTIONS_SAMPLE)), today); }),
                           Click(&d, IDOK)});
    ASSERT_TRUE(OpenSettings(registry_, NewSystem(), key));
    std::string text;
    EXPECT_TRUE(ReadString(key, kValueDateTemplate, kDateTemplateSize, &text));
    EXPECT_EQ(text, "yyyy.MM.dd");
    EXPECT_TRUE(ReadString(key, kValueSeparator, kSeparatorSize, &text));
    EXPECT_EQ(text, "/");
    EXPECT_FALSE(ReadConfirmDeletions(registry_, NewSystem()));
    EXPECT_EQ(band_->DateTemplate(), "yyyy/MM/dd");
    EXPECT_FALSE(band_->ConfirmDeletions());
}

TEST_F(BandTest, FindRefusesAnEmptyTextThenSendsAndRemembers) {
    Open();
    HWND d = nullptr;
    Run(Command::FindOnTab,
        {WaitFor("Find", &d), Click(&d, IDC_FIND_NEXT), Answer("Please enter text to search.", IDOK), Settle(),
         Do([&] { EXPECT_TRUE(recorded_.finds.empty()); }), Type(&d, IDC_FIND_TEXT, "News"),
         Click(&d, IDC_FIND_CASE), Click(&d, IDC_FIND_ALL), Settle(),
         // Enter is the dialog's OK, which finds the next.
         Do([&] { PostMessageA(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); }), Settle(), Click(&d, IDCANCEL)});
    ASSERT_EQ(recorded_.finds.size(), 2u);
    EXPECT_STREQ(recorded_.finds[0].text, "News");
    EXPECT_EQ(recorded_.finds[0].findAll, 1);
    EXPECT_EQ(recorded_.finds[0].matchCase, 1);
    EXPECT_EQ(recorded_.finds[0].searchNames, 1);
    EXPECT_EQ(recorded_.finds[0].searchValues, 0);
    EXPECT_EQ(recorded_.finds[1].findAll, 0);
    Run(Command::FindOnTab, {WaitFor("Find", &d), Do([&] {
                                 EXPECT_EQ(TextOf(GetDlgItem(d, IDC_FIND_TEXT)), "News");
                                 EXPECT_EQ(IsDlgButtonChecked(d, IDC_FIND_CASE), 1u);
                                 EXPECT_EQ(IsDlgButtonChecked(d, IDC_FIND_WHOLE), 0u);
                             }),
                             Click(&d, IDCANCEL)});
}

TEST_F(BandTest, FavoritesReportsMissingInputInOrderAndNeedsAnAddress) {
    Open();
    HWND d = nullptr;
    EXPECT_TRUE(RunScripted(
        [&] { RunAddToFavoritesDialog(*band_, "  What? News: today ", " http://example.com/ "); },
        {WaitFor("Add To Favorites", &d), Do([&] {
             EXPECT_EQ(TextOf(GetDlgItem(d, IDC_FAVORITE_DESCRIPTION)), "What_ News_ today");
             EXPECT_EQ(TextOf(GetDlgItem(d, IDC_FAVORITE_URL)), "http://example.com/");
         }),
         Type(&d, IDC_FAVORITE_DESCRIPTION, ""), Type(&d, IDC_FAVORITE_URL, ""), Click(&d, IDOK),
         Answer("Please enter a Description.", IDOK), Type(&d, IDC_FAVORITE_DESCRIPTION, "x"), Click(&d, IDOK),
         Answer("Please enter valid URL.", IDOK), Settle(), Do([&] { EXPECT_TRUE(IsWindow(d)); }),
         Click(&d, IDCANCEL)}));
    bool opened = false;
    RunScripted([&] { RunAddToFavoritesDialog(*band_, "title", "   "); },
                {Do([&] { opened = OpenDialog("Add To Favorites") != nullptr; })});
    EXPECT_FALSE(opened) << "no address, no dialog";
}

TEST_F(BandTest, IndexRemovalCancelChangesNothing) {
    Open();
    HWND d = nullptr;
    std::vector<UINT> before, after;
    const auto read = [&](std::vector<UINT>& into) {
        for (int id : {IDC_REMOVE_HISTORY_INDEX, IDC_REMOVE_COOKIE_INDEX, IDC_REMOVE_CACHE_INDEX})
            into.push_back(IsDlgButtonChecked(d, id));
    };
    Run(Command::CleanIndexFiles, {WaitFor("Clean up Index files", &d), Do([&] { read(before); }),
                                   Click(&d, IDC_REMOVE_HISTORY_INDEX), Click(&d, IDC_REMOVE_CACHE_INDEX),
                                   Click(&d, IDCANCEL)});
    Run(Command::CleanIndexFiles,
        {WaitFor("Clean up Index files", &d), Do([&] { read(after); }), Click(&d, IDCANCEL)});
    EXPECT_EQ(after, before);
}

TEST_F(BandTest, AboutShowsTheBannerAndTheLinksInTheBrowsersColours) {
    HKEY ie = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root_, "Software\\Microsoft\\Internet Explorer\\Settings", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &ie, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(ie, "Anchor Color", 0, REG_SZ, reinterpret_cast<const BYTE*>("0,128,0"), 8);
    RegSetValueExA(ie, "Anchor Color Visited", 0, REG_SZ, reinterpret_cast<const BYTE*>("0,128"), 6);
    RegCloseKey(ie);
    Open();
    HWND d = nullptr;
    Run(Command::About, {WaitFor("About Tidewell Bar", &d), Do([&] {
                             const std::pair<int, const char*> texts[] = {
                                 {IDC_ABOUT_NAME, kAboutName},
                                 {IDC_ABOUT_HOME, kAboutHomePage},
                                 {IDC_ABOUT_SUPPORT, kAboutSupportAddress},
                                 {IDC_ABOUT_DOWNLOAD, kAboutInvitation}};
                             for (const auto& [id, text] : texts)
                                 EXPECT_EQ(TextOf(GetDlgItem(d, id)), text) << id;
                             const HWND banner = GetDlgItem(d, IDC_ABOUT_BANNER);
                             EXPECT_TRUE(IsWindowVisible(banner));
                             BITMAP picture{};
                             const HGDIOBJ image = HGDIOBJ(SendMessageA(banner, STM_GETIMAGE, IMAGE_BITMAP, 0));
                             ASSERT_TRUE(image && GetObjectA(image, sizeof picture, &picture));
                             EXPECT_EQ(picture.bmWidth, 400);
                             EXPECT_EQ(picture.bmHeight, 74);
                             LOGFONTA font{};
                             GetObjectA(HGDIOBJ(SendDlgItemMessageA(d, IDC_ABOUT_NAME, WM_GETFONT, 0, 0)),
                                        sizeof font, &font);
                             EXPECT_EQ(font.lfWeight, FW_BOLD);
                         }),
                         Click(&d, IDOK)});
    // The same colours, read by a link of its own.
    HWND label = CreateWindowExA(0, "Static", "label", WS_CHILD, 0, 0, 100, 20, parent_->Hwnd(), nullptr, nullptr,
                                 nullptr);
    Win32Shell shell;
    Hyperlink link;
    link.SetTarget("http://example.com/");
    ASSERT_TRUE(link.Attach(label, registry_, shell));
    EXPECT_EQ(link.LinkColour(), (Rgb{0, 128, 0}));
    EXPECT_EQ(link.VisitedColour(), (Rgb{128, 0, 128}));
}

TEST_F(BandTest, CookieDetailsShowTheFileWithoutItsLastByteAndOkEndsWithOne) {
    Open();
    const std::string path = TempPath("tw-cookie-dialog.txt");
    ASSERT_TRUE(std::ofstream(path, std::ios::binary) << "a\nb\n");
    HWND d = nullptr;
    INT_PTR result = 0;
    EXPECT_TRUE(RunScripted([&] { result = RunCookieDetailsDialog(*band_, path); },
                            {WaitFor("Cookie Details", &d), Do([&] {
                                 EXPECT_EQ(TextOf(GetDlgItem(d, IDC_COOKIE_DETAILS_TEXT)), "a\r\nb");
                             }),
                             Click(&d, IDOK)}));
    EXPECT_EQ(result, 1);
    DeleteFileA(path.c_str());
}

// ---- choosing and searching index files -------------------------------------

TEST_F(BandTest, SearchFindsIndexFilesOnItsWorkerAndOkHandsBackTheSelection) {
    Open();
    FixedFolder picker(MakeTree());
    HWND d = nullptr;
    std::string chosen;
    bool ok = false;
    EXPECT_TRUE(RunScripted([&] { ok = RunIndexSearchDialog(*band_, picker, &chosen); },
                            {WaitFor("Search", &d), Click(&d, IDC_INDEX_BROWSE),
                             [&] { return TextOf(GetDlgItem(d, IDC_INDEX_STATUS)).empty(); }, Settle(), Do([&] {
                                 // A plain click on the first row selects it.
                                 PostMessageA(GetDlgItem(d, IDC_INDEX_LIST), WM_LBUTTONDOWN, MK_LBUTTON,
                                              MAKELPARAM(20, 28));
                                 PostMessageA(GetDlgItem(d, IDC_INDEX_LIST), WM_LBUTTONUP, 0, MAKELPARAM(20, 28));
                             }),
                             Settle(), Click(&d, IDOK)}));
    EXPECT_EQ(picker.titles, std::vector<std::string>{"Please select a folder to search:"});
    EXPECT_TRUE(ok);
    EXPECT_NE(chosen.find("index.dat"), std::string::npos) << chosen;
}

TEST_F(BandTest, SearchOfAFolderWithoutIndexFilesSaysSoAndClosingDuringASearchWaitsForTheWorker) {
    Open();
    const std::string empty = TempPath("tw_dialog_empty");
    CreateDirectoryA(empty.c_str(), nullptr);
    FixedFolder emptyFolder(empty), temp(TempPath(""));
    HWND d = nullptr;
    std::string chosen;
    bool ok = true;
    EXPECT_TRUE(RunScripted([&] { ok = RunIndexSearchDialog(*band_, emptyFolder, &chosen); },
                            {WaitFor("Search", &d), Click(&d, IDC_INDEX_BROWSE),
                             Answer("Selected folder does not contain index.dat files", IDOK), Settle(),
                             Click(&d, IDOK)}));
    EXPECT_FALSE(ok) << "no row, no path";
    EXPECT_TRUE(RunScripted([&] { RunIndexSearchDialog(*band_, temp, &chosen); },
                            {WaitFor("Search", &d), Click(&d, IDC_INDEX_BROWSE),
                             // Esc, or the close box: the button is off while the search runs.
                             Do([&] { PostMessageA(d, WM_COMMAND, IDCANCEL, 0); })}));
    // Nothing of the worker is left to touch the dialog.
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, kWmIndexFound, kWmIndexSearchDone, PM_NOREMOVE));
}

TEST_F(BandTest, CookieChoiceBrowsesToACookiesSubfolderOnce) {
    Open();
    FixedFolder picker(MakeTree());
    HWND d = nullptr;
    std::string chosen;
    bool ok = false;
    // Twice to the same folder: one row.
    EXPECT_TRUE(RunScripted([&] { ok = RunIndexChoiceDialog(*band_, EntryKind::Cookie, picker, &chosen); },
                            {WaitFor("Select Cookies index.dat file", &d), Click(&d, IDC_INDEX_BROWSE), Settle(),
                             Click(&d, IDC_INDEX_BROWSE), Settle(), Click(&d, IDOK)}));
    ASSERT_EQ(picker.titles.size(), 2u);
    EXPECT_EQ(picker.titles[0], "Please select Cookies folder:");
    EXPECT_FALSE(ok && chosen.empty());
}

// The browser may close the band while one of its dialogs runs: the dialog
// then ends at its next message, and what called it leaves the band alone.
TEST_F(BandTest, ADialogEndsWhenItsBandGoes) {
    Open();
    FixedFolder picker(MakeTree());
    HWND d = nullptr;
    std::string chosen;
    bool ok = true;
    EXPECT_TRUE(RunScripted([&] { ok = RunIndexChoiceDialog(*band_, EntryKind::Cookie, picker, &chosen); },
                            {WaitFor("Select Cookies index.dat file", &d), Click(&d, IDC_INDEX_BROWSE), Settle(),
                             Do([&] {
                                 RemoveWindowSubclass(band_->Hwnd(), &RecordRequests, 1);
                                 DestroyWindow(band_->Hwnd());
                                 band_ = nullptr;
                                 PostMessageA(d, WM_NULL, 0, 0);
                             })}));
    EXPECT_FALSE(ok) << chosen;
}

}  // namespace
}  // namespace tw
