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

    ListRow* Add(int key, int height, bool visible = true)
    {
        auto row = std::make_unique<ListRow>(key);
        row->SetVisible(visible, false);
        ListRow* const added = row.get();
        body->AddRow(std::move(row), list.ClientWidth(), height);
        return added;
    }

    ListControl list; // outlives its window, which goes with the parent
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

TEST_F(ListBodyTest, HiddenRowsTakeNoSpaceAndVisibleRowsFollowTheScrollPosition)
{
    ListRow* const first = Add(1, 30);
    ListRow* const hidden = Add(2, 20, false);
    ListRow* const last = Add(3, 40);
    EXPECT_EQ(Tops({first, hidden, last}), (std::vector<int>{0, 0, 0})) << "not laid out yet";

    body->LayoutRows(0, 0);
    EXPECT_EQ(Tops({first, hidden, last}), (std::vector<int>{0, 0, 30}));
    EXPECT_EQ(last->Rect().bottom, 70);
    EXPECT_EQ(body->ContentHeight(), 70);
    EXPECT_EQ(body->VisibleRowCount(), 2);

    body->LayoutRows(0, 25);
    EXPECT_EQ(Tops({first, hidden, last}), (std::vector<int>{-25, 0, 5}));
    EXPECT_EQ(body->ContentHeight(), 70);
}

TEST_F(ListBodyTest, HitTestTakesTopAndLeftEdgesAndNeverHiddenRows)
{
    ListRow* const hidden = Add(1, 50, false); // keeps its place under the first visible row
    ListRow* const one = Add(2, 50);
    ListRow* const two = Add(3, 50);
    ListRow* const three = Add(4, 50);
    body->LayoutRows(0, 0);
    ASSERT_EQ(hidden->Rect().top, 0);
    const int right = list.ClientWidth();

    EXPECT_EQ(body->HitTestRow({0, 0}), one);
    EXPECT_EQ(body->HitTestRow({right - 1, 49}), one);
    EXPECT_EQ(body->HitTestRow({0, 50}), two);
    EXPECT_EQ(body->HitTestRow({5, 149}), three);
    EXPECT_EQ(body->HitTestRow({5, 150}), nullptr);
    EXPECT_EQ(body->HitTestRow({right, 10}), nullptr);
    EXPECT_EQ(body->HitTestRow({-1, 10}), nullptr);
    EXPECT_EQ(body->HitTestRow({5, -1}), nullptr);
}

TEST_F(ListBodyTest, NavigationAndFindByKeyOnEmptyHiddenAndNormalBodies)
{
    body->LayoutRows(0, 0);
    EXPECT_EQ(body->ContentHeight(), 0);
    EXPECT_EQ(body->HitTestRow({10, 10}), nullptr);
    EXPECT_EQ(body->FirstVisible(), nullptr);
    EXPECT_EQ(body->LastVisible(), nullptr);
    EXPECT_EQ(body->NextVisible(nullptr), nullptr);
    EXPECT_EQ(body->PrevVisible(nullptr), nullptr);
    EXPECT_EQ(list.FindByKey(0), nullptr);

    ListRow* const one = Add(1, 50);
    ListRow* const two = Add(2, 50, false);
    ListRow* const three = Add(3, 50);
    ListRow* const four = Add(4, 50);
    ListRow* const five = Add(5, 50, false);
    Add(4, 50, false);
    const ListRow stranger(9);

    EXPECT_EQ(body->FirstVisible(), one);
    EXPECT_EQ(body->LastVisible(), four);
    EXPECT_EQ(body->NextVisible(nullptr), one);
    EXPECT_EQ(body->NextVisible(&stranger), one);
    EXPECT_EQ(body->NextVisible(one), three);
    EXPECT_EQ(body->NextVisible(two), three);
    EXPECT_EQ(body->NextVisible(four), nullptr);
    EXPECT_EQ(body->PrevVisible(&stranger), nullptr);
    EXPECT_EQ(body->PrevVisible(one), one) << "up from the first row stays there";
    EXPECT_EQ(body->PrevVisible(three), one);
    EXPECT_EQ(body->PrevVisible(five), four);
    EXPECT_EQ(list.FindByKey(2), two) << "hidden rows are found";
    EXPECT_EQ(body->FindByKey(4), four) << "the first of equal keys";
    EXPECT_EQ(body->FindByKey(6), nullptr);

    one->SetVisible(false, false);
    EXPECT_EQ(body->FirstVisible(), three);
    EXPECT_EQ(body->PrevVisible(three), nullptr);
    EXPECT_EQ(body->PrevVisible(one), nullptr);
    three->SetVisible(false, false);
    four->SetVisible(false, false);
    EXPECT_EQ(body->FirstVisible(), nullptr);
    EXPECT_EQ(body->LastVisible(), nullptr);
    EXPECT_EQ(body->NextVisible(nullptr), nullptr);
    EXPECT_EQ(body->VisibleRowCount(), 0);
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
    const RECT expected = {0, 0, client.right, 50};
    EXPECT_TRUE(EqualRect(&shown->Rect(), &expected));
    EXPECT_EQ(hidden->Rect().right, client.right);
    EXPECT_EQ(hidden->Rect().bottom - hidden->Rect().top, 30);
}

} // namespace
