#include "tests/ui/win32/harness.h"

#include <algorithm>

#include "ui/win32/controls/list_window.h"

namespace tw::testing {
namespace {

constexpr UINT kTickMs = 30;
// About four and a half seconds on one step.
constexpr int kStuckTicks = 150;
constexpr DWORD kLookAgainMs = 10;

struct Script {
    std::vector<Step> steps;
    std::size_t next = 0;
    int idle = 0;
    bool gaveUp = false;
};
Script* g_script = nullptr;

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    Script* s = g_script;
    if (!s)
        return;
    if (s->next < s->steps.size() && s->steps[s->next]()) {
        ++s->next;
        s->idle = 0;
        return;
    }
    if (++s->idle < kStuckTicks)
        return;
    // Stuck, or done with something still open: close it so that the test
    // can fail instead of hanging.
    s->gaveUp = true;
    s->idle = 0;
    EndMenu();
    for (HWND d : VisibleOfClass("#32770")) {
        PostMessageA(d, WM_COMMAND, IDNO, 0);
        PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
    }
}

// Runs the queued messages of this thread.
void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

}  // namespace

std::vector<HWND> VisibleOfClass(const char* name) {
    std::vector<HWND> found;
    for (HWND w = FindWindowExA(nullptr, nullptr, name, nullptr); w; w = FindWindowExA(nullptr, w, name, nullptr)) {
        if (IsWindowVisible(w) && GetWindowThreadProcessId(w, nullptr) == GetCurrentThreadId())
            found.push_back(w);
    }
    return found;
}

TestParent::TestParent(bool visible, int width, int height) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &TestParent::Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = GetSysColorBrush(COLOR_3DFACE);
    wc.lpszClassName = "TwTestParent";
    RegisterClassA(&wc);
    const DWORD style = WS_POPUP | WS_CLIPCHILDREN | (visible ? WS_VISIBLE : 0);
    hwnd_.Reset(CreateWindowExA(0, wc.lpszClassName, "test", style, 0, 0, width, height, nullptr, nullptr,
                                wc.hInstance, nullptr));
    SetWindowLongPtrA(hwnd_.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

// The window goes with its owner; it must not reach this object meanwhile.
TestParent::~TestParent() { SetWindowLongPtrA(hwnd_.Get(), GWLP_USERDATA, 0); }

LRESULT CALLBACK TestParent::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<TestParent*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self && msg == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lp);
        Notification n{int(header->code), -1, -1, self->currentRow ? self->currentRow() : -1};
        if (self->listRecords) {
            n.row = reinterpret_cast<const ListNotify*>(lp)->row;
            n.column = reinterpret_cast<const ListNotify*>(lp)->column;
        }
        self->notifications.push_back(n);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        Pump();
        if (done())
            return true;
        const DWORD spent = GetTickCount() - start;
        if (spent >= timeoutMs)
            return false;
        MsgWaitForMultipleObjectsEx(0, nullptr, std::min(timeoutMs - spent, kLookAgainMs), QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
    }
}

bool RunScripted(const std::function<void()>& action, std::vector<Step> steps) {
    Script script;
    script.steps = std::move(steps);
    g_script = &script;
    const UINT_PTR timer = SetTimer(nullptr, 0, kTickMs, &Tick);
    action();
    KillTimer(nullptr, timer);
    g_script = nullptr;
    // What the loop posted on its way out, such as a menu's command.
    Pump();
    return !script.gaveUp && script.next == script.steps.size();
}

Step MenuKeys(std::vector<WPARAM> keys) {
    return [=] {
        const std::vector<HWND> popups = VisibleOfClass("#32768");
        if (popups.empty())
            return false;
        for (WPARAM key : keys)
            PostMessageA(popups.front(), WM_KEYDOWN, key, 1);  // the topmost
        return true;
    };
}

}  // namespace tw::testing
