// The product list on a display of another scale: the prefix the program runs in says which.
#include "elements/ButtonElement.h"
#include "elements/TextElement.h"
#include "listctrl/SoftwareListView.h"
#include "tests/support/DibCanvas.h"
#include "tests/support/SyntheticInput.h"
#include "tests/support/TestFolders.h"
#include "tests/support/TestWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

// Pixels at each scale: row height, line thickness, scroll line; icon, name and button in a row; the
// faces; the position a page down from row 3 scrolls to, and the one row 2 at the top has at 96 DPI.
struct Scale {
    int dpi, row, line, scrollLine;
    RECT icon, name, button;
    int nameFace, buttonFace, pagePosition, positionAt96;
};
constexpr Scale kScales[] = {{144, 75, 2, 15, {18, 15, 66, 63}, {80, 26, 391, 50}, {401, 20, 496, 55}, 17, 18, 225, 50},
    {120, 63, 1, 13, {15, 13, 55, 53}, {66, 21, 325, 41}, {334, 16, 413, 45}, 14, 15, 141, 52}};
// The rows' icon file has a 32-pixel image in one colour and larger ones in another.
constexpr COLORREF kWhite = RGB(255, 255, 255), kSeparator = RGB(230, 230, 230), kSmall = RGB(0, 160, 0),
                   kLarge = RGB(0, 0, 200);

int Face(HFONT font)
{
    LOGFONTW description = {};
    GetObjectW(font, sizeof description, &description);
    return -description.lfHeight;
}

TEST(ListDpiTest, RowsScrollStepsAndClicksFollowTheScaleAndAnotherDpiKeepsTheSelectionAndTheRowAtTheTop)
{
    // The test command runs it in a prefix of each scale and says which; elsewhere it has nothing to check.
    const char* expected = std::getenv("FARROWGATE_EXPECT_DPI");
    if (!expected) {
        GTEST_SKIP() << "not on a display of a scale it knows";
    }
    const int dpi = GetDeviceCaps(ScopedWindowDC(GetDC(nullptr)).Get(), LOGPIXELSX);
    ASSERT_EQ(dpi, std::atoi(expected));
    const Scale* s =
        std::find_if(std::begin(kScales), std::end(kScales), [dpi](auto& scale) { return scale.dpi == dpi; });
    ASSERT_NE(s, std::end(kScales));
    std::vector<std::pair<UINT, int>> told; // code and key
    SoftwareListView list;                  // outlives its window, which goes with the parent
    TestWindow parent(700, 500);
    parent.onChildMessage = [&told](UINT, WPARAM, LPARAM lParam) {
        const auto& notify = *reinterpret_cast<const ListNotify*>(lParam);
        told.emplace_back(notify.hdr.code, notify.key);
    };
    list.Create(parent.Handle(), WS_EX_STATICEDGE, WS_CHILD | WS_VISIBLE | WS_VSCROLL, 10, 10, 542, 302, 7);
    for (int key = 1; key <= 10; ++key) {
        list.AddEntry({key, L"Velmo " + std::to_wstring(key), ModuleDirectory() + L"\\sized_icon.ico", L"", false,
                          false, L"", false, false},
            true);
    }
    list.Relayout();
    const RECT client = {0, 0, list.ClientWidth(), list.ClientHeight()};
    const auto painted = [&] {
        auto canvas = std::make_unique<DibCanvas>(client.right, client.bottom);
        list.Host().Paint(canvas->Dc(), nullptr);
        return canvas;
    };
    // Row 2: its separator, icon, name and button, read from the list's surface.
    const auto canvas = painted();
    const int top = s->row;
    const RECT &i = s->icon, &b = s->button, n = s->name,
               outside = {i.left - 1, top + i.top - 1, i.right + 1, top + i.bottom + 1};
    const std::vector<COLORREF> icon = canvas->Pixels(outside);
    EXPECT_EQ(std::count(icon.begin(), icon.end(), kLarge), (i.right - i.left) * (i.bottom - i.top)); // not stretched
    EXPECT_EQ(canvas->Pixel(i.left, top + i.top), kLarge);
    EXPECT_EQ(canvas->Pixel(i.right - 1, top + i.bottom - 1), kLarge);
    const RECT border = canvas->DarkBounds({b.left - 8, top + 1, client.right, top + s->row}, 170); // not the text
    EXPECT_EQ(std::make_tuple(border.left, border.top, border.right, border.bottom),
        std::make_tuple(b.left, top + b.top, b.right, top + b.bottom));
    const RECT ink = canvas->DarkBounds({0, top + 2, b.left - 8, top + s->row}, 128);
    EXPECT_NEAR(ink.left, n.left + 1, 1); // where the name's first letter begins
    EXPECT_GE(ink.top, top + n.top);
    EXPECT_LE(ink.bottom, top + n.bottom);
    EXPECT_EQ(std::make_pair(canvas->Pixel(5, top + s->line - 1), canvas->Pixel(5, top + s->line)),
        std::make_pair(kSeparator, kWhite));
    const auto& second = dynamic_cast<const ProductRow&>(*list.FindByKey(2));
    EXPECT_EQ(Face(second.NameLabel()->Font()), s->nameFace);
    EXPECT_EQ(Face(second.UninstallButton()->Font()), s->buttonFace);

    // Row 2's 卸载 right of where an unscaled one ends, row 3 just left of its own; a page down; a line; the wheel.
    POINT origin = {};
    ClientToScreen(list.Handle(), &origin);
    ClickAt({origin.x + s->button.right - 3, origin.y + s->row + s->button.bottom - 3});
    ClickAt({origin.x + s->button.left - 2, origin.y + 2 * s->row + s->button.top + 2});
    Pump();
    SendMessageW(list.Handle(), WM_KEYDOWN, VK_NEXT, 0);
    EXPECT_EQ(told, (decltype(told){{LN_COMMAND, 2}, {LN_SELCHANGED, 3}, {NM_CLICK, 3}, {LN_SELCHANGED, 7}}));
    const auto position = [&list] { return GetScrollPos(list.Handle(), SB_VERT); };
    EXPECT_EQ(position(), s->pagePosition);
    SendMessageW(list.Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(position(), s->pagePosition + s->scrollLine);
    SendMessageW(list.Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(position(), s->pagePosition - 2 * s->scrollLine);
    // The screen shows what the elements paint (the list's own surface: under Wine the screen's copy lags behind).
    RedrawWindow(list.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const DibCanvas shown(client.right, client.bottom);
    BitBlt(shown.Dc(), 0, 0, client.right, client.bottom, ScopedWindowDC(GetDC(list.Handle())).Get(), 0, 0, SRCCOPY);
    EXPECT_EQ(shown.Pixels(client), painted()->Pixels(client));

    // Row 2 at the top five lines down, row 3 selected: both stay at 96 DPI, where the icons are 32-pixel images.
    list.SetSelected(list.FindByKey(3));
    SendMessageW(list.Handle(), WM_VSCROLL, SB_PAGEUP, 0);
    for (int line = 0; line < 5; ++line) {
        SendMessageW(list.Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
    }
    list.SetDpi(96);
    EXPECT_EQ(list.SelectedRow(), list.FindByKey(3));
    EXPECT_EQ(list.Body()->HitTestRow({5, 0}), list.FindByKey(2));
    EXPECT_EQ(position(), s->positionAt96);
    const RECT row = list.FindByKey(3)->Rect();
    EXPECT_EQ(row.bottom - row.top, 50);
    const std::vector<COLORREF> small = painted()->Pixels({row.left + 12, row.top + 10, row.left + 44, row.top + 42});
    EXPECT_EQ(std::count(small.begin(), small.end(), kSmall), 32 * 32);
    EXPECT_EQ(Face(dynamic_cast<const ProductRow&>(*list.FindByKey(3)).NameLabel()->Font()), 11);
}

} // namespace
