#include "ui/list_model_rows.h"

#include <algorithm>

namespace tw {

void ListModelRows::RemoveAll() {
    model_.RemoveAllRows();
    model_.RemoveAllColumns();
}

void ListModelRows::AddColumn(const Column& column) {
    model_.InsertColumn(column.title, ScaleToDpi(column.width, dpi_), -1, column.align);
}

// The cells are made before the row joins the list, so that a row that
// runs out of memory leaves no half of itself behind.
bool ListModelRows::AddRow(const Row& row) {
    const std::size_t columns = std::size_t(model_.ColumnCount());
    if (columns == 0)
        return false;
    std::vector<ListCell> cells(columns);
    const std::size_t shown = std::min(row.cells.size(), columns);
    for (std::size_t c = 0; c != shown; ++c) {
        const Cell& cell = row.cells[c];
        cells[c].text = cell.text;
        cells[c].format = cell.format;
        if (cell.hasDate)
            cells[c].date = cell.date;
    }
    cells[0].image = row.image < 0 ? -1 : row.image;
    return model_.AddRow(std::move(cells)) >= 0;
}

std::string ListModelSearch::HeaderText(int column) const {
    std::string title;
    model_.ColumnTitle(column, title);
    return title;
}

std::uint32_t ListModelSearch::CellBackground(int row, int column) const {
    const ListCell* cell = model_.CellAt(row, column);
    return cell ? cell->backColour : kDefaultColour;
}

void ListModelSearch::SetCellBackground(int row, int column, std::uint32_t colour) {
    const ListCell* cell = model_.CellAt(row, column);
    model_.SetCellColours(row, column, cell ? cell->textColour : kDefaultColour, colour);
}

}  // namespace tw
