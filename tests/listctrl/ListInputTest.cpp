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

TEST_F(ListInputTest, DoubleClickReportsInOrder)
{
    Mouse(WM_LBUTTONDOWN, 20, 120);
    Mouse(WM_LBUTTONUP, 20, 120);
    Mouse(WM_LBUTTONDBLCLK, 20, 120);
    Mouse(WM_LBUTTONUP, 20, 120);
    EXPECT_EQ(Received(), (std::vector<Notification>{Note(LN_SELCHANGED, 3), Note(NM_CLICK, 3), Note(NM_DBLCLK, 3),
                              Note(NM_CLICK, 3)}));
    ExpectSelected(3);
}

void SendButton(DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

TEST_F(ListInputTest, RealDoubleClickArrivesAsDoubleClick)
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
    EXPECT_EQ(Received(), (std::vector<Notification>{Note(LN_SELCHANGED, 3), Note(NM_CLICK, 3), Note(NM_DBLCLK, 3),
                              Note(NM_CLICK, 3)}));
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
    EXPECT_EQ(GetFocus(), list.Handle());
    Mouse(WM_RBUTTONUP, 20, 70);
    Mouse(WM_RBUTTONDOWN, 20, 70);  // the same row: no change to report
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
    EXPECT_EQ(Received(), (std::vector<Notification>{Note(LN_SELCHANGED, 1), Note(LN_SELCHANGED, 2),
                              Note(LN_SELCHANGED, 3), Note(LN_SELCHANGED, 2)}));

    for (int i = 0; i < kRows; ++i) {
        Key(VK_DOWN);
    }
    ExpectSelected(kRows);
    EXPECT_EQ(Received().size(), static_cast<size_t>(kRows - 2));
    EXPECT_EQ(Row(kRows)->Rect().bottom, kHeight);

    // Keys that move nothing still report nothing.
    Key(VK_LEFT);
    Key(VK_HOME);
    SendMessageW(list.Handle(), WM_CHAR, L'a', 0);
    ExpectSelected(kRows);
    EXPECT_EQ(Received(), std::vector<Notification>{});
}

TEST_F(ListInputTest, DownSkipsHiddenRowsAndStartsAtTheFirstVisible)
{
    Row(1)->SetVisible(false, false);
    Row(2)->SetVisible(false, false);
    Row(4)->SetVisible(false, false);
    list.Relayout();
    Key(VK_DOWN);
    ExpectSelected(3);
    Key(VK_DOWN);
    ExpectSelected(5);
    Key(VK_UP);
    ExpectSelected(3);
    Key(VK_UP);  // nothing visible above
    ExpectSelected(3);
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

TEST_F(ListInputTest, PageDownWalksToTheLastRow)
{
    Key(VK_NEXT);  // probe at 0 + 200: the fifth row
    ExpectSelected(5);
    EXPECT_EQ(VerticalPosition(list), 50);
    Key(VK_NEXT);  // probe at 150 + 200, the ninth row
    ExpectSelected(9);
    EXPECT_EQ(VerticalPosition(list), 250);
    Key(VK_NEXT);  // probe below the last row: the last visible one
    ExpectSelected(10);
    EXPECT_EQ(VerticalPosition(list), 300);
    Key(VK_NEXT);
    ExpectSelected(10);
    EXPECT_EQ(Received(), (std::vector<Notification>{Note(LN_SELCHANGED, 5), Note(LN_SELCHANGED, 9),
                              Note(LN_SELCHANGED, 10)}));
}

TEST_F(ListInputTest, PageUpWalksToTheFirstRow)
{
    for (int i = 0; i < kRows; ++i) {
        Key(VK_DOWN);
    }
    Received();
    ASSERT_EQ(VerticalPosition(list), 300);
    Key(VK_PRIOR);  // probe at 150 − 200: the sixth row
    ExpectSelected(6);
    EXPECT_EQ(VerticalPosition(list), 250);
    Key(VK_PRIOR);  // probe at 0 − 200: the second row
    ExpectSelected(2);
    EXPECT_EQ(VerticalPosition(list), 50);
    Key(VK_PRIOR);  // probe above the first row: the first visible one
    ExpectSelected(1);
    EXPECT_EQ(VerticalPosition(list), 0);
    EXPECT_EQ(Received(), (std::vector<Notification>{Note(LN_SELCHANGED, 6), Note(LN_SELCHANGED, 2),
                              Note(LN_SELCHANGED, 1)}));
}

TEST_F(ListInputTest, PagingAnEmptyListSelectsNothing)
{
    list.DeleteAll();
    Key(VK_NEXT);
    Key(VK_PRIOR);
    Key(VK_DOWN);
    EXPECT_EQ(list.SelectedRow(), nullptr);
    EXPECT_EQ(Received(), std::vector<Notification>{});
}

TEST_F(ListInputTest, TypingBringsTheSelectionIntoView)
{
    Key(VK_DOWN);
    SendMessageW(list.Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
    ASSERT_EQ(Row(1)->Rect().top, -200);
    SendMessageW(list.Handle(), WM_CHAR, L'x', 0);
    ExpectSelected(1);
    EXPECT_EQ(Row(1)->Rect().top, 0);
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

    list.DeleteAll();  // nothing selected: nothing to report
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
    EXPECT_EQ(list.HotRow(), Row(2));
    EXPECT_TRUE(Row(2)->Hot());
    moveTo(20, 120);
    EXPECT_EQ(list.HotRow(), Row(3));
    EXPECT_FALSE(Row(2)->Hot());
    EXPECT_TRUE(Row(3)->Hot());

    SendMessageW(list.Handle(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(list.HotRow(), nullptr);
    EXPECT_FALSE(Row(3)->Hot());

    // A move whose point belongs to another window ends hovering too.
    moveTo(20, 120);
    ASSERT_EQ(list.HotRow(), Row(3));
    Mouse(WM_MOUSEMOVE, -5, 120);
    EXPECT_EQ(list.HotRow(), nullptr);
    EXPECT_FALSE(Row(3)->Hot());
    EXPECT_EQ(Received(), std::vector<Notification>{});
}

TEST_F(ListInputTest, LeavingTheWindowClearsTheHotRow)
{
    POINT screen = {20, 70};
    ClientToScreen(list.Handle(), &screen);
    SetCursorPos(screen.x, screen.y);
    Mouse(WM_MOUSEMOVE, 20, 70);
    ASSERT_EQ(list.HotRow(), Row(2));

    // The leave request made on the first move reports the pointer going.
    SetCursorPos(screen.x, screen.y + 400);
    for (int wait = 0; wait < 50 && list.HotRow(); ++wait) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        Pump();
    }
    EXPECT_EQ(list.HotRow(), nullptr);
    EXPECT_FALSE(Row(2)->Hot());
}

} // namespace
