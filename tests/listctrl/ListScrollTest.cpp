#include "listctrl/ListControl.h"
#include "tests/listctrl/ListTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int kWidth = 300;
constexpr int kHeight = 200;
constexpr int kRowHeight = 50;
constexpr int kRows = 10; // 500 pixels of rows
constexpr int kLastPosition = kRows * kRowHeight - kHeight + 1;

class ListScrollTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CreateList(list, parent, kWidth, kHeight));
        rows = AddRows(list, kRows, kRowHeight);
    }

    void Scroll(WORD request, WORD thumb = 0)
    {
        SendMessageW(list.Handle(), WM_VSCROLL, MAKEWPARAM(request, thumb), 0);
    }

    void Wheel(short delta)
    {
        SendMessageW(list.Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), PointParam(100, 100));
    }

    int FirstTop() const { return rows.front()->Rect().top; }

    void ExpectAt(int position)
    {
        EXPECT_EQ(VerticalPosition(list), position);
        EXPECT_EQ(FirstTop(), -position);
        EXPECT_EQ(rows.back()->Rect().top, (kRows - 1) * kRowHeight - position);
        EXPECT_EQ(list.Host().OriginY(), -position);
    }

    ListControl list;
    TestParent parent;
    std::vector<ListRow*> rows;
};

TEST_F(ListScrollTest, LinesAndPagesStopOnePixelPastContentMinusPage)
{
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE;
    GetScrollInfo(list.Handle(), SB_VERT, &info);
    EXPECT_EQ(info.nMin, 0);
    EXPECT_EQ(info.nMax, kRows * kRowHeight);
    EXPECT_EQ(info.nPage, static_cast<UINT>(kHeight));

    const std::pair<WORD, int> steps[] = {{SB_LINEDOWN, 10}, {SB_LINEDOWN, 20}, {SB_LINEUP, 10}, {SB_PAGEDOWN, 210},
        {SB_PAGEDOWN, kLastPosition}, {SB_PAGEDOWN, kLastPosition}, {SB_LINEDOWN, kLastPosition},
        {SB_PAGEUP, kLastPosition - kHeight}, {SB_PAGEUP, 0}, {SB_LINEUP, 0}};
    for (const auto& [request, position] : steps) {
        Scroll(request);
        ExpectAt(position);
    }
}

TEST_F(ListScrollTest, EveryWheelMessageScrollsThirtyPixels)
{
    const std::pair<short, int> steps[] = {{-WHEEL_DELTA, 30}, {-1, 60}, {-8 * WHEEL_DELTA, 90}, {5, 60},
        {4 * WHEEL_DELTA, 30}};
    for (const auto& [delta, position] : steps) {
        Wheel(delta);
        ExpectAt(position);
    }
    for (int i = 0; i < 9; ++i) {
        Wheel(-WHEEL_DELTA);
    }
    ExpectAt(300);
    Wheel(-WHEEL_DELTA); // the range allows one pixel more
    ExpectAt(kLastPosition);
}

TEST_F(ListScrollTest, OnlyThumbTrackingMovesTheRows)
{
    Scroll(SB_PAGEDOWN);
    // Outside a drag the tracking position is the current one.
    for (const WORD request : {SB_THUMBPOSITION, SB_ENDSCROLL, SB_TOP, SB_BOTTOM, SB_THUMBTRACK}) {
        Scroll(request, 50);
        ExpectAt(200);
    }
}

// The real thumb, dragged with the mouse: every WM_VSCROLL the list receives,
// with where the rows are after it.
struct ScrollStep {
    WORD request;
    int firstTop;
    int barPosition;
};

std::vector<ScrollStep>* recordedSteps = nullptr;
const ListControl* recordedList = nullptr;

LRESULT CALLBACK RecordScrolling(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && recordedSteps && call->hwnd == recordedList->Handle() && call->message == WM_VSCROLL) {
        recordedSteps->push_back(
            {LOWORD(call->wParam), recordedList->Body()->Rows().front()->Rect().top, VerticalPosition(*recordedList)});
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void SendMouse(DWORD flags, POINT screen)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(screen.x, 65536, GetSystemMetrics(SM_CXSCREEN));
    input.mi.dy = MulDiv(screen.y, 65536, GetSystemMetrics(SM_CYSCREEN));
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof input);
}

TEST_F(ListScrollTest, DraggingTheThumbMovesTheRowsWhileItIsDragged)
{
    SCROLLBARINFO bar = {};
    bar.cbSize = sizeof bar;
    ASSERT_TRUE(GetScrollBarInfo(list.Handle(), OBJID_VSCROLL, &bar));
    const POINT thumb = {(bar.rcScrollBar.left + bar.rcScrollBar.right) / 2,
        bar.rcScrollBar.top + (bar.xyThumbTop + bar.xyThumbBottom) / 2};

    std::vector<ScrollStep> steps;
    recordedSteps = &steps;
    recordedList = &list;
    const HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROCRET, RecordScrolling, nullptr, GetCurrentThreadId());
    SendMouse(0, thumb);
    SendMouse(MOUSEEVENTF_LEFTDOWN, thumb);
    SendMouse(0, {thumb.x, thumb.y + 30});
    SendMouse(0, {thumb.x, thumb.y + 60});
    SendMouse(MOUSEEVENTF_LEFTUP, {thumb.x, thumb.y + 60});
    Pump();
    UnhookWindowsHookEx(hook);
    recordedSteps = nullptr;

    ASSERT_FALSE(steps.empty());
    int tracked = 0;
    int place = 0;
    for (const ScrollStep& step : steps) {
        if (step.request == SB_THUMBTRACK) {
            ++tracked;
            place = step.firstTop;
            EXPECT_EQ(step.firstTop, -step.barPosition);
        } else {
            EXPECT_EQ(step.firstTop, place) << "request " << step.request;
        }
    }
    EXPECT_GE(tracked, 1);
    EXPECT_LT(FirstTop(), 0);
    EXPECT_EQ(FirstTop(), -VerticalPosition(list));
    EXPECT_EQ(steps.back().request, SB_ENDSCROLL);
}

TEST_F(ListScrollTest, GrowingAtTheBottomClampsAndMovesTheRowsAtOnce)
{
    Scroll(SB_PAGEDOWN);
    Scroll(SB_PAGEDOWN);
    ExpectAt(kLastPosition);

    RECT window = {};
    GetWindowRect(list.Handle(), &window);
    const int grow = 100;
    SetWindowPos(list.Handle(), nullptr, 0, 0, window.right - window.left, window.bottom - window.top + grow,
        SWP_NOMOVE | SWP_NOZORDER);
    ExpectAt(kLastPosition - grow);
}

bool HorizontalBarShows(const ListControl& list)
{
    RECT client = {};
    GetClientRect(list.Handle(), &client);
    SCROLLBARINFO bar = {};
    bar.cbSize = sizeof bar;
    GetScrollBarInfo(list.Handle(), OBJID_HSCROLL, &bar);
    return (GetWindowLongPtrW(list.Handle(), GWL_STYLE) & WS_HSCROLL) != 0 || client.bottom != kHeight
        || !(bar.rgstate[0] & STATE_SYSTEM_INVISIBLE);
}

TEST_F(ListScrollTest, TheHorizontalBarNeverShowsAndNeverMovesTheRows)
{
    EXPECT_NE(GetWindowLongPtrW(list.Handle(), GWL_STYLE) & WS_VSCROLL, 0);
    EXPECT_FALSE(HorizontalBarShows(list));
    for (const WORD request : {SB_LINERIGHT, SB_PAGERIGHT, SB_THUMBTRACK, SB_RIGHT}) {
        SendMessageW(list.Handle(), WM_HSCROLL, MAKEWPARAM(request, 40), 0);
        EXPECT_EQ(rows.front()->Rect().left, 0);
    }
    list.DeleteAll();
    EXPECT_FALSE(HorizontalBarShows(list));
    AddRows(list, 3, 400);
    SetWindowPos(list.Handle(), nullptr, 0, 0, 50, kHeight + 2, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_FALSE(HorizontalBarShows(list));
    EXPECT_EQ(list.Body()->Rows().front()->Rect().left, 0);
}

TEST_F(ListScrollTest, NonClientHitTestSplitsAtTheClientSize)
{
    RECT window = {};
    RECT client = {};
    GetWindowRect(list.Handle(), &window);
    GetClientRect(list.Handle(), &client);
    const auto hitTest = [&](int x, int y) {
        return SendMessageW(list.Handle(), WM_NCHITTEST, 0, PointParam(window.left + x, window.top + y));
    };
    const int right = client.right; // the vertical bar lies beyond it
    const int bottom = client.bottom;
    ASSERT_LT(right + 1, window.right - window.left);

    EXPECT_EQ(hitTest(5, 5), HTCLIENT);
    EXPECT_EQ(hitTest(right - 1, bottom - 1), HTCLIENT);
    EXPECT_EQ(hitTest(right + 1, 5), HTVSCROLL);
    EXPECT_EQ(hitTest(5, bottom + 1), HTHSCROLL);
    EXPECT_EQ(hitTest(right + 1, bottom + 1), HTGROWBOX);
}

} // namespace
