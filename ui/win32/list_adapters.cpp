#include "ui/win32/list_adapters.h"

#include <oleauto.h>

namespace tw {

void ListWindowRows::RemoveAll() {
    list_.RemoveAllRows();
    list_.RemoveAllColumns();
}

void ListWindowRows::AddColumn(const Column& column) {
    list_.Model().InsertColumn(column.title, column.width, -1, column.align);
}

bool ListWindowRows::AddRow(const Row& row) {
    ListModel& model = list_.Model();
    const int r = model.AddRow(row.cells.empty() ? std::string() : row.cells[0].text, -1);
    if (r < 0)
        return false;
    for (std::size_t c = 0; c < row.cells.size(); ++c) {
        const Cell& cell = row.cells[c];
        if (c > 0)
            model.SetCellText(r, int(c), cell.text);
        if (cell.format)
            model.SetCellFormat(r, int(c), cell.format, 0);
        if (cell.hasDate)
            model.SetCellDate(r, int(c), cell.date);
    }
    if (row.image >= 0)
        model.SetCellImage(r, 0, row.image);
    return true;
}

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
