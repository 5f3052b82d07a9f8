#include "ui/win32/controls/list_adapters.h"

#include <oleauto.h>

namespace tw {

std::string ListWindowSearch::HeaderText(int column) const {
    std::string title;
    list_.Model().ColumnTitle(column, title);
    return title;
}

std::uint32_t ListWindowSearch::CellBackground(int row, int column) const {
    const ListCell* cell = list_.Model().CellAt(row, column);
    return cell ? cell->backColour : kDefaultColour;
}

void ListWindowSearch::SetCellBackground(int row, int column, std::uint32_t colour) {
    const ListCell* cell = list_.Model().CellAt(row, column);
    list_.Model().SetCellColours(row, column, cell ? cell->textColour : kDefaultColour, colour);
}

BSTR AnsiToBstr(const std::string& text) {
    const int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), int(text.size()), nullptr, 0);
    BSTR out = SysAllocStringLen(nullptr, UINT(n));
    if (out && n > 0)
        MultiByteToWideChar(CP_ACP, 0, text.c_str(), int(text.size()), out, n);
    return out;
}

void BrowserStatusLine::Show(const std::string& text) {
    if (!browser_)
        return;
    BSTR wide = AnsiToBstr(text);
    if (wide) {
        browser_->put_StatusText(wide);
        SysFreeString(wide);
    }
}

}  // namespace tw
