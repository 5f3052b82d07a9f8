// What the Win32 user-interface tests share: a parent window that records
// what its children tell it, a pump that waits for messages, and scripts of
// steps that run inside modal loops (dialogs, message boxes, menus).
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "platform/win32/handles.h"

namespace tw::testing {

struct Notification {
    int code;
    int row;
    int column;
    int current;  // what currentRow answered as it arrived, or -1
};

class TestParent {
public:
    // Hidden unless asked: Wine waits up to two seconds to unmap a shown
    // top-level window when it goes.
    explicit TestParent(bool visible = false, int width = 400, int height = 300);
    ~TestParent();
    TestParent(const TestParent&) = delete;
    TestParent& operator=(const TestParent&) = delete;
    HWND Hwnd() const { return hwnd_.Get(); }

    std::vector<Notification> notifications;
    bool listRecords = false;  // whether notifications carry a row and a column
    std::function<int()> currentRow;  // asked as each notification arrives

private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    UniqueWindow hwnd_;
};

// Runs this thread's messages until done() holds, sleeping until the next
// message arrives; what other threads change is looked at every few
// milliseconds. False when timeoutMs pass first.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000);

// A step of a script: true once done, false to be tried again next tick.
using Step = std::function<bool()>;

// Runs action, which enters a modal loop, while a thread timer that the loop
// dispatches works through the steps, one a tick. A script stuck for seconds
// on a step, or done with a dialog or menu still open, closes what is open
// so that action returns. True when every step ran and nothing was left.
bool RunScripted(const std::function<void()>& action, std::vector<Step> steps);

// The visible top-level windows of this thread of a class, such as
// "#32770" (dialogs) or "#32768" (popup menus).
std::vector<HWND> VisibleOfClass(const char* name);
// Once a popup menu is shown, presses the keys in it.
Step MenuKeys(std::vector<WPARAM> keys);

}  // namespace tw::testing
