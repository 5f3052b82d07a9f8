#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "clean/find.h"
#include "platform/win32/win32_clock.h"
#include "tests/ui/win32/accessible_client.h"
#include "tests/ui/win32/harness.h"
#include "ui/win32/controls/list_adapters.h"
#include "ui/win32/controls/list_window.h"

namespace tw {
namespace {

using namespace testing;

// A message sent to the list: lParam is x and the middle of row (-1 the
// header, -100 y = x); two are made up, a left click (down and up) and a key
// pressed with Ctrl held, and WM_NULL forgets the notifications so far.
struct Input {
    UINT message;
    WPARAM wParam;
    int x;
    int row;
};
constexpr UINT kClick = WM_APP, kCtrlKey = WM_APP + 1;

Input Click(int x, int row, WPARAM keys = 0) { return {kClick, keys, x, row}; }
Input Key(WPARAM key) { return {WM_KEYDOWN, key, 0, 0}; }
const Input kForget = {WM_NULL, 0, 0, 0};

struct Gesture {
    const char* name;
    std::vector<Input> inputs;
    // The selected rows, the current row, the titles' first letters in row
    // order, the check cells, whether the list has the focus; the
    // notifications with their cells.
    std::string record;
};

// Titles delta alpha charlie bravo echo foxtrot, visited at 10 down to 5;
// columns from 0, 120 and 220 to 280; row 5's time is a link.
// clang-format off
const Gesture kGestures[] = {
    {"ShiftClickExtends", {Click(10, 1), Click(10, 3, MK_CONTROL), Click(10, 5, MK_SHIFT)},
     "selected 3 4 5, current 5, order dacbef, checks 000000, focused: sel up 1,0 sel up 3,0 sel up 5,0; heard F0 S2 F2 "
     "+4 F4 -2 +5 +6 F6"},
    // A plain click inside a multi-selection keeps it until the button is up.
    {"ReleaseInsideASelection", {Click(10, 3), Click(10, 5, MK_SHIFT), Click(10, 4)},
     "selected 4, current 4, order dacbef, checks 000000, focused: sel up 3,0 sel up 5,0 up 4,0; heard F0 S4 F4 +5 +6 "
     "F6 -4 -6 F5"},
    {"DoubleClick", {kForget, {WM_LBUTTONDBLCLK, MK_LBUTTON, 10, 3}},
     "selected 3, current 3, order dacbef, checks 000000, focused: sel double 3,0; heard F0 S4 F4"},
    // The right button: on a selected row the selection stays; on another it
    // moves there, here right of the last column.
    {"RightOnTheSelection",
     {Click(10, 1), Click(10, 2, MK_CONTROL), kForget, {WM_RBUTTONDOWN, MK_RBUTTON, 10, 2}, {WM_RBUTTONUP, 0, 10, 2}},
     "selected 1 2, current 2, order dacbef, checks 000000, focused: right 2,0; heard"},
    // Released on the header, as on no row: nothing stays selected.
    {"RightOnTheHeader", {Click(10, 1), kForget, {WM_RBUTTONDOWN, MK_RBUTTON, 10, -1}, {WM_RBUTTONUP, 0, 10, -1}},
     "selected, current -1, order dacbef, checks 000000, focused: right -1,0; heard -2"},
    {"RightPastTheColumns", {Click(10, 1), kForget, {WM_RBUTTONDOWN, MK_RBUTTON, 330, 4}, {WM_RBUTTONUP, 0, 330, 4}},
     "selected 4, current 4, order dacbef, checks 000000, focused: sel right 4,-1; heard S5 F5"},
    // A check cell toggles on a click; a link cell notifies.
    {"CheckCell", {Click(245, 0)},
     "selected 0, current 0, order dacbef, checks 100000, focused: sel cell 0,2 up 0,2; heard F0 S1 F1"},
    {"LinkCell", {Click(150, 5)},
     "selected 5, current 5, order dacbef, checks 000000, focused: sel link 5,1@5 up 5,1; heard F0 S6 F6"},
    // The address opened is the pressed row's, though the selection waits.
    {"LinkInsideASelection", {{kCtrlKey, 'A', 0, 0}, kForget, Click(150, 5)},
     "selected 5, current 5, order dacbef, checks 000000, focused: link 5,1@5 up 5,1; heard F0 -1 -2 -3 -4 -5 F6"},
    {"HeaderSortsAndTypeAheadFinds", {Click(10, 0), Click(10, -1), Key('C')},
     "selected 2, current 2, order abcdef, checks 000000, focused: sel up 0,0 sel; heard F0 S1 F1 R0 S3 F3"},
    {"Keys", {Click(10, 3), Key(VK_END), Key(VK_HOME), Key(VK_UP), Key(VK_DOWN), Key(VK_DOWN)},
     "selected 2, current 2, order dacbef, checks 000000, focused: sel up 3,0 sel sel sel sel; heard F0 S4 F4 S6 F6 S1 "
     "F1 S2 F2 S3 F3"},
    {"CtrlA", {kForget, {kCtrlKey, 'A', 0, 0}},
     "selected 0 1 2 3 4 5, current 0, order dacbef, checks 000000: sel; heard W0"},
    {"Malformed",
     {{WM_LBUTTONDOWN, MK_LBUTTON, -5000, -100}, {WM_LBUTTONUP, 0, 0xFFFF, -100}, {WM_RBUTTONUP, 0, 30000, -100},
      {WM_VSCROLL, 0xFFFF, 0, 0}, {WM_KEYDOWN, 0xFFFF, 0, 0}},
     "selected, current -1, order dacbef, checks 000000, focused: right -1,-1; heard F0"},
};
// clang-format on

// The list with its six rows, as a screen reader may meet it.
class ListFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        parent.listRecords = true;
        parent.currentRow = [this] { return list.Model().CurrentRow(); };
        RECT rc{0, 0, 380, 200};
        ASSERT_NE(list.Create(parent.Hwnd(), WS_VISIBLE | WS_TABSTOP | WS_BORDER, WS_EX_CLIENTEDGE, rc, 5), nullptr);
        list.InsertColumn("Title", 120, -1, 0);
        list.InsertColumn("Last Visited", 100, -1, 0);
        list.InsertColumn("Check", 60, -1, 0);
        const char* titles[] = {"delta", "alpha", "charlie", "bravo", "echo", "foxtrot"};
        for (int i = 0; i < 6; ++i) {
            const int row = list.AddRow(titles[i], -1);
            list.Model().SetCellDate(row, 1, FileTime::FromValue(std::uint64_t(10 - i)));
            list.Model().SetCellText(row, 1, "date");
            list.Model().SetCellText(row, 2, "0");
            list.Model().SetCellFormat(row, 2, kCellCheck, 0);
        }
        list.Model().SetCellFormat(5, 1, kCellLink, 0);
        list.Changed();
        SetFocus(nullptr);
    }
    void TearDown() override { OleUninitialize(); }
    // Client y of the middle of a row.
    int RowY(int row) const { return list.HeaderHeight() + row * list.RowHeight() + list.RowHeight() / 2; }
    void Send(const Input& in) {
        const int y = in.row == -100 ? in.x : in.row == -1 ? list.HeaderHeight() / 2 : RowY(in.row);
        BYTE keys[256];
        GetKeyboardState(keys);
        switch (in.message) {
        case WM_NULL:
            parent.notifications.clear();
            break;
        case kClick:
            SendMessageA(list.Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON | in.wParam, MAKELPARAM(in.x, y));
            SendMessageA(list.Hwnd(), WM_LBUTTONUP, in.wParam, MAKELPARAM(in.x, y));
            break;
        case kCtrlKey:
            keys[VK_CONTROL] = 0x80;
            SetKeyboardState(keys);
            SendMessageA(list.Hwnd(), WM_KEYDOWN, in.wParam, 0);
            keys[VK_CONTROL] = 0;
            SetKeyboardState(keys);
            break;
        default:
            SendMessageA(list.Hwnd(), in.message, in.wParam, MAKELPARAM(in.x, y));
        }
    }
    std::vector<int> Selection() const {
        std::vector<int> rows;
        list.Model().SelectedRows(rows);
        return rows;
    }
    std::string Record() const {
        std::string r = "selected";
        for (int row : Selection())
            r += " " + std::to_string(row);
        r += ", current " + std::to_string(list.Model().CurrentRow()) + ", order ";
        for (int row = 0; row < 6; ++row)
            r += list.Model().CellText(row, 0).substr(0, 1);
        r += ", checks ";
        for (int row = 0; row < 6; ++row)
            r += list.Model().CellText(row, 2);
        r += GetFocus() == list.Hwnd() ? ", focused" : "";
        r += parent.notifications.empty() ? "" : ":";
        const char* const names[] = {"sel", "up", "right", "double", "?", "cell", "link"};
        for (const auto& n : parent.notifications) {
            const int name = kListSelChanged - n.code;
            r += std::string(" ") + (name >= 0 && name < 7 ? names[name] : "?");
            if (n.code != kListSelChanged)
                r += " " + std::to_string(n.row) + "," + std::to_string(n.column);
            if (n.code == kListLinkDown)
                r += "@" + std::to_string(n.current);
        }
        return r;
    }

    TestParent parent;
    Win32Clock clock;
    ListWindow list{clock};
};

class ListGestures : public ListFixture, public ::testing::WithParamInterface<Gesture> {};

void PrintTo(const Gesture& g, std::ostream* os) { *os << g.name; }

// A screen reader hears, after the notifications, each change as its
// event's letter (Reorder, Focus, Selection, + added, - removed, Within)
// with the child: the row + 1, or 0 for the list itself.
TEST_P(ListGestures, Run) {
    EXPECT_FALSE(GetWindowLongPtrA(list.Hwnd(), GWL_STYLE) & WS_BORDER) << "the client edge is the border";
    EventEar ear(EVENT_OBJECT_REORDER, EVENT_OBJECT_SELECTIONWITHIN);
    ASSERT_TRUE(ear.Hooked());
    const auto hear = [] { PumpUntil([] { return false; }, 30); };
    for (const Input& in : GetParam().inputs) {
        if (in.message == WM_NULL) {
            hear();
            ear.heard.clear();
        }
        Send(in);
    }
    hear();
    std::string heard = "; heard";
    for (const EventEar::Heard& h : ear.heard) {
        if (h.window == list.Hwnd() && h.object == OBJID_CLIENT)
            heard += std::string(" ") + "RFS+-W"[h.event - EVENT_OBJECT_REORDER] + std::to_string(h.child);
    }
    EXPECT_EQ(Record() + heard, GetParam().record);
}

// Find selects through the window: a match below the fold comes into view,
// for the next match as for all of them.
TEST_F(ListFixture, FoundRowsComeIntoView) {
    for (int i = 0; i < 40; ++i)
        list.AddRow(i == 24 || i == 37 ? "needle" : "hay", -1);
    for (const int all : {0, 1}) {
        FindRequest request;
        std::strcpy(request.text, "needle");
        request.searchNames = 1;
        request.findAll = all;
        {
            ListWindowSearch search(list, all != 0);
            ASSERT_TRUE(FindItems(search, request, ActiveCodePage()));
        }
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_POS | SIF_PAGE;
        GetScrollInfo(list.Hwnd(), SB_VERT, &si);
        const int found = list.Model().CurrentRow();
        EXPECT_EQ(found, all ? 43 : 30) << all;
        EXPECT_TRUE(si.nPos <= found && found < si.nPos + int(si.nPage)) << si.nPos << " " << si.nPage;
    }
}

// Select All and Find All change the selection once: the parent hears of
// one change, and a screen reader of one change within the list.
TEST_F(ListFixture, SelectAllAndFindAllAreToldOnce) {
    for (int i = 0; i < 40; ++i)
        list.AddRow(i % 2 ? "needle" : "hay", -1);
    EventEar ear(EVENT_OBJECT_REORDER, EVENT_OBJECT_SELECTIONWITHIN);
    ASSERT_TRUE(ear.Hooked());
    for (const bool selectAll : {true, false}) {
        list.Select(-1, 0, 0);
        PumpUntil([] { return false; }, 30);
        ear.heard.clear();
        parent.notifications.clear();
        {
            ListWindowSearch search(list, true);
            FindRequest request;
            std::strcpy(request.text, "needle");
            request.searchNames = request.findAll = 1;
            if (selectAll)
                SelectAllItems(search);
            else
                FindItems(search, request, ActiveCodePage());
        }
        PumpUntil([] { return false; }, 30);
        std::string heard;
        for (const EventEar::Heard& h : ear.heard)
            if (h.window == list.Hwnd() && h.object == OBJID_CLIENT)
                heard += std::string(" ") + "RFS+-W"[h.event - EVENT_OBJECT_REORDER] + std::to_string(h.child);
        EXPECT_EQ(heard, " W0") << selectAll;
        EXPECT_EQ(parent.notifications.size(), 1u) << selectAll;
        EXPECT_EQ(list.Model().SelectedCount(), selectAll ? list.Model().RowCount() : 1) << selectAll;
    }
}

// The tip of a cut cell goes when the list loses the capture, and when a
// message box or a menu opens over it; nothing else here would hide it.
TEST_F(ListFixture, TheTitleTipGivesWayToModalLoops) {
    list.Model().SetCellText(0, 0, std::string(60, 'w'));
    const auto shown = [] { return !VisibleOfClass(ListWindow::kTipClassName).empty(); };
    const auto hover = [&] {
        SendMessageA(list.Hwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(10, RowY(0)));
        // The pointer is not really there: the list is not told it left.
        TRACKMOUSEEVENT cancel{};
        cancel.cbSize = sizeof cancel;
        cancel.dwFlags = TME_CANCEL | TME_LEAVE;
        cancel.hwndTrack = list.Hwnd();
        TrackMouseEvent(&cancel);
        MSG left;
        PeekMessageA(&left, list.Hwnd(), WM_MOUSELEAVE, WM_MOUSELEAVE, PM_REMOVE);
        return shown();
    };
    const Step hidden = [&] { return !shown(); };
    ASSERT_TRUE(hover());
    SetCapture(list.Hwnd());
    SetCapture(parent.Hwnd());
    ReleaseCapture();
    EXPECT_FALSE(shown()) << "the capture went";
    ASSERT_TRUE(hover());
    EXPECT_TRUE(RunScripted([&] { MessageBoxA(parent.Hwnd(), "over the list", "test", MB_OK); },
                            {hidden, [] {
                                 const std::vector<HWND> boxes = VisibleOfClass("#32770");
                                 return !boxes.empty() && PostMessageA(boxes.front(), WM_COMMAND, IDOK, 0);
                             }}));
    ASSERT_TRUE(hover());
    const UniqueMenu menu(CreatePopupMenu());
    AppendMenuA(menu.Get(), MF_STRING, 1, "over the list");
    EXPECT_TRUE(RunScripted([&] { TrackPopupMenuEx(menu.Get(), TPM_RETURNCMD, 0, 0, parent.Hwnd(), nullptr); },
                            {hidden, [] { return EndMenu() != FALSE; }}));
}

INSTANTIATE_TEST_SUITE_P(List, ListGestures, ::testing::ValuesIn(kGestures),
                         [](const ::testing::TestParamInfo<Gesture>& info) { return info.param.name; });

// The rows as children named by their cells, with their states and
// places; selecting, following a link and hit testing through the object.
TEST_F(ListFixture, AScreenReaderReadsAndWorksTheRows) {
    const ComPtr<IAccessible> a = AccessibleOf(list.Hwnd());
    ASSERT_TRUE(a);
    EXPECT_EQ((std::vector<long>{RoleOf(a.Get(), CHILDID_SELF), RoleOf(a.Get(), 3), ChildCountOf(a.Get())}),
              (std::vector<long>{ROLE_SYSTEM_LIST, ROLE_SYSTEM_LISTITEM, 6}));
    EXPECT_EQ(NamesOf(a.Get(), 1, 2), "delta, date, 0 | alpha, date, 0");
    // The cells with their columns, as the platform's list view describes
    // its rows; what no row has is "not supported", as documented.
    BSTR text = nullptr;
    EXPECT_EQ(a->get_accDescription(Child(1), &text), S_OK);
    EXPECT_EQ(Narrowed(text), "Title: delta, Last Visited: date, Check: 0");
    for (const long child : {long(CHILDID_SELF), 1L}) {
        EXPECT_EQ((std::vector<HRESULT>{a->get_accValue(Child(child), &text), a->get_accHelp(Child(child), &text),
                                        a->get_accKeyboardShortcut(Child(child), &text)}),
                  (std::vector<HRESULT>(3, DISP_E_MEMBERNOTFOUND)))
            << child;
        EXPECT_EQ(text, nullptr);
    }
    EXPECT_EQ(a->get_accDescription(Child(CHILDID_SELF), &text), DISP_E_MEMBERNOTFOUND);
    // Only SELFLAG_TAKEFOCUS moves the keyboard focus.
    EXPECT_EQ(a->accSelect(SELFLAG_TAKESELECTION, Child(2)), S_OK);
    EXPECT_NE(GetFocus(), list.Hwnd());
    EXPECT_EQ(a->accSelect(SELFLAG_TAKEFOCUS, Child(2)), S_OK);
    EXPECT_EQ(GetFocus(), list.Hwnd());
    Send(Click(10, 2));
    const long row = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_MULTISELECTABLE | STATE_SYSTEM_FOCUSABLE;
    EXPECT_EQ((std::vector<long>{StateOf(a.Get(), 3), StateOf(a.Get(), 4)}),
              (std::vector<long>{row | STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED, row}));
    VARIANT focus, selection;
    EXPECT_EQ(a->get_accFocus(&focus), S_OK);
    EXPECT_EQ(a->accSelect(SELFLAG_ADDSELECTION, Child(5)), S_OK);
    EXPECT_EQ(a->get_accSelection(&selection), S_OK);
    VARIANT ids[3];
    ULONG fetched = 0;
    ASSERT_EQ(selection.vt, VT_UNKNOWN);
    ComPtr<IEnumVARIANT> selected;
    ASSERT_EQ(selection.punkVal->QueryInterface(IID_IEnumVARIANT, selected.ReceiveVoid()), S_OK);
    VariantClear(&selection);
    EXPECT_EQ(selected->Next(3, ids, &fetched), S_FALSE);
    EXPECT_EQ((std::vector<long>{focus.lVal, long(fetched), ids[0].lVal, ids[1].lVal}),
              (std::vector<long>{3, 2, 3, 5}));
    EXPECT_EQ(a->accSelect(SELFLAG_ADDSELECTION | SELFLAG_REMOVESELECTION, Child(5)), E_INVALIDARG);
    // The second row spans the columns, one row down from the header.
    LONG x = 0, y = 0, w = 0, h = 0;
    POINT origin{0, list.HeaderHeight() + list.RowHeight()};
    ClientToScreen(list.Hwnd(), &origin);
    EXPECT_EQ(a->accLocation(&x, &y, &w, &h, Child(2)), S_OK);
    EXPECT_EQ((std::vector<long>{x, y, w, h}), (std::vector<long>{origin.x, origin.y, 280, list.RowHeight()}));
    VARIANT hit, header, outside;
    EXPECT_EQ(a->accHitTest(origin.x + 5, origin.y + 2 * list.RowHeight() + 1, &hit), S_OK);
    EXPECT_EQ(a->accHitTest(origin.x + 5, origin.y - list.RowHeight() - 2, &header), S_OK);
    EXPECT_EQ(a->accHitTest(origin.x - 500, origin.y, &outside), S_FALSE);
    EXPECT_EQ((std::vector<long>{hit.lVal, header.lVal, outside.vt}), (std::vector<long>{4, CHILDID_SELF, VT_EMPTY}));
    // The link row does what a click on its link does, posted so that the
    // reader's call returns first; other rows have no action, and a row of
    // a list not shown does nothing.
    parent.notifications.clear();
    BSTR action = nullptr;
    EXPECT_EQ(a->get_accDefaultAction(Child(6), &action), S_OK);
    EXPECT_EQ(Narrowed(action), "Jump");
    ShowWindow(list.Hwnd(), SW_HIDE);
    EXPECT_EQ(a->accDoDefaultAction(Child(6)), E_FAIL);
    ShowWindow(list.Hwnd(), SW_SHOWNA);
    SetFocus(list.Hwnd());  // hiding it took the focus away
    EXPECT_EQ(a->accDoDefaultAction(Child(6)), S_OK);
    EXPECT_EQ(a->accDoDefaultAction(Child(1)), DISP_E_MEMBERNOTFOUND);
    EXPECT_TRUE(parent.notifications.empty()) << "nothing ran inside the reader's call";
    PumpUntil([&] { return !parent.notifications.empty(); }, 2000);
    EXPECT_EQ(Record(), "selected 5, current 5, order dacbef, checks 000000, focused: sel link 5,1@5");
    VARIANT next, bad = Child(1);
    bad.vt = VT_BSTR;
    EXPECT_EQ(a->accNavigate(NAVDIR_NEXT, Child(6), &next), S_FALSE);
    EXPECT_EQ(a->accNavigate(NAVDIR_LASTCHILD, Child(CHILDID_SELF), &next), S_OK);
    EXPECT_EQ(next.lVal, 6);
    BSTR name = nullptr;
    EXPECT_EQ(a->get_accName(Child(7), &name), E_INVALIDARG);
    EXPECT_EQ(a->get_accName(bad, &name), E_INVALIDARG);
    // Other objects of the window are the system's: the window leaves them to it.
    EXPECT_EQ(SendMessageA(list.Hwnd(), WM_GETOBJECT, 0, LPARAM(DWORD(OBJID_WINDOW))), 0);
}

}  // namespace
}  // namespace tw
