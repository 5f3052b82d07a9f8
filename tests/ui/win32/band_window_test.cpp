// The band window as the browser meets it: made in a parent window with the
// module's resources, given a browser stand-in that records the status bar
// and the navigations, filled from the URL cache of the test prefix, and
// driven with real messages.
#include <windows.h>
#include <wininet.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "clean/cleanup.h"
#include "clean/find.h"
#include "settings/settings_store.h"
#include "tests/fixtures/index_file_writer.h"
#include "tools/standin/host.h"
#include "ui/item_actions.h"
#include "ui/win32/activation.h"
#include "ui/win32/band_actions.h"
#include "ui/win32/band_window.h"
#include "ui/band_window_model.h"
#include "ui/colour_math.h"

namespace tw {
namespace {

using fixtures::IndexFileWriter;
using fixtures::IndexRecord;

std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

bool Commit(const std::string& url, const char* extension, DWORD type) {
    char file[MAX_PATH] = "";
    const std::string body = "sample of " + url + "\n";
    if (!CreateUrlCacheEntryA(url.c_str(), DWORD(body.size()), extension, file, 0))
        return false;
    FILE* f = std::fopen(file, "wb");
    if (!f)
        return false;
    std::fwrite(body.data(), 1, body.size(), f);
    std::fclose(f);
    FILETIME expires = {0xFFFFFFFFu, 0x7FFFFFFFu}, modified = {};
    GetSystemTimeAsFileTime(&modified);
    return CommitUrlCacheEntryA(url.c_str(), file, expires, modified, type, nullptr, 0, extension, nullptr) != FALSE;
}

bool InCache(const std::string& url) {
    DWORD size = 0;
    GetUrlCacheEntryInfoA(url.c_str(), nullptr, &size);
    std::vector<char> buffer(size ? size : 1);
    return size && GetUrlCacheEntryInfoA(url.c_str(), reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data()),
                                         &size);
}

// Every URL of the live cache that the pattern enumerates.
std::vector<std::string> CacheUrls(const char* pattern) {
    std::vector<std::string> urls;
    std::vector<char> buffer(8192);
    DWORD size = DWORD(buffer.size());
    auto* entry = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
    HANDLE find = FindFirstUrlCacheEntryA(pattern, entry, &size);
    if (!find)
        return urls;
    do {
        if (entry->lpszSourceUrlName)
            urls.push_back(entry->lpszSourceUrlName);
        size = DWORD(buffer.size());
    } while (FindNextUrlCacheEntryA(find, entry, &size));
    FindCloseUrlCache(find);
    return urls;
}

// Wine takes the pattern as a case-sensitive prefix of the URL, where
// Windows matches "cookie:" against the cookie container.
std::size_t CookieCount() {
    return CacheUrls("Cookie:").size();
}

void SetSettingsValue(const char* path, DWORD value, bool remove) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    if (remove)
        RegDeleteValueA(key, kValueDisableConfirmation);
    else
        RegSetValueExA(key, kValueDisableConfirmation, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                       sizeof value);
    RegCloseKey(key);
}

LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return DefWindowProcA(hwnd, msg, wp, lp);
}

HWND MakeParent(int width, int height) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TidewellBandTestParent";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassA(&wc);
    return CreateWindowExA(0, wc.lpszClassName, "Band test", WS_OVERLAPPED | WS_CLIPCHILDREN, 0, 0, width, height,
                           nullptr, nullptr, wc.hInstance, nullptr);
}

template <class Done>
bool PumpUntil(Done done, DWORD timeoutMs = 10000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    }
    return true;
}

std::vector<std::string> Titles(const ListModel& model) {
    std::vector<std::string> titles;
    for (int c = 0; c < model.ColumnCount(); ++c) {
        std::string t;
        model.ColumnTitle(c, t);
        titles.push_back(t);
    }
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

bool WriteBytes(const std::string& path, const std::string& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    std::fclose(f);
    return ok;
}

// The window's area of the screen as a 24-bit BMP: the band paints its
// children itself, so only the screen holds the whole picture. Answers the
// colour at (x, y) of the window through probe.
bool SaveScreenArea(HWND hwnd, const char* path, POINT probeAt, COLORREF* probe) {
    RECT rc{};
    GetWindowRect(hwnd, &rc);
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(mem, bitmap);
    BitBlt(mem, 0, 0, w, h, screen, rc.left, rc.top, SRCCOPY);
    *probe = GetPixel(mem, probeAt.x, probeAt.y);
    SelectObject(mem, old);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    const int stride = (w * 3 + 3) & ~3;
    std::vector<unsigned char> pixels(std::size_t(stride) * std::size_t(h));
    bool ok = GetDIBits(mem, bitmap, 0, UINT(h), pixels.data(), &info, DIB_RGB_COLORS) != 0;
    if (ok) {
        BITMAPFILEHEADER file{};
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof file + sizeof info.bmiHeader;
        file.bfSize = DWORD(file.bfOffBits + pixels.size());
        FILE* f = std::fopen(path, "wb");
        ok = f && std::fwrite(&file, sizeof file, 1, f) == 1 &&
             std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, f) == 1 &&
             std::fwrite(pixels.data(), 1, pixels.size(), f) == pixels.size();
        if (f)
            std::fclose(f);
    }
    DeleteObject(bitmap);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return ok;
}

class BandWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        host_ = std::string("tw-") + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".test";
        for (auto& c : host_)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        for (int i = 0; i < 10; ++i) {
            cookies_.push_back("Cookie:tester@" + host_ + "/c" + std::to_string(i));
            ASSERT_TRUE(Commit(cookies_.back(), "txt", COOKIE_CACHE_ENTRY)) << cookies_.back();
        }
        for (int i = 0; i < 4; ++i) {
            cache_.push_back("http://" + host_ + "/page" + std::to_string(i) + ".html");
            ASSERT_TRUE(Commit(cache_.back(), "html", NORMAL_CACHE_ENTRY)) << cache_.back();
        }
        // No questions: the tests answer no message boxes.
        for (const char* path : {kSettingsPathOld, kSettingsPathNew})
            SetSettingsValue(path, 1, false);
    }

    void TearDown() override {
        if (band_)
            DestroyWindow(band_);
        if (parent_)
            DestroyWindow(parent_);
        for (const auto& url : cookies_)
            DeleteUrlCacheEntryA(url.c_str());
        for (const auto& url : cache_)
            DeleteUrlCacheEntryA(url.c_str());
        for (const char* path : {kSettingsPathOld, kSettingsPathNew})
            SetSettingsValue(path, 0, true);
        OleUninitialize();
    }

    // The band in a parent of the given size, filled as at start-up.
    void Open(bool visible = false, int width = 900, int height = 400) {
        // As the module does when it loads: the common controls of its manifest.
        if (!HasModuleActivationContext())
            CreateModuleActivationContext(GetModuleHandleA(nullptr));
        parent_ = MakeParent(width, height);
        ASSERT_NE(parent_, nullptr);
        browser_.reset(new standin::Browser(parent_));
        RECT client = {};
        GetClientRect(parent_, &client);
        band_ = CreateBandWindow(GetModuleHandleA(nullptr), parent_, client, nullptr);
        ASSERT_NE(band_, nullptr);
        SetBandBrowser(band_, browser_.get());
        if (hidden_)
            ShowWindow(band_, SW_HIDE);  // as ShowDW(FALSE) does
        SendMessageA(band_, WM_SIZE, 0, MAKELPARAM(client.right, client.bottom));
        if (visible) {
            ShowWindow(parent_, SW_SHOWNOACTIVATE);
            ShowWindow(band_, SW_SHOW);
        }
        ASSERT_NE(Band(), nullptr);
        // Timer 1 writes the History line; timer 2 fills Cookies and Cache.
        ASSERT_TRUE(PumpUntil([&] {
            return !browser_->StatusTexts().empty() &&
                   RowsWith(Model(EntryKind::Cookie), 1, host_).size() == cookies_.size() &&
                   RowsWith(Model(EntryKind::Cache), 1, host_).size() == cache_.size();
        })) << "start-up fills";
    }

    BandWindow* Band() { return BandWindow::FromHandle(band_); }
    ListModel& Model(EntryKind kind) { return Band()->List(kind).Model(); }
    std::wstring LastStatus() { return browser_->StatusTexts().empty() ? L"" : browser_->StatusTexts().back(); }
    HWND TabStrip() { return FindWindowExA(band_, nullptr, FlatTabStrip::kClassName, nullptr); }

    // A left click on the tab strip at x until tab is current.
    bool ClickTab(int tab) {
        for (int x = 5; x < 210; x += 10) {
            SendMessageA(TabStrip(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 10));
            SendMessageA(TabStrip(), WM_LBUTTONUP, 0, MAKELPARAM(x, 10));
            if (Band()->CurrentTab() == tab)
                return true;
        }
        return false;
    }

    void SelectOnly(EntryKind kind, const std::vector<int>& rows) {
        ListModel& model = Model(kind);
        model.Select(-1, 0, 0);
        for (int r : rows)
            model.Select(r, 0, kKeyControl);
    }

    std::string host_;
    std::vector<std::string> cookies_, cache_;
    HWND parent_ = nullptr;
    HWND band_ = nullptr;
    bool hidden_ = false;
    std::unique_ptr<standin::Browser> browser_;
};

std::vector<std::pair<HWND, UINT>> g_systemChanges;

LRESULT CALLBACK RecordSystemChanges(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETTINGCHANGE || message == WM_SYSCOLORCHANGE || message == WM_FONTCHANGE)
        g_systemChanges.push_back({window, message});
    return CallWindowProcA(reinterpret_cast<WNDPROC>(GetPropA(window, "tw-proc")), window, message, wParam, lParam);
}

TEST_F(BandWindowTest, StartUpFillsTheListsFromTheLiveCache) {
    Open();
    const std::string historyLine =
        "Internet Explorer History contains: " + std::to_string(Model(EntryKind::History).RowCount()) + " items";
    EXPECT_EQ(browser_->StatusTexts().front(), Wide(historyLine));
    EXPECT_EQ(std::size_t(Model(EntryKind::Cookie).RowCount()), CookieCount());
    // The Cookies list shows the URL without its marker.
    EXPECT_EQ(RowsWith(Model(EntryKind::Cookie), 1, "Cookie:").size(), 0u);
    EXPECT_EQ(RowsWith(Model(EntryKind::Cookie), 1, "tester@" + host_ + "/c").size(), 10u);
    EXPECT_EQ(RowsWith(Model(EntryKind::Cache), 1, "Cookie:").size(), 0u);
    EXPECT_EQ(RowsWith(Model(EntryKind::Cache), 1, "Visited:").size(), 0u);
    EXPECT_EQ(Band()->CurrentTab(), 0);
}

TEST_F(BandWindowTest, ClickingATabShowsItsListAndStatusLine) {
    Open();
    ASSERT_TRUE(ClickTab(1));
    EXPECT_EQ(LastStatus(), Wide("Internet Explorer Cookies contain: " + std::to_string(CookieCount()) + " items"));
    EXPECT_TRUE(IsWindowVisible(Band()->List(EntryKind::Cookie).Hwnd()) ||
                (GetWindowLongA(Band()->List(EntryKind::Cookie).Hwnd(), GWL_STYLE) & WS_VISIBLE));
    EXPECT_FALSE(GetWindowLongA(Band()->List(EntryKind::History).Hwnd(), GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(GetWindowLongA(Band()->List(EntryKind::Cache).Hwnd(), GWL_STYLE) & WS_VISIBLE);
    ASSERT_TRUE(ClickTab(2));
    const std::wstring cacheLine = L"Internet Explorer Cache contains: " +
                                   std::to_wstring(Model(EntryKind::Cache).RowCount()) + L" items";
    EXPECT_EQ(LastStatus(), cacheLine);
    EXPECT_TRUE(GetWindowLongA(Band()->List(EntryKind::Cache).Hwnd(), GWL_STYLE) & WS_VISIBLE);
}

TEST_F(BandWindowTest, RefreshReloadsTheCurrentTab) {
    Open();
    ASSERT_TRUE(ClickTab(1));
    cookies_.push_back("Cookie:tester@" + host_ + "/late");
    ASSERT_TRUE(Commit(cookies_.back(), "txt", COOKIE_CACHE_ENTRY));
    EXPECT_TRUE(RowsWith(Model(EntryKind::Cookie), 1, "/late").empty());
    SendMessageA(band_, WM_COMMAND, 32768, 0);
    EXPECT_EQ(RowsWith(Model(EntryKind::Cookie), 1, "tester@" + host_ + "/late").size(), 1u);
    EXPECT_EQ(LastStatus(), Wide("Internet Explorer Cookies contain: " + std::to_string(CookieCount()) + " items"));
}

// Drawing is stopped and resumed around a fill, which must not show a band
// that the browser has hidden.
TEST_F(BandWindowTest, FillsLeaveAHiddenBandHidden) {
    Open();
    ShowWindow(band_, SW_HIDE);
    const struct { UINT message; WPARAM wParam; } fills[] = {{WM_TIMER, kHistoryFillTimer}, {WM_COMMAND, 32768}};
    for (const auto& fill : fills) {
        SendMessageA(band_, fill.message, fill.wParam, 0);
        EXPECT_FALSE(GetWindowLongA(band_, GWL_STYLE) & WS_VISIBLE) << fill.message;
    }
    KillTimer(band_, kCacheFillTimer);
}

LRESULT CALLBACK CountSettings(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    if (message == WM_SETTINGCHANGE || message == WM_SYSCOLORCHANGE || message == WM_FONTCHANGE)
        ++*reinterpret_cast<int*>(data);
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

// Only top-level windows hear of the system's changes; the band tells its
// controls.
TEST_F(BandWindowTest, SettingsColourAndFontChangesReachEveryControl) {
    Open();
    std::vector<HWND> controls = {Band()->Bar().Hwnd(), Band()->TabStrip().Hwnd()};
    for (EntryKind kind : {EntryKind::History, EntryKind::Cookie, EntryKind::Cache})
        controls.push_back(Band()->List(kind).Hwnd());
    std::vector<int> heard(controls.size(), 0);
    for (std::size_t i = 0; i < controls.size(); ++i)
        SetWindowSubclass(controls[i], &CountSettings, 7, reinterpret_cast<DWORD_PTR>(&heard[i]));
    for (UINT message : {WM_SETTINGCHANGE, WM_SYSCOLORCHANGE, WM_FONTCHANGE})
        SendMessageA(band_, message, 0, 0);
    for (std::size_t i = 0; i < controls.size(); ++i) {
        EXPECT_EQ(heard[i], 3) << i;
        RemoveWindowSubclass(controls[i], &CountSettings, 7);
    }
}

TEST_F(BandWindowTest, IndexFilesOfEachKindShowInTheirTab) {
    Open();
    struct Case {
        const char* name;
        const char* url;
        int tab;
        std::vector<std::string> columns;
        int menu;
    } cases[] = {
        {"tw-history-index.dat", "Visited: alice@http://a.example/", 0,
         {"Title", "User", "URL", "Last Visited", "Last Updated"}, kNoRowMenu},
        {"tw-cookie-index.dat", "Cookie:alice@b.example/", 1, {"User", "URL", "Last Visited", "Last Updated"},
         kNoRowMenu},
        {"tw-cache-index.dat", "http://c.example/x.png", 2, {"URL", "Last Visited", "Last Updated"}, kNoRowMenu},
    };
    for (const Case& c : cases) {
        const std::string path = TempPath(c.name);
        IndexRecord record;
        record.url = c.url;
        record.title = u"Example";
        record.firstTime = fixtures::TicksOf(2020, 5, 17);
        record.secondTime = fixtures::TicksOf(2021, 1, 2);
        ASSERT_TRUE(IndexFileWriter().Add(record).Add(record).WriteTo(path));
        Band()->LoadIndex(path);
        EXPECT_EQ(Band()->CurrentTab(), c.tab) << c.name;
        const ListModel& model = Band()->CurrentList().Model();
        EXPECT_EQ(Titles(model), c.columns) << c.name;
        EXPECT_EQ(model.RowCount(), 2) << c.name;
        EXPECT_EQ(RowMenuOfCurrentList(*Band()), c.menu) << c.name << ": an index file offers no row menu";
        DeleteFileA(path.c_str());
    }
    EXPECT_EQ(Band()->List(EntryKind::Cache).Model().Column(0)->width, 500);
    // Refresh on an index tab brings the live columns back.
    SendMessageA(band_, WM_COMMAND, 32768, 0);
    EXPECT_EQ(Titles(Model(EntryKind::Cache)),
              (std::vector<std::string>{"File", "URL", "Size", "Hits", "Last Visited", "Last Updated", "Expires"}));
    EXPECT_EQ(RowMenuOfCurrentList(*Band()), kCacheRowMenu);
}

TEST_F(BandWindowTest, CleanupRunDeletesAndRefillsTheStore) {
    Open();
    CleanupCriteria criteria;
    criteria.kind = kCleanContainingText;
    criteria.store = kStoreCache;
    std::snprintf(criteria.text, sizeof criteria.text, "%s", host_.c_str());
    SendMessageA(band_, kWmRunCleanup, 0, reinterpret_cast<LPARAM>(&criteria));
    EXPECT_EQ(Band()->CurrentTab(), 2);
    for (const auto& url : cache_)
        EXPECT_FALSE(InCache(url)) << url;
    EXPECT_TRUE(RowsWith(Model(EntryKind::Cache), 1, host_).empty());
    for (const auto& url : cookies_)
        EXPECT_TRUE(InCache(url)) << url;
    EXPECT_EQ(LastStatus(), L"Internet Explorer Cache contains: " +
                                std::to_wstring(Model(EntryKind::Cache).RowCount()) + L" items");
}

TEST_F(BandWindowTest, DeleteSelectedItemsRemovesRowsTwoFiveAndSevenOfTen) {
    Open();
    ASSERT_TRUE(ClickTab(1));
    const std::size_t before = CookieCount();
    const std::vector<int> ours = RowsWith(Model(EntryKind::Cookie), 1, host_);
    ASSERT_EQ(ours.size(), 10u);
    std::vector<std::string> chosen;
    for (int i : {2, 5, 7})
        chosen.push_back("Cookie:" + Model(EntryKind::Cookie).CellText(ours[std::size_t(i)], 1));
    SelectOnly(EntryKind::Cookie, {ours[2], ours[5], ours[7]});
    EXPECT_EQ(RowMenuOfCurrentList(*Band()), kSeveralRowsMenu);
    RunRowCommand(*Band(), kItemDeleteSelected);
    for (const auto& url : cookies_) {
        const bool wasChosen = std::find(chosen.begin(), chosen.end(), url) != chosen.end();
        EXPECT_EQ(InCache(url), !wasChosen) << url;
    }
    EXPECT_EQ(RowsWith(Model(EntryKind::Cookie), 1, host_).size(), 7u);
    EXPECT_EQ(CookieCount(), before - 3);
    EXPECT_EQ(LastStatus(), Wide("Internet Explorer Cookies contain: " + std::to_string(before - 3) + " items"));
}

TEST_F(BandWindowTest, SingleDeletionAndCopyOfACookieRow) {
    Open();
    ASSERT_TRUE(ClickTab(1));
    const int row = RowsWith(Model(EntryKind::Cookie), 1, host_ + "/c4").front();
    SelectOnly(EntryKind::Cookie, {row});
    RunRowCommand(*Band(), kItemCookieCopy);
    ASSERT_TRUE(OpenClipboard(band_));
    HANDLE data = GetClipboardData(CF_TEXT);
    const char* text = data ? static_cast<const char*>(GlobalLock(data)) : nullptr;
    EXPECT_EQ(std::string(text ? text : "(none)"), host_ + "/c4");
    if (text)
        GlobalUnlock(data);
    CloseClipboard();

    RunRowCommand(*Band(), kItemCookieDelete);
    EXPECT_FALSE(InCache("Cookie:tester@" + host_ + "/c4"));
    EXPECT_TRUE(InCache("Cookie:tester@" + host_ + "/c3"));
    EXPECT_TRUE(RowsWith(Model(EntryKind::Cookie), 1, host_ + "/c4").empty());
}

TEST_F(BandWindowTest, ClickOnALinkCellOpensTheCookieAddress) {
    Open(true);
    ASSERT_TRUE(ClickTab(1));
    ListWindow& list = Band()->List(EntryKind::Cookie);
    const int row = RowsWith(list.Model(), 1, host_ + "/c7").front();
    list.Select(row, 1, 0);
    const int y = list.HeaderHeight() + (row - list.TopRow()) * list.RowHeight() + list.RowHeight() / 2;
    ASSERT_GE(row - list.TopRow(), 0);
    ASSERT_LT(row - list.TopRow(), list.PageRows()) << "the row is in view";
    // Column 0 ("File") is 300 pixels wide; the link cell follows it.
    SendMessageA(list.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(310, y));
    SendMessageA(list.Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(310, y));
    ASSERT_FALSE(browser_->Navigations().empty());
    EXPECT_EQ(browser_->Navigations().back(), Wide(host_ + "/c7"));
}

TEST_F(BandWindowTest, FindAllMarksEveryMatchingUrl) {
    Open();
    ASSERT_TRUE(ClickTab(2));
    FindRequest request;
    std::snprintf(request.text, sizeof request.text, "%s/page", host_.c_str());
    request.searchValues = 1;
    request.findAll = 1;
    SendMessageA(band_, kWmFindOnTab, 0, reinterpret_cast<LPARAM>(&request));
    const ListModel& model = Model(EntryKind::Cache);
    int marked = 0;
    for (int r = 0; r < model.RowCount(); ++r) {
        const ListCell* cell = model.CellAt(r, 1);
        const bool ours = model.CellText(r, 1).find(host_ + "/page") != std::string::npos;
        EXPECT_EQ(cell && cell->backColour == kValueMark, ours) << model.CellText(r, 1);
        marked += ours;
    }
    EXPECT_EQ(marked, 4);
}

// Runs inside the menu's own message loop.
BandWindow* g_menuBand = nullptr;
bool g_flagSeen = false;
std::size_t g_popupsPrepared = 0;
void CALLBACK CloseMenu(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    g_flagSeen = g_menuBand && g_menuBand->ContextMenuOpen();
    g_popupsPrepared = g_menuBand ? g_menuBand->Painter().PreparedPopups() : 0;
    EndMenu();
}

TEST_F(BandWindowTest, RightClickTracksThePaintedMenuWhileTheFlagIsSet) {
    Open(true);
    ASSERT_TRUE(ClickTab(2));
    SelectOnly(EntryKind::Cache, {0});
    g_menuBand = Band();
    g_flagSeen = false;
    g_popupsPrepared = 0;
    ListNotify notify = {};
    notify.hdr.hwndFrom = Band()->List(EntryKind::Cache).Hwnd();
    notify.hdr.idFrom = kListIds[2];
    notify.hdr.code = UINT(kListRightUp);
    const int rows = Model(EntryKind::Cache).RowCount();
    // Every menu's painted items go with it: the painter holds no more
    // after many right clicks than after one.
    for (int click = 0; click < 3; ++click) {
        SetTimer(nullptr, 0, 300, CloseMenu);
        EXPECT_EQ(SendMessageA(band_, WM_NOTIFY, kListIds[2], reinterpret_cast<LPARAM>(&notify)), 0);
        EXPECT_EQ(Band()->Painter().PreparedItems(), 0u) << click;
    }
    EXPECT_TRUE(g_flagSeen);
    EXPECT_GE(g_popupsPrepared, 1u);
    EXPECT_FALSE(Band()->ContextMenuOpen());
    EXPECT_EQ(Model(EntryKind::Cache).RowCount(), rows) << "a cancelled menu runs nothing";
    g_menuBand = nullptr;
}

// Chooses the first item of the open menu with the keyboard.
HWND g_menuOwner = nullptr;
void CALLBACK ChooseFirstItem(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    PostMessageA(g_menuOwner, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(g_menuOwner, WM_KEYDOWN, VK_RETURN, 0);
}

TEST_F(BandWindowTest, DeleteSelectedItemsChosenFromTheMenu) {
    Open(true);
    ASSERT_TRUE(ClickTab(2));
    const std::vector<int> ours = RowsWith(Model(EntryKind::Cache), 1, host_);
    ASSERT_EQ(ours.size(), 4u);
    SelectOnly(EntryKind::Cache, {ours[1], ours[3]});
    g_menuOwner = band_;
    SetTimer(nullptr, 0, 300, ChooseFirstItem);
    ListNotify notify = {};
    notify.hdr.hwndFrom = Band()->List(EntryKind::Cache).Hwnd();
    notify.hdr.idFrom = kListIds[2];
    notify.hdr.code = UINT(kListRightUp);
    SendMessageA(band_, WM_NOTIFY, kListIds[2], reinterpret_cast<LPARAM>(&notify));
    EXPECT_EQ(RowsWith(Model(EntryKind::Cache), 1, host_).size(), 2u);
    EXPECT_EQ(Model(EntryKind::Cache).SelectedCount(), 0) << "the Cache list keeps no selection";
    int left = 0;
    for (const auto& url : cache_)
        left += InCache(url);
    EXPECT_EQ(left, 2);
    EXPECT_FALSE(Band()->ContextMenuOpen());
}

TEST(CookieDetailsTest, TheBoxShowsTheFileWithoutItsLastByte) {
    struct Case {
        std::string bytes;
        std::string shown;
    } cases[] = {
        {"a\nb\n", "a\r\nb"},
        {"x", ""},
        {"", ""},
        {"name\nvalue\nhost/\n*\n", "name\r\nvalue\r\nhost/\r\n*"},
    };
    const std::string path = TempPath("tw-cookie-details.txt");
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteBytes(path, c.bytes));
        EXPECT_EQ(ReadCookieDetails(path), c.shown);
    }
    DeleteFileA(path.c_str());
    EXPECT_EQ(ReadCookieDetails(path), "");
}

std::string g_dialogText;
std::string g_dialogTitle;
void CALLBACK PressOk(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    HWND dialog = GetActiveWindow();
    char text[256] = "";
    GetDlgItemTextA(dialog, 202, text, sizeof text);
    g_dialogText = text;
    GetWindowTextA(dialog, text, sizeof text);
    g_dialogTitle = text;
    SendMessageA(dialog, WM_COMMAND, IDOK, 0);
}

TEST_F(BandWindowTest, CookieDetailsDialogShowsTheTextAndOkEndsItWithOne) {
    Open();
    const std::string path = TempPath("tw-cookie-dialog.txt");
    ASSERT_TRUE(WriteBytes(path, "a\nb\n"));
    g_dialogText.clear();
    SetTimer(nullptr, 0, 300, PressOk);
    EXPECT_EQ(RunCookieDetailsDialog(*Band(), path), 1);
    EXPECT_EQ(g_dialogTitle, "Cookie Details");
    EXPECT_EQ(g_dialogText, "a\r\nb");
    DeleteFileA(path.c_str());
}

}  // namespace
}  // namespace tw
