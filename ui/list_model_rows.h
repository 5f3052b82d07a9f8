// A list model as the tab fills and the search see it.
#pragma once

#include "clean/find.h"
#include "core/tab_fill.h"
#include "ui/dpi_scale.h"
#include "ui/list_model.h"

namespace tw {

class ListModelRows : public TabList {
public:
    // Column widths are pixels at 96 dpi, scaled to the list's DPI.
    explicit ListModelRows(ListModel& model, int dpi = kBaseDpi) : model_(model), dpi_(dpi) {}
    void RemoveAll() override;
    void AddColumn(const Column& column) override;
    bool AddRow(const Row& row) override;
    int RowCount() const override { return model_.RowCount(); }
    void SortByColumn(int column) override { model_.SortByColumn(column); }

private:
    ListModel& model_;
    int dpi_;
};

class ListModelSearch : public FindTarget {
public:
    explicit ListModelSearch(ListModel& model) : model_(model) {}
    int ColumnCount() const override { return model_.ColumnCount(); }
    std::string HeaderText(int column) const override;
    int RowCount() const override { return model_.RowCount(); }
    std::string CellText(int row, int column) const override { return model_.CellText(row, column); }
    std::uint32_t CellBackground(int row, int column) const override;
    void SetCellBackground(int row, int column, std::uint32_t colour) override;
    bool IsSelected(int row) const override { return model_.IsSelected(row); }
    void SelectOnly(int row) override { model_.Select(row, 0, 0); }
    void AddUnselectedRows() override { model_.AddUnselectedRows(0); }

protected:
    ListModel& Model() const { return model_; }

private:
    ListModel& model_;
};

}  // namespace tw
