// What a screen reader is told of the painted controls, apart from the
// platform's objects: the children of a list, a tab strip and a menu bar
// with their names and states, the choices of accSelect, and the events
// that a change of a list's rows or selection raises.
#pragma once

#include <string>
#include <vector>

#include "ui/list_model.h"
#include "ui/tab_strip_model.h"

namespace tw {

// State bits, with the platform's values.
enum AccessibleState : unsigned {
    kStateSelected = 0x2,
    kStateFocused = 0x4,
    kStatePressed = 0x8,
    kStateHotTracked = 0x80,
    kStateOffscreen = 0x10000,
    kStateFocusable = 0x100000,
    kStateSelectable = 0x200000,
    kStateMultiSelectable = 0x1000000,
    kStateHasPopup = 0x40000000,
};

// accSelect's flags, with the platform's values.
enum AccessibleSelect : long {
    kSelectTakeFocus = 0x1,
    kSelectTakeSelection = 0x2,
    kSelectExtend = 0x4,
    kSelectAdd = 0x8,
    kSelectRemove = 0x10,
};

// Children are numbered from 1; 0 is the object itself. A child id that
// names no child of `count` gives -1.
int IndexOfChild(long child, int count);
inline long ChildOfIndex(int index) { return long(index) + 1; }

// A row as it is read out: its cells in column order, joined by ", ";
// empty cells are left out, so that no stray commas are read. What is
// shown only by an image or a colour is said at the end: "kept" for a
// cookie of a site whose cookies are kept, "found" for a row with a cell
// that Find marked.
std::string RowName(const ListModel& model, int row);
// A row's description, as the platform's list view gives its rows: each
// cell that has a text as "Column: value" (a column without a title gives
// the value alone), " (found)" after a cell that Find marked, and "kept"
// last for a kept cookie; joined by ", ". (Wine's oleacc has no proxy for
// the platform's list view to compare with: the form is Windows'.)
std::string RowDescription(const ListModel& model, int row);
unsigned RowState(const ListModel& model, int row, bool listFocused, bool inView);
// accSelect on a row, as the platform documents its flags: only
// kSelectTakeFocus moves the focus and the anchor (to the row, after the
// selection changed); kSelectTakeSelection makes the row the only selected
// one; kSelectExtend gives the rows from the anchor to this one the
// anchor's state, or with kSelectAdd or kSelectRemove adds or removes
// them; kSelectAdd and kSelectRemove alone add or remove the row. False
// (and nothing changed) for a row outside the list, a combination the
// platform calls invalid, or anything but a click's flags in a list of one
// selected row; `added` tells whether a row joined the selection.
bool SelectByFlags(ListModel& model, int row, long flags, bool* added);

// The names of the objects themselves: the windows have no text.
constexpr const char* kMenuBarName = "Menu bar";
constexpr const char* kTabStripName = "Tabs";

// A tab's text without the blanks around it.
std::string TabName(const TabStripModel& tabs, int tab);
unsigned TabState(const TabStripModel& tabs, int tab);

// A menu bar button: hot under the pointer or the keyboard, pressed while
// its popup is open, focused while the keyboard works the bar.
unsigned MenuButtonState(int button, int hot, int open, bool keyboardActive);
// A menu text as it is read: without its '&' marker ("&&" reads as '&').
std::string MenuTextWithoutMarker(const std::string& text);
// "Alt+F" for a button whose access key is F; empty without one.
std::string MenuShortcut(const std::string& text);

// What a screen reader last heard of a list; rows and order change when
// rows come, go or are sorted.
struct ListSnapshot {
    int rows = 0;
    unsigned order = 0;
    int focus = -1;
    std::vector<int> selected;  // ascending
};

enum class ListEventKind { Reorder, Selection, SelectionAdd, SelectionRemove, SelectionWithin, Focus };

struct ListEvent {
    ListEventKind kind;
    int row;  // -1: the list itself
    bool operator==(const ListEvent& o) const { return kind == o.kind && row == o.row; }
};

// More changed rows than this are told as one change within the list.
constexpr int kSelectionEventsAtMost = 16;

ListSnapshot SnapshotOf(const ListModel& model, unsigned order);
// The events that tell a screen reader how `after` differs from `before`:
// new or reordered rows as one reorder, then the selection's changes, then
// the focus row, which is told only while the list has the keyboard focus.
// `asOne`: one command (Select All, Find All) made the change, and any
// change of the selection is told as one change within the list.
std::vector<ListEvent> ListEventsBetween(const ListSnapshot& before, const ListSnapshot& after, bool listFocused,
                                         bool asOne = false);

// What a screen reader has heard of one list: each call answers the events
// that tell the changes since the one before.
class ListAnnouncer {
public:
    std::vector<ListEvent> Next(const ListModel& model, unsigned order, bool listFocused, bool asOne = false);

private:
    ListSnapshot told_;
};

}  // namespace tw
