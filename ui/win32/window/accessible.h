// What a screen reader gets from one of the module's painted controls: an
// IAccessible for the control's client area, with one simple child per
// element (a row, a tab, a menu button), given in answer to WM_GETOBJECT.
//
// A reader may keep the object as long as it likes, in this process or
// another one, so the object lives by its references, not by its window:
// it holds the window weakly and answers RPC_E_DISCONNECTED once the window
// or the window object is gone, and it keeps the module loaded while it
// lives.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <string>
#include <vector>

#include "band/server_lock.h"
#include "platform/win32/com_ptr.h"

namespace tw {

// IID_IAccessible. MinGW's oleacc import library names an import thunk,
// not the GUID, so the value is spelled out here.
extern const IID kIidIAccessible;

class AccessibleControl : public IAccessible {
public:
    // The window object lets go of it, or the window goes: from now on
    // every call answers RPC_E_DISCONNECTED.
    void Detach();

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    // IDispatch: no type information; screen readers call the vtable.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argError) override;
    // IAccessible
    STDMETHODIMP get_accParent(IDispatch** parent) override;
    STDMETHODIMP get_accChildCount(LONG* count) override;
    STDMETHODIMP get_accChild(VARIANT child, IDispatch** object) override;
    STDMETHODIMP get_accName(VARIANT child, BSTR* name) override;
    STDMETHODIMP get_accValue(VARIANT child, BSTR* value) override;
    STDMETHODIMP get_accDescription(VARIANT child, BSTR* description) override;
    STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override;
    STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override;
    STDMETHODIMP get_accHelp(VARIANT child, BSTR* help) override;
    STDMETHODIMP get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override;
    STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    STDMETHODIMP get_accFocus(VARIANT* child) override;
    STDMETHODIMP get_accSelection(VARIANT* children) override;
    STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* action) override;
    STDMETHODIMP accSelect(LONG flags, VARIANT child) override;
    STDMETHODIMP accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override;
    STDMETHODIMP accNavigate(LONG direction, VARIANT start, VARIANT* end) override;
    STDMETHODIMP accHitTest(LONG x, LONG y, VARIANT* child) override;
    STDMETHODIMP accDoDefaultAction(VARIANT child) override;
    STDMETHODIMP put_accName(VARIANT child, BSTR name) override;
    STDMETHODIMP put_accValue(VARIANT child, BSTR value) override;

protected:
    // The object itself, as the system's standard object of the window
    // describes it, answers for the parent, the name (the window's text),
    // the place and the window's own states.
    explicit AccessibleControl(HWND window);
    virtual ~AccessibleControl();
    AccessibleControl(const AccessibleControl&) = delete;
    AccessibleControl& operator=(const AccessibleControl&) = delete;

    HWND Window() const { return window_; }

    // What the control tells, asked only while it is attached. Elements
    // are numbered from 0; the object itself is -1.
    virtual int ElementCount() const = 0;
    virtual long RoleOf(int element) const = 0;
    virtual std::string NameOf(int element) const = 0;  // ANSI
    virtual unsigned StateOf(int element) const = 0;
    virtual RECT RectOf(int element) const = 0;         // client coordinates
    virtual int ElementAt(POINT client) const = 0;      // -1 for none
    // The object's own name; empty: the window's text, as the system's
    // object gives it.
    virtual std::string OwnName() const { return std::string(); }
    // Properties that not every control has: without them a reader is
    // answered DISP_E_MEMBERNOTFOUND, the documented "not supported"; with
    // them an element that has none gets S_FALSE.
    virtual bool HasDescriptions() const { return false; }
    virtual std::string DescriptionOf(int) const { return std::string(); }
    virtual bool HasShortcuts() const { return false; }
    virtual std::string ShortcutOf(int) const { return std::string(); }
    virtual const wchar_t* DefaultActionOf(int) const { return nullptr; }
    // Posts what the action does and returns: a reader's call must not run
    // a menu's, a dialog's or the browser's loop inside it.
    virtual HRESULT DoDefaultActionOf(int) { return DISP_E_MEMBERNOTFOUND; }
    virtual HRESULT SelectElement(int, long) { return DISP_E_MEMBERNOTFOUND; }
    // The element with the keyboard focus while the window has it, or -1.
    virtual int FocusedElement() const { return -1; }
    virtual std::vector<int> SelectedElements() const { return {}; }

private:
    // The element a child id names: -1 for the object itself; false when
    // the id is malformed or names nothing.
    bool ElementOf(const VARIANT& child, int& element) const;
    bool Attached() const;
    // S_OK and the element a call names, or what the call answers at once:
    // RPC_E_DISCONNECTED without the window, E_INVALIDARG for a bad child.
    HRESULT Begin(const VARIANT& child, int& element) const;

    ModuleHold module_;
    LONG refs_ = 1;
    HWND window_;
    bool attached_ = true;
    ComPtr<IAccessible> standard_;
};

// The accessible object of a window: made when a reader first asks for
// it, kept while the window lives, detached when the window goes.
class AccessibleSlot {
public:
    AccessibleSlot() = default;
    ~AccessibleSlot() { Detach(); }
    AccessibleSlot(const AccessibleSlot&) = delete;
    AccessibleSlot& operator=(const AccessibleSlot&) = delete;

    // WM_GETOBJECT: the client object for OBJID_CLIENT, made by make()
    // (null when it cannot be made); every other object is the system's,
    // through the default procedure.
    template <class Make>
    LRESULT Answer(WPARAM wParam, LPARAM lParam, bool& handled, Make make) {
        // The identifier travels as a 32-bit value, never sign-extended.
        handled = static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT);
        if (!handled)
            return 0;
        if (!object_)
            object_ = ComPtr<AccessibleControl>(make());
        return object_ ? LresultFromObject(kIidIAccessible, wParam, object_.Get()) : 0;
    }
    void Detach() {
        if (object_)
            object_->Detach();
        object_.Reset();
    }

private:
    ComPtr<AccessibleControl> object_;
};

// Raises a WinEvent for an element of a window's client object (-1: the
// object itself).
void RaiseEvent(DWORD event, HWND window, int element);

// The client objects of the painted controls, each holding a reference
// (null when memory is short). The control must detach the object before
// it goes.
class ListWindow;
class FlatTabStrip;
class MenuBar;
AccessibleControl* NewListAccessible(ListWindow& list);
AccessibleControl* NewTabStripAccessible(FlatTabStrip& strip);
AccessibleControl* NewMenuBarAccessible(MenuBar& bar);

}  // namespace tw
