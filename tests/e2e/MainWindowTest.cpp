// End-to-end: the real program as its own process in the test prefix, driven
// only through the screen, the mouse and the keyboard, with its products in
// the prefix's real Uninstall keys.
#include "app/ComApartment.h"
#include "base/ScopedHandle.h"
#include "tests/e2e/ProgramRun.h"
#include "tests/e2e/SeededProducts.h"
#include "tests/support/ModuleDirectory.h"
#include "tests/support/ScreenCapture.h"
#include "tests/support/StubRuns.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

using Tags = std::vector<std::wstring>;
using OnUninstall = SeededProducts::OnUninstall;

constexpr bool kMachine = true;
constexpr bool kUser = false;

// Waits, generous for a loaded machine under Wine; none of them is a timing goal.
constexpr unsigned kStartMs = 30000;
constexpr unsigned kWaitMs = 10000;
// The program scans every 3000 ms; a removed product goes within one period
// plus the uninstaller's own run.
constexpr unsigned kRemovalMs = 3000 + 7000;
// How long the program is given to (wrongly) react before a check that it did not.
constexpr unsigned kNoReactionMs = 1500;
constexpr DWORD kPollMs = 100;
// Long enough for the program to see press and release as separate events.
constexpr DWORD kInputGapMs = 60;

// What the product list draws, in its client coordinates.
constexpr int kRowHeight = 50;
constexpr int kButtonLeft = 267;
constexpr int kButtonTop = 13;
constexpr int kButtonWidth = 63;
constexpr int kButtonHeight = 23;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kButtonBorder = RGB(107, 140, 165);
constexpr COLORREF kSeparator = RGB(230, 230, 230);
constexpr COLORREF kSelectedHighlight = RGB(228, 243, 249);

// Input as the user gives it, through SendInput, to whatever is under the pointer or has the focus.
void Send(INPUT input)
{
    SendInput(1, &input, sizeof(input));
    Sleep(kInputGapMs);
}

// Absolute mouse coordinates run from 0 to 65535 across the primary screen;
// rounding up lands on the wanted pixel, not the one before it.
LONG Normalised(LONG position, int screenSize)
{
    return static_cast<LONG>((static_cast<long long>(position) * 65536 + screenSize - 1) / screenSize);
}

void LeftClick(POINT screen)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = Normalised(screen.x, GetSystemMetrics(SM_CXSCREEN));
    input.mi.dy = Normalised(screen.y, GetSystemMetrics(SM_CYSCREEN));
    const DWORD steps[] = {MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP};
    for (const DWORD flags : steps) {
        input.mi.dwFlags = flags;
        Send(input);
    }
}

void PressKey(WORD virtualKey)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    Send(input);
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    Send(input);
}

template <typename Condition>
bool WaitUntil(Condition condition, unsigned timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!condition()) {
        if (GetTickCount64() >= deadline) {
            return false;
        }
        Sleep(kPollMs);
    }
    return true;
}

// A row is on the screen when the left edge of its "卸载" button is.
bool RowShown(const ScreenCapture& list, int row)
{
    const int middle = row * kRowHeight + kButtonTop + kButtonHeight / 2;
    return list.Pixel(kButtonLeft, middle) == kButtonBorder && list.Pixel(kButtonLeft - 1, middle) == kWhite;
}

int CountRows(const ScreenCapture& list)
{
    int rows = 0;
    while ((rows + 1) * kRowHeight <= list.Height() && RowShown(list, rows)) {
        ++rows;
    }
    return rows;
}

std::string Rgb(COLORREF colour)
{
    char text[16];
    snprintf(text, sizeof(text), "(%d,%d,%d)", GetRValue(colour), GetGValue(colour), GetBValue(colour));
    return text;
}

#define EXPECT_COLOUR(expected, actual) EXPECT_EQ(Rgb(expected), Rgb(actual))

VARIANT Child(LONG id)
{
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

// A row of the list as assistive technology gets it: its own object.
ScopedComReference<IAccessible> RowObject(IAccessible& list, LONG position)
{
    IDispatch* dispatch = nullptr;
    IAccessible* row = nullptr;
    if (SUCCEEDED(list.get_accChild(Child(position), &dispatch)) && dispatch) {
        dispatch->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&row));
        dispatch->Release();
    }
    return ScopedComReference<IAccessible>(row);
}

std::wstring Name(IAccessible& object)
{
    BSTR name = nullptr;
    object.get_accName(Child(CHILDID_SELF), &name);
    const std::wstring text = name ? name : L"";
    SysFreeString(name);
    return text;
}

class MainWindowTest : public ::testing::Test {
protected:
    ScreenCapture CaptureList(const ProgramRun& run) const { return ScreenCapture(run.ListClientRect()); }

    // Keeps what the window looks like now in the build tree, named after the test.
    void SaveScreenshot(const ProgramRun& run, const char* step) const
    {
        const std::wstring folder = ModuleDirectory() + L"\\screenshots";
        CreateDirectoryW(folder.c_str(), nullptr);
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::string name = std::string(test->name()) + "-" + step + ".bmp";
        ScreenCapture(run.WindowRect()).Save(folder + L"\\" + std::wstring(name.begin(), name.end()));
    }

    bool WaitForRows(const ProgramRun& run, int rows, unsigned timeoutMs) const
    {
        return WaitUntil([&] { return CountRows(CaptureList(run)) == rows; }, timeoutMs);
    }

    static POINT ListPoint(const ProgramRun& run, int x, int y)
    {
        const RECT list = run.ListClientRect();
        return POINT{list.left + x, list.top + y};
    }

    static POINT RowButton(const ProgramRun& run, int row)
    {
        return ListPoint(run, kButtonLeft + kButtonWidth / 2, row * kRowHeight + kButtonTop + kButtonHeight / 2);
    }

    // Runs the program and waits until it shows the given number of rows.
    void Start(ProgramRun& run, int rows) const
    {
        ASSERT_TRUE(run.WaitForWindow(kStartMs));
        ASSERT_TRUE(WaitForRows(run, rows, kWaitMs)) << "rows shown: " << CountRows(CaptureList(run));
    }

    // Clicks the list below its rows: the window becomes active and the list
    // takes the keyboard focus, as after any click of the user's.
    static void ClickBelowRows(const ProgramRun& run, int rows)
    {
        LeftClick(ListPoint(run, kButtonLeft / 2, rows * kRowHeight + kRowHeight / 2));
    }

    static void ExpectEndsWithZero(ProgramRun& run)
    {
        EXPECT_EQ(std::optional<DWORD>(0), run.WaitForExit(kWaitMs)) << "the program is still running or failed";
    }

    StubRuns runs_;
    SeededProducts products_{StubUninstallerPath(), runs_.Folder()};
};

TEST_F(MainWindowTest, ListsEveryTargetOfBothRootsOnceInDisplayNameOrder)
{
    products_.Add(kMachine, L"Velmo Browser", L"velmo-browser");
    products_.Add(kUser, L"VELMO Guard", L"velmo-guard");
    products_.Add(kUser, L"quellmar Sync", L"quellmar-sync");
    // Not the vendor's, not removable, or the same product again: never listed.
    products_.Add(kMachine, L"My Velmo Tools", L"other-vendor");
    products_.Add(kUser, L"Notepad Helper", L"not-a-target");
    products_.SetDword(kMachine, products_.Add(kMachine, L"Velmo Core", L"system-component"), L"SystemComponent", 1);
    products_.Add(kMachine, L"Velmo Hotfix (KB4012)", L"update");
    products_.DeleteValue(kUser, products_.Add(kUser, L"Velmo Ghost", L"no-command"), L"UninstallString");
    products_.Add(kUser, L"velmo browser", L"duplicate");

    // Arguments change nothing.
    ProgramRun run(L"/quiet --list extra");
    ASSERT_NO_FATAL_FAILURE(Start(run, 3));
    SaveScreenshot(run, "three-rows");
    // The placeholder the list stands in for never shows its "Static".
    EXPECT_FALSE(IsWindowVisible(FindWindowExW(run.Window(), nullptr, L"Static", L"Static")));

    // Each row's "卸载" starts its own product's command: the rows are the
    // three targets in display-name order.
    const Tags expected = {L"quellmar-sync", L"velmo-browser", L"velmo-guard"};
    for (int row = 0; row < 3; ++row) {
        LeftClick(RowButton(run, row));
        EXPECT_EQ(Tags{expected[row]}, runs_.TakeTags(1, kWaitMs)) << "row " << row;
    }
    EXPECT_EQ(3, CountRows(CaptureList(run)));
}

TEST_F(MainWindowTest, UninstalledProductLeavesTheListAndTheRestIsRenumbered)
{
    products_.Add(kMachine, L"Velmo Alpha", L"alpha", OnUninstall::RemoveKey);
    products_.Add(kUser, L"Velmo Beta", L"beta", OnUninstall::RemoveKey);
    products_.Add(kMachine, L"Velmo Gamma", L"gamma", OnUninstall::RemoveKey);
    ProgramRun run;
    ASSERT_NO_FATAL_FAILURE(Start(run, 3));

    LeftClick(RowButton(run, 0));
    EXPECT_EQ(Tags{L"alpha"}, runs_.TakeTags(1, kWaitMs));
    ASSERT_TRUE(WaitForRows(run, 2, kRemovalMs));
    SaveScreenshot(run, "after-uninstall");

    // The first row is now the product that was second.
    LeftClick(RowButton(run, 0));
    EXPECT_EQ(Tags{L"beta"}, runs_.TakeTags(1, kWaitMs));
    EXPECT_TRUE(WaitForRows(run, 1, kRemovalMs));
}

TEST_F(MainWindowTest, WithoutTargetsTheListShowsItsMessageCentred)
{
    products_.Add(kMachine, L"Notepad Helper", L"not-a-target");
    products_.Add(kUser, L"My Velmo Tools", L"other-vendor");
    ProgramRun run;
    ASSERT_TRUE(run.WaitForWindow(kStartMs));

    // The message is the only thing drawn in the list: find the box around
    // everything that is not white, once it no longer changes.
    RECT ink = {};
    const auto settled = [&] {
        const ScreenCapture list = CaptureList(run);
        RECT box = {list.Width(), list.Height(), -1, -1};
        for (int y = 0; y < list.Height(); ++y) {
            for (int x = 0; x < list.Width(); ++x) {
                if (list.Pixel(x, y) != kWhite) {
                    box = RECT{std::min<LONG>(box.left, x), std::min<LONG>(box.top, y), std::max<LONG>(box.right, x),
                        std::max<LONG>(box.bottom, y)};
                }
            }
        }
        const bool same = EqualRect(&box, &ink) != FALSE;
        ink = box;
        return same && box.right >= 0;
    };
    ASSERT_TRUE(WaitUntil(settled, kWaitMs));
    SaveScreenshot(run, "no-products");

    const RECT list = run.ListClientRect();
    const int width = list.right - list.left;
    const int height = list.bottom - list.top;
    // The closing "。" inks only the left part of its cell, which moves the
    // ink a little left of the text's centre; a text not centred is far off.
    EXPECT_NEAR(width / 2.0, (ink.left + ink.right + 1) / 2.0, 10.0);
    EXPECT_NEAR(height / 2.0, (ink.top + ink.bottom + 1) / 2.0, 3.0);
    // One line of text, not rows.
    EXPECT_LT(ink.bottom - ink.top, 24) << "ink from y " << ink.top << " to " << ink.bottom;
    EXPECT_GT(ink.right - ink.left, width / 3) << "ink from x " << ink.left << " to " << ink.right;
}

TEST_F(MainWindowTest, RowsAreDrawnAtTheirPlacesAndAClickedRowIsSelected)
{
    products_.Add(kMachine, L"Velmo One", L"one");
    products_.Add(kMachine, L"Velmo Two", L"two");
    products_.Add(kUser, L"Velmo Three", L"three");
    ProgramRun run;
    ASSERT_NO_FATAL_FAILURE(Start(run, 3));

    const ScreenCapture before = CaptureList(run);
    // Rows 50 pixels high, a grey line between them, none above the first.
    EXPECT_COLOUR(kWhite, before.Pixel(5, 0));
    for (int row = 1; row < 3; ++row) {
        const int top = row * kRowHeight;
        EXPECT_COLOUR(kWhite, before.Pixel(5, top - 1)) << "row " << row;
        EXPECT_COLOUR(kSeparator, before.Pixel(5, top)) << "row " << row;
        EXPECT_COLOUR(kSeparator, before.Pixel(kButtonLeft - 1, top)) << "row " << row;
        EXPECT_COLOUR(kWhite, before.Pixel(5, top + 1)) << "row " << row;
    }
    for (int row = 0; row < 3; ++row) {
        for (int y = kButtonTop + 4; y < kButtonTop + kButtonHeight - 4; ++y) {
            EXPECT_COLOUR(kButtonBorder, before.Pixel(kButtonLeft, row * kRowHeight + y)) << "row " << row;
        }
    }

    // A click on the second row's body, away from its name and button.
    LeftClick(ListPoint(run, 30, kRowHeight + 45));
    const auto selected = [&] { return CaptureList(run).Pixel(5, kRowHeight + 1) == kSelectedHighlight; };
    ASSERT_TRUE(WaitUntil(selected, kWaitMs));
    SaveScreenshot(run, "second-row-selected");

    const ScreenCapture after = CaptureList(run);
    EXPECT_COLOUR(kSeparator, after.Pixel(5, kRowHeight));
    EXPECT_COLOUR(kSelectedHighlight, after.Pixel(5, kRowHeight + 1));
    EXPECT_COLOUR(RGB(235, 250, 255), after.Pixel(5, kRowHeight + 10)); // first band, 10 of 15 lines
    EXPECT_COLOUR(RGB(228, 248, 255), after.Pixel(5, kRowHeight + 20)); // second band, 5 of 20 lines
    EXPECT_COLOUR(RGB(204, 241, 255), after.Pixel(5, kRowHeight + 49)); // last line of the third band
    EXPECT_COLOUR(kWhite, after.Pixel(5, 25));
    EXPECT_COLOUR(kSeparator, after.Pixel(5, 2 * kRowHeight));
    EXPECT_COLOUR(kWhite, after.Pixel(5, 2 * kRowHeight + 25));
    EXPECT_COLOUR(kButtonBorder, after.Pixel(kButtonLeft, kRowHeight + 24));
}

TEST_F(MainWindowTest, EscapeLeavesTheWindowOpenAndCloseBoxEnterAndExitEachEndTheProgramWithZero)
{
    products_.Add(kMachine, L"Velmo One", L"one");
    const std::function<void(const ProgramRun&)> endings[] = {
        [](const ProgramRun& run) {
            const RECT window = run.WindowRect();
            LeftClick(POINT{window.right - GetSystemMetrics(SM_CXDLGFRAME) - GetSystemMetrics(SM_CXSIZE) / 2,
                window.top + GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYSIZE) / 2});
        },
        [](const ProgramRun&) { PressKey(VK_RETURN); },
        [](const ProgramRun& run) {
            const RECT button = run.ExitButtonRect();
            LeftClick(POINT{(button.left + button.right) / 2, (button.top + button.bottom) / 2});
        },
    };
    for (const auto& end : endings) {
        SCOPED_TRACE(&end - endings);
        ProgramRun run;
        ASSERT_NO_FATAL_FAILURE(Start(run, 1));
        ClickBelowRows(run, 1);
        PressKey(VK_ESCAPE);
        EXPECT_FALSE(run.WaitForExit(kNoReactionMs)) << "Escape ended the program";
        EXPECT_EQ(1, CountRows(CaptureList(run)));
        end(run);
        ExpectEndsWithZero(run);
    }
}

TEST_F(MainWindowTest, AnotherProcessReadsTheRowsAndPressesAButtonAndSpacePressesTheSelectedRowsButtonOnce)
{
    products_.Add(kMachine, L"Velmo One", L"one");
    products_.Add(kUser, L"Quellmar Two", L"two");
    products_.Add(kMachine, L"Velmo Three", L"three");
    ProgramRun run;
    ASSERT_NO_FATAL_FAILURE(Start(run, 3));

    // This test is the other process: it walks the list as a screen reader does.
    const ComApartment apartment;
    IAccessible* found = nullptr;
    ASSERT_EQ(S_OK,
        AccessibleObjectFromWindow(run.List(), OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&found)));
    const ScopedComReference<IAccessible> list(found);
    LONG count = 0;
    EXPECT_EQ(S_OK, list.Get()->get_accChildCount(&count));
    std::vector<std::wstring> names;
    for (LONG position = 1; position <= count; ++position) {
        const ScopedComReference<IAccessible> row = RowObject(*list.Get(), position);
        ASSERT_TRUE(row) << "row " << position;
        names.push_back(Name(*row.Get()));
    }
    EXPECT_EQ((std::vector<std::wstring>{L"Quellmar Two", L"Velmo One", L"Velmo Three"}), names);
    const ScopedComReference<IAccessible> second = RowObject(*list.Get(), 2);
    ASSERT_TRUE(second);
    EXPECT_EQ(S_OK, second.Get()->accDoDefaultAction(Child(1)));
    EXPECT_EQ(Tags{L"one"}, runs_.TakeTags(1, kWaitMs));

    // Space with no row selected starts nothing; on the first row after Down, its uninstaller once.
    ClickBelowRows(run, 3);
    PressKey(VK_SPACE);
    PressKey(VK_DOWN);
    PressKey(VK_SPACE);
    EXPECT_EQ(Tags{L"two"}, runs_.TakeTags(1, kWaitMs));
    Sleep(kNoReactionMs);
    EXPECT_TRUE(runs_.Take().empty());
}

} // namespace
