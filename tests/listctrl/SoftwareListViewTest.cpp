#include "listctrl/SoftwareListView.h"
#include "elements/ElementHost.h"
#include "elements/TextElement.h"
#include "listctrl/ProductRow.h"
#include "tests/listctrl/ListTestSupport.h"
#include "tests/support/Graveyard.h"
#include "tests/support/SyntheticInput.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int kWidth = 360;
constexpr int kHeight = 200;
// The centre of a row's uninstall button, relative to the row.
constexpr int kButtonX = 267 + 31;
constexpr int kButtonY = 13 + 11;

InstalledEntry MakeEntry(int sequence, const std::wstring& name)
{
    InstalledEntry entry;
    entry.Sequence = sequence;
    entry.DisplayName = name;
    entry.UninstallString = L"C:\\Velmo\\uninstall.exe /S" + std::to_wstring(sequence);
    entry.KeyName = L"velmo-" + std::to_wstring(sequence);
    entry.FromMachine = sequence % 2 == 1;
    return entry;
}

class SoftwareListViewTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(CreateList(list, parent, kWidth, kHeight)); }

    void AddEntries(int count)
    {
        for (int sequence = 1; sequence <= count; ++sequence) {
            list.AddEntry(MakeEntry(sequence, L"Velmo " + std::to_wstring(sequence)), true);
        }
        list.Relayout();
    }

    // A press and release on the button of the row with this key. The release
    // is queued first, for the press loop to take.
    LRESULT PressButton(int key)
    {
        const RECT& row = list.FindByKey(key)->Rect();
        const LPARAM point = PointParam(row.left + kButtonX, row.top + kButtonY);
        PostMessageW(list.Handle(), WM_LBUTTONUP, 0, point);
        const LRESULT result = SendMessageW(list.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, point);
        Pump();
        return result;
    }

    Notification Note(UINT code, int key, int extra = 0) const { return Expected(list, code, key, extra); }
    std::vector<Notification> Received() { return std::exchange(parent.notifications, {}); }

    SoftwareListView list;
    TestParent parent;
};

TEST_F(SoftwareListViewTest, UninstallButtonReportsItsRowWithoutSelectingIt)
{
    AddEntries(5);
    EXPECT_EQ(PressButton(3), 0);
    EXPECT_EQ(Received(), (std::vector<Notification>{Note(LN_COMMAND, 3, IDC_ROW_UNINSTALL)}));
    EXPECT_EQ(list.SelectedRow(), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(SoftwareListViewTest, DoubleClickPressesTheButtonTwiceAndIsADoubleClickElsewhere)
{
    AddEntries(5);
    UpdateWindow(list.Handle());
    const RECT& row = list.FindByKey(3)->Rect();
    POINT button = {row.left + kButtonX, row.top + kButtonY};
    ClientToScreen(list.Handle(), &button);
    ClickAt(button, 2);
    Pump();
    EXPECT_EQ(Received(),
        (std::vector<Notification>{Note(LN_COMMAND, 3, IDC_ROW_UNINSTALL), Note(LN_COMMAND, 3, IDC_ROW_UNINSTALL)}));

    POINT body = {row.left + 20, row.top + kButtonY};
    ClientToScreen(list.Handle(), &body);
    ClickAt(body, 2);
    Pump();
    EXPECT_EQ(Received(),
        (std::vector<Notification>{Note(LN_SELCHANGED, 3), Note(NM_CLICK, 3), Note(NM_DBLCLK, 3), Note(NM_CLICK, 3)}));
}

class SoftwareListViewDeletionTest : public SoftwareListViewTest {
protected:
    void SetUp() override
    {
        SoftwareListViewTest::SetUp();
        Graveyard::Instance().Clear();
        for (int sequence = 1; sequence <= 4; ++sequence) {
            list.Body()->AddRow(std::make_unique<Poisoned<ProductRow>>(MakeEntry(sequence, L"Velmo")),
                list.ClientWidth(), kProductRowHeight);
        }
        list.Relayout();
        UpdateWindow(list.Handle());
    }

    void TearDown() override { Graveyard::Instance().Clear(); }

    // Points at the row's button, as a user about to press it would.
    void HoverButton(int key)
    {
        const RECT& row = list.FindByKey(key)->Rect();
        POINT point = {row.left + kButtonX, row.top + kButtonY};
        POINT screen = point;
        ClientToScreen(list.Handle(), &screen);
        SetCursorPos(screen.x, screen.y);
        SendMessageW(list.Handle(), WM_MOUSEMOVE, 0, PointParam(point.x, point.y));
        ASSERT_NE(list.Host().HoverElement(), nullptr);
        ASSERT_EQ(list.HotRow(), list.FindByKey(key));
    }

    // What the rest of a session does with the list afterwards.
    void CarryOn()
    {
        SendMessageW(list.Handle(), WM_MOUSEMOVE, 0, PointParam(kButtonX, 100 + kButtonY));
        SendMessageW(list.Handle(), WM_MOUSELEAVE, 0, 0);
        SendMessageW(list.Handle(), WM_KEYDOWN, VK_DOWN, 0);
        RedrawWindow(list.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        Pump();
    }
};

TEST_F(SoftwareListViewDeletionTest, ParentEmptyingTheListFromTheCommandTouchesNoDeletedRow)
{
    parent.onNotify = [this](const ListNotify& notify) {
        if (notify.hdr.code == LN_COMMAND) {
            list.DeleteAll();
        }
    };
    HoverButton(3);
    EXPECT_EQ(PressButton(3), 0);
    EXPECT_EQ(Received(), (std::vector<Notification>{Note(LN_COMMAND, 3, IDC_ROW_UNINSTALL)}));
    EXPECT_EQ(Graveyard::Instance().Count(), 4u);
    EXPECT_EQ(list.Body()->RowCount(), 0);
    EXPECT_EQ(list.HotRow(), nullptr);
    EXPECT_EQ(list.Host().HoverElement(), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
    CarryOn();
    EXPECT_TRUE(Graveyard::Instance().Untouched());
}

TEST_F(SoftwareListViewDeletionTest, ParentRebuildingTheListFromTheCommandKeepsItWorking)
{
    // The main window's refresh: empty, add the new entries, lay out.
    parent.onNotify = [this](const ListNotify& notify) {
        if (notify.hdr.code == LN_COMMAND) {
            list.DeleteAll();
            list.AddEntry(MakeEntry(1, L"Velmo 1"), true);
            list.AddEntry(MakeEntry(2, L"Velmo 2"), true);
            list.Relayout();
        }
    };
    SendMessageW(list.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, PointParam(100, 75));
    Received();
    HoverButton(3);
    PressButton(3);
    EXPECT_EQ(Received(), (std::vector<Notification>{Note(LN_COMMAND, 3, IDC_ROW_UNINSTALL), Note(LN_SELCHANGED, 0)}));
    EXPECT_EQ(list.SelectedRow(), nullptr);
    EXPECT_EQ(list.Body()->RowCount(), 2);
    CarryOn();
    EXPECT_TRUE(Graveyard::Instance().Untouched());
    EXPECT_EQ(Received(), (std::vector<Notification>{Note(LN_SELCHANGED, 1)}));

    PressButton(2);
    EXPECT_EQ(Received(), (std::vector<Notification>{Note(LN_COMMAND, 2, IDC_ROW_UNINSTALL), Note(LN_SELCHANGED, 0)}));
}

TEST_F(SoftwareListViewTest, EntryByKeyIsTheRowsOwnCopy)
{
    InstalledEntry entry = MakeEntry(2, L"Velmo Studio");
    entry.DisplayIcon = L"C:\\Velmo\\studio.exe,0";
    const InstalledEntry original = entry;
    list.AddEntry(entry, true);
    list.Relayout();
    entry.DisplayName = L"changed";
    entry.UninstallString.clear();
    entry.Sequence = 9;

    const InstalledEntry* const found = list.GetEntryByKey(2);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->Sequence, original.Sequence);
    EXPECT_EQ(found->DisplayName, original.DisplayName);
    EXPECT_EQ(found->DisplayIcon, original.DisplayIcon);
    EXPECT_EQ(found->UninstallString, original.UninstallString);
    EXPECT_EQ(found->KeyName, original.KeyName);
    EXPECT_EQ(found->FromMachine, original.FromMachine);
    EXPECT_EQ(list.GetEntryByKey(9), nullptr);

    list.DeleteAll();
    EXPECT_EQ(list.GetEntryByKey(2), nullptr);
}

TEST_F(SoftwareListViewTest, RowsStayInTheOrderTheyWereAdded)
{
    list.AddEntry(MakeEntry(3, L"Charlie"), true);
    list.AddEntry(MakeEntry(1, L"Alpha"), true);
    list.AddEntry(MakeEntry(4, L"Hidden"), false);
    list.AddEntry(MakeEntry(2, L"Bravo"), true);
    list.Relayout();

    std::vector<int> keys;
    std::vector<int> tops;
    std::vector<std::wstring> names;
    for (const ListRow* row : list.Body()->Rows()) {
        const auto* product = static_cast<const ProductRow*>(row);
        keys.push_back(row->Key());
        names.push_back(product->NameLabel()->Text());
        if (row->Visible()) {
            tops.push_back(row->Rect().top);
        }
    }
    EXPECT_EQ(keys, (std::vector<int>{3, 1, 4, 2}));
    EXPECT_EQ(names, (std::vector<std::wstring>{L"Charlie", L"Alpha", L"Hidden", L"Bravo"}));
    EXPECT_EQ(tops, (std::vector<int>{0, 50, 100}));
}

} // namespace
