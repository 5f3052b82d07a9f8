// A list window as the fills and the search see it.
#pragma once

#include <exdisp.h>

#include "clean/find.h"
#include "core/tab_fill.h"
#include "ui/list_model_rows.h"
#include "ui/win32/controls/list_window.h"

namespace tw {

// Rows are added to the model without repainting each one; the caller's
// Changed() (or the band's redraw) shows them at the end.
class ListWindowRows : public ListModelRows {
public:
    explicit ListWindowRows(ListWindow& list) : ListModelRows(list.Model(), list.Dpi()), list_(list) {}
    ~ListWindowRows() override { list_.Changed(); }
    // The window keeps its scroll state and tip in step with its model.
    void RemoveAll() override {
        list_.RemoveAllRows();
        list_.RemoveAllColumns();
    }

private:
    ListWindow& list_;
};

class ListWindowSearch : public FindTarget {
public:
    explicit ListWindowSearch(ListWindow& list) : list_(list) {}
    ~ListWindowSearch() override { list_.Changed(); }
    int ColumnCount() const override { return list_.Model().ColumnCount(); }
    std::string HeaderText(int column) const override;
    int RowCount() const override { return list_.Model().RowCount(); }
    std::string CellText(int row, int column) const override { return list_.Model().CellText(row, column); }
    std::uint32_t CellBackground(int row, int column) const override;
    void SetCellBackground(int row, int column, std::uint32_t colour) override;
    bool IsSelected(int row) const override { return list_.Model().IsSelected(row); }
    // Through the window, which scrolls the row into view.
    void SelectOnly(int row) override { list_.Select(row, 0, 0); }
    void AddToSelection(int row) override { list_.Select(row, 0, kKeyControl); }

private:
    ListWindow& list_;
};

// The browser's status bar, when there is a browser.
class BrowserStatusLine : public StatusLine {
public:
    explicit BrowserStatusLine(IWebBrowser2* browser) : browser_(browser) {}
    void Show(const std::string& text) override;

private:
    IWebBrowser2* browser_;
};

// ANSI text as a BSTR, released by the caller.
BSTR AnsiToBstr(const std::string& text);

}  // namespace tw
