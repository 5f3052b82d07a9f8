#include "ui/list_model_rows.h"

namespace tw {

void ListModelRows::RemoveAll() {
    model_.RemoveAllRows();
    model_.RemoveAllColumns();
}

void ListModelRows::AddColumn(const Column& column) {
    model_.InsertColumn(column.title, column.width, -1, column.align);
}

bool ListModelRows::AddRow(const Row& row) {
    const int r = model_.AddRow(row.cells.empty() ? std::string() : row.cells[0].text, -1);
    if (r < 0)
        return false;
    for (std::size_t c = 0; c < row.cells.size(); ++c) {
        const Cell& cell = row.cells[c];
        if (c > 0)
            model_.SetCellText(r, int(c), cell.text);
        if (cell.format)
            model_.SetCellFormat(r, int(c), cell.format, 0);
        if (cell.hasDate)
            model_.SetCellDate(r, int(c), cell.date);
    }
    if (row.image >= 0)
        model_.SetCellImage(r, 0, row.image);
    return true;
}

}  // namespace tw
