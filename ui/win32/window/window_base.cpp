#include "ui/win32/window/window_base.h"

#include "ui/win32/window/activation.h"

namespace tw {
namespace {

// The classes registered so far, a list pushed to without a lock.
void* volatile g_classes = nullptr;

}  // namespace

bool EnsureWindowClass(const WindowClass& cls) {
    if (cls.registered)
        return true;
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    const HINSTANCE module = CodeModule();
    if (!GetClassInfoExA(module, cls.name, &wc)) {
        wc = WNDCLASSEXA{};
        wc.cbSize = sizeof wc;
        wc.style = cls.style;
        wc.lpfnWndProc = cls.proc ? cls.proc : &WindowBase::Thunk;
        wc.hInstance = module;
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = cls.background;
        wc.lpszClassName = cls.name;
        // Another thread of the browser may have registered it meanwhile.
        if (!RegisterClassExA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            return false;
    }
    if (InterlockedCompareExchange(&cls.registered, 1, 0) == 0) {
        void* head;
        do {
            head = g_classes;
            cls.next = static_cast<const WindowClass*>(head);
        } while (InterlockedCompareExchangePointer(&g_classes, const_cast<WindowClass*>(&cls), head) != head);
    }
    return true;
}

void UnregisterWindowClasses() {
    const WindowClass* cls = static_cast<const WindowClass*>(InterlockedExchangePointer(&g_classes, nullptr));
    for (; cls; cls = cls->next) {
        UnregisterClassA(cls->name, CodeModule());
        cls->registered = 0;
    }
}

WindowBase::~WindowBase() {
    if (HWND window = hwnd_.Get()) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        hwnd_.Reset();
    }
}

HWND WindowBase::CreateWindowOf(const WindowClass& cls, DWORD exStyle, const char* text, DWORD style,
                                const RECT& rect, HWND parent, UINT id) {
    if (hwnd_ || !EnsureWindowClass(cls))
        return nullptr;
    const HWND window = CreateWindowExA(exStyle, cls.name, text, style, rect.left, rect.top, rect.right - rect.left,
                                        rect.bottom - rect.top, parent,
                                        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), CodeModule(), this);
    // A window whose creation failed has been through WM_NCDESTROY already.
    return window ? hwnd_.Get() : nullptr;
}

LRESULT CALLBACK WindowBase::Thunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowBase* self = reinterpret_cast<WindowBase*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_NCCREATE && !self) {
        self = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (self) {
            self->hwnd_.Reset(window);
            SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    }
    if (!self)
        return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        bool handled = true;
        self->OnMessage(message, wParam, lParam, handled);
        // The window is going: nothing may destroy its handle again.
        self->hwnd_.Detach();
        const LRESULT r = DefWindowProcA(window, message, wParam, lParam);
        self->OnWindowGone();
        return r;
    }
    bool handled = true;
    const LRESULT r = self->OnMessage(message, wParam, lParam, handled);
    return handled ? r : DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace tw
