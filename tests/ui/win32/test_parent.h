// A top-level window that records the notifications of its children and
// answers them as a test tells it to.
#pragma once

#include <windows.h>

#include <vector>

#include "ui/colour_math.h"

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
    HWND Hwnd() const { return hwnd_; }
    std::vector<Notification> notifications;
    std::vector<int> Codes() const;
    // What WM_NOTIFY answers.
    LRESULT answer = 0;
    // Whether the notification record carries row and column.
    bool listRecords = false;
    // Command identifiers of the WM_COMMAND messages received.
    std::vector<UINT> commands;

private:
    static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
    HWND hwnd_ = nullptr;
};

// Runs the queued messages of this thread.
void Pump();
LPARAM Point(int x, int y);
// Copies a window's area of the screen to a 24-bit BMP file.
bool SaveScreenArea(HWND hwnd, const char* path);
// Reads a pixel of a 24-bit bottom-up BMP file (top row is y 0).
bool PixelOf(const char* path, int x, int y, Rgb& out);

}  // namespace tw::testing
