// A "ListCtrl" as a screen reader meets it: a list whose items are the
// rows, each read out by its cells.
#include <new>

#include "ui/accessibility.h"
#include "ui/win32/window/accessible.h"
#include "ui/win32/controls/list_window.h"

namespace tw {
namespace {

class ListAccessible final : public AccessibleControl {
public:
    explicit ListAccessible(ListWindow& list) : AccessibleControl(list.Hwnd()), list_(list) {}

private:
    const ListModel& Model() const { return list_.Model(); }

    int ElementCount() const override { return Model().RowCount(); }
    long RoleOf(int row) const override { return row < 0 ? ROLE_SYSTEM_LIST : ROLE_SYSTEM_LISTITEM; }
    std::string NameOf(int row) const override { return RowName(Model(), row); }
    bool HasDescriptions() const override { return true; }
    std::string DescriptionOf(int row) const override { return RowDescription(Model(), row); }
    unsigned StateOf(int row) const override {
        return row < 0 ? 0u : RowState(Model(), row, GetFocus() == Window(), list_.RowInView(row));
    }
    RECT RectOf(int row) const override { return list_.RowRect(row); }
    int ElementAt(POINT client) const override { return list_.RowAt(client); }
    const wchar_t* DefaultActionOf(int row) const override { return list_.LinkColumn(row) >= 0 ? L"Jump" : nullptr; }
    // The row's own list does it, and only while it is the one shown: the
    // band acts on the list of its current tab, which is the list shown.
    HRESULT DoDefaultActionOf(int row) override {
        if (list_.LinkColumn(row) < 0)
            return DISP_E_MEMBERNOTFOUND;
        if (!list_.Shown())
            return E_FAIL;
        return PostMessageA(Window(), ListWindow::kFollowLinkMessage, WPARAM(row), 0) ? S_OK : E_FAIL;
    }
    HRESULT SelectElement(int row, long flags) override {
        return list_.SelectWithFlags(row, flags) ? S_OK : E_INVALIDARG;
    }
    int FocusedElement() const override { return Model().FocusRow(); }
    std::vector<int> SelectedElements() const override {
        std::vector<int> rows;
        Model().SelectedRows(rows);
        return rows;
    }

    ListWindow& list_;
};

}  // namespace

AccessibleControl* NewListAccessible(ListWindow& list) { return new (std::nothrow) ListAccessible(list); }

}  // namespace tw
