#include "listctrl/ListControl.h"
#include "tests/listctrl/ListTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int kWidth = 300;
constexpr int kHeight = 200;
constexpr int kRowHeight = 50;
constexpr int kRows = 10;

class ListInputTest : public ::testing::Test {
protected:
    void SetUp() override { Build(kHeight); }

    void Build(int height)
    {
        ASSERT_TRUE(CreateList(list, parent, kWidth, height));
        rows = AddRows(list, kRows, kRowHeight);
    }

    LRESULT Mouse(UINT message, int x, int y)
    {
        return SendMessageW(list.Handle(), message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, PointParam(x, y));
    }

    void Key(WPARAM key) { SendMessageW(list.Handle(), WM_KEYDOWN, key, 0); }

    ListRow* Row(int key) const { return rows[key - 1]; }
    Notification Note(UINT code, int key) const { return Expected(list, code, key); }
    // Takes what the parent received so far.
    std::vector<Notification> Received() { return std::exchange(parent.notifications, {}); }

    void ExpectSelected(int key)
    {
        ASSERT_NE(list.SelectedRow(), nullptr);
        EXPECT_EQ(list.SelectedRow()->Key(), key);
        for (const ListRow* row : rows) {
            EXPECT_EQ(row->Selected(), row->Key() == key) << "row " << row->Key();
        }
    }

    ListControl list;
    TestParent parent;
    std::vector<ListRow*> rows;
};

TEST_F(ListInputTest, ClickSelectsOnPressAndReportsTheClickOnRelease)
{
    EXPECT_EQ(Mouse(WM_LBUTTONDOWN, 20, 60), 1);
    ExpectSelected(2);
    EXPECT_EQ(GetFocus(), list.Handle());
    EXPECT_EQ(Received(), (std::vector<Notification>{Note(LN_SELCHANGED, 2)}));

    EXPECT_EQ(Mouse(WM_LBUTTONUP, 20, 60), 0);
    EXPECT_EQ(Received(), (std::vector<Notification>{Note(NM_CLICK, 2)}));

    Mouse(WM_LBUTTONDOWN, 20, 160);
    ExpectSelected(4);
    EXPECT_EQ(Received(), (std::vector<Notification>{Note(LN_SELCHANGED, 4)}));
}

TEST_F(ListInputTest, ClickingTheSelectedRowAgainOnlyBringsItIntoView)
{
    Mouse(WM_LBUTTONDOWN, 20, 180);
    ExpectSelected(4);
    Received();
    SendMessageW(list.Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
    SendMessageW(list.Handle(), WM_VSCROLL, SB_LINEUP, 0);
    ASSERT_EQ(Row(4)->Rect().top, -40);

    Mouse(WM_LBUTTONDOWN, 20, 5);
    ExpectSelected(4);
    EXPECT_EQ(Received(), std::vector<Notification>{});
    EXPECT_EQ(Row(4)->Rect().top, 0);
    EXPECT_EQ(VerticalPosition(list), 150);
}

void SendButton(DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

TEST_F(ListInputTest, DoubleClickReportsInOrder)
{
    POINT point = {30, 125};
    ClientToScreen(list.Handle(), &point);
    SetCursorPos(point.x, point.y);
    Pump();
    Received();
    SendButton(MOUSEEVENTF_LEFTDOWN);
    SendButton(MOUSEEVENTF_LEFTUP);
    SendButton(MOUSEEVENTF_LEFTDOWN);
    SendButton(MOUSEEVENTF_LEFTUP);
    Pump();
    EXPECT_EQ(Received(),
        (std::vector<Notification>{Note(LN_SELCHANGED, 3), Note(NM_CLICK, 3), Note(NM_DBLCLK, 3), Note(NM_CLICK, 3)}));
}

TEST_F(ListInputTest, ClickBelowTheLastRowReportsKeyZero)
{
    list.DeleteAll();
    rows = AddRows(list, 2, kRowHeight);
    Mouse(WM_LBUTTONDOWN, 20, 150);
    EXPECT_EQ(list.SelectedRow(), nullptr);
    EXPECT_EQ(Received(), std::vector<Notification>{});
    Mouse(WM_LBUTTONUP, 20, 150);
    Mouse(WM_LBUTTONDBLCLK, 20, 150);
    EXPECT_EQ(Received(), (std::vector<Notification>{Note(NM_CLICK, 0), Note(NM_DBLCLK, 0)}));
}

TEST_F(ListInputTest, RightClickSelectsAndReportsOnRelease)
{
    EXPECT_EQ(Mouse(WM_RBUTTONDOWN, 20, 70), 0);
    ExpectSelected(2);
    Mouse(WM_RBUTTONUP, 20, 70);
    Mouse(WM_RBUTTONDOWN, 20, 70); // the same row: no change to report
    Mouse(WM_RBUTTONUP, 20, 70);
    EXPECT_EQ(Received(), (std::vector<Notification>{Note(LN_SELCHANGED, 2), Note(NM_RCLICK, 2), Note(NM_RCLICK, 2)}));
    list.DeleteAll();
    Received();
    Mouse(WM_RBUTTONDOWN, 20, 70);
    Mouse(WM_RBUTTONUP, 20, 70);
    EXPECT_EQ(Received(), (std::vector<Notification>{Note(NM_RCLICK, 0)}));
}

TEST_F(ListInputTest, UpAndDownStopAtTheEnds)
{
    Key(VK_UP);
    EXPECT_EQ(list.SelectedRow(), nullptr);
    EXPECT_EQ(Received(), std::vector<Notification>{});

    Key(VK_DOWN);
    ExpectSelected(1);
    Key(VK_UP);
    ExpectSelected(1);
    Key(VK_DOWN);
    Key(VK_DOWN);
    ExpectSelected(3);
    Key(VK_UP);
    ExpectSelected(2);
    EXPECT_EQ(Received(),
        (std::vector<Notification>{Note(LN_SELCHANGED, 1), Note(LN_SELCHANGED, 2), Note(LN_SELCHANGED, 3),
            Note(LN_SELCHANGED, 2)}));

    for (int i = 0; i < kRows; ++i) {
        Key(VK_DOWN);
    }
    ExpectSelected(kRows);
    EXPECT_EQ(Received().size(), static_cast<size_t>(kRows - 2));
    EXPECT_EQ(Row(kRows)->Rect().bottom, kHeight);
}

TEST_F(ListInputTest, DownOntoAPartlyHiddenRowScrollsByTheHiddenPart)
{
    list.DeleteAll();
    SetWindowPos(list.Handle(), nullptr, 0, 0, kWidth + 2, 222, SWP_NOMOVE | SWP_NOZORDER);
    ASSERT_EQ(list.ClientHeight(), 220);
    rows = AddRows(list, kRows, kRowHeight);
    Mouse(WM_LBUTTONDOWN, 20, 160);
    ExpectSelected(4);
    EXPECT_EQ(VerticalPosition(list), 0);

    Key(VK_DOWN);
    ExpectSelected(5);
    EXPECT_EQ(VerticalPosition(list), 30);
    EXPECT_EQ(Row(5)->Rect().bottom, 220);

    // Up onto a row cut at the top brings its top edge to the top.
    Key(VK_UP);
    Key(VK_UP);
    Key(VK_UP);
    Key(VK_UP);
    ExpectSelected(1);
    EXPECT_EQ(VerticalPosition(list), 0);
    EXPECT_EQ(Row(1)->Rect().top, 0);
}

TEST_F(ListInputTest, PageDownAndUpWalkToTheEnds)
{
    // Each step probes one page below or above the selection's top.
    const std::pair<WPARAM, std::pair<int, int>> steps[] = {{VK_NEXT, {5, 50}}, {VK_NEXT, {9, 250}},
        {VK_NEXT, {10, 300}}, {VK_NEXT, {10, 300}}, {VK_PRIOR, {6, 250}}, {VK_PRIOR, {2, 50}}, {VK_PRIOR, {1, 0}},
        {VK_PRIOR, {1, 0}}};
    for (const auto& [key, expected] : steps) {
        Key(key);
        ExpectSelected(expected.first);
        EXPECT_EQ(VerticalPosition(list), expected.second);
    }
    EXPECT_EQ(Received(),
        (std::vector<Notification>{Note(LN_SELCHANGED, 5), Note(LN_SELCHANGED, 9), Note(LN_SELCHANGED, 10),
            Note(LN_SELCHANGED, 6), Note(LN_SELCHANGED, 2), Note(LN_SELCHANGED, 1)}));
}

TEST_F(ListInputTest, DeleteAllClearsTheSelectionWithANotification)
{
    Mouse(WM_LBUTTONDOWN, 20, 60);
    SendMessageW(list.Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
    Received();
    list.DeleteAll();
    EXPECT_EQ(Received(), (std::vector<Notification>{Note(LN_SELCHANGED, 0)}));
    EXPECT_EQ(list.SelectedRow(), nullptr);
    EXPECT_EQ(list.Body()->RowCount(), 0);
    EXPECT_EQ(VerticalPosition(list), 0);
    EXPECT_EQ(list.Host().OriginY(), 0);

    list.DeleteAll(); // nothing selected: nothing to report
    Key(VK_NEXT);
    Key(VK_PRIOR);
    Key(VK_DOWN);
    EXPECT_EQ(list.SelectedRow(), nullptr);
    EXPECT_EQ(Received(), std::vector<Notification>{});
}

TEST_F(ListInputTest, TheParentMayEmptyTheListWhenTheSelectionChanges)
{
    parent.onNotify = [this](const ListNotify& notify) {
        if (notify.hdr.code == LN_SELCHANGED && notify.key != 0) {
            list.DeleteAll();
        }
    };
    Mouse(WM_LBUTTONDOWN, 20, 60);
    Mouse(WM_RBUTTONDOWN, 20, 60);
    EXPECT_EQ(list.SelectedRow(), nullptr);
    EXPECT_EQ(Received(), (std::vector<Notification>{Note(LN_SELCHANGED, 2), Note(LN_SELCHANGED, 0)}));
}

TEST_F(ListInputTest, HotRowFollowsThePointerAndIsClearedOnLeave)
{
    const auto moveTo = [this](int x, int y) {
        POINT screen = {x, y};
        ClientToScreen(list.Handle(), &screen);
        SetCursorPos(screen.x, screen.y);
        Mouse(WM_MOUSEMOVE, x, y);
    };
    moveTo(20, 70);
    EXPECT_TRUE(Row(2)->Hot());
    moveTo(20, 120);
    EXPECT_EQ(list.HotRow(), Row(3));
    EXPECT_FALSE(Row(2)->Hot());
    EXPECT_TRUE(Row(3)->Hot());

    // A move whose point belongs to another window ends hovering.
    Mouse(WM_MOUSEMOVE, -5, 120);
    EXPECT_EQ(list.HotRow(), nullptr);
    EXPECT_FALSE(Row(3)->Hot());

    // The leave request made on a move reports the pointer going.
    moveTo(20, 70);
    ASSERT_EQ(list.HotRow(), Row(2));
    POINT away = {20, 470};
    ClientToScreen(list.Handle(), &away);
    SetCursorPos(away.x, away.y);
    for (int wait = 0; wait < 50 && list.HotRow(); ++wait) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        Pump();
    }
    EXPECT_EQ(list.HotRow(), nullptr);
    EXPECT_FALSE(Row(2)->Hot());
    EXPECT_EQ(Received(), std::vector<Notification>{});
}

} // namespace
