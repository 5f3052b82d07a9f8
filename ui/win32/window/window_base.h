// The one way a window object of this module is made: its class registered
// once per module, the object attached to its window from WM_NCCREATE on,
// messages handed to the object's table, and the window owned by the object
// (or, for a window that owns its object, the object let go with the window).
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "platform/win32/handles.h"

namespace tw {

// A window class of this module. Registered at first use; every class that
// was registered is removed again by UnregisterWindowClasses.
struct WindowClass {
    const char* name;
    UINT style;
    HBRUSH background;
    // The window procedure of a window without an object; null for the
    // windows of WindowBase objects.
    WNDPROC proc = nullptr;
    // Set once registered, for the module's list of its classes.
    mutable const WindowClass* next = nullptr;
    mutable LONG registered = 0;
};

bool EnsureWindowClass(const WindowClass& cls);
// When the module unloads: its window procedures go with it.
void UnregisterWindowClasses();

class WindowBase {
public:
    WindowBase() = default;
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;
    // Destroys the window if it still exists, without calling back into the
    // part of the object that is already gone.
    virtual ~WindowBase();

    HWND Hwnd() const { return hwnd_.Get(); }
    // Expires when the object goes. Whatever runs a modal loop (a dialog, a
    // message box, a menu) looks at it before it uses the object again: the
    // window, and with it the object, may be destroyed while the loop runs.
    std::weak_ptr<void> Life() const { return life_; }

protected:
    // CreateWindowExA with this object as the window's; null on failure.
    HWND CreateWindowOf(const WindowClass& cls, DWORD exStyle, const char* text, DWORD style, const RECT& rect,
                        HWND parent, UINT id);
    // A message of the window; handled starts true, and a handler that
    // leaves it false sends the message on to the default procedure.
    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) = 0;
    // After WM_NCDESTROY, when the window is gone; the object may delete
    // itself here.
    virtual void OnWindowGone() {}
    LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) const {
        return DefWindowProcA(hwnd_.Get(), message, wParam, lParam);
    }

private:
    friend bool EnsureWindowClass(const WindowClass& cls);
    static LRESULT CALLBACK Thunk(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    UniqueWindow hwnd_;
    std::shared_ptr<void> life_ = std::make_shared<char>('\0');
};

// A message handler of T's table.
template <class T>
struct MessageEntry {
    UINT message;
    LRESULT (*handle)(T& self, WPARAM wParam, LPARAM lParam, bool& handled);
};

// A window object whose messages go through the table T::Messages().
template <class T>
class Window : public WindowBase {
protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override {
        for (const MessageEntry<T>& entry : T::Messages()) {
            if (entry.message == message)
                return entry.handle(static_cast<T&>(*this), wParam, lParam, handled);
        }
        handled = false;
        return 0;
    }
};

}  // namespace tw
