#include "listctrl/ListBody.h"
#include "listctrl/ListControl.h"
#include "tests/listctrl/ListTestSupport.h"
#include "tests/support/Graveyard.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

constexpr int kWidth = 300;
constexpr int kHeight = 200;

class ListBodyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CreateList(list, parent, kWidth, kHeight));
        body = list.Body();
        ASSERT_NE(body, nullptr);
    }

    // Adds a row without laying the body out.
    ListRow* Add(int key, int height, bool visible = true)
    {
        auto row = std::make_unique<ListRow>(key);
        row->SetVisible(visible, false);
        ListRow* const added = row.get();
        body->AddRow(std::move(row), list.ClientWidth(), height);
        return added;
    }

    ListControl list;  // outlives its window, which goes with the parent
    TestParent parent;
    ListBody* body = nullptr;
};

std::vector<int> Tops(const std::vector<ListRow*>& rows)
{
    std::vector<int> tops;
    for (const ListRow* row : rows) {
        tops.push_back(row->Rect().top);
    }
    return tops;
}

TEST_F(ListBodyTest, EmptyBodyFindsNothing)
{
    body->LayoutRows(0, 0);
    EXPECT_EQ(body->ContentHeight(), 0);
    EXPECT_EQ(body->RowCount(), 0);
    EXPECT_EQ(body->VisibleRowCount(), 0);
    EXPECT_EQ(body->HitTestRow({10, 10}), nullptr);
    EXPECT_EQ(body->FirstVisible(), nullptr);
    EXPECT_EQ(body->LastVisible(), nullptr);
    EXPECT_EQ(body->NextVisible(nullptr), nullptr);
    EXPECT_EQ(body->PrevVisible(nullptr), nullptr);
    EXPECT_EQ(body->FindByKey(0), nullptr);
    EXPECT_EQ(list.FindByKey(0), nullptr);
}

TEST_F(ListBodyTest, RowsWaitAtTheTopUntilLaidOutAndHiddenRowsTakeNoSpace)
{
    EXPECT_EQ(body->AddRow(std::make_unique<ListRow>(1), kWidth, 30), 1);
    ListRow* const first = body->Rows().back();
    ListRow* const hidden = Add(2, 20, false);
    ListRow* const last = Add(3, 40);
    EXPECT_EQ(body->RowCount(), 3);
    EXPECT_EQ(Tops({first, hidden, last}), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(last->Rect().right - last->Rect().left, list.ClientWidth());

    body->LayoutRows(0, 0);
    EXPECT_EQ(Tops({first, hidden, last}), (std::vector<int>{0, 0, 30}));
    EXPECT_EQ(last->Rect().bottom, 70);
    EXPECT_EQ(body->ContentHeight(), 70);
    EXPECT_EQ(body->VisibleRowCount(), 2);

    // Scrolled by 25: the visible rows move up, the hidden one stays where it was.
    body->LayoutRows(0, 25);
    EXPECT_EQ(Tops({first, hidden, last}), (std::vector<int>{-25, 0, 5}));
    EXPECT_EQ(body->ContentHeight(), 70);

    // The display order is the order of adding, and the same as the children's.
    EXPECT_EQ(body->Rows(), (ListBody::RowList{first, hidden, last}));
    std::vector<ListRow*> children;
    for (const auto& child : body->Children()) {
        children.push_back(static_cast<ListRow*>(child.get()));
    }
    EXPECT_EQ(children, (std::vector<ListRow*>{first, hidden, last}));
}

TEST_F(ListBodyTest, HitTestTakesTopAndLeftEdgesAndLeavesBottomAndRightToOthers)
{
    ListRow* const one = Add(1, 50);
    ListRow* const two = Add(2, 50);
    ListRow* const three = Add(3, 50);
    body->LayoutRows(0, 0);
    const int right = list.ClientWidth();

    EXPECT_EQ(body->HitTestRow({0, 0}), one);
    EXPECT_EQ(body->HitTestRow({right - 1, 49}), one);
    EXPECT_EQ(body->HitTestRow({0, 50}), two);  // the bottom edge of one is two's
    EXPECT_EQ(body->HitTestRow({5, 149}), three);
    EXPECT_EQ(body->HitTestRow({5, 150}), nullptr);
    EXPECT_EQ(body->HitTestRow({right, 10}), nullptr);
    EXPECT_EQ(body->HitTestRow({-1, 10}), nullptr);
    EXPECT_EQ(body->HitTestRow({5, -1}), nullptr);
}

TEST_F(ListBodyTest, HiddenRowsAreNeverHit)
{
    // The hidden row keeps the place where it was added, under the first visible one.
    ListRow* const hidden = Add(1, 50, false);
    ListRow* const two = Add(2, 50);
    ListRow* const three = Add(3, 50);
    body->LayoutRows(0, 0);
    ASSERT_EQ(hidden->Rect().top, 0);

    EXPECT_EQ(body->HitTestRow({5, 5}), two);
    EXPECT_EQ(body->HitTestRow({5, 60}), three);
    EXPECT_EQ(body->HitTestRow({5, 100}), nullptr);
}

TEST_F(ListBodyTest, NavigationSkipsHiddenRows)
{
    ListRow* const one = Add(1, 50);
    ListRow* const two = Add(2, 50, false);
    ListRow* const three = Add(3, 50);
    ListRow* const four = Add(4, 50);
    ListRow* const five = Add(5, 50, false);
    const ListRow stranger(9);

    EXPECT_EQ(body->FirstVisible(), one);
    EXPECT_EQ(body->LastVisible(), four);
    EXPECT_EQ(body->VisibleRowCount(), 3);

    EXPECT_EQ(body->NextVisible(nullptr), one);
    EXPECT_EQ(body->NextVisible(&stranger), one);
    EXPECT_EQ(body->NextVisible(one), three);
    EXPECT_EQ(body->NextVisible(two), three);
    EXPECT_EQ(body->NextVisible(three), four);
    EXPECT_EQ(body->NextVisible(four), nullptr);
    EXPECT_EQ(body->NextVisible(five), nullptr);

    EXPECT_EQ(body->PrevVisible(nullptr), nullptr);
    EXPECT_EQ(body->PrevVisible(&stranger), nullptr);
    EXPECT_EQ(body->PrevVisible(one), one);  // up from the first row stays there
    EXPECT_EQ(body->PrevVisible(three), one);
    EXPECT_EQ(body->PrevVisible(four), three);
    EXPECT_EQ(body->PrevVisible(five), four);
}

TEST_F(ListBodyTest, NavigationWithTheFirstRowHidden)
{
    ListRow* const hidden = Add(1, 50, false);
    ListRow* const two = Add(2, 50);

    EXPECT_EQ(body->FirstVisible(), two);
    EXPECT_EQ(body->NextVisible(nullptr), two);
    EXPECT_EQ(body->PrevVisible(two), nullptr);
    EXPECT_EQ(body->PrevVisible(hidden), nullptr);

    two->SetVisible(false, false);
    EXPECT_EQ(body->FirstVisible(), nullptr);
    EXPECT_EQ(body->LastVisible(), nullptr);
    EXPECT_EQ(body->NextVisible(nullptr), nullptr);
    EXPECT_EQ(body->VisibleRowCount(), 0);
}

TEST_F(ListBodyTest, FindByKeyFindsHiddenRowsAndTheFirstOfEqualKeys)
{
    Add(1, 50);
    ListRow* const hidden = Add(7, 50, false);
    ListRow* const firstSix = Add(6, 50);
    Add(6, 50);

    EXPECT_EQ(body->FindByKey(7), hidden);
    EXPECT_EQ(list.FindByKey(7), hidden);
    EXPECT_EQ(body->FindByKey(6), firstSix);
    EXPECT_EQ(body->FindByKey(3), nullptr);
}

TEST_F(ListBodyTest, RemoveAllRowsDeletesTheRowsAndLeavesNoPointerToThem)
{
    auto poisoned = std::make_unique<Poisoned<ListRow>>(1);
    ListRow* const doomed = poisoned.get();
    body->AddRow(std::move(poisoned), kWidth, 50);
    Add(2, 50);
    list.Relayout();
    list.SetSelected(doomed);
    const POINT overDoomed = {20, 20};
    POINT screen = overDoomed;
    ClientToScreen(list.Handle(), &screen);
    SetCursorPos(screen.x, screen.y);
    SendMessageW(list.Handle(), WM_MOUSEMOVE, 0, PointParam(overDoomed.x, overDoomed.y));
    ASSERT_EQ(list.SelectedRow(), doomed);
    ASSERT_EQ(list.HotRow(), doomed);
    Graveyard::Instance().Clear();

    body->RemoveAllRows();

    EXPECT_EQ(Graveyard::Instance().Count(), 1u);
    EXPECT_EQ(body->RowCount(), 0);
    EXPECT_TRUE(body->Rows().empty());
    EXPECT_TRUE(body->Children().empty());
    EXPECT_EQ(list.SelectedRow(), nullptr);
    EXPECT_EQ(list.HotRow(), nullptr);

    // The list goes on without touching the deleted row.
    SendMessageW(list.Handle(), WM_MOUSEMOVE, 0, PointParam(20, 60));
    SendMessageW(list.Handle(), WM_KEYDOWN, VK_DOWN, 0);
    list.Relayout();
    UpdateWindow(list.Handle());
    EXPECT_TRUE(Graveyard::Instance().Untouched());
    Graveyard::Instance().Clear();
}

TEST_F(ListBodyTest, ResizingTheWindowGivesEveryRowTheNewWidth)
{
    ListRow* const shown = Add(1, 50);
    ListRow* const hidden = Add(2, 30, false);
    list.Relayout();

    SetWindowPos(list.Handle(), nullptr, 0, 0, 200, 150, SWP_NOMOVE | SWP_NOZORDER);
    RECT client = {};
    GetClientRect(list.Handle(), &client);
    for (const ListRow* row : {shown, hidden}) {
        EXPECT_EQ(row->Rect().right - row->Rect().left, client.right);
    }
    EXPECT_EQ(shown->Rect().bottom - shown->Rect().top, 50);
    EXPECT_EQ(hidden->Rect().bottom - hidden->Rect().top, 30);
    EXPECT_EQ(body->Rect().right, client.right);
    EXPECT_EQ(body->Rect().bottom, client.bottom);
}

} // namespace
