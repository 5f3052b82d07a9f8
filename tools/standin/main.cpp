// tidewell-standin [--quit-after MS] [--record FILE] [--ready FILE] [--show-tab N]
//                  [--clean-cookies-all | --preview-expired-cookies]
//
// A stand-in for the browser: a frame window with a page area, a band site
// docked at the bottom and a status bar. It creates the registered Tidewell
// band, gives it the site, asks for its band information, shows it and runs
// until the frame is closed (or MS milliseconds have passed). The status
// bar shows what the band writes to the browser's status text; --record
// writes what happened, one "key value" line each, for tests and the demo;
// --ready makes FILE once the band is shown and painted, for a screenshot;
// --clean-cookies-all chooses "Clean", "Cookie..." once the lists have
// filled, runs "Clean Up" with "All" (answering Yes), closes the dialog and
// records each cookie left in the cache as "cookie-left URL";
// --preview-expired-cookies chooses "Expired Cookies Only" and "Preview"
// instead, and leaves the dialog open over the band for a screenshot.
#include <windows.h>
#include <commctrl.h>
#include <wininet.h>
#include <shobjidl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "band/win32/guids_win32.h"
#include "tools/standin/host.h"

namespace tw {
namespace standin {
namespace {

const char kFrameClass[] = "TidewellStandInFrame";
const char kSiteClass[] = "TidewellStandInBandSite";
const UINT_PTR kQuitTimer = 1;
const UINT_PTR kTabTimer = 2;
const UINT kTabDelayMs = 2500;
const UINT_PTR kCleanTimer = 3;
const UINT kCleanTickMs = 100;
// "Clean", "Cookie..." of the band's menu bar.
const WPARAM kCleanCookiesCommand = 32781;
const int kPreviewButton = 1407;
// The tab strip's tabs are 70 pixels wide from its left edge.
const int kTabWidth = 70;
const int kBandHeight = 260;

struct Options {
    unsigned quitAfterMs = 0;
    int showTab = -1;  // a tab to click once the lists have filled
    std::string recordPath;
    std::string readyPath;
    bool cleanCookiesAll = false;
    bool previewExpiredCookies = false;
};

class Record {
public:
    void Add(const std::string& key, const std::string& value) { lines_.push_back(key + " " + value); }
    void Add(const std::string& key, long value) { Add(key, std::to_string(value)); }
    bool WriteTo(const std::string& path) const {
        if (path.empty()) return true;
        FILE* f = std::fopen(path.c_str(), "w");
        if (!f) return false;
        for (const std::string& line : lines_) std::fprintf(f, "%s\n", line.c_str());
        return std::fclose(f) == 0;
    }

private:
    std::vector<std::string> lines_;
};

std::string Narrow(const wchar_t* text) {
    char out[1024];
    const int n = WideCharToMultiByte(CP_ACP, 0, text, -1, out, sizeof out, nullptr, nullptr);
    return n > 0 ? std::string(out) : std::string();
}

std::string Hex(HRESULT hr) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

struct App {
    HINSTANCE instance = nullptr;
    HWND frame = nullptr;
    HWND page = nullptr;
    HWND site = nullptr;
    HWND status = nullptr;
    IDeskBand* band = nullptr;
    Options options;
    Record record;
    int cleanStep = 0;
    int cleanTicks = 0;
};

App* g_app = nullptr;

void Layout(App& app) {
    RECT client;
    GetClientRect(app.frame, &client);
    SendMessageA(app.status, WM_SIZE, 0, 0);
    RECT bar;
    GetWindowRect(app.status, &bar);
    const int statusHeight = bar.bottom - bar.top;
    const int height = client.bottom - statusHeight;
    const int bandHeight = height > kBandHeight ? kBandHeight : height;
    MoveWindow(app.page, 0, 0, client.right, height - bandHeight, TRUE);
    MoveWindow(app.site, 0, height - bandHeight, client.right, bandHeight, TRUE);
    HWND bandWindow = nullptr;
    if (app.band && SUCCEEDED(app.band->GetWindow(&bandWindow)) && bandWindow)
        MoveWindow(bandWindow, 0, 0, client.right, bandHeight, TRUE);
}

void CloseBand(App& app) {
    if (!app.band) return;
    app.band->CloseDW(0);
    IObjectWithSite* withSite = nullptr;
    if (SUCCEEDED(app.band->QueryInterface(IID_IObjectWithSite, reinterpret_cast<void**>(&withSite)))) {
        withSite->SetSite(nullptr);
        withSite->Release();
    }
    app.record.Add("band-released", long(app.band->Release()));
    app.band = nullptr;
}

// Clicks a tab of the band's tab strip as the user would.
void ClickTab(App& app) {
    HWND band = nullptr;
    if (!app.band || FAILED(app.band->GetWindow(&band)) || !band) return;
    HWND strip = FindWindowExA(band, nullptr, "QvFlatTabCtrl", nullptr);
    if (!strip) return;
    const LPARAM at = MAKELPARAM(app.options.showTab * kTabWidth + kTabWidth / 2, 10);
    SendMessageA(strip, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(strip, WM_LBUTTONUP, 0, at);
    app.record.Add("tab-clicked", long(app.options.showTab));
}

struct DialogSearch {
    const char* caption;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND w, LPARAM data) {
    DialogSearch* search = reinterpret_cast<DialogSearch*>(data);
    char cls[16] = "", text[260] = "";
    GetClassNameA(w, cls, sizeof cls);
    GetWindowTextA(w, text, sizeof text);
    if (std::strcmp(cls, "#32770") == 0 && IsWindowVisible(w) && std::strcmp(text, search->caption) == 0) {
        search->found = w;
        return FALSE;
    }
    return TRUE;
}

HWND DialogOfThread(const char* caption) {
    DialogSearch search = {caption, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), &MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void RecordCookiesLeft(App& app) {
    std::vector<char> buffer(16384);
    DWORD size = DWORD(buffer.size());
    auto* entry = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
    // Wine matches the pattern as a case-sensitive prefix of the URL.
    HANDLE find = FindFirstUrlCacheEntryA("Cookie:", entry, &size);
    if (!find) return;
    do {
        if (entry->lpszSourceUrlName) app.record.Add("cookie-left", entry->lpszSourceUrlName);
        size = DWORD(buffer.size());
    } while (FindNextUrlCacheEntryA(find, entry, &size));
    FindCloseUrlCache(find);
}

// One tick of the cleanup a user makes: open the dialog, choose All and
// Clean Up, say Yes, then close the dialog once no question is left.
void DriveCleanup(App& app) {
    HWND band = nullptr;
    if (!app.band || FAILED(app.band->GetWindow(&band)) || !band) return;
    switch (app.cleanStep) {
    case 0:
        PostMessageA(band, WM_COMMAND, kCleanCookiesCommand, 0);
        SetTimer(app.frame, kCleanTimer, kCleanTickMs, nullptr);
        app.cleanStep = 1;
        break;
    case 1:
        if (HWND dialog = DialogOfThread("Clean up Cookies"); dialog && app.options.previewExpiredCookies) {
            SendMessageA(GetDlgItem(dialog, 207), BM_CLICK, 0, 0);
            PostMessageA(GetDlgItem(dialog, kPreviewButton), BM_CLICK, 0, 0);
            app.record.Add("preview", "Expired Cookies Only");
            app.cleanStep = 3;
        } else if (dialog) {
            SendMessageA(GetDlgItem(dialog, 205), BM_CLICK, 0, 0);
            PostMessageA(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
            app.record.Add("clean-up", "All");
            app.cleanStep = 2;
        }
        break;
    case 2:
        if (HWND box = DialogOfThread("Tidewell")) {
            PostMessageA(box, WM_COMMAND, IDYES, 0);
            app.cleanTicks = 0;
        } else if (++app.cleanTicks > 10) {
            if (HWND dialog = DialogOfThread("Clean up Cookies")) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            app.cleanStep = 3;
        }
        break;
    default:
        KillTimer(app.frame, kCleanTimer);
        RecordCookiesLeft(app);
        break;
    }
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        if (g_app && g_app->status) Layout(*g_app);
        return 0;
    case WM_TIMER:
        if (wParam == kQuitTimer) {
            KillTimer(window, kQuitTimer);
            DestroyWindow(window);
        } else if (wParam == kTabTimer) {
            KillTimer(window, kTabTimer);
            if (g_app) ClickTab(*g_app);
        } else if (wParam == kCleanTimer) {
            if (g_app) DriveCleanup(*g_app);
        }
        return 0;
    case WM_DESTROY:
        if (g_app) CloseBand(*g_app);
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

bool RegisterClasses(HINSTANCE instance) {
    WNDCLASSEXA frame = {};
    frame.cbSize = sizeof frame;
    frame.lpfnWndProc = FrameProc;
    frame.hInstance = instance;
    frame.hCursor = LoadCursor(nullptr, IDC_ARROW);
    frame.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    frame.lpszClassName = kFrameClass;
    WNDCLASSEXA site = frame;
    site.lpfnWndProc = DefWindowProcA;
    site.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    site.lpszClassName = kSiteClass;
    return RegisterClassExA(&frame) && RegisterClassExA(&site);
}

// The path as it names a file now: the band's dialogs may change the
// current folder of the process while it runs.
std::string FullPath(const char* path) {
    char full[MAX_PATH] = "";
    const DWORD n = GetFullPathNameA(path, MAX_PATH, full, nullptr);
    return n > 0 && n < MAX_PATH ? std::string(full, n) : std::string(path);
}

Options ParseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quit-after") == 0 && i + 1 < argc)
            options.quitAfterMs = unsigned(std::strtoul(argv[++i], nullptr, 10));
        else if (std::strcmp(argv[i], "--record") == 0 && i + 1 < argc)
            options.recordPath = FullPath(argv[++i]);
        else if (std::strcmp(argv[i], "--ready") == 0 && i + 1 < argc)
            options.readyPath = FullPath(argv[++i]);
        else if (std::strcmp(argv[i], "--show-tab") == 0 && i + 1 < argc)
            options.showTab = int(std::strtol(argv[++i], nullptr, 10));
        else if (std::strcmp(argv[i], "--clean-cookies-all") == 0)
            options.cleanCookiesAll = true;
        else if (std::strcmp(argv[i], "--preview-expired-cookies") == 0)
            options.previewExpiredCookies = true;
    }
    return options;
}

// Hosts the band; false when there is none to host.
bool OpenBand(App& app, BandSite& site) {
    HRESULT hr = CoCreateInstance(kClsidExplorerBar, nullptr, CLSCTX_INPROC_SERVER, IID_IDeskBand,
                                  reinterpret_cast<void**>(&app.band));
    app.record.Add("create", Hex(hr));
    if (FAILED(hr) || !app.band) {
        app.band = nullptr;
        return false;
    }
    IObjectWithSite* withSite = nullptr;
    hr = app.band->QueryInterface(IID_IObjectWithSite, reinterpret_cast<void**>(&withSite));
    if (SUCCEEDED(hr)) {
        hr = withSite->SetSite(static_cast<IOleWindow*>(&site));
        withSite->Release();
    }
    app.record.Add("set-site", Hex(hr));

    DESKBANDINFO info = {};
    info.dwMask = DBIM_MINSIZE | DBIM_MAXSIZE | DBIM_INTEGRAL | DBIM_ACTUAL | DBIM_TITLE | DBIM_MODEFLAGS |
                  DBIM_BKCOLOR;
    hr = app.band->GetBandInfo(0, DBIF_VIEWMODE_NORMAL, &info);
    app.record.Add("band-info", Hex(hr));
    app.record.Add("band-title", Narrow(info.wszTitle));
    app.record.Add("band-min", std::to_string(info.ptMinSize.x) + " " + std::to_string(info.ptMinSize.y));
    app.record.Add("band-mask", long(info.dwMask));

    app.record.Add("show", Hex(app.band->ShowDW(TRUE)));
    Layout(app);

    HWND bandWindow = nullptr;
    app.band->GetWindow(&bandWindow);
    if (bandWindow && IsWindow(bandWindow)) {
        char text[260] = {}, name[260] = {};
        GetWindowTextA(bandWindow, text, sizeof text);
        GetClassNameA(bandWindow, name, sizeof name);
        RECT rect;
        GetWindowRect(bandWindow, &rect);
        app.record.Add("band-window-text", text);
        app.record.Add("band-window-class", name);
        app.record.Add("band-window-visible", long(IsWindowVisible(bandWindow) ? 1 : 0));
        app.record.Add("band-window-size",
                       std::to_string(rect.right - rect.left) + " " + std::to_string(rect.bottom - rect.top));
        app.record.Add("band-window-parent-is-site", long(GetParent(bandWindow) == app.site ? 1 : 0));
    } else {
        app.record.Add("band-window", "none");
    }
    return true;
}

int Run(HINSTANCE instance, const Options& options) {
    App app;
    g_app = &app;
    app.instance = instance;
    app.options = options;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    if (!RegisterClasses(instance)) return 2;

    app.frame = CreateWindowExA(0, kFrameClass, "Tidewell - stand-in browser", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                40, 40, 1000, 700, nullptr, nullptr, instance, nullptr);
    if (!app.frame) return 2;
    app.page = CreateWindowExA(WS_EX_CLIENTEDGE, "STATIC", "  about:blank - the page of the stand-in browser",
                               WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 0, 0, 0, app.frame, nullptr, instance, nullptr);
    app.site = CreateWindowExA(0, kSiteClass, "band site", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 0, 0,
                               app.frame, nullptr, instance, nullptr);
    app.status = CreateWindowExA(0, STATUSCLASSNAMEA, "Done", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0,
                                 app.frame, nullptr, instance, nullptr);
    Layout(app);

    Browser browser(app.frame);
    browser.OnStatusText([&app](const wchar_t* text) {
        SetWindowTextW(app.status, text);
        app.record.Add("status", Narrow(text));
    });
    browser.OnNavigate([&app](const wchar_t* url) { app.record.Add("navigate", Narrow(url)); });
    BandSite site(app.site, &browser);

    ShowWindow(app.frame, SW_SHOW);
    UpdateWindow(app.frame);
    const bool opened = OpenBand(app, site);
    RedrawWindow(app.frame, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    if (!options.readyPath.empty()) {
        Record ready;
        ready.Add("band-shown", long(opened ? 1 : 0));
        ready.WriteTo(options.readyPath);
    }
    if (options.quitAfterMs) SetTimer(app.frame, kQuitTimer, options.quitAfterMs, nullptr);
    if (options.showTab >= 0) SetTimer(app.frame, kTabTimer, kTabDelayMs, nullptr);
    // The lists have filled by the time the first tick opens the dialog.
    if (options.cleanCookiesAll || options.previewExpiredCookies)
        SetTimer(app.frame, kCleanTimer, kTabDelayMs, nullptr);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    CloseBand(app);
    g_app = nullptr;
    // Whatever the band took from the browser and the site it gave back.
    app.record.Add("browser-refs", long(browser.Refs()));
    app.record.Add("site-refs", long(site.Refs()));
    app.record.WriteTo(options.recordPath);
    return opened ? 0 : 1;
}

}  // namespace
}  // namespace standin
}  // namespace tw

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (FAILED(OleInitialize(nullptr))) return 2;
    const int code = tw::standin::Run(instance, tw::standin::ParseOptions(__argc, __argv));
    OleUninitialize();
    return code;
}
