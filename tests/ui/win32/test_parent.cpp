#include "tests/ui/win32/test_parent.h"

#include "ui/win32/list_window.h"

namespace tw::testing {

TestParent::TestParent(int width, int height, bool visible) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &TestParent::Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = GetSysColorBrush(COLOR_3DFACE);
    wc.lpszClassName = "TwTestParent";
    RegisterClassA(&wc);
    hwnd_ = CreateWindowExA(0, "TwTestParent", "test", WS_POPUP | (visible ? WS_VISIBLE : 0), 0, 0, width, height, nullptr,
                            nullptr, GetModuleHandleA(nullptr), this);
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TestParent::~TestParent() {
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
}

std::vector<int> TestParent::Codes() const {
    std::vector<int> codes;
    for (const auto& n : notifications)
        codes.push_back(n.code);
    return codes;
}

LRESULT CALLBACK TestParent::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<TestParent*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self && msg == WM_NOTIFY) {
        const auto* header = reinterpret_cast<const NMHDR*>(lp);
        Notification n{int(header->code), -1, -1, header->hwndFrom, header->idFrom};
        if (self->listRecords) {
            const auto* record = reinterpret_cast<const ListNotify*>(lp);
            n.row = record->row;
            n.column = record->column;
        }
        self->notifications.push_back(n);
        return self->answer;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

LPARAM Point(int x, int y) { return MAKELPARAM(x, y); }

}  // namespace tw::testing
