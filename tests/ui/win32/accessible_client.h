// A screen reader's side of the painted controls, for the tests: the
// client object of a window, and what it tells of the object and its
// children, and the WinEvents heard on this thread.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <string>
#include <vector>

#include "platform/win32/com_ptr.h"

namespace tw::testing {

// IID_IAccessible, spelled out as the product does.
inline const IID kClientIidIAccessible = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

inline ComPtr<IAccessible> AccessibleOf(HWND window, DWORD id = DWORD(OBJID_CLIENT)) {
    ComPtr<IAccessible> object;
    if (FAILED(AccessibleObjectFromWindow(window, id, kClientIidIAccessible, object.ReceiveVoid())))
        object.Reset();
    return object;
}

inline VARIANT Child(long id) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

// The role or the state in VT_I4, or -1 (with its own failure code for the caller to check).
inline long RoleOrStateOf(IAccessible* a, long child, bool state) {
    VARIANT v;
    VariantInit(&v);
    const HRESULT hr = state ? a->get_accState(Child(child), &v) : a->get_accRole(Child(child), &v);
    return SUCCEEDED(hr) && v.vt == VT_I4 ? v.lVal : -1;
}
inline long RoleOf(IAccessible* a, long child) { return RoleOrStateOf(a, child, false); }
inline long StateOf(IAccessible* a, long child) { return RoleOrStateOf(a, child, true); }

inline long ChildCountOf(IAccessible* a) {
    LONG count = -1;
    return SUCCEEDED(a->get_accChildCount(&count)) ? count : -1;
}

inline std::string Narrowed(BSTR text) {
    std::string out;
    for (UINT i = 0; text && i < SysStringLen(text); ++i)
        out += text[i] < 0x80 ? char(text[i]) : '?';
    SysFreeString(text);
    return out;
}

inline std::string NameOf(IAccessible* a, long child) {
    BSTR name = nullptr;
    a->get_accName(Child(child), &name);
    return Narrowed(name);
}

// The names of the children from..to (counted from 1), joined by " | ".
inline std::string NamesOf(IAccessible* a, long from, long to) {
    std::string names;
    for (long child = from; child <= to; ++child)
        names += (child > from ? " | " : "") + NameOf(a, child);
    return names;
}

// The WinEvents of the controls heard on this thread (out of context: they
// arrive while the thread takes its messages), from events first to last.
class EventEar {
public:
    EventEar(DWORD first, DWORD last) {
        ear_ = this;
        hook_ = SetWinEventHook(first, last, nullptr, &Hear, GetCurrentProcessId(), GetCurrentThreadId(),
                                WINEVENT_OUTOFCONTEXT);
    }
    ~EventEar() {
        if (hook_)
            UnhookWinEvent(hook_);
        ear_ = nullptr;
    }
    EventEar(const EventEar&) = delete;
    EventEar& operator=(const EventEar&) = delete;
    bool Hooked() const { return hook_ != nullptr; }

    struct Heard {
        DWORD event;
        HWND window;
        LONG object;
        LONG child;
    };
    std::vector<Heard> heard;

private:
    static void CALLBACK Hear(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
        if (ear_)
            ear_->heard.push_back({event, window, object, child});
    }
    static inline EventEar* ear_ = nullptr;
    HWINEVENTHOOK hook_ = nullptr;
};

}  // namespace tw::testing
