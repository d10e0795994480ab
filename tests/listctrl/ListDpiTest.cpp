// The product list on displays of 96, 120 and 144 DPI: the prefix the program runs in says which.
#include "listctrl/SoftwareListView.h"
#include "tests/support/Golden.h"
#include "tests/support/SyntheticInput.h"
#include "tests/support/TestFolders.h"
#include "tests/support/TestWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

// Pixels at each scale: row height and scroll line; the row a page down from row 3 selects and the position it
// scrolls to; the position row 2 at the top five lines down has at 96 DPI; the 卸载 button in a row.
struct Scale {
    int dpi, row, scrollLine, pageRow, pagePosition, positionAt96;
    RECT button;
};
constexpr Scale kScales[] = {{96, 50, 10, 9, 150, 50, {267, 13, 330, 36}},
    {120, 63, 13, 7, 141, 52, {334, 16, 413, 45}}, {144, 75, 15, 7, 225, 50, {401, 20, 496, 55}}};
constexpr COLORREF kSmall = RGB(0, 160, 0); // of the rows' icon file's 32-pixel image; its larger ones have another

TEST(ListDpiTest, LooksAsItsImagesAndRowsScrollStepsAndClicksFollowTheScaleAndAnotherDpiKeepsSelectionAndTopRow)
{
    const char* expected = std::getenv("FARROWGATE_EXPECT_DPI"); // the test command says which scale the display has
    const int dpi = GetDeviceCaps(ScopedWindowDC(GetDC(nullptr)).Get(), LOGPIXELSX);
    ASSERT_EQ(dpi, expected ? std::atoi(expected) : dpi); // run by hand: the display's own
    const Scale* s = &kScales[std::min<size_t>((dpi - 96) / 24, std::size(kScales) - 1)]; // 96, 120, 144 in turn
    ASSERT_EQ(s->dpi, dpi);
    std::vector<std::pair<UINT, int>> told; // code and key
    SoftwareListView list;                  // outlives its window, which goes with the parent
    TestWindow parent(700, 500);
    parent.onChildMessage = [&told](UINT, WPARAM, LPARAM lParam) {
        const auto& notify = *reinterpret_cast<const ListNotify*>(lParam);
        told.emplace_back(notify.hdr.code, notify.key);
    };
    list.Create(parent.Handle(), WS_EX_STATICEDGE, WS_CHILD | WS_VISIBLE | WS_VSCROLL, 10, 10, 542, 302, 7);
    RECT client = {0, 0, list.ClientWidth(), list.ClientHeight()}; // narrower once a scroll bar shows
    const auto send = [&list](UINT message, WPARAM wParam) {       // returns the scroll position after it
        SendMessageW(list.Handle(), message, wParam, 0);
        return GetScrollPos(list.Handle(), SB_VERT);
    };
    const auto painted = [&] {
        auto canvas = std::make_unique<DibCanvas>(client.right, client.bottom, RGB(255, 0, 255));
        SetTextColor(canvas->Dc(), RGB(255, 255, 255)); // the list sets its own
        list.Host().Paint(canvas->Dc(), nullptr);
        return canvas;
    };
    // The screen, with what the elements paint, also after repainting it whole (the list's own surface: under Wine
    // the screen's copy lags behind).
    const auto expectShownAsPainted = [&](const char* after) {
        const auto shown = [&] {
            const DibCanvas canvas(client.right, client.bottom);
            BitBlt(canvas.Dc(), 0, 0, client.right, client.bottom, ScopedWindowDC(GetDC(list.Handle())).Get(), 0, 0,
                SRCCOPY);
            return canvas.Pixels(client);
        };
        Pump();
        const std::vector<COLORREF> before = shown();
        RedrawWindow(list.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        EXPECT_EQ(std::make_pair(shown(), painted()->Pixels(client)), std::make_pair(before, before)) << after;
    };
    const std::wstring scale = L"-" + std::to_wstring(dpi);
    EXPECT_TRUE(LooksLike(*painted(), L"list-empty" + scale));
    const std::wstring icon = ModuleDirectory() + L"\\sized_icon.ico";
    for (int key = 1; key <= 10; ++key) {
        list.AddEntry({key, L"Velmo " + std::to_wstring(key), icon, L"", false, false, L"", false, false}, true);
    }
    list.Relayout();
    client.right = list.ClientWidth();
    // Row 2 selected, its 卸载 held down by the space bar (which repeats) till the release clicks it.
    list.SetSelected(list.FindByKey(2));
    const std::vector<COLORREF> released = painted()->Pixels(client);
    send(WM_KEYDOWN, VK_SPACE);
    send(WM_KEYDOWN, VK_SPACE);
    EXPECT_TRUE(LooksLike(*painted(), L"list-rows" + scale));
    expectShownAsPainted("卸载 held by the space bar");
    send(WM_KEYUP, VK_SPACE);
    EXPECT_EQ(painted()->Pixels(client), released);

    // Row 2's 卸载 right of where an unscaled one ends, row 3 just left of its own; a page down; a line; the wheel.
    POINT origin = {};
    ClientToScreen(list.Handle(), &origin);
    ClickAt({origin.x + s->button.right - 3, origin.y + s->row + s->button.bottom - 3});
    ClickAt({origin.x + s->button.left - 2, origin.y + 2 * s->row + s->button.top + 2});
    expectShownAsPainted("clicks on 卸载 and a row");
    EXPECT_EQ((std::vector<int>{send(WM_KEYDOWN, VK_NEXT), send(WM_VSCROLL, SB_LINEDOWN),
                  send(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA))}),
        (std::vector<int>{s->pagePosition, s->pagePosition + s->scrollLine, s->pagePosition - 2 * s->scrollLine}));
    EXPECT_EQ(told,
        (decltype(told){{LN_SELCHANGED, 2}, {LN_COMMAND, 2}, {LN_COMMAND, 2}, {LN_SELCHANGED, 3}, {NM_CLICK, 3},
            {LN_SELCHANGED, s->pageRow}}));
    expectShownAsPainted("scrolled by a page, a line and the wheel");

    // Row 2 at the top five lines down, row 3 selected: both stay at 96 DPI, where the icons are 32-pixel images.
    list.SetSelected(list.FindByKey(3));
    send(WM_VSCROLL, SB_PAGEUP);
    for (int line = 0; line < 5; ++line) {
        send(WM_VSCROLL, SB_LINEDOWN);
    }
    list.SetDpi(96);
    const RECT row = list.FindByKey(3)->Rect();
    EXPECT_EQ(
        std::make_tuple(list.SelectedRow(), list.Body()->HitTestRow({5, 0}), send(WM_NULL, 0), row.bottom - row.top),
        std::make_tuple(list.FindByKey(3), list.FindByKey(2), s->positionAt96, 50));
    const std::vector<COLORREF> small = painted()->Pixels({row.left + 12, row.top + 10, row.left + 44, row.top + 42});
    EXPECT_EQ(std::count(small.begin(), small.end(), kSmall), 32 * 32);
    SetFocus(list.Handle());
    TurnWheel(-400);
    expectShownAsPainted("a burst of wheel turns");
}

} // namespace
