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
    unsigned StateOf(int row) const override {
        return row < 0 ? 0u : RowState(Model(), row, GetFocus() == Window(), list_.RowInView(row));
    }
    RECT RectOf(int row) const override { return list_.RowRect(row); }
    int ElementAt(POINT client) const override { return list_.RowAt(client); }
    const wchar_t* DefaultActionOf(int row) const override { return list_.LinkColumn(row) >= 0 ? L"Jump" : nullptr; }
    HRESULT DoDefaultActionOf(int row) override { return list_.FollowLink(row) ? S_OK : DISP_E_MEMBERNOTFOUND; }
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
