// A list model as the tab fills see it.
#pragma once

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

}  // namespace tw
