#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "clean/find.h"
#include "platform/win32/win32_clock.h"
#include "tests/ui/win32/harness.h"
#include "ui/win32/list_adapters.h"
#include "ui/win32/list_window.h"

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
     "selected 3 4 5, current 5, order dacbef, checks 000000, focused: sel up 1,0 sel up 3,0 sel up 5,0"},
    // A plain click inside a multi-selection keeps it until the button is up.
    {"ReleaseInsideASelection", {Click(10, 3), Click(10, 5, MK_SHIFT), Click(10, 4)},
     "selected 4, current 4, order dacbef, checks 000000, focused: sel up 3,0 sel up 5,0 up 4,0"},
    {"DoubleClick", {kForget, {WM_LBUTTONDBLCLK, MK_LBUTTON, 10, 3}},
     "selected 3, current 3, order dacbef, checks 000000, focused: sel double 3,0"},
    // The right button: on a selected row the selection stays; on another it
    // moves there, here right of the last column.
    {"RightOnTheSelection",
     {Click(10, 1), Click(10, 2, MK_CONTROL), kForget, {WM_RBUTTONDOWN, MK_RBUTTON, 10, 2}, {WM_RBUTTONUP, 0, 10, 2}},
     "selected 1 2, current 2, order dacbef, checks 000000, focused: right 2,0"},
    // Released on the header, as on no row: nothing stays selected.
    {"RightOnTheHeader", {Click(10, 1), kForget, {WM_RBUTTONDOWN, MK_RBUTTON, 10, -1}, {WM_RBUTTONUP, 0, 10, -1}},
     "selected, current -1, order dacbef, checks 000000, focused: right -1,0"},
    {"RightPastTheColumns", {Click(10, 1), kForget, {WM_RBUTTONDOWN, MK_RBUTTON, 330, 4}, {WM_RBUTTONUP, 0, 330, 4}},
     "selected 4, current 4, order dacbef, checks 000000, focused: sel right 4,-1"},
    // A check cell toggles on a click; a link cell notifies.
    {"CheckCell", {Click(245, 0)}, "selected 0, current 0, order dacbef, checks 100000, focused: sel cell 0,2 up 0,2"},
    {"LinkCell", {Click(150, 5)}, "selected 5, current 5, order dacbef, checks 000000, focused: sel link 5,1@5 up 5,1"},
    // The address opened is the pressed row's, though the selection waits.
    {"LinkInsideASelection", {{kCtrlKey, 'A', 0, 0}, kForget, Click(150, 5)},
     "selected 5, current 5, order dacbef, checks 000000, focused: link 5,1@5 up 5,1"},
    {"HeaderSortsAndTypeAheadFinds", {Click(10, 0), Click(10, -1), Key('C')},
     "selected 2, current 2, order abcdef, checks 000000, focused: sel up 0,0 sel"},
    {"Keys", {Click(10, 3), Key(VK_END), Key(VK_HOME), Key(VK_UP), Key(VK_DOWN), Key(VK_DOWN)},
     "selected 2, current 2, order dacbef, checks 000000, focused: sel up 3,0 sel sel sel sel"},
    {"CtrlA", {kForget, {kCtrlKey, 'A', 0, 0}}, "selected 0 1 2 3 4 5, current 0, order dacbef, checks 000000: sel"},
    {"Malformed",
     {{WM_LBUTTONDOWN, MK_LBUTTON, -5000, -100}, {WM_LBUTTONUP, 0, 0xFFFF, -100}, {WM_RBUTTONUP, 0, 30000, -100},
      {WM_VSCROLL, 0xFFFF, 0, 0}, {WM_KEYDOWN, 0xFFFF, 0, 0}},
     "selected, current -1, order dacbef, checks 000000, focused: right -1,-1"},
};
// clang-format on

class ListTest : public ::testing::Test {
protected:
    void SetUp() override {
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

class ListGestures : public ListTest, public ::testing::WithParamInterface<Gesture> {};

void PrintTo(const Gesture& g, std::ostream* os) { *os << g.name; }

TEST_P(ListGestures, Run) {
    EXPECT_FALSE(GetWindowLongPtrA(list.Hwnd(), GWL_STYLE) & WS_BORDER) << "the client edge is the border";
    for (const Input& in : GetParam().inputs)
        Send(in);
    EXPECT_EQ(Record(), GetParam().record);
}

// Find selects through the window: a match below the fold comes into view,
// for the next match as for all of them.
TEST_F(ListTest, FoundRowsComeIntoView) {
    for (int i = 0; i < 40; ++i)
        list.AddRow(i == 24 || i == 37 ? "needle" : "hay", -1);
    for (const int all : {0, 1}) {
        FindRequest request;
        std::strcpy(request.text, "needle");
        request.searchNames = 1;
        request.findAll = all;
        {
            ListWindowSearch search(list);
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

// The tip of a cut cell goes when the list loses the capture, and when a
// message box or a menu opens over it; nothing else here would hide it.
TEST_F(ListTest, TheTitleTipGivesWayToModalLoops) {
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

}  // namespace
}  // namespace tw
