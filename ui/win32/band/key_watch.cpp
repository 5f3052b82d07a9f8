#include "ui/win32/band/key_watch.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/win32/handles.h"

namespace tw {
namespace {

static_assert(kVkTab == VK_TAB && kVkReturn == VK_RETURN && kVkShift == VK_SHIFT && kVkControl == VK_CONTROL &&
                  kVkAlt == VK_MENU && kVkEscape == VK_ESCAPE &&
                  kVkSpace == VK_SPACE && kVkLeft == VK_LEFT && kVkUp == VK_UP && kVkRight == VK_RIGHT &&
                  kVkDown == VK_DOWN && kVkApps == VK_APPS && kVkF10 == VK_F10,
              "the portable key codes are the platform's");

// A browser runs a window per thread, so the hook and the watchers it
// serves are per thread too. The record is made with a thread's first
// watcher and goes with its last one, hook and all; a plain pointer,
// because the module may leave a thread that is still running.
struct ThreadWatch {
    std::vector<KeyWatcher*> watchers;
    UniqueHook hook;
    UniqueHook sent;
};
thread_local ThreadWatch* tWatch = nullptr;

// A menu's own loop has the keys then: the arrows walk the menu, Esc
// closes it.
bool InMenu() {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetCurrentThreadId(), &info) &&
           (info.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE | GUI_SYSTEMMENUMODE));
}

// Keys, and the pointer's buttons, which end the menu bar's keyboard mode.
bool Watched(UINT message) { return (message >= WM_KEYDOWN && message <= WM_SYSKEYUP) || IsButtonDown(message); }

LRESULT CALLBACK Hook(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && wp == PM_REMOVE && lp && tWatch && Watched(reinterpret_cast<MSG*>(lp)->message) &&
        !InMenu()) {
        MSG& msg = *reinterpret_cast<MSG*>(lp);
        // A watcher may stop watching while it is asked: a copy is walked.
        const std::vector<KeyWatcher*> watchers = tWatch->watchers;
        for (KeyWatcher* watcher : watchers)
            if (watcher->WatchKey(msg)) {
                msg.message = WM_NULL;  // no character, no beep, nobody else
                break;
            }
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

// Focus and activation arrive as sent messages, which the queue's hook
// never sees. Windows delivers them on this thread when the user leaves
// with Alt+Tab even though the browser's frame may live in another
// process: the window that had the focus here is told it lost it.
LRESULT CALLBACK SentHook(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && lp && tWatch) {
        const UINT m = reinterpret_cast<const CWPSTRUCT*>(lp)->message;
        if (m == WM_KILLFOCUS || m == WM_SETFOCUS || m == WM_ACTIVATEAPP || m == WM_CANCELMODE ||
            (m == WM_ACTIVATE && LOWORD(reinterpret_cast<const CWPSTRUCT*>(lp)->wParam) == WA_INACTIVE)) {
            const std::vector<KeyWatcher*> watchers = tWatch->watchers;
            for (KeyWatcher* watcher : watchers)
                watcher->FocusMoved();
        }
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

}  // namespace

bool KeysWatchedOnThisThread() { return tWatch && tWatch->hook; }

void KeyWatch::Start(KeyWatcher& watcher) {
    Stop();
    if (!tWatch)
        tWatch = new ThreadWatch;
    tWatch->watchers.push_back(&watcher);
    if (!tWatch->hook)
        tWatch->hook.Reset(SetWindowsHookExA(WH_GETMESSAGE, &Hook, nullptr, GetCurrentThreadId()));
    if (!tWatch->sent)
        tWatch->sent.Reset(SetWindowsHookExA(WH_CALLWNDPROC, &SentHook, nullptr, GetCurrentThreadId()));
    watcher_ = &watcher;
}

void KeyWatch::Stop() {
    if (!watcher_ || !tWatch)
        return;
    auto& watchers = tWatch->watchers;
    watchers.erase(std::remove(watchers.begin(), watchers.end(), watcher_), watchers.end());
    watcher_ = nullptr;
    if (watchers.empty()) {
        const std::unique_ptr<ThreadWatch> last(tWatch);
        tWatch = nullptr;
    }
}

// Windows keeps Print Screen's press for itself: the queue holds only its
// release, which is still a key between Alt's press and release. Wine
// passes both, so the tests cannot show that difference.
bool KeyPressOf(const MSG& message, KeyPress& key) {
    const UINT m = message.message;
    if (m != WM_KEYDOWN && m != WM_KEYUP && m != WM_SYSKEYDOWN && m != WM_SYSKEYUP)
        return false;
    key.key = int(message.wParam);
    key.down = m == WM_KEYDOWN || m == WM_SYSKEYDOWN;
    key.repeat = key.down && (HIWORD(message.lParam) & KF_REPEAT) != 0;
    key.alt = (HIWORD(message.lParam) & KF_ALTDOWN) != 0;
    key.shift = GetKeyState(VK_SHIFT) < 0;
    key.control = GetKeyState(VK_CONTROL) < 0;
    return true;
}

bool IsButtonDown(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN ||
           message == WM_NCLBUTTONDOWN || message == WM_NCRBUTTONDOWN || message == WM_NCMBUTTONDOWN;
}

bool WithinWindow(HWND root, HWND window) { return root && window && (window == root || IsChild(root, window)); }

}  // namespace tw
