// A top-level window that records the notifications of its children and
// answers them as a test tells it to.
#pragma once

#include <windows.h>

#include <vector>

namespace tw::testing {

struct Notification {
    int code;
    int row;
    int column;
    HWND from;
    UINT_PTR id;
};

class TestParent {
public:
    // Hidden unless asked: Wine waits up to two seconds to unmap a shown
    // top-level window when it goes.
    TestParent(int width = 400, int height = 300, bool visible = false);
    ~TestParent();
    HWND Handle() const { return hwnd_; }
    std::vector<Notification> notifications;
    std::vector<int> Codes() const;
    // What WM_NOTIFY answers.
    LRESULT answer = 0;
    // Whether the notification record carries row and column.
    bool listRecords = false;

private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    HWND hwnd_ = nullptr;
};

// Runs the queued messages of this thread.
void Pump();
LPARAM Point(int x, int y);

}  // namespace tw::testing
