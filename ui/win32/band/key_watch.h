// The keys of the band's thread, seen as the thread's message loop takes
// them from the queue, before that loop translates or dispatches them. The
// loop is the browser's, which gives the band no accelerator translation
// and may keep keys such as Ctrl+Tab or F10 for itself: watching the queue
// is what lets the band's own keys work wherever the band is hosted.
#pragma once

#include <windows.h>

#include "ui/band_keys.h"

namespace tw {

class KeyWatcher {
public:
    // True when the message was the watcher's: it is then dropped. Runs
    // inside the message loop's call for the next message, so it posts what
    // runs a loop of its own (a menu, a dialog) rather than running it.
    virtual bool WatchKey(const MSG& message) = 0;
    // The focus moved between windows of the thread, or a window of the
    // thread lost the activation: told as the window procedure is called.
    virtual void FocusMoved() {}

protected:
    ~KeyWatcher() = default;
};

// A watcher's place among its thread's watchers, which are asked in the
// order they joined; none is asked while a menu of the thread is open.
// The thread's hooks (one on the queue, one on the window procedures, for
// the focus and the activation, which are sent rather than posted) are set
// for its first watcher and removed with its last.
class KeyWatch {
public:
    KeyWatch() = default;
    ~KeyWatch() { Stop(); }
    KeyWatch(const KeyWatch&) = delete;
    KeyWatch& operator=(const KeyWatch&) = delete;

    void Start(KeyWatcher& watcher);
    void Stop();

private:
    KeyWatcher* watcher_ = nullptr;
};

// Whether this thread's hooks are set: while a watcher of it lives.
bool KeysWatchedOnThisThread();

// A key message as the portable key logic takes it; false for other messages.
bool KeyPressOf(const MSG& message, KeyPress& key);
// A pointer button going down, in the client area or not.
bool IsButtonDown(UINT message);
// Whether window is root or lies inside it.
bool WithinWindow(HWND root, HWND window);

}  // namespace tw
