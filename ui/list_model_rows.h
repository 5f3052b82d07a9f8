// A list model as the tab fills see it.
#pragma once

#include "core/tab_fill.h"
#include "ui/list_model.h"

namespace tw {

class ListModelRows : public TabList {
public:
    explicit ListModelRows(ListModel& model) : model_(model) {}
    void RemoveAll() override;
    void AddColumn(const Column& column) override;
    bool AddRow(const Row& row) override;
    int RowCount() const override { return model_.RowCount(); }
    void SortByColumn(int column) override { model_.SortByColumn(column); }

private:
    ListModel& model_;
};

}  // namespace tw
