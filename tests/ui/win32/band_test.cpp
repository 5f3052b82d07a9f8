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
#include <cstdlib>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "clean/cleanup_dialog_model.h"
#include "clean/cookie_keep.h"
#include "clean/find.h"
#include "clean/shell_history.h"
#include "core/classify.h"
#include "report/win32/internet_shortcut.h"
#include "res/resource.h"
#include "settings/settings_store.h"
#include "band/server_lock.h"
#include "tools/samples/index_file_writer.h"
#include "tests/fakes/fake_process_rights.h"
#include "tests/ui/win32/freed_memory.h"
#include "tests/ui/win32/accessible_client.h"
#include "tests/ui/win32/harness.h"
#include "tools/standin/host.h"
#include "ui/about_model.h"
#include "ui/accessibility.h"
#include "ui/item_actions.h"
#include "ui/win32/window/activation.h"
#include "ui/win32/band/band_actions.h"
#include "ui/win32/band/band_window.h"
#include "ui/win32/band/key_watch.h"
#include "ui/win32/dialogs/index_choice_dialog.h"

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

// "1" for each of urls still in the cache, "0" for each gone.
std::string Left(const std::vector<std::string>& urls) {
    std::string left;
    for (const auto& url : urls)
        left += InCache(url) ? '1' : '0';
    return left;
}

std::wstring Wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

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

std::string TextOf(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// A visible dialog of this thread with the caption and, for a message box,
// the text; null when there is none.
HWND OpenDialog(const std::string& caption, const std::string& text = "") {
    for (HWND d : VisibleOfClass("#32770")) {
        if (TextOf(d) == caption && (text.empty() || TextOf(GetDlgItem(d, 0xFFFF)) == text))
            return d;
    }
    return nullptr;
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

// kProtected: the band runs as in the browser's low tab process.
enum OpenFlags { kVisible = 1, kQuiet = 2, kDryRun = 4, kProtected = 32 };

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
        ASSERT_EQ(
            RegCreateKeyExA(HKEY_CURRENT_USER, kTestRoot, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, root_.Receive(), nullptr),
            ERROR_SUCCESS);
        registry_ = Win32Registry(root_.Get());
        // A host of the test's own, from a name such as "Run/KeepSites".
        host_ = std::string("tw-") + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".test";
        std::transform(host_.begin(), host_.end(), host_.begin(), [](char c) {
            return std::isalnum(static_cast<unsigned char>(c)) || c == '.' ? char(std::tolower(c)) : '-';
        });
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
        root_.Reset();
        SHDeleteKeyA(HKEY_CURRENT_USER, kTestRoot);
        OleUninitialize();
        EXPECT_TRUE(FreedMemoryIntact()) << "something was written after it was freed";
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
        if (flags & kQuiet)
            SetDword(kValueDisableConfirmation, 1);
        recorded_.dryRun = (flags & kDryRun) != 0;
        parent_.reset(new TestParent(false, 900, 400));
        browser_.reset(new standin::Browser(parent_->Hwnd()));
        std::unique_ptr<fakes::FakeProcessRights> rights(new fakes::FakeProcessRights);
        rights->protectedMode = (flags & kProtected) != 0;
        std::unique_ptr<BandServices> services(new BandServices(std::move(rights)));
        services->registry = Win32Registry(root_.Get());
        RECT client = {0, 0, 900, 400};
        HWND hwnd =
            BandWindow::Create(new BandWindow(GetModuleHandleA(nullptr), std::move(services)), parent_->Hwnd(), client);
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
    // The typed-URL list of the private key that stands for the current user.
    UniqueKey TypedUrls() {
        UniqueKey key;
        RegCreateKeyExA(root_.Get(), kTypedUrlsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Receive(), nullptr);
        return key;
    }

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

    UniqueKey root_;
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

// An index file of the cache shows in its tab with the index columns and no
// row menu (the columns' titles are the portable tab-fill tests' work), and
// Refresh brings the live list back.
TEST_F(BandTest, AnIndexFileShowsInItsTabUntilRefresh) {
    Open();
    samples::IndexRecord record;
    record.url = "http://c.example/x.png";
    record.firstTime = samples::TicksOf(2020, 5, 17);
    const std::string path = TempPath("tw-index.dat");
    ASSERT_TRUE(samples::IndexFileWriter().Add(record).Add(record).WriteTo(path));
    band_->LoadIndex(path);
    DeleteFileA(path.c_str());
    EXPECT_EQ(band_->CurrentTab(), 2);
    EXPECT_EQ((std::vector<int>{band_->CurrentList().Model().ColumnCount(), band_->CurrentList().Model().RowCount(),
                                RowMenuOfCurrentList(*band_)}),
              (std::vector<int>{3, 2, kNoRowMenu}));
    Command(ID_REFRESH);
    EXPECT_EQ((std::vector<int>{Model(EntryKind::Cache).ColumnCount(), RowMenuOfCurrentList(*band_)}),
              (std::vector<int>{7, kCacheRowMenu}));
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
    EXPECT_EQ(Left({cookies_[3], cookies_[4]}), "10");
    EXPECT_EQ(Ours(EntryKind::Cookie).size(), 6u);
}

// A message is owned by the window its caller names for it, and only while
// that caller runs: a later message must not name a window that has gone.
TEST(ShellOwner, LastsAsLongAsItsScope) {
    Win32Shell shell;
    std::vector<HWND> owners;
    const auto ask = [&] {
        return RunScripted([&] { shell.ShowMessage("owned?", MessageIcon::Information); }, {[&] {
                               const HWND box = OpenDialog("Tidewell", "owned?");
                               if (box)
                                   owners.push_back(GetWindow(box, GW_OWNER));
                               return box && PostMessageA(box, WM_COMMAND, IDOK, 0);
                           }});
    };
    HWND dialog = nullptr;
    {
        TestParent window;
        dialog = window.Hwnd();
        const Win32Shell::OwnerScope scope(shell, dialog);
        EXPECT_TRUE(ask());
    }
    EXPECT_TRUE(ask()) << "shown with no owner once its owner went";
    EXPECT_EQ(owners, (std::vector<HWND>{dialog, nullptr}));
}

// A favorite whose path the platform cannot open whole is refused, never
// written under a name cut short without its ".url".
TEST(InternetShortcut, APathTooLongIsRefusedRatherThanCut) {
    const std::string folder = TempPath(("tw-long-" + std::string(80, 'd')).c_str());
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    const std::string path = folder + "\\" + std::string(296 - folder.size(), 'n') + ".url";
    const std::string cut = path.substr(0, MAX_PATH - 1);
    EXPECT_FALSE(Win32InternetShortcutWriter().Write(path, "http://x/", "", "long"));
    EXPECT_EQ(GetFileAttributesA(cut.c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileA(cut.c_str());
    RemoveDirectoryA(folder.c_str());
}

// ---- with a screen reader ---------------------------------------------------------

HWND MenuBarOf(BandWindow& band) { return FindWindowExA(band.Hwnd(), nullptr, MenuBar::kClassName, nullptr); }

TEST_F(BandTest, AScreenReaderFindsTheMenuTheTabsAndTheRows) {
    Open();
    const ComPtr<IAccessible> bar = AccessibleOf(MenuBarOf(*band_)), tabs = AccessibleOf(band_->TabStrip().Hwnd()),
                              cookies = AccessibleOf(band_->List(EntryKind::Cookie).Hwnd());
    ASSERT_TRUE(bar && tabs && cookies);
    // The objects' own roles and the children's names are read by the reader
    // in another process (the module's tests); here, the children's roles.
    EXPECT_EQ((std::vector<long>{RoleOf(bar.Get(), 1), RoleOf(tabs.Get(), 3), ChildCountOf(cookies.Get())}),
              (std::vector<long>{ROLE_SYSTEM_MENUITEM, ROLE_SYSTEM_PAGETAB, Model(EntryKind::Cookie).RowCount()}));
    BSTR shortcut = nullptr;
    EXPECT_EQ(bar->get_accKeyboardShortcut(Child(3), &shortcut), S_OK);
    EXPECT_EQ(Narrowed(shortcut), "Alt+E");
    EXPECT_EQ(NameOf(bar.Get(), CHILDID_SELF) + " | " + NameOf(tabs.Get(), CHILDID_SELF), "Menu bar | Tabs");
    // The tab's action is a click on it, posted: the reader's call returns first.
    EXPECT_EQ(tabs->accDoDefaultAction(Child(2)), S_OK);
    EXPECT_EQ(band_->CurrentTab(), 0);
    PumpUntil([&] { return band_->CurrentTab() == 1; }, 2000);
    EXPECT_EQ(band_->CurrentTab(), 1);
    EXPECT_TRUE(GetWindowLongA(band_->List(EntryKind::Cookie).Hwnd(), GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ((std::vector<long>{StateOf(tabs.Get(), 1), StateOf(tabs.Get(), 2)}),
              (std::vector<long>{STATE_SYSTEM_SELECTABLE, STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_SELECTED}));
}

// The objects live as long as a reader holds them, and keep the module
// loaded meanwhile; the band's windows are gone under them.
TEST_F(BandTest, ObjectsHeldPastTheBandAreDisconnected) {
    Open();
    const long locks = ModuleLock().Count();
    std::vector<ComPtr<IAccessible>> held = {AccessibleOf(MenuBarOf(*band_)), AccessibleOf(band_->TabStrip().Hwnd()),
                                             AccessibleOf(band_->List(EntryKind::History).Hwnd())};
    EXPECT_EQ(ModuleLock().Count(), locks + 3);
    DestroyWindow(band_->Hwnd());
    band_ = nullptr;
    for (const ComPtr<IAccessible>& a : held) {
        LONG count = 7;
        BSTR name = nullptr;
        ASSERT_TRUE(a);
        EXPECT_EQ((std::vector<HRESULT>{a->get_accChildCount(&count), a->get_accName(Child(1), &name),
                                        a->accDoDefaultAction(Child(1))}),
                  (std::vector<HRESULT>(3, RPC_E_DISCONNECTED)));
        EXPECT_EQ(count, 0);
    }
    held.clear();
    EXPECT_EQ(ModuleLock().Count(), locks);
}

// ---- without a mouse, as scripts of real keys ----------------------------------

// A word of a key script: a key ("alt", "F10", "right", "down", "esc",
// "enter", "tab", "apps" or a letter) with the modifiers before it ("A-"
// Alt, "C-" Ctrl, "S-" Shift), pressed and released.
void Press(const std::string& word) {
    if (word == "alt-down" || word == "alt-up") {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = VK_MENU;
        in.ki.dwFlags = word == "alt-up" ? KEYEVENTF_KEYUP : 0;
        SendInput(1, &in, sizeof in);
        return;
    }
    static const std::pair<const char*, WORD> names[] = {{"alt", VK_MENU}, {"F10", VK_F10}, {"right", VK_RIGHT},
                                                         {"left", VK_LEFT}, {"down", VK_DOWN}, {"esc", VK_ESCAPE},
                                                         {"enter", VK_RETURN}, {"tab", VK_TAB}, {"apps", VK_APPS}};
    std::vector<WORD> keys;
    std::string rest = word;
    for (; rest.size() > 2 && rest[1] == '-'; rest = rest.substr(2))
        keys.push_back(rest[0] == 'A' ? VK_MENU : rest[0] == 'C' ? VK_CONTROL : VK_SHIFT);
    WORD key = rest.size() == 1 ? WORD(std::toupper(rest[0])) : 0;
    for (const auto& [name, code] : names)
        if (rest == name)
            key = code;
    keys.push_back(key);
    std::vector<INPUT> inputs;
    for (std::size_t i = 0; i < 2 * keys.size(); ++i) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        const bool up = i >= keys.size();
        in.ki.wVk = keys[up ? 2 * keys.size() - 1 - i : i];
        in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(in);
    }
    SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT));
}

struct KeyScript {
    const char* name;
    std::vector<std::string> words;  // "note" notes the band's state
    std::vector<std::string> record;
};

// clang-format off
const KeyScript kKeyScripts[] = {
    // Alt alone enters the bar, the arrows wrap round it, Esc leaves it.
    {"AltArrowsAndEsc", {"alt", "note", "right", "right", "note", "left", "left", "left", "note", "esc", "note"},
     {"focus bar, File hot focused, tab 0", "focus bar, Edit hot focused, tab 0", "focus bar, Help hot focused, tab 0",
      "focus History, tab 0"}},
    // Down opens; the first Esc comes back to the button, the second leaves.
    // A reader finds the texts of the painted items where their data points.
    {"F10DownAndEscTwice", {"F10", "down", "note", "items", "esc", "note", "esc", "note"},
     {"focus bar, File hot pressed focused, menu open, tab 0",
      "items Refresh |  | Save History... | Save Cookie List... | Save Cache List... |  | Advanced",
      "focus bar, File hot focused, tab 0", "focus History, tab 0"}},
    // Alt with a first letter opens that menu; Right moves to the next
    // one; Alt again leaves the bar.
    {"AltLetterRightAndAltAgain", {"A-c", "note", "right", "note", "esc", "alt", "note"},
     {"focus History, Clean hot pressed, menu open, tab 0", "focus History, Edit hot pressed, menu open, tab 0",
      "focus History, tab 0"}},
    // A command chosen with the keys runs, and the focus is back in the list.
    {"KeysChooseACommand", {"C-tab", "F10", "right", "right", "down", "enter", "note"},
     {"focus Cookies, all selected, tab 1"}},
    // In a popup an item's first letter chooses it; a click elsewhere leaves the bar.
    {"LettersChooseAndAClickLeaves", {"C-tab", "A-e", "s", "note", "alt", "note", "click", "note"},
     {"focus Cookies, all selected, tab 1", "focus bar, File hot focused, all selected, tab 1",
      "focus Cookies, all selected, tab 1"}},
    {"CtrlTabWraps", {"C-tab", "note", "C-S-tab", "C-S-tab", "note"}, {"focus Cookies, tab 1", "focus Cache, tab 2"}},
    // While the bar is hot a Ctrl chord leaves it and goes on: here to the band.
    {"WhileHotCtrlTabLeavesTheBar", {"F10", "C-tab", "note"}, {"focus Cookies, tab 1"}},
    // With the focus in the browser's page, its keys are the page's.
    {"ThePageKeepsItsKeys", {"page", "alt", "F10", "C-tab", "S-F10", "note", "keys"},
     {"focus page, tab 0", "page alt F10 ctrl tab shift F10"}},
    // The focus gone and back between Alt's press and release: no entry.
    {"AltWhileTheFocusMovesIsNoEntry", {"alt-down", "page", "list", "alt-up", "note"}, {"focus History, tab 0"}},
    // A screen reader hears the bar's keyboard mode as a menu mode.
    {"TheBarsKeyboardModeIsAMenuMode", {"alt", "right", "esc", "heard", "F10", "down", "esc", "esc", "heard"},
     {"heard start end", "heard start end start end"}},
    // The current row's menu opens at the row.
    {"ContextMenuKeys", {"C-tab", "select", "S-F10", "note", "esc", "apps", "note", "esc", "note"},
     {"focus Cookies, row menu at the row, tab 1", "focus Cookies, row menu at the row, tab 1",
      "focus Cookies, tab 1"}},
};
// clang-format on

void PrintTo(const KeyScript& c, std::ostream* os) { *os << c.name; }

class BandKeys : public BandTest, public ::testing::WithParamInterface<KeyScript> {
protected:
    // Where the focus is, the bar's buttons that are hot by the states a
    // screen reader reads, the popups open, the current tab.
    std::string Note() {
        const HWND focus = GetFocus(), bar = MenuBarOf(*band_);
        std::string note = "focus " + (focus == bar ? std::string("bar") : TextOf(focus));
        const ComPtr<IAccessible> a = AccessibleOf(bar);
        for (long b = 1; a && b <= ChildCountOf(a.Get()); ++b) {
            const long state = StateOf(a.Get(), b);
            if (state & STATE_SYSTEM_HOTTRACKED)
                note += ", " + NameOf(a.Get(), b) + " hot" + (state & STATE_SYSTEM_PRESSED ? " pressed" : "") +
                        (state & STATE_SYSTEM_FOCUSED ? " focused" : "");
        }
        const ListModel& list = band_->CurrentList().Model();
        if (list.RowCount() > 0 && list.SelectedCount() == list.RowCount())
            note += ", all selected";
        const std::vector<HWND> menus = VisibleOfClass("#32768");
        if (!menus.empty() && band_->ContextMenuOpen()) {
            RECT at{};
            GetWindowRect(menus.front(), &at);
            const POINT row = band_->CurrentList().KeyboardMenuPoint();
            note += std::abs(at.left - row.x) <= 2 && std::abs(at.top - row.y) <= 2 ? ", row menu at the row"
                                                                                   : ", row menu elsewhere";
        } else if (!menus.empty()) {
            note += ", menu open";
        }
        return note + ", tab " + std::to_string(band_->CurrentTab());
    }
    // The texts of the open popup's items, as a reader's menu proxy takes
    // them from the record that each item's data points to.
    std::string Items() {
        const std::vector<HWND> menus = VisibleOfClass("#32768");
        const HMENU menu = menus.empty() ? nullptr : reinterpret_cast<HMENU>(SendMessageA(menus.front(), MN_GETHMENU, 0, 0));
        std::string items = "items";
        for (int i = 0; menu && i < GetMenuItemCount(menu); ++i) {
            MENUITEMINFOA info{};
            info.cbSize = sizeof info;
            info.fMask = MIIM_DATA;
            GetMenuItemInfoA(menu, UINT(i), TRUE, &info);
            const auto* text = reinterpret_cast<const MSAAMENUINFO*>(info.dwItemData);
            items += i ? " | " : " ";
            if (text && text->dwMSAASignature == MSAA_MENU_SIG)
                items += Narrowed(SysAllocStringLen(text->pszWText, text->cchWText));
        }
        return items;
    }
    // A left click on a window x pixels from its left edge, as the pointer gives it.
    static void Click(HWND window, int x) {
        RECT rc{};
        GetWindowRect(window, &rc);
        INPUT in[2] = {};
        for (INPUT& i : in) {
            i.type = INPUT_MOUSE;
            i.mi.dx = LONG((rc.left + x) * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1));
            i.mi.dy = LONG((rc.top + 5) * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1));
        }
        in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
        SendInput(2, in, sizeof(INPUT));
    }
};

// The browser's page: a window beside the band that keeps every key it
// gets and notes the keys pressed.
LRESULT CALLBACK PageKeys(HWND window, UINT message, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
    if (message >= WM_KEYDOWN && message <= WM_SYSDEADCHAR) {
        if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) {
            static const std::pair<WPARAM, const char*> names[] = {
                {VK_MENU, "alt"}, {VK_F10, "F10"}, {VK_CONTROL, "ctrl"}, {VK_TAB, "tab"}, {VK_SHIFT, "shift"}};
            std::string name = "#" + std::to_string(wp);
            for (const auto& [vk, n] : names)
                if (vk == wp)
                    name = n;
            *reinterpret_cast<std::string*>(data) += " " + name;
        }
        return 0;
    }
    return DefSubclassProc(window, message, wp, lp);
}

TEST_P(BandKeys, Run) {
    Open(kVisible);
    SetCursorPos(800, 380);  // the pointer away from the menu bar
    SetForegroundWindow(parent_->Hwnd());
    SetFocus(band_->CurrentList().Hwnd());
    ASSERT_EQ(GetForegroundWindow(), parent_->Hwnd());
    std::string pageKeys;
    const UniqueWindow page(CreateWindowExA(0, "EDIT", "page", WS_CHILD | WS_VISIBLE, 700, 350, 100, 20,
                                            parent_->Hwnd(), nullptr, nullptr, nullptr));
    ASSERT_TRUE(page && SetWindowSubclass(page.Get(), &PageKeys, 1, reinterpret_cast<DWORD_PTR>(&pageKeys)));
    EventEar ear(EVENT_SYSTEM_MENUSTART, EVENT_SYSTEM_MENUEND);
    std::vector<std::string> record;
    bool done = false;
    std::vector<Step> steps;
    for (const std::string& word : GetParam().words) {
        steps.push_back([this, word, &record, &page, &pageKeys, &ear] {
            if (word == "note")
                record.push_back(Note());
            else if (word == "select")
                SelectOnly(EntryKind::Cookie, {Ours(EntryKind::Cookie)[3]});
            else if (word == "items")
                record.push_back(Items());
            else if (word == "page")
                SetFocus(page.Get());
            else if (word == "list")
                SetFocus(band_->CurrentList().Hwnd());
            else if (word == "keys")
                record.push_back("page" + pageKeys);
            else if (word == "heard") {
                std::string heard = "heard";
                for (const EventEar::Heard& h : ear.heard)
                    if (h.window == MenuBarOf(*band_) && h.object == OBJID_CLIENT && h.child == CHILDID_SELF)
                        heard += h.event == EVENT_SYSTEM_MENUSTART ? " start" : " end";
                record.push_back(heard);
            }
            else if (word == "click")
                Click(band_->TabStrip().Hwnd(), 100);  // on the current tab, which changes nothing
            else
                Press(word);
            return true;
        });
    }
    steps.push_back([&done] { return done = true; });
    EXPECT_TRUE(RunScripted([&] { PumpUntil([&] { return done; }, 30000); }, std::move(steps)));
    EXPECT_EQ(record, GetParam().record);
}

INSTANTIATE_TEST_SUITE_P(Band, BandKeys, ::testing::ValuesIn(kKeyScripts),
                         [](const ::testing::TestParamInfo<KeyScript>& info) { return info.param.name; });

// Two bands on one thread: each bar takes the keys of its own band, and the
// thread's hooks stay while one band lives and go with the last.
TEST_F(BandTest, TwoBandsOnOneThreadKeepTheirOwnKeysAndTheLastTakesTheHooks) {
    Open(kVisible);
    TestParent otherParent(true, 600, 300);
    standin::Browser otherBrowser(otherParent.Hwnd());
    std::unique_ptr<BandServices> services(new BandServices);
    services->registry = Win32Registry(root_.Get());
    const RECT client = {0, 0, 600, 300};
    const HWND other = BandWindow::Create(new BandWindow(GetModuleHandleA(nullptr), std::move(services)),
                                          otherParent.Hwnd(), client);
    ASSERT_NE(other, nullptr);
    BandWindow& second = *BandWindow::FromHandle(other);
    second.SetBrowser(&otherBrowser);
    SendMessageA(other, WM_SIZE, 0, MAKELPARAM(client.right, client.bottom));
    SetCursorPos(1270, 1010);  // the pointer away from both bars
    // Alt alone in a band's list: where the focus goes, and whether the other bar is hot.
    const auto alt = [](BandWindow& band, HWND parent, HWND otherBar) {
        // The activation may arrive late and put the focus on the parent.
        SetForegroundWindow(parent);
        PumpUntil([&] { return GetActiveWindow() == parent; }, 3000);
        PumpUntil([] { return false; }, 50);
        SetFocus(band.CurrentList().Hwnd());
        if (GetFocus() != band.CurrentList().Hwnd())
            return std::string("the list could not take the focus");
        Press("alt");
        PumpUntil([&] { return GetFocus() != band.CurrentList().Hwnd(); }, 3000);
        std::string got = GetFocus() == MenuBarOf(band) ? "own bar" : "focus " + TextOf(GetFocus());
        const ComPtr<IAccessible> a = otherBar ? AccessibleOf(otherBar) : ComPtr<IAccessible>();
        if (a && (StateOf(a.Get(), 1) & STATE_SYSTEM_HOTTRACKED))
            got += ", other bar hot";
        Press("esc");
        PumpUntil([&] { return GetFocus() == band.CurrentList().Hwnd(); }, 3000);
        return got;
    };
    EXPECT_EQ(alt(second, otherParent.Hwnd(), MenuBarOf(*band_)), "own bar");
    EXPECT_EQ(alt(*band_, parent_->Hwnd(), MenuBarOf(second)), "own bar");
    DestroyWindow(band_->Hwnd());
    band_ = nullptr;
    EXPECT_TRUE(KeysWatchedOnThisThread());
    EXPECT_EQ(alt(second, otherParent.Hwnd(), nullptr), "own bar") << "the first band took the hook with it";
    DestroyWindow(other);
    EXPECT_FALSE(KeysWatchedOnThisThread()) << "the last band leaves no hook behind";
}

// ---- dialogs and context menus, as scripts -------------------------------------

// What a script does in a dialog, or notes of it.
enum class Op {
    Wait,        // for the dialog captioned text, which the next steps work
    Type,        // text into control id
    Click,       // button id, which must be there
    Post,        // id as a command to the dialog, as Enter or Esc give
    Answer,      // our message box that says text, with button id
    Pick,        // the item text of list or combo box id
    Date,        // 5 July 2024 into date picker id
    Press,       // a click on the first row of list id
    Settle,      // a few ticks, for posted work to be done
    UntilEmpty,  // until control id shows no text
    Menu,        // id times down, then Enter, in the open popup
    MenuState,   // notes whether the band knows its menu open, and closes it
    MenuShown,   // until a menu is open
    SaveAs,      // text as the name in the Save dialog, then OK
    DropBand,    // the browser closes the band
    Again,       // ends a script: the dialog is opened again for the next
    Read,        // notes what control id shows
    Tip,         // notes what the tooltip of control id shows
    Dialogs,     // notes the captions of the dialogs open
    Selected,    // notes which of our cookies the Cookies list has selected
};

struct Act {
    Op op;
    int id = 0;
    const char* text = "";
};

Act Wait(const char* caption) { return {Op::Wait, 0, caption}; }
Act Click(int id) { return {Op::Click, id}; }
Act Read(int id) { return {Op::Read, id}; }
const Act kSettle{Op::Settle}, kAgain{Op::Again}, kDialogs{Op::Dialogs};

enum class How { Command, Details, Search, Choice, CacheMenu, CookieMenu, Save, ClearTyped, DeleteCookies, Bar };

struct Opener {
    How how;
    tw::Command command;  // for How::Command
    // Details: the file's text. Search, Choice: the folder picked. Menus,
    // DeleteCookies: what the rows to select contain. Save: the report's name.
    const char* a;
    const char* b;
};

Opener Dialog(tw::Command command) { return {How::Command, command, nullptr, nullptr}; }
Opener Run(How how, const char* a = nullptr, const char* b = nullptr) { return {how, tw::Command::About, a, b}; }

enum CaseFlags { kKeepTwo = 8, kKeepAsText = 16 };

// A dialog or menu worked by its scripts; the record is what they noted,
// then what the band and the stores hold once they are done.
struct ScriptCase {
    const char* name;
    int flags;
    Opener open;
    std::vector<Act> steps;
    std::vector<std::string> record;
};

std::string Cleaned(std::int32_t store, std::int32_t kind, const std::string& text) {
    return "clean store " + std::to_string(store) + " kind " + std::to_string(kind) + " '" + text + "'";
}

const char kAskCookies[] = "Are you sure you want to delete Internet Explorer Cookies?";
const char kNotExact[] =
    "The text holds characters that this system's code page cannot hold exactly (such as full-width or foreign "
    "letters), so it cannot be matched as typed. Please type it in other letters.";
const char kSearchTitle[] = "Please select a folder to search:";
const char kCookiesTitle[] = "Please select Cookies folder:";
// The band as Open leaves it, and the stores as SetUp fills them.
const char kAsOpened[] = "tab 0, ours 10 cookies 4 pages 0 selected, painted 0, dates dd.MM.yyyy confirm 1";
const char kAsOpenedQuiet[] = "tab 0, ours 10 cookies 4 pages 0 selected, painted 0, dates dd.MM.yyyy confirm 0";
const char kHistoryLine[] = "Internet Explorer History contains: N items";
const char kCookiesLine[] = "Internet Explorer Cookies contain: N items";
const char kCacheLine[] = "Internet Explorer Cache contains: N items";
const char kAllLeft[] = "left sites 1111 pages 1111, images CCCC, kept";
const char kNoBandLeft[] = "left sites 1111 pages 1111, images ----, kept";
const char kAskTypedUrls[] = "Are you sure you want to delete Typed URL List?";

// clang-format off
const ScriptCase kScriptCases[] = {
    // Each cleanup dialog sends the checked option with the text of its box,
    // and stays open for another; a question answered No sends nothing.
    {"CleanCookies", kDryRun, Dialog(Command::CleanCookies),
     {Wait("Clean up Cookies"), Read(IDC_CLEAN_ALL), Click(IDC_CLEAN_COOKIES_EXPIRED), Click(IDOK),
      {Op::Answer, IDNO, kAskCookies}, kSettle, {Op::Type, IDC_CLEAN_COOKIES_TEXT, "Ads.Example"},
      Click(IDC_CLEAN_COOKIES_EXPIRED), Click(IDOK), {Op::Answer, IDYES, kAskCookies}, kSettle,
      Click(IDC_CLEAN_COOKIES_CONTAINING), Click(IDOK), {Op::Answer, IDYES, kAskCookies}, kSettle,
      // A full-width look-alike would reach the cache as "ads" or "?": it is
      // refused before the question, and nothing is sent.
      {Op::Type, IDC_CLEAN_COOKIES_TEXT, "\xEF\xBD\x81" "ds"}, Click(IDOK), {Op::Answer, IDOK, kNotExact}, kSettle,
      Click(IDCANCEL)},
     {"checked 1", kAsOpened, kHistoryLine, kAllLeft, Cleaned(kStoreCookies, kCleanExpiredCookies, "Ads.Example"),
      Cleaned(kStoreCookies, kCleanContainingText, "Ads.Example")}},
    // The bounds cover the whole day picked.
    {"CleanHistory", kDryRun | kQuiet, Dialog(Command::CleanHistory),
     {Wait("Clean up History"), {Op::Date, IDC_CLEAN_HISTORY_FROM}, {Op::Date, IDC_CLEAN_HISTORY_TO},
      {Op::Type, IDC_CLEAN_HISTORY_COMBO, "gopher:"}, Click(IDC_CLEAN_HISTORY_PROTOCOL), Click(IDOK), kSettle,
      Click(IDC_CLEAN_HISTORY_BETWEEN), Click(IDOK), kSettle, Click(IDCANCEL)},
     {kAsOpenedQuiet, kHistoryLine, kAllLeft, Cleaned(kStoreHistory, kCleanSelectedProtocol, "gopher:"),
      Cleaned(kStoreHistory, kCleanBetweenDates, "") + " 2024-07-05 whole"}},
    // The Sites dialog edits the keep list; the run keeps the sites' cookies,
    // refills the Cookies tab and marks the kept rows.
    {"KeepSites", kQuiet | kKeepTwo, Dialog(Command::CleanCookies),
     {Wait("Clean up Cookies"), Read(IDC_CLEAN_KEEP_COOKIES), Click(IDC_CLEAN_KEEP_SITES), Wait("Cookies to keep"),
      {Op::Type, IDC_KEEP_NAME, " www.Bank.Example.NET "}, Click(IDC_KEEP_ADD), kSettle, Read(IDC_KEEP_LIST),
      Read(IDC_KEEP_NAME), {Op::Pick, IDC_KEEP_LIST, "shop.test"}, Click(IDC_KEEP_REMOVE), kSettle, Read(IDC_KEEP_LIST),
      Click(IDOK), kSettle, kDialogs, Wait("Clean up Cookies"), Click(IDOK), kSettle, Click(IDCANCEL)},
     {"checked 1", "3 items", "", "2 items", "open: Clean up Cookies",
      "tab 1, ours 0 cookies 4 pages 0 selected, painted 0, dates dd.MM.yyyy confirm 0", kCookiesLine,
      "left sites 1101 pages 1111, images KK-K, kept example.com bank.example.net",
      Cleaned(kStoreCookies, kCleanAll, "")}},
    // An unreadable keep list deletes nothing and says so once.
    {"KeepListUnreadable", kQuiet | kKeepAsText, Dialog(Command::CleanCookies),
     {Wait("Clean up Cookies"), Click(IDOK), {Op::Answer, IDOK, kKeepListUnreadable}, kSettle, kSettle, kDialogs,
      Click(IDCANCEL)},
     {"open: Clean up Cookies", "tab 1, ours 10 cookies 4 pages 0 selected, painted 0, dates dd.MM.yyyy confirm 0",
      kCookiesLine, "left sites 1111 pages 1111, images CCCC, kept", Cleaned(kStoreCookies, kCleanAll, "")}},
    // Preview asks nothing and deletes nothing: it selects what a cleanup
    // would delete, but for the kept cookies, which keep their padlock, and
    // counts them in the status line.
    {"Preview", kKeepTwo, Dialog(Command::CleanCookies),
     {Wait("Clean up Cookies"), Click(IDC_CLEAN_PREVIEW), kSettle, {Op::Selected}, kDialogs, Click(IDCANCEL)},
     {"selected 11111111110011", "open: Clean up Cookies",
      "tab 1, ours 10 cookies 4 pages 0 selected, painted 0, dates dd.MM.yyyy confirm 1",
      "Preview: S of N items would be deleted, 2 kept", "left sites 1111 pages 1111, images KKCC, kept example.com shop.test"}},
    // Options write the choices on OK only, and the band reloads them.
    {"Options", 0, Dialog(Command::Options),
     {Wait("Options"), Click(IDC_OPTIONS_DISABLE), Click(IDCANCEL), kAgain, Wait("Options"), Read(IDC_OPTIONS_DISABLE),
      {Op::Pick, IDC_OPTIONS_TEMPLATE, "yyyy.MM.dd"}, {Op::Pick, IDC_OPTIONS_SEPARATOR, "/"},
      Click(IDC_OPTIONS_DISABLE), kSettle, Read(IDC_OPTIONS_SAMPLE), Click(IDOK)},
     {"checked 0", "today",
      "tab 0, ours 10 cookies 4 pages 0 selected, painted 0, dates yyyy/MM/dd confirm 0, stored yyyy.MM.dd /",
      kHistoryLine, kAllLeft}},
    // Find refuses an empty text, then sends (Enter finds the next) and
    // remembers the text and boxes.
    {"Find", 0, Dialog(Command::FindOnTab),
     {Wait("Find"), Click(IDC_FIND_NEXT), {Op::Answer, IDOK, "Please enter text to search."}, kSettle,
      {Op::Type, IDC_FIND_TEXT, "\xD0\xB6"}, Click(IDC_FIND_ALL), {Op::Answer, IDOK, kNotExact}, kSettle,
      {Op::Type, IDC_FIND_TEXT, "News"}, Click(IDC_FIND_CASE), Click(IDC_FIND_ALL), kSettle, {Op::Post, IDOK}, kSettle,
      Click(IDCANCEL), kAgain, Wait("Find"), Read(IDC_FIND_TEXT), Read(IDC_FIND_CASE), Read(IDC_FIND_WHOLE),
      Click(IDCANCEL)},
     {"News", "checked 1", "checked 0", kAsOpened, kHistoryLine, kAllLeft, "find 'News' all case names",
      "find 'News' case names"}},
    // The banner, and the texts in their fonts.
    {"About", 0, Dialog(Command::About),
     {Wait("About Tidewell Bar"), Read(IDC_ABOUT_NAME), Read(IDC_ABOUT_HOME), Read(IDC_ABOUT_SUPPORT),
      Read(IDC_ABOUT_DOWNLOAD), Read(IDC_ABOUT_BANNER), {Op::Tip, IDC_ABOUT_HOME}, {Op::Tip, IDC_ABOUT_DOWNLOAD},
      Click(IDOK)},
     {std::string(kAboutName) + " (bold)", kAboutHomePage, kAboutSupportAddress, kAboutInvitation, "bitmap 400x80",
      std::string("tip ") + kAboutHomePage, std::string("tip ") + kAboutDownloadPage, kAsOpened, kHistoryLine,
      kAllLeft}},
    // The file without its last byte; OK ends with 1.
    {"CookieDetails", 0, Run(How::Details, "a\nb\n"),
     {Wait("Cookie Details"), Read(IDC_COOKIE_DETAILS_TEXT), Click(IDOK)},
     {"a\r\nb", "result 1", kAsOpened, kHistoryLine, kAllLeft}},
    // The worker finds the index files; OK hands back the selected one.
    {"Search", 0, Run(How::Search, "tree"),
     {Wait("Search"), Click(IDC_INDEX_BROWSE), {Op::UntilEmpty, IDC_INDEX_STATUS}, kSettle, {Op::Press, IDC_INDEX_LIST},
      kSettle, Click(IDOK)},
     {kSearchTitle, "chose index.dat", kAsOpened, kHistoryLine, kAllLeft}},
    // Esc, or the close box, while the search runs (its button is off then):
    // nothing of the worker is left to touch the dialog.
    {"ClosingDuringASearch", 0, Run(How::Search, "temp"),
     {Wait("Search"), Click(IDC_INDEX_BROWSE), {Op::Post, IDCANCEL}},
     {kSearchTitle, "chose nothing", kAsOpened, kHistoryLine, kAllLeft}},
    // The browser may close the band while one of its dialogs runs: the
    // dialog then ends at its next message, and its caller leaves the band be.
    {"BandClosedUnderADialog", 0, Run(How::Choice, "tree"),
     {Wait("Select Cookies index.dat file"), Click(IDC_INDEX_BROWSE), kSettle, {Op::DropBand}},
     {kCookiesTitle, "chose nothing", "no band", kNoBandLeft}},
    // So may it under every other loop: a question, a message, a menu, the
    // Save dialog. Nothing of the band is used once the loop returns; what
    // the user asked of the stores is still done.
    {"BandClosedUnderTheSaveDialog", 0, Run(How::Save, "tw-closed-under.html"),
     {Wait("Save As"), {Op::DropBand}, {Op::SaveAs, 0, "tw-closed-under.html"}},
     {"current folder kept", "report saved", "no band", kNoBandLeft}},
    {"BandClosedUnderAQuestion", 0, Run(How::ClearTyped),
     {Wait("Tidewell"), {Op::DropBand}, {Op::Answer, IDYES, kAskTypedUrls}}, {"typed urls 0", "no band", kNoBandLeft}},
    // In Protected Mode the typed URLs are the broker's, asked first as
    // ever; one that cannot start (none lies beside this test) is told,
    // and nothing is tried in the process.
    {"ProtectedModeHandsTheTypedUrlsToTheBroker", kProtected, Run(How::ClearTyped),
     {Wait("Tidewell"), {Op::Answer, IDYES, kAskTypedUrls}, Wait("Tidewell"),
      {Op::Answer, IDOK, "Tidewell could not clear the Typed URL List outside Protected Mode: tidewell-cleanw.exe could "
                         "not be started."}},
     {"typed urls 2", kAsOpened, kHistoryLine, kAllLeft}},
    {"BandClosedUnderTheKeptCookiesMessage", kQuiet | kKeepAsText, Run(How::DeleteCookies, "/c2", "/c5"),
     {Wait("Tidewell"), {Op::DropBand}, {Op::Answer, IDOK, kKeepListUnreadable}}, {"no band", kNoBandLeft}},
    // The popup goes with the bar.
    {"BandClosedUnderTheBarMenu", kVisible, Run(How::Bar), {{Op::MenuShown}, {Op::DropBand}}, {"no band", kNoBandLeft}},
    {"BandClosedUnderTheCleanupMessage", kQuiet | kKeepAsText, Dialog(Command::CleanCookies),
     {Wait("Clean up Cookies"), Click(IDOK), Wait("Tidewell"), {Op::DropBand}, {Op::Answer, IDOK, kKeepListUnreadable}},
     {"no band", kNoBandLeft, Cleaned(kStoreCookies, kCleanAll, "")}},
    // Every menu's painted items go with it, and a cancelled menu runs nothing.
    {"MenusCancelled", kVisible, Run(How::CacheMenu, "/page0"),
     {{Op::MenuState}, kAgain, {Op::MenuState}, kAgain, {Op::MenuState}},
     {"menu open", "menu open", "menu open",
      "tab 2, ours 10 cookies 4 pages 1 selected, painted 0, dates dd.MM.yyyy confirm 1", kCacheLine, kAllLeft}},
    // Its second command; the Cache list keeps no selection.
    {"MenuDeletesTheSelection", kVisible | kQuiet, Run(How::CacheMenu, "/page1", "/page3"), {{Op::Menu, 1}},
     {"tab 2, ours 10 cookies 2 pages 0 selected, painted 0, dates dd.MM.yyyy confirm 0", kCacheLine,
      "left sites 1111 pages 1010, images CCCC, kept"}},
    // The fifth command of the Cookies menu; "www." is dropped from the host.
    {"MenuKeepsTheSite", kVisible, Run(How::CookieMenu, "www.example.com/account"), {{Op::Menu, 5}},
     {"tab 1, ours 10 cookies 4 pages 0 selected, painted 0, dates dd.MM.yyyy confirm 1",
      "Internet Explorer Cookies contain: N items, 2 of them from sites whose cookies are kept",
      "left sites 1111 pages 1111, images KKCC, kept example.com"}},
};
// clang-format on

void PrintTo(const ScriptCase& c, std::ostream* os) { *os << c.name; }

class BandScripts : public BandTest, public ::testing::WithParamInterface<ScriptCase> {
protected:
    void Note(const std::string& line) { record_.push_back(line); }

    void Start(const Opener& o) {
        const EntryKind kind = o.how == How::CacheMenu ? EntryKind::Cache : EntryKind::Cookie;
        switch (o.how) {
        case How::Command:
            return RunDialogCommand(*band_, o.command);
        case How::Details: {
            const std::string path = TempPath("tw-cookie-dialog.txt");
            std::ofstream(path, std::ios::binary) << o.a;
            Note("result " + std::to_string(RunCookieDetailsDialog(*band_, path)));
            DeleteFileA(path.c_str());
            return;
        }
        case How::Search:
        case How::Choice: {
            FixedFolder picker(Folder(o.a));
            std::string chosen;
            const bool ok = o.how == How::Search ? RunIndexSearchDialog(*band_, picker, &chosen)
                                                 : RunIndexChoiceDialog(*band_, EntryKind::Cookie, picker, &chosen);
            record_.insert(record_.end(), picker.titles.begin(), picker.titles.end());
            return Note(ok ? "chose " + chosen.substr(chosen.rfind('\\') + 1) : "chose nothing");
        }
        case How::Save: {
            const std::string path = TempPath(o.a);
            DeleteFileA(path.c_str());
            char before[MAX_PATH] = "", after[MAX_PATH] = "";
            GetCurrentDirectoryA(MAX_PATH, before);
            Command(ID_SAVE_CACHE);
            GetCurrentDirectoryA(MAX_PATH, after);
            Note(std::string(before) == after ? "current folder kept" : "current folder now " + std::string(after));
            Note(GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES ? "report saved" : "no report");
            DeleteFileA(path.c_str());
            return;
        }
        case How::ClearTyped: {
            const UniqueKey typed = TypedUrls();
            for (const char* name : {"url1", "url2"})
                RegSetValueExA(typed.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>("http://a/"), 10);
            Command(ID_CLEAR_TYPED_URLS);
            DWORD values = 0;
            RegQueryInfoKeyA(typed.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                             nullptr, nullptr, nullptr);
            return Note("typed urls " + std::to_string(values));
        }
        case How::DeleteCookies:
            ClickTab(1);
            SelectOnly(EntryKind::Cookie, {RowsWith(Model(kind), 1, o.a).front(), RowsWith(Model(kind), 1, o.b).front()});
            return RunRowCommand(*band_, kItemDeleteSelected);
        case How::Bar:
            SendMessageA(FindWindowExA(band_->Hwnd(), nullptr, MenuBar::kClassName, nullptr), MenuBar::AutoPopupMessage(),
                         0, 0);
            return;
        case How::CacheMenu:
        case How::CookieMenu: {
            ClickTab(int(kind));
            std::vector<int> rows = RowsWith(Model(kind), 1, o.a), more = RowsWith(Model(kind), 1, o.b ? o.b : "?");
            rows.insert(rows.end(), more.begin(), more.end());
            SelectOnly(kind, rows);
            // The right button let go over the list: its context menu runs.
            ListNotify notify = {};
            notify.hdr.hwndFrom = band_->List(kind).Hwnd();
            notify.hdr.idFrom = kListIds[int(kind)];
            notify.hdr.code = UINT(kListRightUp);
            SendMessageA(band_->Hwnd(), WM_NOTIFY, kListIds[int(kind)], reinterpret_cast<LPARAM>(&notify));
        }
        }
    }

    // A folder with two index files (one in a Cookies subfolder) and two
    // other files, or the temporary folder, with plenty.
    std::string Folder(const std::string& which) {
        if (which == "temp")
            return TempPath("");
        const std::string root = TempPath(("tw_dialog_" + which).c_str());
        for (const char* dir : {"", "\\a", "\\a\\Cookies"})
            CreateDirectoryA((root + dir).c_str(), nullptr);
        for (const char* name : {"\\a\\index.dat", "\\a\\myindex.dat.bak", "\\a\\Cookies\\index.dat", "\\other.txt"})
            std::ofstream(root + name) << "x";
        return root;
    }

    // What a control shows: a box its check, a list its count, a picture its
    // size, any other its text (today's date as "today").
    std::string Shows(HWND item) {
        char kind[16] = "";
        GetClassNameA(item, kind, sizeof kind);
        BITMAP picture{};
        const HGDIOBJ image = HGDIOBJ(SendMessageA(item, STM_GETIMAGE, IMAGE_BITMAP, 0));
        LOGFONTA font{};
        GetObjectA(HGDIOBJ(SendMessageA(item, WM_GETFONT, 0, 0)), sizeof font, &font);
        SYSTEMTIME now;
        GetSystemTime(&now);
        char today[16];
        std::snprintf(today, sizeof today, "%04d/%02d/%02d", now.wYear, now.wMonth, now.wDay);
        if (std::string(kind) == "Button")
            return "checked " + std::to_string(SendMessageA(item, BM_GETCHECK, 0, 0));
        if (std::string(kind) == "ListBox")
            return std::to_string(SendMessageA(item, LB_GETCOUNT, 0, 0)) + " items";
        if (image && IsWindowVisible(item) && GetObjectA(image, sizeof picture, &picture))
            return "bitmap " + std::to_string(picture.bmWidth) + "x" + std::to_string(picture.bmHeight);
        return TextOf(item) == today ? "today" : TextOf(item) + (font.lfWeight == FW_BOLD ? " (bold)" : "");
    }

    // The text of the tooltip that one of this thread's tooltip windows
    // keeps for item of the dialog.
    std::string TipOf(HWND item) {
        for (HWND tip = FindWindowExA(nullptr, nullptr, TOOLTIPS_CLASSA, nullptr); tip;
             tip = FindWindowExA(nullptr, tip, TOOLTIPS_CLASSA, nullptr)) {
            char text[512] = "";
            TOOLINFOA info{};
            info.cbSize = TTTOOLINFOA_V1_SIZE;
            info.hwnd = d_;
            info.uId = reinterpret_cast<UINT_PTR>(item);
            info.lpszText = text;
            if (GetWindowThreadProcessId(tip, nullptr) == GetCurrentThreadId() &&
                SendMessageA(tip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&info)))
                return text;
        }
        return "(none)";
    }

    // Runs a on the current dialog d_: true once done.
    bool Perform(const Act& a) {
        const HWND item = GetDlgItem(d_, a.id);
        char kind[16] = "";
        GetClassNameA(item, kind, sizeof kind);
        const bool combo = std::string(kind) == "ComboBox";
        std::string open = "open:";
        switch (a.op) {
        case Op::Wait:
            return (d_ = OpenDialog(a.text)) != nullptr;
        case Op::Type: {
            // As typed or pasted: the text in UTF-8 reaches the box in UTF-16.
            wchar_t wide[512] = L"";
            MultiByteToWideChar(CP_UTF8, 0, a.text, -1, wide, 512);
            return SetDlgItemTextW(d_, a.id, wide) != FALSE;
        }
        case Op::Click:
            return item && PostMessageA(item, BM_CLICK, 0, 0);
        case Op::Post:
            return IsWindow(d_) && PostMessageA(d_, WM_COMMAND, WPARAM(a.id), 0);
        case Op::Answer:
            return OpenDialog("Tidewell", a.text) && PostMessageA(OpenDialog("Tidewell", a.text), WM_COMMAND, a.id, 0);
        case Op::Pick:
            SendMessageA(item, combo ? CB_SETCURSEL : LB_SETCURSEL,
                         SendMessageA(item, combo ? CB_FINDSTRINGEXACT : LB_FINDSTRINGEXACT, WPARAM(-1),
                                      reinterpret_cast<LPARAM>(a.text)),
                         0);
            SendMessageA(d_, WM_COMMAND, MAKEWPARAM(a.id, combo ? CBN_SELCHANGE : LBN_SELCHANGE), LPARAM(item));
            return true;
        case Op::Date: {
            SYSTEMTIME picked{2024, 7, 5, 5, 13, 0, 0, 0};
            return SendMessageA(item, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&picked)) != 0;
        }
        case Op::Press:
            PostMessageA(item, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 28));
            return item && PostMessageA(item, WM_LBUTTONUP, 0, MAKELPARAM(20, 28));
        case Op::Settle:
            return ++ticks_ % 3 == 0;
        case Op::UntilEmpty:
            return item && TextOf(item).empty();
        case Op::Menu:
            return MenuKeys(std::vector<WPARAM>(std::size_t(a.id), VK_DOWN))() && MenuKeys({VK_RETURN})();
        case Op::MenuShown:
            return !VisibleOfClass("#32768").empty();
        case Op::MenuState:
            Note(band_->ContextMenuOpen() && band_->Painter().PreparedPopups() >= 1 ? "menu open" : "no menu");
            EndMenu();
            break;
        case Op::SaveAs:
            // The name box of the dialog, wherever this system's template puts it.
            for (int id : {0x47C, 0x480}) {
                if (GetDlgItem(d_, id))
                    SetDlgItemTextA(d_, id, TempPath(a.text).c_str());
            }
            return PostMessageA(d_, WM_COMMAND, IDOK, 0) != FALSE;
        case Op::DropBand:
            RemoveWindowSubclass(band_->Hwnd(), &RecordRequests, 1);
            DestroyWindow(band_->Hwnd());
            band_ = nullptr;
            PostMessageA(d_, WM_NULL, 0, 0);
            break;
        case Op::Again:
            break;
        case Op::Read:
            Note(Shows(item));
            break;
        case Op::Tip:
            Note("tip " + TipOf(item));
            break;
        case Op::Dialogs:
            for (HWND d : VisibleOfClass("#32770"))
                open += " " + TextOf(d);
            Note(open);
            break;
        case Op::Selected: {
            std::string selected = "selected ";
            for (const std::string& url : cookies_) {
                const std::vector<int> rows = RowsWith(Model(EntryKind::Cookie), 1, url.substr(7));
                selected += rows.size() == 1 && Model(EntryKind::Cookie).IsSelected(rows.front()) ? '1' : '0';
            }
            Note(selected);
            break;
        }
        }
        return true;
    }

    // The band's tab, its rows of ours, the Cache selection and the painter's
    // items left; then what is left in the stores, the Cookies images and the
    // keep list; then the requests sent.
    void NoteTheState() {
        RegKey key(registry_);
        std::string dates, separator;
        const bool stored = OpenSettings(registry_, NewSystem(), key) &&
                            ReadString(key, kValueDateTemplate, kDateTemplateSize, &dates) &&
                            ReadString(key, kValueSeparator, kSeparatorSize, &separator);
        if (!band_) {
            Note("no band");
        } else {
            Note("tab " + std::to_string(band_->CurrentTab()) + ", ours " +
                 std::to_string(Ours(EntryKind::Cookie).size()) + " cookies " +
                 std::to_string(Ours(EntryKind::Cache).size()) + " pages " +
                 std::to_string(Model(EntryKind::Cache).SelectedCount()) + " selected, painted " +
                 std::to_string(band_->Painter().PreparedItems() + band_->ContextMenuOpen()) + ", dates " +
                 band_->DateTemplate() + " confirm " + std::to_string(band_->ConfirmDeletions()) +
                 (stored ? ", stored " + dates + " " + separator : ""));
            // The status line, with the count of the current list as N.
            const std::wstring wide = LastStatus();
            std::string status(wide.begin(), wide.end());
            const std::string rows = std::to_string(band_->CurrentList().Model().RowCount()) + " items";
            if (status.find(rows) != std::string::npos)
                status.replace(status.find(rows), rows.size(), "N items");
            const std::string preview =
                "Preview: " + std::to_string(band_->CurrentList().Model().SelectedCount()) + " of";
            if (status.compare(0, preview.size(), preview) == 0)
                status.replace(0, preview.size(), "Preview: S of");
            Note(status);
        }
        std::string left = "left sites " + Left(std::vector<std::string>(std::begin(kSites), std::end(kSites))) +
                           " pages " + Left(cache_) + ", images ";
        for (const char* url : kSites) {
            const std::vector<int> rows =
                band_ ? RowsWith(Model(EntryKind::Cookie), 1, std::string(url).substr(7)) : std::vector<int>{};
            const int image = rows.empty() ? -1 : Model(EntryKind::Cookie).CellAt(rows.front(), 0)->image;
            left += image == kImageKeptCookie ? 'K' : image == kImageCookie ? 'C' : image < 0 ? '-' : '?';
        }
        std::vector<std::string> kept;
        left += ", kept";
        if (ReadCookiesToKeep(registry_, NewSystem(), &kept)) {
            for (const std::string& name : kept)
                left += " " + name;
        }
        Note(left);
        for (const CleanupCriteria& r : recorded_.cleanups) {
            FileTime start, end;
            DayStart({2024, 7, 5}, &start);
            DayEnd({2024, 7, 5}, &end);
            const bool whole = r.from.Value() == start.Value() && r.to.Value() == end.Value();
            Note(Cleaned(r.store, r.kind, r.text) + (r.kind != kCleanBetweenDates ? ""
                                                     : whole                      ? " 2024-07-05 whole"
                                                                                  : " other days"));
        }
        for (const FindRequest& f : recorded_.finds) {
            Note(std::string("find '") + f.text + "'" + (f.findAll ? " all" : "") + (f.matchCase ? " case" : "") +
                 (f.wholeWord ? " whole" : "") + (f.searchNames ? " names" : "") + (f.searchValues ? " values" : ""));
        }
    }

    HWND d_ = nullptr;
    int ticks_ = 0;
    std::vector<std::string> record_;
};

TEST_P(BandScripts, Run) {
    const ScriptCase& c = GetParam();
    if (c.flags & kKeepTwo) {
        ASSERT_TRUE(SaveCookiesToKeep(registry_, NewSystem(), {"example.com", "shop.test"}));
    }
    if (c.flags & kKeepAsText) {
        SetDword(kValueDisableConfirmation, 1);
        RegKey key(registry_);
        ASSERT_TRUE(OpenSettings(registry_, NewSystem(), key));
        WriteString(key, kValueCookiesToKeep, "example.com");  // REG_SZ, not a list
    }
    Open(c.flags & (kVisible | kQuiet | kDryRun | kProtected));
    std::vector<std::vector<Step>> scripts(1);
    for (const Act& a : c.steps) {
        if (a.op == Op::Again)
            scripts.emplace_back();
        else
            scripts.back().push_back([this, a] { return Perform(a); });
    }
    for (auto& steps : scripts) {
        if (!RunScripted([&] { Start(c.open); }, std::move(steps)))
            Note("the script did not finish");
    }
    MSG msg;
    if (PeekMessageA(&msg, nullptr, kWmIndexFound, kWmIndexSearchDone, PM_NOREMOVE))
        Note("the search worker is still heard");
    NoteTheState();
    EXPECT_EQ(record_, c.record);
}

INSTANTIATE_TEST_SUITE_P(Band, BandScripts, ::testing::ValuesIn(kScriptCases),
                         [](const ::testing::TestParamInfo<ScriptCase>& info) { return info.param.name; });

}  // namespace
}  // namespace tw
