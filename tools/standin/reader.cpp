// tidewell-reader [--keys] [--out FILE]
//
// Reads the band in a running stand-in browser as a screen reader in a
// process of its own would: the shown list, the tab strip and the menu bar
// through AccessibleObjectFromWindow, one line each for the object and its
// children. With --keys it then works the band as a person without a mouse
// would: a click into the list gives the band the focus, Alt and Down open
// the first menu, Esc twice leaves the bar; a line tells what the menu bar
// says after each. The lines go to FILE, or to the standard output. Exits
// 1 when there is no band to read, 2 when a control has no accessible
// object.
#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const IID kIidIAccessible = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

VARIANT Child(long id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

std::string Narrow(BSTR text) {
    std::string out;
    if (text) {
        const int n = WideCharToMultiByte(CP_UTF8, 0, text, int(SysStringLen(text)), nullptr, 0, nullptr, nullptr);
        out.resize(std::size_t(n > 0 ? n : 0));
        if (n > 0)
            WideCharToMultiByte(CP_UTF8, 0, text, int(SysStringLen(text)), &out[0], n, nullptr, nullptr);
        SysFreeString(text);
    }
    return out;
}

// A visible child of parent of a class, or the first of it.
HWND ChildOfClass(HWND parent, const char* name) {
    HWND first = nullptr;
    for (HWND w = FindWindowExA(parent, nullptr, name, nullptr); w; w = FindWindowExA(parent, w, name, nullptr)) {
        if (GetWindowLongA(w, GWL_STYLE) & WS_VISIBLE)
            return w;
        first = first ? first : w;
    }
    return first;
}

class Reader {
public:
    ~Reader() {
        if (object_)
            object_->Release();
    }
    bool Open(HWND window) {
        return window && SUCCEEDED(AccessibleObjectFromWindow(window, DWORD(OBJID_CLIENT), kIidIAccessible,
                                                              reinterpret_cast<void**>(&object_)));
    }
    long Role(long child) const {
        VARIANT role;
        VariantInit(&role);
        return SUCCEEDED(object_->get_accRole(Child(child), &role)) && role.vt == VT_I4 ? role.lVal : -1;
    }
    long State(long child) const {
        VARIANT state;
        VariantInit(&state);
        return SUCCEEDED(object_->get_accState(Child(child), &state)) && state.vt == VT_I4 ? state.lVal : -1;
    }
    long Count() const {
        LONG count = -1;
        return SUCCEEDED(object_->get_accChildCount(&count)) ? count : -1;
    }
    std::string Name(long child) const {
        BSTR name = nullptr;
        object_->get_accName(Child(child), &name);
        return Narrow(name);
    }
    // "what role R, N children: name | name | ..." or one line a child.
    void Print(const char* what, bool childPerLine) const {
        std::printf("%s \"%s\" role %ld, %ld children%s", what, Name(CHILDID_SELF).c_str(), Role(CHILDID_SELF),
                    Count(), childPerLine ? "\n" : ":");
        for (long c = 1; c <= Count(); ++c) {
            if (childPerLine)
                std::printf("%s %ld: %s\n", what, c, Name(c).c_str());
            else
                std::printf("%s%s", c > 1 ? " | " : " ", Name(c).c_str());
        }
        if (!childPerLine)
            std::printf("\n");
    }

private:
    IAccessible* object_ = nullptr;
};

void Send(std::vector<INPUT> inputs) { SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT)); }

INPUT Key(WORD key, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = key;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}

void Press(WORD key) { Send({Key(key, false), Key(key, true)}); }

// A left click at a point of the screen.
void Click(POINT at) {
    INPUT in[3] = {};
    for (INPUT& i : in) {
        i.type = INPUT_MOUSE;
        i.mi.dx = LONG(at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1));
        i.mi.dy = LONG(at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1));
    }
    in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
    in[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
    Send({in[0], in[1], in[2]});
}

// The first menu button as the bar tells it, and whether a popup of the
// band's thread is open; waits a while for the band to get there.
std::string FirstButton(const Reader& bar, HWND band, bool wantOpen, bool wantHot) {
    const DWORD thread = GetWindowThreadProcessId(band, nullptr);
    std::string said;
    for (int tries = 0; tries < 50; ++tries) {
        const long state = bar.State(1);
        bool open = false;
        for (HWND m = FindWindowExA(nullptr, nullptr, "#32768", nullptr); m; m = FindWindowExA(nullptr, m, "#32768", nullptr))
            open = open || (IsWindowVisible(m) && GetWindowThreadProcessId(m, nullptr) == thread);
        said = bar.Name(1) + ((state & STATE_SYSTEM_HOTTRACKED) ? " hot" : " not hot") +
               ((state & STATE_SYSTEM_PRESSED) ? " pressed" : "") + (open ? ", menu open" : ", no menu");
        if (open == wantOpen && ((state & STATE_SYSTEM_HOTTRACKED) != 0) == wantHot)
            break;
        Sleep(100);
    }
    return said;
}

}  // namespace

int main(int argc, char** argv) {
    bool keys = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--keys") == 0)
            keys = true;
        else if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc && !std::freopen(argv[++i], "w", stdout))
            return 2;
    }
    const HWND frame = FindWindowA("TidewellStandInFrame", nullptr);
    const HWND site = frame ? FindWindowExA(frame, nullptr, "TidewellStandInBandSite", nullptr) : nullptr;
    const HWND band = site ? FindWindowExA(site, nullptr, "TidewellBandWindow", nullptr) : nullptr;
    if (!band) {
        std::printf("no band\n");
        return 1;
    }
    if (FAILED(CoInitialize(nullptr)))
        return 2;
    int code = 0;
    {
        const HWND listWindow = ChildOfClass(band, "ListCtrl");
        Reader list, tabs, bar;
        if (!list.Open(listWindow) || !tabs.Open(ChildOfClass(band, "QvFlatTabCtrl")) ||
            !bar.Open(ChildOfClass(band, "WTL_CommandBarXP"))) {
            std::printf("no accessible object\n");
            code = 2;
        } else {
            list.Print("list", true);
            tabs.Print("tabs", false);
            bar.Print("bar", false);
        }
        if (code == 0 && keys) {
            SetForegroundWindow(frame);
            RECT rows{};
            GetWindowRect(listWindow, &rows);
            Click(POINT{rows.left + 40, rows.top + 30});  // the first row's first cell
            Sleep(300);
            Press(VK_MENU);
            Press(VK_DOWN);
            std::printf("alt, down: %s\n", FirstButton(bar, band, true, true).c_str());
            Press(VK_ESCAPE);
            Press(VK_ESCAPE);
            std::printf("esc, esc: %s\n", FirstButton(bar, band, false, false).c_str());
        }
    }
    CoUninitialize();
    return code;
}
