#include "base/ScopedHandle.h"
#include "base/ScopedSelectObject.h"
#include "draw/FontCache.h"
#include "elements/ElementHost.h"
#include "listctrl/ProductRow.h"
#include "listctrl/SoftwareListView.h"
#include "tests/listctrl/ListTestSupport.h"
#include "tests/support/DibCanvas.h"
#include "tests/support/ModuleDirectory.h"
#include "tests/support/SyntheticInput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 360;
constexpr int kHeight = 200;
constexpr int kRowHeight = 50;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kUnpainted = RGB(255, 0, 255);
constexpr COLORREF kSeparator = RGB(230, 230, 230);
constexpr COLORREF kHighlight = RGB(228, 243, 249);
constexpr COLORREF kButtonBorder = RGB(107, 140, 165);
constexpr wchar_t kEmptyText[] = L"您的电脑没有安装任何velmo软件。";
constexpr COLORREF kIconColour = RGB(0, 160, 0); // the test icon made by the build

// The selected row's gradient, line by line, as blended from its four stops.
COLORREF SelectedLine(int y)
{
    struct Band {
        int top;
        int bottom;
        COLORREF from;
        COLORREF to;
    };
    const Band bands[] = {
        {0, 15, RGB(240, 251, 255), RGB(232, 249, 255)},
        {15, 35, RGB(232, 249, 255), RGB(213, 243, 255)},
        {35, 50, RGB(213, 243, 255), RGB(203, 240, 255)},
    };
    for (const Band& band : bands) {
        if (y >= band.top && y < band.bottom) {
            const int total = band.bottom - band.top;
            const int step = y - band.top;
            const auto blend = [&](int a, int b) { return a + (b - a) * step / total; };
            return RGB(blend(GetRValue(band.from), GetRValue(band.to)), blend(GetGValue(band.from), GetGValue(band.to)),
                blend(GetBValue(band.from), GetBValue(band.to)));
        }
    }
    return CLR_INVALID;
}

class ListPaintTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(CreateList(list, parent, kWidth, kHeight)); }

    void AddEntries(int count, const std::wstring& icon = L"")
    {
        for (int sequence = 1; sequence <= count; ++sequence) {
            InstalledEntry entry;
            entry.Sequence = sequence;
            entry.DisplayName = L"Velmo " + std::to_wstring(sequence);
            entry.DisplayIcon = icon;
            list.AddEntry(entry, true);
        }
        list.Relayout();
    }

    // The client area as the list paints it into a memory bitmap.
    std::unique_ptr<DibCanvas> Paint()
    {
        auto canvas = std::make_unique<DibCanvas>(list.ClientWidth(), list.ClientHeight());
        canvas->Fill(kUnpainted);
        const RECT client = {0, 0, list.ClientWidth(), list.ClientHeight()};
        list.Host().Paint(canvas->Dc(), &client);
        return canvas;
    }

    void Select(int key) { list.SetSelected(list.FindByKey(key)); }

    // The client area as the screen shows it.
    std::vector<COLORREF> OnScreen()
    {
        DibCanvas canvas(list.ClientWidth(), list.ClientHeight());
        canvas.Fill(kUnpainted);
        {
            const ScopedWindowDC window(GetDC(list.Handle()));
            BitBlt(canvas.Dc(), 0, 0, list.ClientWidth(), list.ClientHeight(), window.Get(), 0, 0, SRCCOPY);
        }
        return canvas.Pixels({0, 0, list.ClientWidth(), list.ClientHeight()});
    }

    // After the messages so far and their paints, the screen shows what a
    // repaint of the whole list shows.
    void ExpectScreenAsRepainted(const char* after)
    {
        Pump();
        const std::vector<COLORREF> shown = OnScreen();
        RedrawWindow(list.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        EXPECT_TRUE(shown == OnScreen()) << after;
    }

    SoftwareListView list;
    TestParent parent;
};

TEST_F(ListPaintTest, EmptyListShowsOnlyItsMessageInTheMiddle)
{
    const auto canvas = Paint();
    const int width = canvas->Width();
    RECT text = {width, kHeight, 0, 0};
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF pixel = canvas->Pixel(x, y);
            ASSERT_NE(pixel, kUnpainted) << x << ", " << y;
            if (pixel != kWhite) {
                // Black text, smoothed at most into greys.
                ASSERT_EQ(GetRValue(pixel), GetGValue(pixel)) << x << ", " << y;
                ASSERT_EQ(GetGValue(pixel), GetBValue(pixel)) << x << ", " << y;
                text = {std::min<LONG>(text.left, x), std::min<LONG>(text.top, y), std::max<LONG>(text.right, x + 1),
                    std::max<LONG>(text.bottom, y + 1)};
            }
        }
    }
    ASSERT_LT(text.left, text.right) << "no text";
    // Centred by the text's advance width; the closing full stop leaves blank
    // space at the right end, so the ink starts where the advance does.
    SIZE extent = {};
    {
        const ScopedMemoryDC measuring(CreateCompatibleDC(nullptr));
        const ScopedSelectObject font(measuring.Get(),
            GetFont(FontFace::Tahoma, 13, /*bold=*/false, /*underline=*/false));
        GetTextExtentPoint32W(measuring.Get(), kEmptyText, lstrlenW(kEmptyText), &extent);
    }
    EXPECT_NEAR(text.left, (width - extent.cx) / 2, 2);
    EXPECT_LE(text.right, (width + extent.cx) / 2 + 1);
    EXPECT_LE(text.bottom - text.top, extent.cy);
    EXPECT_NEAR((text.top + text.bottom) / 2.0, kHeight / 2.0, 3.0);
}

TEST_F(ListPaintTest, SelectedRowShowsTheGradientAndTheHighlightLine)
{
    AddEntries(3);
    for (const int key : {1, 2}) {
        Select(key);
        const auto canvas = Paint();
        const int top = (key - 1) * kRowHeight;
        for (const int x : {5, list.ClientWidth() - 1}) {
            for (int y = 0; y < kRowHeight; ++y) {
                const COLORREF expected = y == 0 && key > 1 ? kSeparator : y == 1 ? kHighlight : SelectedLine(y);
                EXPECT_EQ(canvas->Pixel(x, top + y), expected) << "row " << key << " at " << x << ", " << y;
            }
            EXPECT_EQ(canvas->Pixel(x, top + kRowHeight), kSeparator) << x;
            EXPECT_EQ(canvas->Pixel(x, top + kRowHeight + 1), kWhite) << x;
        }
    }
}

TEST_F(ListPaintTest, EveryRowButTheFirstHasASeparatorAlsoWhenScrolled)
{
    AddEntries(8);
    auto canvas = Paint();
    EXPECT_EQ(canvas->Pixel(5, 0), kWhite);
    for (int top = kRowHeight; top < kHeight; top += kRowHeight) {
        EXPECT_EQ(canvas->Pixel(5, top), kSeparator) << top;
        EXPECT_EQ(canvas->Pixel(5, top + 1), kWhite) << top;
        EXPECT_EQ(canvas->Pixel(5, top - 1), kWhite) << top;
    }

    for (int i = 0; i < 5; ++i) {
        SendMessageW(list.Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
    }
    canvas = Paint();
    EXPECT_EQ(canvas->Pixel(5, 0), kSeparator);
    EXPECT_EQ(canvas->Pixel(5, 50), kSeparator);

    // The first row cut at the top: the second row's line lies 30 pixels down.
    for (int i = 0; i < 3; ++i) {
        SendMessageW(list.Handle(), WM_VSCROLL, SB_LINEUP, 0);
    }
    canvas = Paint();
    EXPECT_EQ(canvas->Pixel(5, 0), kWhite);
    EXPECT_EQ(canvas->Pixel(5, 29), kWhite);
    EXPECT_EQ(canvas->Pixel(5, 30), kSeparator);
    EXPECT_EQ(canvas->Pixel(5, 80), kSeparator);
}

TEST_F(ListPaintTest, ButtonAndNameSitWhereTheRowPutsThem)
{
    AddEntries(2);
    const auto canvas = Paint();
    for (const int top : {0, kRowHeight}) {
        // Border edges, away from the rounded corners.
        EXPECT_EQ(canvas->Pixel(298, top + 13), kButtonBorder) << top;
        EXPECT_EQ(canvas->Pixel(298, top + 35), kButtonBorder) << top;
        EXPECT_EQ(canvas->Pixel(267, top + 24), kButtonBorder) << top;
        EXPECT_EQ(canvas->Pixel(329, top + 24), kButtonBorder) << top;
        EXPECT_EQ(canvas->Pixel(298, top + 12), kWhite) << top;
        EXPECT_EQ(canvas->Pixel(298, top + 36), kWhite) << top;
        EXPECT_EQ(canvas->Pixel(266, top + 24), kWhite) << top;
        EXPECT_EQ(canvas->Pixel(330, top + 24), kWhite) << top;

        // The name: dark pixels only inside its label, left-aligned.
        const RECT name = canvas->DarkBounds({0, top + 2, 266, top + kRowHeight}, 128);
        ASSERT_LT(name.left, name.right) << "no name in the row at " << top;
        EXPECT_GE(name.left, 53);
        EXPECT_LE(name.left, 55);
        EXPECT_GE(name.top, top + 17);
        EXPECT_LE(name.bottom, top + 33);
    }
}

TEST_F(ListPaintTest, IconIsDrawnAtItsPlaceInEveryRow)
{
    AddEntries(2, ModuleDirectory() + L"\\row_icon.ico");
    const auto canvas = Paint();
    for (const int top : {0, kRowHeight}) {
        for (int y = top + 10; y < top + 42; ++y) {
            for (int x = 12; x < 44; ++x) {
                ASSERT_EQ(canvas->Pixel(x, y), kIconColour) << x << ", " << y;
            }
        }
        EXPECT_EQ(canvas->Pixel(11, top + 20), kWhite);
        EXPECT_EQ(canvas->Pixel(44, top + 20), kWhite);
        EXPECT_EQ(canvas->Pixel(20, top + 9), kWhite);
        EXPECT_EQ(canvas->Pixel(20, top + 42), kWhite);
    }
    EXPECT_EQ(canvas->CountPixels(kIconColour), 2 * 32 * 32);
}

TEST_F(ListPaintTest, AnIconThatFailsToLoadIsNotTriedAgain)
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring late = std::wstring(temp) + L"fg-late-icon-" + std::to_wstring(GetCurrentProcessId()) + L".ico";
    DeleteFileW(late.c_str());
    AddEntries(1, late);
    const auto* const row = static_cast<const ProductRow*>(list.FindByKey(1));
    EXPECT_EQ(row->Icon(), nullptr); // nothing is loaded before the first paint

    auto canvas = Paint();
    ASSERT_NE(row->Icon(), nullptr);
    EXPECT_EQ(row->Icon()->Icon(), nullptr);
    EXPECT_EQ(canvas->Pixel(20, 20), kWhite);

    // The file appears: the row keeps its empty icon.
    ASSERT_TRUE(CopyFileW((ModuleDirectory() + L"\\row_icon.ico").c_str(), late.c_str(), FALSE));
    canvas = Paint();
    EXPECT_EQ(canvas->Pixel(20, 20), kWhite);
    EXPECT_EQ(canvas->CountPixels(kIconColour), 0);

    // A new row for the same entry loads it.
    list.DeleteAll();
    AddEntries(1, late);
    canvas = Paint();
    EXPECT_EQ(canvas->Pixel(20, 20), kIconColour);
    DeleteFileW(late.c_str());
}

TEST_F(ListPaintTest, WindowPaintsTheSameThroughItsOwnPaintMessage)
{
    AddEntries(6, ModuleDirectory() + L"\\row_icon.ico");
    Select(2);
    SendMessageW(list.Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
    RedrawWindow(list.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const auto expected = Paint();

    const RECT client = {0, 0, list.ClientWidth(), list.ClientHeight()};
    EXPECT_TRUE(OnScreen() == expected->Pixels(client));
}

TEST_F(ListPaintTest, ARowWithABrokenIconFileDrawsWithoutItAndSoDoEveryOtherRow)
{
    // An icon directory that claims 65,535 images in 70 bytes.
    std::string broken("\x00\x00\x01\x00\xFF\xFF", 6);
    for (int i = 0; i < 4; ++i) {
        broken += std::string("\x00\x00\x00\x00\x01\x00\x20\x00\xFF\xFF\xFF\x7F\xF0\xFF\xFF\x7F", 16);
    }
    const std::wstring brokenIcon = ModuleDirectory() + L"\\broken_icon.ico";
    std::ofstream(std::filesystem::path(brokenIcon), std::ios::binary) << broken;
    for (int sequence = 1; sequence <= 3; ++sequence) {
        InstalledEntry entry;
        entry.Sequence = sequence;
        entry.DisplayName = L"Velmo " + std::to_wstring(sequence);
        entry.DisplayIcon = sequence == 2 ? brokenIcon : ModuleDirectory() + L"\\row_icon.ico";
        list.AddEntry(entry, true);
    }
    list.Relayout();
    RedrawWindow(list.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const RECT client = {0, 0, list.ClientWidth(), list.ClientHeight()};
    const std::vector<COLORREF> shown = OnScreen();
    EXPECT_TRUE(shown == Paint()->Pixels(client));
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(shown[(row * kRowHeight + 20) * list.ClientWidth() + 20], row == 1 ? kWhite : kIconColour) << row;
        EXPECT_EQ(shown[(row * kRowHeight + 20) * list.ClientWidth() + 267], kButtonBorder) << row;
    }
    DeleteFileW(brokenIcon.c_str());
}

TEST_F(ListPaintTest, BurstsOfScrollingLeaveTheScreenAsAFullRepaintDrawsIt)
{
    AddEntries(20);
    SetFocus(list.Handle());
    for (int i = 0; i < 10; ++i) {
        SendMessageW(list.Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
    }
    UpdateWindow(list.Handle());
    POINT middle = {list.ClientWidth() / 2, list.ClientHeight() / 2};
    ClientToScreen(list.Handle(), &middle);
    MovePointer(middle);
    TurnWheel(1);
    Pump();
    TurnWheel(-400);
    ExpectScreenAsRepainted("a burst of wheel turns");

    for (const WORD request : {SB_LINEUP, SB_PAGEUP, SB_LINEUP, SB_LINEDOWN, SB_PAGEUP, SB_LINEUP, SB_PAGEDOWN}) {
        for (int i = 0; i < 5; ++i) {
            PostMessageW(list.Handle(), WM_VSCROLL, request, 0);
        }
    }
    ExpectScreenAsRepainted("a burst of scroll bar requests");
}

} // namespace
