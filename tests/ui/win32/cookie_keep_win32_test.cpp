// The keep list as the user meets it: the Cookies cleanup dialog with its
// check box and "Sites...", the "Cookies to keep" dialog, the context
// command and the fail-safe message, all with real messages on a band
// window filled from the live cache of the test prefix. Settings live in a
// private key that stands in for HKEY_CURRENT_USER.
#include <windows.h>
#include <shlwapi.h>
#include <wininet.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "clean/cookie_keep.h"
#include "core/classify.h"
#include "res/resource.h"
#include "settings/settings_store.h"
#include "tools/standin/host.h"
#include "ui/item_actions.h"
#include "ui/win32/activation.h"
#include "ui/win32/band_actions.h"
#include "ui/win32/band_window.h"

namespace tw {
namespace {

const char kTestRoot[] = "Software\\TidewellCookieKeepTests";
const char* const kCookies[] = {"Cookie:tester@example.com/", "Cookie:tester@www.example.com/account",
                                "Cookie:tester@badexample.com/", "Cookie:tester@bank.example.net/"};

bool Commit(const std::string& url) {
    char file[MAX_PATH] = "";
    const std::string body = "sample of " + url + "\n";
    if (!CreateUrlCacheEntryA(url.c_str(), DWORD(body.size()), "txt", file, 0))
        return false;
    FILE* f = std::fopen(file, "wb");
    if (!f)
        return false;
    std::fwrite(body.data(), 1, body.size(), f);
    std::fclose(f);
    FILETIME expires = {0xFFFFFFFFu, 0x7FFFFFFFu}, modified = {};
    GetSystemTimeAsFileTime(&modified);
    return CommitUrlCacheEntryA(url.c_str(), file, expires, modified, COOKIE_CACHE_ENTRY, nullptr, 0, "txt",
                                nullptr) != FALSE;
}

bool InCache(const std::string& url) {
    DWORD size = 0;
    GetUrlCacheEntryInfoA(url.c_str(), nullptr, &size);
    std::vector<char> buffer(size ? size : 1);
    return size && GetUrlCacheEntryInfoA(url.c_str(), reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data()),
                                         &size);
}

std::vector<bool> Left() {
    std::vector<bool> left;
    for (const char* url : kCookies)
        left.push_back(InCache(url));
    return left;
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

std::string TextOf(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// A visible dialog of this thread with the caption, and (for a message
// box) the text.
struct Found {
    std::string caption, text;
    HWND hwnd = nullptr;
};
BOOL CALLBACK FindDialog(HWND window, LPARAM data) {
    Found* f = reinterpret_cast<Found*>(data);
    char cls[16] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (std::string(cls) == "#32770" && IsWindowVisible(window) && TextOf(window) == f->caption &&
        (f->text.empty() || TextOf(GetDlgItem(window, 0xFFFF)) == f->text)) {
        f->hwnd = window;
        return FALSE;
    }
    return TRUE;
}
HWND DialogOf(const std::string& caption, const std::string& text = "") {
    Found f{caption, text};
    EnumThreadWindows(GetCurrentThreadId(), &FindDialog, reinterpret_cast<LPARAM>(&f));
    return f.hwnd;
}

// Steps that a thread timer works through while a modal loop runs.
using Step = std::function<bool()>;
std::vector<Step>* g_steps = nullptr;
std::size_t g_next = 0;
int g_idle = 0;
void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (!g_steps || g_next >= g_steps->size())
        return;
    if ((*g_steps)[g_next]()) {
        ++g_next;
        g_idle = 0;
    } else if (++g_idle > 200) {
        // Stuck: close what is open so that the test can fail.
        g_next = g_steps->size() + 1;
        for (const char* caption : {"Tidewell", "Cookies to keep", "Clean up Cookies"})
            if (HWND d = DialogOf(caption))
                PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
    }
}
bool RunScripted(const std::function<void()>& action, std::vector<Step> steps) {
    g_steps = &steps;
    g_next = 0;
    g_idle = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, &Tick);
    action();
    KillTimer(nullptr, timer);
    g_steps = nullptr;
    return g_next == steps.size();
}
Step WaitFor(const std::string& caption, HWND* d, const std::string& text = "") {
    return [=] { return (*d = DialogOf(caption, text)) != nullptr; };
}
Step Click(HWND* d, int id) {
    return [=] { return PostMessageA(GetDlgItem(*d, id), BM_CLICK, 0, 0) != FALSE; };
}
Step Type(HWND* d, int id, std::string text) {
    return [=] { return SetDlgItemTextA(*d, id, text.c_str()) != FALSE; };
}
Step Do(std::function<void()> f) {
    return [f] {
        f();
        return true;
    };
}
Step Settle() {
    auto left = std::make_shared<int>(3);
    return [left] { return --*left <= 0; };
}

class CookieKeepWin32 : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        if (!HasModuleActivationContext())
            CreateModuleActivationContext(GetModuleHandleA(nullptr));
        SHDeleteKeyA(HKEY_CURRENT_USER, kTestRoot);
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kTestRoot, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root_, nullptr),
                  ERROR_SUCCESS);
        registry_ = Win32Registry(root_);
        for (const char* url : kCookies)
            ASSERT_TRUE(Commit(url)) << url;
        RegKey key(registry_);
        ASSERT_TRUE(OpenOrCreateSettings(registry_, NewSystem(), key));
        WriteDword(key, kValueDisableConfirmation, 1);  // no questions
    }
    void TearDown() override {
        if (frame_)
            DestroyWindow(frame_);
        for (const char* url : kCookies)
            DeleteUrlCacheEntryA(url);
        RegCloseKey(root_);
        SHDeleteKeyA(HKEY_CURRENT_USER, kTestRoot);
        OleUninitialize();
    }
    bool NewSystem() {
        Win32Shell shell;
        const int major = shell.MajorVersion();
        return IsNewSystem(major > 0, major);
    }
    void Keep(const std::vector<std::string>& names) { ASSERT_TRUE(SaveCookiesToKeep(registry_, NewSystem(), names)); }
    std::vector<std::string> Kept() {
        std::vector<std::string> names;
        EXPECT_TRUE(ReadCookiesToKeep(registry_, NewSystem(), &names));
        return names;
    }

    // The band, filled as at start-up, with its Cookies tab in front.
    void Open() {
        frame_ = CreateWindowExA(0, "Static", "frame", WS_POPUP, 0, 0, 900, 400, nullptr, nullptr, nullptr, nullptr);
        browser_.reset(new standin::Browser(frame_));
        std::unique_ptr<BandServices> services(new BandServices);
        services->registry = Win32Registry(root_);
        RECT rect = {0, 0, 900, 400};
        HWND hwnd = BandWindow::Create(new BandWindow(GetModuleHandleA(nullptr), std::move(services)), frame_, rect);
        ASSERT_NE(hwnd, nullptr);
        band_ = BandWindow::FromHandle(hwnd);
        band_->SetBrowser(browser_.get());
        ASSERT_TRUE(PumpUntil([&] { return Row(kCookies[3]) >= 0; })) << "start-up fills";
        band_->ShowStore(kStoreCookies);
    }
    ListModel& Cookies() { return band_->List(EntryKind::Cookie).Model(); }
    int Row(const char* url) {
        for (int r = 0; r < Cookies().RowCount(); ++r) {
            if ("Cookie:" + Cookies().CellText(r, 1) == url)
                return r;
        }
        return -1;
    }
    bool KeptCookieRow(int row) {
        ListCell cell;
        return Cookies().GetCell(row, 0, cell) && cell.image == kImageKeptCookie;
    }
    int ImageOf(const char* url) {
        ListCell cell;
        return Cookies().GetCell(Row(url), 0, cell) ? cell.image : -1;
    }
    void CleanUp(std::vector<Step> steps) {
        EXPECT_TRUE(RunScripted([&] { RunDialogCommand(*band_, Command::CleanCookies); }, std::move(steps)))
            << "the script did not finish";
    }

    HKEY root_ = nullptr;
    Win32Registry registry_;
    HWND frame_ = nullptr;
    BandWindow* band_ = nullptr;
    std::unique_ptr<standin::Browser> browser_;
};

TEST_F(CookieKeepWin32, SitesDialogEditsTheListAndAllKeepsItsCookies) {
    Keep({"example.com", "shop.test"});
    Open();
    EXPECT_EQ(ImageOf(kCookies[0]), kImageKeptCookie);
    EXPECT_EQ(ImageOf(kCookies[3]), kImageCookie);
    HWND d = nullptr, sites = nullptr;
    CleanUp({WaitFor("Clean up Cookies", &d), Do([&] {
                 EXPECT_EQ(IsDlgButtonChecked(d, IDC_CLEAN_KEEP_COOKIES), BST_CHECKED);
                 EXPECT_EQ(TextOf(GetDlgItem(d, IDC_CLEAN_KEEP_SITES)), "Sites...");
                 EXPECT_EQ(TextOf(GetDlgItem(d, IDC_CLEAN_KEEP_COOKIES)), "Keep the cookies of the sites in my list");
                 // The options and the buttons are all still there, the buttons below the new row.
                 for (int id : {205, 207, 211, 213, 229, 230, 231, IDOK, IDCANCEL})
                     EXPECT_NE(GetDlgItem(d, id), nullptr) << id;
                 RECT keep{}, clean{};
                 GetWindowRect(GetDlgItem(d, IDC_CLEAN_KEEP_COOKIES), &keep);
                 GetWindowRect(GetDlgItem(d, IDOK), &clean);
                 EXPECT_LT(keep.bottom, clean.top);
             }),
             Click(&d, IDC_CLEAN_KEEP_SITES), WaitFor("Cookies to keep", &sites), Type(&sites, IDC_KEEP_NAME, " www.Bank.Example.NET "),
             Click(&sites, IDC_KEEP_ADD), Settle(), Do([&] {
                 EXPECT_EQ(SendDlgItemMessageA(sites, IDC_KEEP_LIST, LB_GETCOUNT, 0, 0), 3);
                 EXPECT_EQ(TextOf(GetDlgItem(sites, IDC_KEEP_NAME)), "");
                 const LRESULT at = SendDlgItemMessageA(sites, IDC_KEEP_LIST, LB_FINDSTRINGEXACT, WPARAM(-1),
                                                        reinterpret_cast<LPARAM>("shop.test"));
                 SendDlgItemMessageA(sites, IDC_KEEP_LIST, LB_SETCURSEL, WPARAM(at), 0);
             }),
             Click(&sites, IDC_KEEP_REMOVE), Settle(),
             Do([&] { EXPECT_EQ(SendDlgItemMessageA(sites, IDC_KEEP_LIST, LB_GETCOUNT, 0, 0), 2); }),
             Click(&sites, IDOK), Settle(), Do([&] {
                 EXPECT_FALSE(IsWindow(sites));
                 EXPECT_EQ(IsDlgButtonChecked(d, IDC_CLEAN_KEEP_COOKIES), BST_CHECKED);
                 EXPECT_EQ(ImageOf(kCookies[3]), kImageKeptCookie);
             }),
             Click(&d, IDOK), Settle(), Click(&d, IDCANCEL)});
    EXPECT_EQ(Kept(), (std::vector<std::string>{"example.com", "bank.example.net"}));
    EXPECT_EQ(Left(), (std::vector<bool>{true, true, false, true}));
    EXPECT_EQ(Row(kCookies[2]), -1);
    EXPECT_EQ(ImageOf(kCookies[1]), kImageKeptCookie) << "the refilled list marks its kept rows";
}

TEST_F(CookieKeepWin32, CancelLeavesTheListAndAnUncheckedBoxDeletesKeptCookiesToo) {
    Keep({"example.com"});
    Open();
    HWND d = nullptr, sites = nullptr;
    CleanUp({WaitFor("Clean up Cookies", &d), Click(&d, IDC_CLEAN_KEEP_SITES), WaitFor("Cookies to keep", &sites),
             Type(&sites, IDC_KEEP_NAME, "other.test"), Click(&sites, IDC_KEEP_ADD), Settle(), Click(&sites, IDCANCEL),
             Settle(), Click(&d, IDC_CLEAN_KEEP_COOKIES), Click(&d, 211), Type(&d, 229, "example.com"), Click(&d, IDOK),
             Settle(), Click(&d, IDCANCEL)});
    EXPECT_EQ(Kept(), std::vector<std::string>{"example.com"});
    EXPECT_EQ(Left(), (std::vector<bool>{false, false, false, true}));
}

TEST_F(CookieKeepWin32, AnUnreadableListDeletesNothingAndSaysSoOnce) {
    RegKey key(registry_);
    ASSERT_TRUE(OpenSettings(registry_, NewSystem(), key));
    WriteString(key, kValueCookiesToKeep, "example.com");  // REG_SZ, not a list
    Open();
    const int rows = Cookies().RowCount();
    HWND d = nullptr, box = nullptr;
    int boxes = 0;
    CleanUp({WaitFor("Clean up Cookies", &d),
             Do([&] { EXPECT_EQ(IsDlgButtonChecked(d, IDC_CLEAN_KEEP_COOKIES), BST_CHECKED); }), Click(&d, IDOK),
             WaitFor("Tidewell", &box, kKeepListUnreadable), Do([&] {
                 ++boxes;
                 PostMessageA(box, WM_COMMAND, IDOK, 0);
             }),
             Settle(), Settle(), Do([&] { EXPECT_EQ(DialogOf("Tidewell"), nullptr) << "one message only"; }),
             Click(&d, IDCANCEL)});
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(Left(), (std::vector<bool>{true, true, true, true}));
    EXPECT_EQ(Cookies().RowCount(), rows) << "refilled unchanged";
}

// Chooses "Keep Cookies of This Site", the fifth command of the Cookies
// menu, with the keyboard inside the menu's own loop.
HWND g_menuOwner = nullptr;
void CALLBACK ChooseKeepSite(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    for (int i = 0; i < 5; ++i)
        PostMessageA(g_menuOwner, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(g_menuOwner, WM_KEYDOWN, VK_RETURN, 0);
}

TEST_F(CookieKeepWin32, KeepCookiesOfThisSiteFromTheContextMenu) {
    Open();
    ASSERT_GE(Row(kCookies[1]), 0);
    Cookies().Select(Row(kCookies[1]), 0, 0);
    g_menuOwner = band_->Hwnd();
    SetTimer(nullptr, 0, 300, ChooseKeepSite);
    ListNotify notify = {};
    notify.hdr.hwndFrom = band_->List(EntryKind::Cookie).Hwnd();
    notify.hdr.idFrom = kListIds[1];
    notify.hdr.code = UINT(kListRightUp);
    SendMessageA(band_->Hwnd(), WM_NOTIFY, kListIds[1], reinterpret_cast<LPARAM>(&notify));
    EXPECT_EQ(Kept(), std::vector<std::string>{"example.com"});  // "www." is dropped from the row's host
    EXPECT_EQ(ImageOf(kCookies[0]), kImageKeptCookie);
    EXPECT_EQ(ImageOf(kCookies[2]), kImageCookie);
    ASSERT_FALSE(browser_->StatusTexts().empty());
    int kept = 0;
    for (int r = 0; r < Cookies().RowCount(); ++r)
        kept += KeptCookieRow(r);
    const std::string line = KeptStatusText(unsigned(Cookies().RowCount()), unsigned(kept));
    EXPECT_EQ(browser_->StatusTexts().back(), std::wstring(line.begin(), line.end()));
    EXPECT_GE(kept, 2);
}

}  // namespace
}  // namespace tw
