// Opens each dialog of the band through its menu command and works its
// controls with real messages while the dialog runs: a thread timer drives
// a script of steps, answering message boxes by finding them on screen.
// Settings live in a private key that stands in for HKEY_CURRENT_USER.
#include <windows.h>
#include <commctrl.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "clean/cleanup_dialog_model.h"
#include "clean/find.h"
#include "res/resource.h"
#include "settings/settings_store.h"
#include "ui/about_model.h"
#include "ui/win32/about_dialog.h"
#include "ui/win32/band_actions.h"
#include "ui/win32/band_window.h"
#include "ui/win32/favorites_dialog.h"
#include "ui/win32/index_choice_dialog.h"

namespace tw {
namespace {

const char kTestRoot[] = "Software\\TidewellDialogTests";

// ---- the script that runs inside the modal loops -------------------------

using Step = std::function<bool()>;

struct Script {
    std::vector<Step> steps;
    std::size_t next = 0;
    int idleTicks = 0;
    bool timedOut = false;
};
Script* g_script = nullptr;

BOOL CALLBACK CollectDialog(HWND window, LPARAM data) {
    char cls[16] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (std::string(cls) == "#32770" && IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
    return TRUE;
}

std::vector<HWND> OpenDialogs() {
    std::vector<HWND> found;
    EnumThreadWindows(GetCurrentThreadId(), &CollectDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::string TextOf(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

HWND DialogCaptioned(const std::string& caption) {
    for (HWND d : OpenDialogs()) {
        if (TextOf(d) == caption)
            return d;
    }
    return nullptr;
}

// A message box of ours: captioned "Tidewell", its text in the static 0xFFFF.
HWND MessageBoxWithText(const std::string& text, const char* caption = "Tidewell") {
    for (HWND d : OpenDialogs()) {
        if (TextOf(d) == caption && TextOf(GetDlgItem(d, 0xFFFF)) == text)
            return d;
    }
    return nullptr;
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    Script* s = g_script;
    if (!s)
        return;
    // A finished script that leaves a dialog open is as stuck as one that
    // waits for a dialog in vain.
    const std::size_t i = s->next;
    if (i < s->steps.size() && s->steps[i]()) {
        s->next = i + 1;
        s->idleTicks = 0;
    } else if (++s->idleTicks > 150 && (i < s->steps.size() || !OpenDialogs().empty())) {
        // Give up: close whatever is open so that the test can fail.
        s->timedOut = true;
        s->next = s->steps.size();
        s->idleTicks = 0;
        for (HWND d : OpenDialogs()) {
            PostMessageA(d, WM_COMMAND, IDNO, 0);
            PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
        }
    }
}

// Runs action (which opens a modal dialog) while the script works it.
void RunScripted(const std::function<void()>& action, std::vector<Step> steps, bool* timedOut) {
    Script script;
    script.steps = std::move(steps);
    g_script = &script;
    const UINT_PTR timer = SetTimer(nullptr, 0, 30, &Tick);
    action();
    KillTimer(nullptr, timer);
    g_script = nullptr;
    *timedOut = script.timedOut || script.next < script.steps.size();
}

// Steps.
Step WaitFor(const std::string& caption, HWND* dialog) {
    return [caption, dialog] { return (*dialog = DialogCaptioned(caption)) != nullptr; };
}
Step Click(HWND* dialog, int id) {
    return [dialog, id] { return PostMessageA(GetDlgItem(*dialog, id), BM_CLICK, 0, 0) != FALSE; };
}
Step Type(HWND* dialog, int id, std::string text) {
    return [dialog, id, text] {
        SendDlgItemMessageA(*dialog, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        return true;
    };
}
Step Answer(std::string text, int button, const char* caption = "Tidewell") {
    return [text, button, caption] {
        HWND box = MessageBoxWithText(text, caption);
        return box && PostMessageA(box, WM_COMMAND, button, 0);
    };
}
// Esc, or the close box: the dialog's cancel command.
Step Cancel(HWND* dialog) {
    return [dialog] { return PostMessageA(*dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0) != FALSE; };
}
Step Do(std::function<void()> f) {
    return [f] {
        f();
        return true;
    };
}
// Waits a few ticks, for posted work to be done.
Step Settle(int ticks = 3) {
    auto left = std::make_shared<int>(ticks);
    return [left] { return --*left <= 0; };
}

// ---- screenshots -----------------------------------------------------------

bool SaveScreenOf(HWND hwnd, const std::string& name) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT rc{};
    GetWindowRect(hwnd, &rc);
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    if (w <= 0 || h <= 0)
        return false;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(mem, bitmap);
    BitBlt(mem, 0, 0, w, h, screen, rc.left, rc.top, SRCCOPY);
    SelectObject(mem, old);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    const int stride = (w * 3 + 3) & ~3;
    std::vector<unsigned char> pixels(std::size_t(stride) * std::size_t(h));
    const bool ok = GetDIBits(mem, bitmap, 0, UINT(h), pixels.data(), &info, DIB_RGB_COLORS) != 0;
    DeleteObject(bitmap);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    if (!ok)
        return false;
    CreateDirectoryA("screenshots", nullptr);
    FILE* f = std::fopen(("screenshots\\" + name + ".bmp").c_str(), "wb");
    if (!f)
        return false;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = DWORD(file.bfOffBits + pixels.size());
    std::fwrite(&file, sizeof file, 1, f);
    std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, f);
    std::fwrite(pixels.data(), 1, pixels.size(), f);
    std::fclose(f);
    return true;
}

Step Screenshot(HWND* dialog, std::string name) {
    return [dialog, name] {
        SaveScreenOf(*dialog, name);
        return true;
    };
}

// ---- the band under test ---------------------------------------------------

struct Recorded {
    std::vector<CleanupCriteria> cleanups;
    std::vector<FindRequest> finds;
};

LRESULT CALLBACK RecordRequests(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    Recorded* r = reinterpret_cast<Recorded*>(data);
    if (message == kWmRunCleanup && lParam) {
        r->cleanups.push_back(*reinterpret_cast<const CleanupCriteria*>(lParam));
        return 0;
    }
    if (message == kWmFindOnTab && lParam)
        r->finds.push_back(*reinterpret_cast<const FindRequest*>(lParam));
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

class DialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_DATE_CLASSES | ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&icc);
        SHDeleteKeyA(HKEY_CURRENT_USER, kTestRoot);
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kTestRoot, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root_, nullptr),
                  ERROR_SUCCESS);
        std::unique_ptr<BandServices> services(new BandServices);
        services->registry = Win32Registry(root_);
        frame_ = CreateWindowExA(0, "Static", "frame", WS_POPUP, 0, 0, 600, 400, nullptr, nullptr, nullptr, nullptr);
        RECT rect = {0, 0, 600, 400};
        HWND hwnd = BandWindow::Create(new BandWindow(GetModuleHandleA(nullptr), std::move(services)), frame_, rect);
        ASSERT_NE(hwnd, nullptr);
        // The dialogs are under test, not the start-up fills.
        KillTimer(hwnd, kHistoryFillTimer);
        band_ = BandWindow::FromHandle(hwnd);
        ASSERT_NE(band_, nullptr);
        SetWindowSubclass(hwnd, &RecordRequests, 1, reinterpret_cast<DWORD_PTR>(&recorded_));
    }

    void TearDown() override {
        if (band_)
            RemoveWindowSubclass(band_->Hwnd(), &RecordRequests, 1);
        if (frame_)
            DestroyWindow(frame_);
        if (root_)
            RegCloseKey(root_);
        SHDeleteKeyA(HKEY_CURRENT_USER, kTestRoot);
    }

    Registry& Settings() { return band_->Services().registry; }
    bool NewSystem() {
        const int major = band_->Services().shell.MajorVersion();
        return IsNewSystem(major > 0, major);
    }
    void SetDword(const char* name, std::uint32_t value) {
        RegKey key(Settings());
        ASSERT_TRUE(OpenOrCreateSettings(Settings(), NewSystem(), key));
        WriteDword(key, name, value);
    }

    void Run(Command command, std::vector<Step> steps) {
        bool timedOut = false;
        RunScripted([&] { RunDialogCommand(*band_, command); }, std::move(steps), &timedOut);
        EXPECT_FALSE(timedOut) << "the script did not finish";
    }

    HKEY root_ = nullptr;
    HWND frame_ = nullptr;
    BandWindow* band_ = nullptr;
    Recorded recorded_;
};

// ---- cleanup dialogs ---------------------------------------------------------

TEST_F(DialogsTest, CookiesCleanUpAsksAndNoSendsNothing) {
    HWND d = nullptr;
    Run(Command::CleanCookies, {WaitFor("Clean up Cookies", &d), Settle(), Screenshot(&d, "clean_cookies"), Click(&d, 207),
                                Click(&d, IDOK),
                                Answer("Are you sure you want to delete Internet Explorer Cookies?", IDNO), Settle(),
                                Do([&] { EXPECT_TRUE(IsWindow(d)); }), Click(&d, IDCANCEL)});
    EXPECT_TRUE(recorded_.cleanups.empty());
}

TEST_F(DialogsTest, CookiesCleanUpYesSendsTheRecordAndStaysOpenForAnother) {
    HWND d = nullptr;
    const char* q = "Are you sure you want to delete Internet Explorer Cookies?";
    Run(Command::CleanCookies,
        {WaitFor("Clean up Cookies", &d), Type(&d, 229, "Ads.Example"), Click(&d, 207), Click(&d, IDOK),
         Answer(q, IDYES), Settle(), Click(&d, 211), Click(&d, IDOK), Answer(q, IDYES), Settle(),
         Click(&d, IDCANCEL)});
    ASSERT_EQ(recorded_.cleanups.size(), 2u);
    EXPECT_EQ(recorded_.cleanups[0].store, kStoreCookies);
    EXPECT_EQ(recorded_.cleanups[0].kind, kCleanExpiredCookies);
    EXPECT_STREQ(recorded_.cleanups[0].text, "Ads.Example");  // the box travels with any option
    EXPECT_EQ(recorded_.cleanups[1].kind, kCleanContainingText);
}

TEST_F(DialogsTest, DisabledConfirmationAsksNothing) {
    SetDword(kValueDisableConfirmation, 7);
    HWND d = nullptr;
    Run(Command::CleanCache, {WaitFor("Clean up Cache", &d), Settle(), Screenshot(&d, "clean_cache"), Click(&d, 213),
                              Click(&d, IDOK), Settle(), Click(&d, IDCANCEL)});
    ASSERT_EQ(recorded_.cleanups.size(), 1u);
    EXPECT_EQ(recorded_.cleanups[0].store, kStoreCache);
    EXPECT_EQ(recorded_.cleanups[0].kind, kCleanStylesAndScripts);
}

TEST_F(DialogsTest, HistoryProtocolAsTypedAndDatesCoverWholeDays) {
    SetDword(kValueDisableConfirmation, 1);
    HWND d = nullptr;
    SYSTEMTIME picked{};
    picked.wYear = 2024;
    picked.wMonth = 7;
    picked.wDay = 5;
    picked.wHour = 13;
    Run(Command::CleanHistory,
        {WaitFor("Clean up History", &d), Settle(), Screenshot(&d, "clean_history"), Do([&] {
             EXPECT_EQ(SendDlgItemMessageA(d, 209, CB_GETCOUNT, 0, 0), 6);
             EXPECT_EQ(TextOf(GetDlgItem(d, 209)), "file:");
             EXPECT_EQ(IsDlgButtonChecked(d, 205), BST_CHECKED);
             SendDlgItemMessageA(d, 215, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&picked));
             SendDlgItemMessageA(d, 217, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&picked));
         }),
         Type(&d, 209, "gopher:"), Click(&d, 211), Click(&d, IDOK), Settle(), Click(&d, 218), Click(&d, IDOK), Settle(),
         Click(&d, IDCANCEL)});
    ASSERT_EQ(recorded_.cleanups.size(), 2u);
    EXPECT_EQ(recorded_.cleanups[0].kind, kCleanSelectedProtocol);
    EXPECT_STREQ(recorded_.cleanups[0].text, "gopher:");
    const CleanupCriteria& dates = recorded_.cleanups[1];
    EXPECT_EQ(dates.kind, kCleanBetweenDates);
    EXPECT_STREQ(dates.text, "");
    FileTime start, end;
    DayStart({2024, 7, 5}, &start);
    DayEnd({2024, 7, 5}, &end);
    EXPECT_EQ(dates.from.Value(), start.Value());
    EXPECT_EQ(dates.to.Value(), end.Value());
}

// ---- Options -------------------------------------------------------------------

TEST_F(DialogsTest, OptionsOkWritesTheChoicesAndTheBandReloads) {
    HWND d = nullptr;
    SYSTEMTIME now;
    GetSystemTime(&now);
    char today[16];
    std::snprintf(today, sizeof today, "%04d/%02d/%02d", now.wYear, now.wMonth, now.wDay);
    Run(Command::Options,
        {WaitFor("Options", &d), Do([&] {
             EXPECT_EQ(SendDlgItemMessageA(d, IDC_OPTIONS_TEMPLATE, CB_GETCOUNT, 0, 0), 8);
             EXPECT_EQ(SendDlgItemMessageA(d, IDC_OPTIONS_SEPARATOR, CB_GETCOUNT, 0, 0), 3);
             // yyyy.MM.dd, then "/", as a user's choice in the lists.
             SendDlgItemMessageA(d, IDC_OPTIONS_TEMPLATE, CB_SETCURSEL, 3, 0);
             SendMessageA(d, WM_COMMAND, MAKEWPARAM(IDC_OPTIONS_TEMPLATE, CBN_SELCHANGE),
                          reinterpret_cast<LPARAM>(GetDlgItem(d, IDC_OPTIONS_TEMPLATE)));
             SendDlgItemMessageA(d, IDC_OPTIONS_SEPARATOR, CB_SETCURSEL, 1, 0);
             SendMessageA(d, WM_COMMAND, MAKEWPARAM(IDC_OPTIONS_SEPARATOR, CBN_SELCHANGE),
                          reinterpret_cast<LPARAM>(GetDlgItem(d, IDC_OPTIONS_SEPARATOR)));
         }),
         Click(&d, IDC_OPTIONS_DISABLE), Settle(), Screenshot(&d, "options"),
         Do([&] { EXPECT_EQ(TextOf(GetDlgItem(d, IDC_OPTIONS_SAMPLE)), today); }), Click(&d, IDOK)});
    RegKey key(Settings());
    ASSERT_TRUE(OpenSettings(Settings(), NewSystem(), key));
    std::string text;
    EXPECT_TRUE(ReadString(key, kValueDateTemplate, kDateTemplateSize, &text));
    EXPECT_EQ(text, "yyyy.MM.dd");
    EXPECT_TRUE(ReadString(key, kValueSeparator, kSeparatorSize, &text));
    EXPECT_EQ(text, "/");
    EXPECT_FALSE(ReadConfirmDeletions(Settings(), NewSystem()));
    EXPECT_EQ(band_->DateTemplate(), "yyyy/MM/dd");
    EXPECT_FALSE(band_->ConfirmDeletions());
}

TEST_F(DialogsTest, OptionsCancelWritesNothing) {
    HWND d = nullptr;
    Run(Command::Options, {WaitFor("Options", &d), Click(&d, IDC_OPTIONS_DISABLE), Click(&d, IDCANCEL)});
    RegKey key(Settings());
    EXPECT_FALSE(OpenSettings(Settings(), NewSystem(), key));
}

// ---- Find ----------------------------------------------------------------------

TEST_F(DialogsTest, FindRefusesAnEmptyTextThenSendsAndRemembers) {
    HWND d = nullptr;
    Run(Command::FindOnTab,
        {WaitFor("Find", &d), Screenshot(&d, "find"), Click(&d, IDC_FIND_NEXT),
         Answer("Please enter text to search.", IDOK), Settle(), Do([&] {
             EXPECT_TRUE(recorded_.finds.empty());
             EXPECT_EQ(SendDlgItemMessageA(d, IDC_FIND_TEXT, EM_GETLIMITTEXT, 0, 0), 99);
         }),
         Type(&d, IDC_FIND_TEXT, "News"), Click(&d, IDC_FIND_CASE), Click(&d, IDC_FIND_ALL), Settle(),
         Do([&] { EXPECT_EQ(IsDlgButtonChecked(d, IDC_FIND_NAMES), BST_CHECKED); }),
         // Enter is the dialog's OK, which finds the next.
         Do([&] { PostMessageA(d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); }), Settle(), Click(&d, IDCANCEL)});
    ASSERT_EQ(recorded_.finds.size(), 2u);
    EXPECT_STREQ(recorded_.finds[0].text, "News");
    EXPECT_EQ(recorded_.finds[0].findAll, 1);
    EXPECT_EQ(recorded_.finds[0].matchCase, 1);
    EXPECT_EQ(recorded_.finds[0].searchNames, 1);
    EXPECT_EQ(recorded_.finds[0].searchValues, 0);
    EXPECT_EQ(recorded_.finds[1].findAll, 0);

    FindSettings saved;
    LoadFindSettings(Settings(), NewSystem(), &saved);
    EXPECT_EQ(saved.lastSearch, "News");
    EXPECT_TRUE(saved.matchCase);
    EXPECT_TRUE(saved.names);
    EXPECT_FALSE(saved.values);

    Run(Command::FindOnTab, {WaitFor("Find", &d), Do([&] {
                                 EXPECT_EQ(TextOf(GetDlgItem(d, IDC_FIND_TEXT)), "News");
                                 EXPECT_EQ(IsDlgButtonChecked(d, IDC_FIND_CASE), BST_CHECKED);
                                 EXPECT_EQ(IsDlgButtonChecked(d, IDC_FIND_WHOLE), BST_UNCHECKED);
                             }),
                             Click(&d, IDCANCEL)});
}

// ---- Add To Favorites ----------------------------------------------------------

TEST_F(DialogsTest, FavoritesReportsMissingInputInOrderAndStaysOpen) {
    HWND d = nullptr;
    bool timedOut = false;
    RunScripted([&] { RunAddToFavoritesDialog(*band_, "  What? News: today ", " http://example.com/ "); },
                {WaitFor("Add To Favorites", &d), Screenshot(&d, "favorites"), Do([&] {
                     EXPECT_EQ(TextOf(GetDlgItem(d, IDC_FAVORITE_DESCRIPTION)), "What_ News_ today");
                     EXPECT_EQ(TextOf(GetDlgItem(d, IDC_FAVORITE_URL)), "http://example.com/");
                 }),
                 Type(&d, IDC_FAVORITE_DESCRIPTION, ""), Type(&d, IDC_FAVORITE_URL, ""), Click(&d, IDOK),
                 Answer("Please enter a Description.", IDOK), Type(&d, IDC_FAVORITE_DESCRIPTION, "x"),
                 Click(&d, IDOK), Answer("Please enter valid URL.", IDOK), Settle(),
                 Do([&] { EXPECT_TRUE(IsWindow(d)); }), Click(&d, IDCANCEL)},
                &timedOut);
    EXPECT_FALSE(timedOut);
}

TEST_F(DialogsTest, FavoritesWithoutAnAddressOpensNothing) {
    bool timedOut = false;
    bool opened = false;
    RunScripted([&] { RunAddToFavoritesDialog(*band_, "title", "   "); },
                {Do([&] { opened = DialogCaptioned("Add To Favorites") != nullptr; })}, &timedOut);
    EXPECT_FALSE(opened);
}

// ---- Index files at restart ------------------------------------------------------

TEST_F(DialogsTest, IndexRemovalCancelChangesNothing) {
    HWND d = nullptr;
    bool before[3] = {};
    Run(Command::CleanIndexFiles,
        {WaitFor("Clean up Index files", &d), Screenshot(&d, "index_removal"), Do([&] {
             for (int i = 0; i < 3; ++i)
                 before[i] = IsDlgButtonChecked(d, IDC_REMOVE_HISTORY_INDEX + i) == BST_CHECKED;
         }),
         Click(&d, IDC_REMOVE_HISTORY_INDEX), Click(&d, IDC_REMOVE_CACHE_INDEX), Click(&d, IDCANCEL)});
    Run(Command::CleanIndexFiles, {WaitFor("Clean up Index files", &d), Do([&] {
                                       for (int i = 0; i < 3; ++i)
                                           EXPECT_EQ(IsDlgButtonChecked(d, IDC_REMOVE_HISTORY_INDEX + i) ==
                                                         BST_CHECKED,
                                                     before[i]);
                                   }),
                                   Click(&d, IDCANCEL)});
}

// ---- About -----------------------------------------------------------------------

TEST_F(DialogsTest, AboutShowsTheLinksInTheBrowsersColours) {
    HKEY ie = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root_, "Software\\Microsoft\\Internet Explorer\\Settings", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &ie, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(ie, "Anchor Color", 0, REG_SZ, reinterpret_cast<const BYTE*>("0,128,0"), 8);
    RegSetValueExA(ie, "Anchor Color Visited", 0, REG_SZ, reinterpret_cast<const BYTE*>("0,128"), 6);
    RegCloseKey(ie);
    HWND d = nullptr;
    Run(Command::About,
        {WaitFor("About Tidewell Bar", &d), Settle(), Screenshot(&d, "about"), Do([&] {
             EXPECT_EQ(TextOf(GetDlgItem(d, IDC_ABOUT_NAME)), kAboutName);
             EXPECT_EQ(TextOf(GetDlgItem(d, IDC_ABOUT_HOME)), kAboutHomePage);
             EXPECT_EQ(TextOf(GetDlgItem(d, IDC_ABOUT_SUPPORT)), kAboutSupportAddress);
             EXPECT_EQ(TextOf(GetDlgItem(d, IDC_ABOUT_DOWNLOAD)), kAboutInvitation);
             EXPECT_EQ(GetWindowLongPtrA(GetDlgItem(d, IDC_ABOUT_HOME), GWL_STYLE) & SS_NOTIFY, SS_NOTIFY);
             const HWND banner = GetDlgItem(d, IDC_ABOUT_BANNER);
             EXPECT_TRUE(IsWindowVisible(banner));
             EXPECT_NE(SendMessageA(banner, STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
             HFONT bold = reinterpret_cast<HFONT>(SendDlgItemMessageA(d, IDC_ABOUT_NAME, WM_GETFONT, 0, 0));
             LOGFONTA lf{};
             ASSERT_TRUE(GetObjectA(bold, sizeof lf, &lf));
             EXPECT_EQ(lf.lfWeight, FW_BOLD);
         }),
         Click(&d, IDOK)});

    // The same colours, read by a link of its own.
    HWND parent = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 100, 30, nullptr, nullptr, nullptr, nullptr);
    HWND label = CreateWindowExA(0, "Static", "label", WS_CHILD, 0, 0, 100, 20, parent, nullptr, nullptr, nullptr);
    Win32Shell shell;
    {
        Hyperlink link;
        link.SetTarget("http://example.com/");
        ASSERT_TRUE(link.Attach(label, Settings(), shell));
        EXPECT_EQ(link.LinkColour(), (Rgb{0, 128, 0}));
        EXPECT_EQ(link.VisitedColour(), (Rgb{128, 0, 128}));
    }
    DestroyWindow(parent);
}

// ---- choosing and searching index files ---------------------------------------

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

std::string MakeTree() {
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    const std::string root = std::string(temp) + "tw_dialog_tree";
    CreateDirectoryA(root.c_str(), nullptr);
    CreateDirectoryA((root + "\\a").c_str(), nullptr);
    CreateDirectoryA((root + "\\a\\Cookies").c_str(), nullptr);
    for (const char* name : {"\\a\\index.dat", "\\a\\myindex.dat.bak", "\\a\\Cookies\\index.dat", "\\other.txt"}) {
        FILE* f = std::fopen((root + name).c_str(), "wb");
        if (f) {
            std::fputs("x", f);
            std::fclose(f);
        }
    }
    return root;
}

TEST_F(DialogsTest, SearchFindsIndexFilesOnItsWorkerAndOkHandsBackTheSelection) {
    const std::string tree = MakeTree();
    FixedFolder picker(tree);
    HWND d = nullptr;
    std::string chosen;
    bool ok = false, timedOut = false;
    RunScripted([&] { ok = RunIndexSearchDialog(*band_, picker, &chosen); },
                {WaitFor("Search", &d), Click(&d, IDC_INDEX_BROWSE),
                 [&] { return TextOf(GetDlgItem(d, IDC_INDEX_STATUS)).empty(); }, Settle(),
                 Screenshot(&d, "index_search"), Do([&] {
                     HWND list = GetDlgItem(d, IDC_INDEX_LIST);
                     ASSERT_NE(list, nullptr);
                     // A plain click on the first row selects it.
                     PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 28));
                     PostMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(20, 28));
                 }),
                 Settle(), Click(&d, IDOK)},
                &timedOut);
    EXPECT_FALSE(timedOut);
    ASSERT_EQ(picker.titles.size(), 1u);
    EXPECT_EQ(picker.titles[0], "Please select a folder to search:");
    EXPECT_TRUE(ok);
    EXPECT_NE(chosen.find("index.dat"), std::string::npos) << chosen;
}

TEST_F(DialogsTest, SearchOfAFolderWithoutIndexFilesSaysSo) {
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    const std::string empty = std::string(temp) + "tw_dialog_empty";
    CreateDirectoryA(empty.c_str(), nullptr);
    FixedFolder picker(empty);
    HWND d = nullptr;
    std::string chosen;
    bool ok = true, timedOut = false;
    RunScripted([&] { ok = RunIndexSearchDialog(*band_, picker, &chosen); },
                {WaitFor("Search", &d), Click(&d, IDC_INDEX_BROWSE),
                 Answer("Selected folder does not contain index.dat files", IDOK), Settle(), Click(&d, IDOK)},
                &timedOut);
    EXPECT_FALSE(timedOut);
    EXPECT_FALSE(ok);  // no row, no path
}

TEST_F(DialogsTest, ClosingDuringASearchWaitsForTheWorker) {
    char temp[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, temp);
    FixedFolder picker{std::string(temp)};
    HWND d = nullptr;
    std::string chosen;
    bool timedOut = false;
    RunScripted([&] { RunIndexSearchDialog(*band_, picker, &chosen); },
                {WaitFor("Search", &d), Click(&d, IDC_INDEX_BROWSE), Cancel(&d)}, &timedOut);
    EXPECT_FALSE(timedOut);
    // Nothing of the worker is left to touch the dialog.
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, kWmIndexFound, kWmIndexSearchDone, PM_NOREMOVE));
}

TEST_F(DialogsTest, CookieChoiceBrowsesToACookiesSubfolderOnce) {
    const std::string tree = MakeTree();
    FixedFolder picker(tree);
    HWND d = nullptr;
    std::string chosen;
    bool ok = false, timedOut = false;
    // Twice to the same folder: one row.
    RunScripted([&] { ok = RunIndexChoiceDialog(*band_, EntryKind::Cookie, picker, &chosen); },
                {WaitFor("Select Cookies index.dat file", &d), Click(&d, IDC_INDEX_BROWSE), Settle(),
                 Click(&d, IDC_INDEX_BROWSE), Settle(), Screenshot(&d, "index_choice"), Click(&d, IDOK)},
                &timedOut);
    EXPECT_FALSE(timedOut);
    ASSERT_EQ(picker.titles.size(), 2u);
    EXPECT_EQ(picker.titles[0], "Please select Cookies folder:");
    EXPECT_FALSE(ok && chosen.empty());
}

// The browser may close the band while one of its dialogs runs: the dialog
// then ends at once, and what called it leaves the band alone.
TEST_F(DialogsTest, ADialogEndsWhenItsBandGoes) {
    const std::string tree = MakeTree();
    FixedFolder picker(tree);
    HWND d = nullptr;
    HWND band = band_->Hwnd();
    std::string chosen;
    bool ok = true, timedOut = false;
    RunScripted([&] { ok = RunIndexChoiceDialog(*band_, EntryKind::Cookie, picker, &chosen); },
                {WaitFor("Select Cookies index.dat file", &d), Click(&d, IDC_INDEX_BROWSE), Settle(), Do([&] {
                     RemoveWindowSubclass(band, &RecordRequests, 1);
                     DestroyWindow(band);
                     band_ = nullptr;
                 }),
                 Click(&d, IDOK)},
                &timedOut);
    EXPECT_FALSE(timedOut);
    EXPECT_FALSE(IsWindow(d));
    EXPECT_FALSE(ok) << chosen;
}

}  // namespace
}  // namespace tw
