#include "ui/win32/window/accessible.h"

#include <oleauto.h>

#include <new>

#include "ui/accessibility.h"
#include "ui/win32/controls/list_adapters.h"

namespace tw {

const IID kIidIAccessible = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

static_assert(kStateSelected == STATE_SYSTEM_SELECTED && kStateFocused == STATE_SYSTEM_FOCUSED &&
                  kStatePressed == STATE_SYSTEM_PRESSED && kStateHotTracked == STATE_SYSTEM_HOTTRACKED &&
                  kStateOffscreen == STATE_SYSTEM_OFFSCREEN && kStateFocusable == STATE_SYSTEM_FOCUSABLE &&
                  kStateSelectable == STATE_SYSTEM_SELECTABLE && kStateMultiSelectable == STATE_SYSTEM_MULTISELECTABLE &&
                  kStateHasPopup == STATE_SYSTEM_HASPOPUP,
              "the portable states are the platform's");
static_assert(kSelectTakeFocus == SELFLAG_TAKEFOCUS && kSelectTakeSelection == SELFLAG_TAKESELECTION &&
                  kSelectExtend == SELFLAG_EXTENDSELECTION && kSelectAdd == SELFLAG_ADDSELECTION &&
                  kSelectRemove == SELFLAG_REMOVESELECTION,
              "the portable selection flags are the platform's");

namespace {

void SetChild(VARIANT* v, long child) {
    VariantInit(v);
    v->vt = VT_I4;
    v->lVal = child;
}

// The selected children of get_accSelection when there are several.
class ChildEnumeration final : public IEnumVARIANT {
public:
    ChildEnumeration(std::vector<int> elements, std::size_t next) : elements_(std::move(elements)), next_(next) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out)
            return E_POINTER;
        *out = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IEnumVARIANT) ? this : nullptr;
        if (!*out)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ULONG(InterlockedIncrement(&refs_)); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG refs = InterlockedDecrement(&refs_);
        if (refs == 0)
            delete this;
        return ULONG(refs);
    }
    STDMETHODIMP Next(ULONG count, VARIANT* out, ULONG* fetched) override {
        if (!out || (count > 1 && !fetched))
            return E_POINTER;
        ULONG n = 0;
        for (; n < count && next_ < elements_.size(); ++n)
            SetChild(&out[n], ChildOfIndex(elements_[next_++]));
        if (fetched)
            *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG count) override {
        const std::size_t left = elements_.size() - next_;
        next_ += count < left ? count : left;
        return count <= left ? S_OK : S_FALSE;
    }
    STDMETHODIMP Reset() override {
        next_ = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(IEnumVARIANT** out) override {
        if (!out)
            return E_POINTER;
        *out = new (std::nothrow) ChildEnumeration(elements_, next_);
        return *out ? S_OK : E_OUTOFMEMORY;
    }

private:
    ~ChildEnumeration() = default;

    ModuleHold module_;
    LONG refs_ = 1;
    std::vector<int> elements_;
    std::size_t next_;
};

HRESULT TextResult(const std::string& text, BSTR* out) {
    if (text.empty())
        return S_FALSE;
    *out = AnsiToBstr(text);
    return *out ? S_OK : E_OUTOFMEMORY;
}

}  // namespace

void RaiseEvent(DWORD event, HWND window, int element) {
    NotifyWinEvent(event, window, OBJID_CLIENT, element < 0 ? CHILDID_SELF : ChildOfIndex(element));
}

AccessibleControl::AccessibleControl(HWND window) : window_(window) {
    CreateStdAccessibleObject(window, OBJID_CLIENT, kIidIAccessible, standard_.ReceiveVoid());
}

AccessibleControl::~AccessibleControl() = default;

void AccessibleControl::Detach() {
    attached_ = false;
    standard_.Reset();
}

bool AccessibleControl::Attached() const { return attached_ && IsWindow(window_); }

HRESULT AccessibleControl::Begin(const VARIANT& child, int& element) const {
    if (!Attached())
        return RPC_E_DISCONNECTED;
    return ElementOf(child, element) ? S_OK : E_INVALIDARG;
}

bool AccessibleControl::ElementOf(const VARIANT& child, int& element) const {
    if (child.vt != VT_I4)
        return false;
    element = child.lVal == CHILDID_SELF ? -1 : IndexOfChild(child.lVal, ElementCount());
    return child.lVal == CHILDID_SELF || element >= 0;
}

// ---- IUnknown, IDispatch ---------------------------------------------------

STDMETHODIMP AccessibleControl::QueryInterface(REFIID iid, void** out) {
    if (!out)
        return E_POINTER;
    const bool ours = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, kIidIAccessible);
    *out = ours ? static_cast<IAccessible*>(this) : nullptr;
    if (!ours)
        return E_NOINTERFACE;
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) AccessibleControl::AddRef() { return ULONG(InterlockedIncrement(&refs_)); }

STDMETHODIMP_(ULONG) AccessibleControl::Release() {
    const LONG refs = InterlockedDecrement(&refs_);
    if (refs == 0)
        delete this;
    return ULONG(refs);
}

STDMETHODIMP AccessibleControl::GetTypeInfoCount(UINT* count) {
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP AccessibleControl::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP AccessibleControl::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

STDMETHODIMP AccessibleControl::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
    return E_NOTIMPL;
}

// ---- IAccessible -------------------------------------------------------------

STDMETHODIMP AccessibleControl::get_accParent(IDispatch** parent) {
    if (!parent)
        return E_POINTER;
    *parent = nullptr;
    if (!Attached())
        return RPC_E_DISCONNECTED;
    return standard_ ? standard_->get_accParent(parent) : S_FALSE;
}

STDMETHODIMP AccessibleControl::get_accChildCount(LONG* count) {
    if (!count)
        return E_POINTER;
    *count = 0;
    if (!Attached())
        return RPC_E_DISCONNECTED;
    *count = ElementCount();
    return S_OK;
}

STDMETHODIMP AccessibleControl::get_accChild(VARIANT child, IDispatch** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    int element = -1;
    const HRESULT hr = Begin(child, element);
    // Every child is a simple element, told through this object.
    return hr == S_OK ? S_FALSE : hr;
}

STDMETHODIMP AccessibleControl::get_accName(VARIANT child, BSTR* name) {
    if (!name)
        return E_POINTER;
    *name = nullptr;
    int element = -1;
    if (const HRESULT hr = Begin(child, element); hr != S_OK)
        return hr;
    if (element < 0) {
        const std::string own = OwnName();
        if (!own.empty())
            return TextResult(own, name);
        return standard_ ? standard_->get_accName(child, name) : S_FALSE;
    }
    return TextResult(NameOf(element), name);
}

STDMETHODIMP AccessibleControl::get_accValue(VARIANT child, BSTR* value) {
    if (!value)
        return E_POINTER;
    *value = nullptr;
    int element = -1;
    const HRESULT hr = Begin(child, element);
    // No element has a value: the documented answer is "not supported",
    // not S_FALSE.
    return hr == S_OK ? DISP_E_MEMBERNOTFOUND : hr;
}

STDMETHODIMP AccessibleControl::get_accDescription(VARIANT child, BSTR* description) {
    if (!description)
        return E_POINTER;
    *description = nullptr;
    int element = -1;
    if (const HRESULT hr = Begin(child, element); hr != S_OK)
        return hr;
    if (element < 0 || !HasDescriptions())
        return DISP_E_MEMBERNOTFOUND;
    return TextResult(DescriptionOf(element), description);
}

STDMETHODIMP AccessibleControl::get_accRole(VARIANT child, VARIANT* role) {
    if (!role)
        return E_POINTER;
    VariantInit(role);
    int element = -1;
    if (const HRESULT hr = Begin(child, element); hr != S_OK)
        return hr;
    SetChild(role, RoleOf(element));
    return S_OK;
}

STDMETHODIMP AccessibleControl::get_accState(VARIANT child, VARIANT* state) {
    if (!state)
        return E_POINTER;
    VariantInit(state);
    int element = -1;
    if (const HRESULT hr = Begin(child, element); hr != S_OK)
        return hr;
    long bits = long(StateOf(element));
    VARIANT window;
    VariantInit(&window);
    if (element < 0 && standard_ && SUCCEEDED(standard_->get_accState(child, &window)) && window.vt == VT_I4)
        bits |= window.lVal;
    SetChild(state, bits);
    return S_OK;
}

STDMETHODIMP AccessibleControl::get_accHelp(VARIANT child, BSTR* help) { return get_accValue(child, help); }  // none has help

STDMETHODIMP AccessibleControl::get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) {
    if (file)
        *file = nullptr;
    if (topic)
        *topic = 0;
    return Attached() ? DISP_E_MEMBERNOTFOUND : RPC_E_DISCONNECTED;
}

STDMETHODIMP AccessibleControl::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
    if (!shortcut)
        return E_POINTER;
    *shortcut = nullptr;
    int element = -1;
    if (const HRESULT hr = Begin(child, element); hr != S_OK)
        return hr;
    if (element < 0 || !HasShortcuts())
        return DISP_E_MEMBERNOTFOUND;
    return TextResult(ShortcutOf(element), shortcut);
}

STDMETHODIMP AccessibleControl::get_accFocus(VARIANT* child) {
    if (!child)
        return E_POINTER;
    VariantInit(child);
    if (!Attached())
        return RPC_E_DISCONNECTED;
    if (GetFocus() != window_)
        return S_FALSE;
    const int element = FocusedElement();
    SetChild(child, element < 0 ? CHILDID_SELF : ChildOfIndex(element));
    return S_OK;
}

STDMETHODIMP AccessibleControl::get_accSelection(VARIANT* children) {
    if (!children)
        return E_POINTER;
    VariantInit(children);
    if (!Attached())
        return RPC_E_DISCONNECTED;
    std::vector<int> selected = SelectedElements();
    if (selected.empty())
        return S_FALSE;
    if (selected.size() == 1) {
        SetChild(children, ChildOfIndex(selected.front()));
        return S_OK;
    }
    ChildEnumeration* all = new (std::nothrow) ChildEnumeration(std::move(selected), 0);
    if (!all)
        return E_OUTOFMEMORY;
    children->vt = VT_UNKNOWN;
    children->punkVal = all;
    return S_OK;
}

STDMETHODIMP AccessibleControl::get_accDefaultAction(VARIANT child, BSTR* action) {
    if (!action)
        return E_POINTER;
    *action = nullptr;
    int element = -1;
    if (const HRESULT hr = Begin(child, element); hr != S_OK)
        return hr;
    const wchar_t* text = element < 0 ? nullptr : DefaultActionOf(element);
    if (!text)
        return S_FALSE;
    *action = SysAllocString(text);
    return *action ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP AccessibleControl::accSelect(LONG flags, VARIANT child) {
    int element = -1;
    if (const HRESULT hr = Begin(child, element); hr != S_OK)
        return hr;
    return element < 0 ? DISP_E_MEMBERNOTFOUND : SelectElement(element, flags);
}

STDMETHODIMP AccessibleControl::accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) {
    if (!left || !top || !width || !height)
        return E_POINTER;
    *left = *top = *width = *height = 0;
    int element = -1;
    if (const HRESULT hr = Begin(child, element); hr != S_OK)
        return hr;
    if (element < 0)
        return standard_ ? standard_->accLocation(left, top, width, height, child) : S_FALSE;
    RECT rc = RectOf(element);
    MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    *left = rc.left;
    *top = rc.top;
    *width = rc.right - rc.left;
    *height = rc.bottom - rc.top;
    return S_OK;
}

STDMETHODIMP AccessibleControl::accNavigate(LONG direction, VARIANT start, VARIANT* end) {
    if (!end)
        return E_POINTER;
    VariantInit(end);
    int element = -1;
    if (const HRESULT hr = Begin(start, element); hr != S_OK)
        return hr;
    const int count = ElementCount();
    int to = -1;
    switch (direction) {
    case NAVDIR_FIRSTCHILD:
    case NAVDIR_LASTCHILD:
        if (element >= 0)
            return E_INVALIDARG;  // an element has no children
        to = count == 0 ? -1 : direction == NAVDIR_FIRSTCHILD ? 0 : count - 1;
        break;
    case NAVDIR_NEXT:
    case NAVDIR_PREVIOUS:
        // The object's own siblings are the window's.
        if (element < 0)
            return standard_ ? standard_->accNavigate(direction, start, end) : S_FALSE;
        to = element + (direction == NAVDIR_NEXT ? 1 : -1);
        break;
    default:
        if (element < 0)
            return standard_ ? standard_->accNavigate(direction, start, end) : S_FALSE;
        break;  // the elements stand in one line: no neighbour up, down or aside
    }
    if (to < 0 || to >= count)
        return S_FALSE;
    SetChild(end, ChildOfIndex(to));
    return S_OK;
}

STDMETHODIMP AccessibleControl::accHitTest(LONG x, LONG y, VARIANT* child) {
    if (!child)
        return E_POINTER;
    VariantInit(child);
    if (!Attached())
        return RPC_E_DISCONNECTED;
    POINT at{x, y};
    RECT client{};
    ScreenToClient(window_, &at);
    GetClientRect(window_, &client);
    if (!PtInRect(&client, at))
        return S_FALSE;
    const int element = ElementAt(at);
    SetChild(child, element < 0 ? CHILDID_SELF : ChildOfIndex(element));
    return S_OK;
}

STDMETHODIMP AccessibleControl::accDoDefaultAction(VARIANT child) {
    int element = -1;
    if (const HRESULT hr = Begin(child, element); hr != S_OK)
        return hr;
    return element < 0 ? DISP_E_MEMBERNOTFOUND : DoDefaultActionOf(element);
}

STDMETHODIMP AccessibleControl::put_accName(VARIANT, BSTR) {
    return Attached() ? DISP_E_MEMBERNOTFOUND : RPC_E_DISCONNECTED;
}

STDMETHODIMP AccessibleControl::put_accValue(VARIANT, BSTR) {
    return Attached() ? DISP_E_MEMBERNOTFOUND : RPC_E_DISCONNECTED;
}

}  // namespace tw
