#include "ui/accessibility.h"

#include <algorithm>
#include <iterator>

#include "clean/find.h"
#include "core/classify.h"
#include "ui/menu_bar_model.h"

namespace tw {

int IndexOfChild(long child, int count) {
    return child >= 1 && child <= long(count) ? int(child - 1) : -1;
}

namespace {

bool Found(const ListCell& cell) { return cell.backColour == kNameMark || cell.backColour == kValueMark; }

bool KeptCookie(const ListModel& model, int row) {
    const ListCell* first = model.CellAt(row, 0);
    return first && first->image == kImageKeptCookie;
}

void Join(std::string& to, const std::string& part) {
    if (!to.empty())
        to += ", ";
    to += part;
}

}  // namespace

std::string RowName(const ListModel& model, int row) {
    std::string name;
    bool found = false;
    for (int c = 0; c < model.ColumnCount(); ++c) {
        const ListCell* cell = model.CellAt(row, c);
        if (!cell)
            continue;
        found = found || Found(*cell);
        if (!cell->text.empty())
            Join(name, cell->text);
    }
    if (KeptCookie(model, row))
        Join(name, "kept");
    if (found)
        Join(name, "found");
    return name;
}

std::string RowDescription(const ListModel& model, int row) {
    std::string description;
    for (int c = 0; c < model.ColumnCount(); ++c) {
        const ListCell* cell = model.CellAt(row, c);
        if (!cell || cell->text.empty())
            continue;
        std::string title;
        model.ColumnTitle(c, title);
        Join(description, (title.empty() ? std::string() : title + ": ") + cell->text + (Found(*cell) ? " (found)" : ""));
    }
    if (KeptCookie(model, row))
        Join(description, "kept");
    return description;
}

unsigned RowState(const ListModel& model, int row, bool listFocused, bool inView) {
    unsigned state = kStateSelectable | kStateFocusable;
    if (!model.SingleSelection())
        state |= kStateMultiSelectable;
    if (model.IsSelected(row))
        state |= kStateSelected;
    if (listFocused && row == model.FocusRow())
        state |= kStateFocused;
    if (!inView)
        state |= kStateOffscreen;
    return state;
}

bool SelectByFlags(ListModel& model, int row, long flags, bool* added) {
    if (added)
        *added = false;
    const long all = kSelectTakeFocus | kSelectTakeSelection | kSelectExtend | kSelectAdd | kSelectRemove;
    const bool take = (flags & kSelectTakeSelection) != 0, extend = (flags & kSelectExtend) != 0;
    const bool add = (flags & kSelectAdd) != 0, remove = (flags & kSelectRemove) != 0;
    if (row < 0 || row >= model.RowCount() || (flags & ~all) != 0 || (add && remove) ||
        (take && (extend || add || remove)) || (model.SingleSelection() && (extend || add || remove)))
        return false;
    if (take) {
        model.SelectRange(row, row, true, true, added);
    } else if (extend) {
        const int anchor = model.AnchorRow() >= 0 && model.AnchorRow() < model.RowCount() ? model.AnchorRow() : row;
        const bool on = add || (!remove && model.IsSelected(anchor));
        model.SelectRange(anchor, row, on, false, added);
    } else if (add || remove) {
        model.SelectRange(row, row, add, false, added);
    }
    if (flags & kSelectTakeFocus)
        model.SetFocusRow(row);
    return true;
}

std::string TabName(const TabStripModel& tabs, int tab) {
    const std::string& text = tabs.Text(tab);
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

unsigned TabState(const TabStripModel& tabs, int tab) {
    return kStateSelectable | (tab == tabs.GetCurSel() ? kStateSelected : 0u);
}

unsigned MenuButtonState(int button, int hot, int open, bool keyboardActive) {
    unsigned state = kStateFocusable | kStateHasPopup;
    if (button == hot || button == open)
        state |= kStateHotTracked;
    if (button == open)
        state |= kStatePressed;
    if (keyboardActive && button == hot)
        state |= kStateFocused;
    return state;
}

std::string MenuTextWithoutMarker(const std::string& text) {
    std::string shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size())
            ++i;  // the marker goes; of "&&" one '&' stays
        shown += text[i];
    }
    return shown;
}

std::string MenuShortcut(const std::string& text) {
    const char key = AccessKeyOf(text);
    if (key == 0)
        return std::string();
    return std::string("Alt+") + char(key >= 'a' && key <= 'z' ? key - 'a' + 'A' : key);
}

ListSnapshot SnapshotOf(const ListModel& model, unsigned order) {
    ListSnapshot s;
    s.rows = model.RowCount();
    s.order = order;
    s.focus = model.FocusRow();
    model.SelectedRows(s.selected);
    return s;
}

std::vector<ListEvent> ListEventsBetween(const ListSnapshot& before, const ListSnapshot& after, bool listFocused,
                                         bool asOne) {
    std::vector<ListEvent> events;
    const bool reordered = before.rows != after.rows || before.order != after.order;
    if (reordered) {
        // Row numbers of before and after name different rows: what is
        // selected is read afresh with the rows.
        events.push_back({ListEventKind::Reorder, -1});
    } else {
        std::vector<int> added, removed;
        std::set_difference(after.selected.begin(), after.selected.end(), before.selected.begin(),
                            before.selected.end(), std::back_inserter(added));
        std::set_difference(before.selected.begin(), before.selected.end(), after.selected.begin(),
                            after.selected.end(), std::back_inserter(removed));
        const std::size_t changed = added.size() + removed.size();
        if (asOne && changed > 0) {
            events.push_back({ListEventKind::SelectionWithin, -1});
        } else if (after.selected.size() == 1 && added.size() == 1) {
            events.push_back({ListEventKind::Selection, added.front()});
        } else if (changed > std::size_t(kSelectionEventsAtMost)) {
            events.push_back({ListEventKind::SelectionWithin, -1});
        } else {
            for (int row : removed)
                events.push_back({ListEventKind::SelectionRemove, row});
            for (int row : added)
                events.push_back({ListEventKind::SelectionAdd, row});
        }
    }
    if (listFocused && after.focus >= 0 && (reordered || after.focus != before.focus))
        events.push_back({ListEventKind::Focus, after.focus});
    return events;
}

std::vector<ListEvent> ListAnnouncer::Next(const ListModel& model, unsigned order, bool listFocused, bool asOne) {
    ListSnapshot now = SnapshotOf(model, order);
    std::vector<ListEvent> events = ListEventsBetween(told_, now, listFocused, asOne);
    told_ = std::move(now);
    return events;
}

}  // namespace tw
