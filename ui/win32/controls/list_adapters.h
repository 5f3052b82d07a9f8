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

// Through the window, which scrolls the row found into view; a screen
// reader hears of the search once it is done, of Find All and Select All
// as one change within the list.
class ListWindowSearch : public ListModelSearch {
public:
    ListWindowSearch(ListWindow& list, bool asOne)
        : ListModelSearch(list.Model()), list_(list), quiet_(list, asOne) {}
    ~ListWindowSearch() override { list_.Changed(); }
    void SelectOnly(int row) override { list_.Select(row, 0, 0); }
    void AddUnselectedRows() override { list_.AddUnselectedRows(); }

private:
    ListWindow& list_;
    ListWindow::QuietScope quiet_;
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
