// The product list as its parent, its user and a screen reader meet it.
#include "elements/ElementHost.h"
#include "listctrl/ProductRow.h"
#include "listctrl/SoftwareListView.h"
#include "tests/support/AccessibleObjects.h"
#include "tests/support/Graveyard.h"
#include "tests/support/ImportHook.h"
#include "tests/support/SyntheticInput.h"
#include "tests/support/TestFolders.h"
#include "tests/support/TestWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <vector>

namespace {

using Notes = std::vector<std::tuple<UINT, int, int>>; // code, key and extra of what the list told its parent
struct Message {
    UINT message;
    WPARAM wParam = 0;
    int x = 0, y = 0;
}; // for the list; x and y make its lParam

// A product list of 360 × 200 client pixels in a one-pixel static edge, whose parent records what
// the list tells it and may act on it in onNote. Deleted rows stay poisoned till the next test.
class ListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearGraveyard();
        parent.onChildMessage = [this](UINT, WPARAM id, LPARAM lParam) {
            const auto& notify = *reinterpret_cast<const ListNotify*>(lParam);
            EXPECT_EQ(std::make_tuple(id, notify.hdr.idFrom, notify.hdr.hwndFrom),
                std::make_tuple(7u, 7u, list.Handle()));
            received.emplace_back(notify.hdr.code, notify.key, notify.extra);
            onNote(notify.hdr.code, notify.key);
        };
        ASSERT_TRUE(list.Create(parent.Handle(), WS_EX_STATICEDGE, WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, 10,
            10, 362, 202, 7));
        ClientToScreen(list.Handle(), &origin);
    }
    void TearDown() override { EXPECT_TRUE(GraveyardUntouched()); }

    // Rows 1 … count named "Velmo n", all with the icon; hidden ones take no place.
    void AddRows(int count, const std::vector<int>& hidden = {}, const std::wstring& icon = L"")
    {
        for (int key = 1; key <= count; ++key) {
            auto row = std::make_unique<Poisoned<ProductRow>>(
                InstalledEntry{key, L"Velmo " + std::to_wstring(key), icon, L"", false, false, L"", false, false});
            row->SetVisible(std::find(hidden.begin(), hidden.end(), key) == hidden.end(), false);
            list.Body()->AddRow(std::move(row), list.ClientWidth(), kProductRowHeight);
        }
        list.Relayout();
    }
    // Sends the messages in turn; returns what the parent was told since it was last asked.
    Notes Play(std::initializer_list<Message> messages)
    {
        for (const Message& m : messages) {
            SendMessageW(list.Handle(), m.message, m.wParam, MAKELPARAM(m.x, m.y));
        }
        return std::exchange(received, {});
    }
    int Position() const { return GetScrollPos(list.Handle(), SB_VERT); }
    ListRow* Row(int key) const { return list.FindByKey(key); }
    SoftwareListView list; // outlives its window, which goes with the parent
    TestWindow parent;
    Notes received;
    std::function<void(UINT code, int key)> onNote = [](UINT, int) {};
    POINT origin = {}; // of the client area on the screen
};

TEST_F(ListTest, KeysWalkTheShownRowsAndKeysLinesPagesTheWheelAndTheThumbScrollThemWithinTheirHeight)
{
    SetWindowPos(list.Handle(), nullptr, 0, 0, 362, 222, SWP_NOMOVE | SWP_NOZORDER); // 4.4 rows
    AddRows(11, {3}); // ten shown, 500 pixels: in a page of 200 the last position is 301
    // Key, then the row selected (0: none) and the scroll position; 0 for a key, which does nothing: the list 4 rows
    // high from then on, so that a page from a row's top lands on another row's top.
    const std::tuple<WPARAM, int, int> keys[] = {{VK_SPACE, 0, 0}, {VK_UP, 0, 0}, {VK_DOWN, 1, 0}, {VK_UP, 1, 0},
        {VK_DOWN, 2, 0}, {VK_DOWN, 4, 0}, {VK_DOWN, 5, 0}, {VK_DOWN, 6, 30}, {VK_UP, 5, 30}, {VK_NEXT, 9, 180},
        {VK_NEXT, 11, 280}, {VK_DOWN, 11, 280}, {VK_PRIOR, 6, 200}, {VK_PRIOR, 1, 0}, {VK_PRIOR, 1, 0}, {0, 1, 0},
        {VK_DOWN, 2, 0}, {VK_NEXT, 7, 100}, {VK_PRIOR, 2, 50}, {VK_UP, 1, 0}};
    int selected = 0;
    for (const auto& [key, row, position] : keys) {
        if (key == 0) {
            SetWindowPos(list.Handle(), nullptr, 0, 0, 362, 202, SWP_NOMOVE | SWP_NOZORDER);
        }
        const Notes told = row == std::exchange(selected, row) ? Notes{} : Notes{{LN_SELCHANGED, row, 0}};
        EXPECT_EQ(Play({{WM_KEYDOWN, key}}), told) << key;
        EXPECT_EQ(std::make_tuple(list.SelectedRow(), Position()), std::make_tuple(Row(row), position)) << key;
    }
    const auto expectAt = [this](int position) { // the bar's position and where the rows are
        EXPECT_EQ(std::make_tuple(Position(), Row(1)->Rect().top, Row(11)->Rect().top, list.Host().OriginY()),
            std::make_tuple(position, -position, 450 - position, -position));
    };
    const std::tuple<UINT, int, int> steps[] = {{WM_VSCROLL, SB_LINEDOWN, 10}, {WM_VSCROLL, SB_LINEUP, 0},
        {WM_MOUSEWHEEL, -WHEEL_DELTA, 30}, {WM_MOUSEWHEEL, -8 * WHEEL_DELTA, 60}, {WM_MOUSEWHEEL, 1, 30},
        {WM_VSCROLL, SB_PAGEDOWN, 230}, {WM_MOUSEWHEEL, -1, 260}, {WM_MOUSEWHEEL, -1, 290}, {WM_MOUSEWHEEL, -1, 301},
        {WM_VSCROLL, SB_PAGEDOWN, 301}, {WM_VSCROLL, SB_LINEDOWN, 301}, {WM_VSCROLL, SB_PAGEUP, 101},
        // Only a drag of the thumb moves the rows: outside one the track position is the current one.
        {WM_VSCROLL, SB_THUMBPOSITION, 101}, {WM_VSCROLL, SB_ENDSCROLL, 101}, {WM_VSCROLL, SB_TOP, 101},
        {WM_VSCROLL, SB_BOTTOM, 101}, {WM_VSCROLL, SB_THUMBTRACK, 101}, {WM_VSCROLL, SB_LINEUP, 91},
        {WM_VSCROLL, SB_PAGEUP, 0}, {WM_VSCROLL, SB_LINEUP, 0}};
    for (const auto& [message, request, position] : steps) {
        Play({{message, message == WM_MOUSEWHEEL ? MAKEWPARAM(0, request) : MAKEWPARAM(request, 50)}});
        expectAt(position);
    }
    EXPECT_EQ(GetWindowLongW(list.Handle(), GWL_STYLE) & WS_HSCROLL, 0) << "a horizontal scroll bar shows";
    // Grown by 50 pixels at the bottom, the list takes the rows down with the range.
    Play({{WM_VSCROLL, SB_PAGEDOWN}, {WM_VSCROLL, SB_PAGEDOWN}});
    SetWindowPos(list.Handle(), nullptr, 0, 0, 362, 252, SWP_NOMOVE | SWP_NOZORDER);
    expectAt(251);
    // The real thumb, at the top of its bar, dragged down: the rows follow it.
    ClickAt({origin.x + list.ClientWidth() + 8, origin.y + 40}, 0);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    ClickAt({origin.x + list.ClientWidth() + 8, origin.y + 60}, 0);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    Pump();
    EXPECT_TRUE(Position() > 0 && Position() < 200) << "not a page down of a click beside the thumb";
    expectAt(Position());
}

TEST_F(ListTest, PressesSelectReleasesClickOffTheRowsOnKeyZeroAndTheParentMayEmptyOrRebuildTheListMeanwhile)
{
    AddRows(4);
    // A command rebuilds the list, as the main window's refresh does; selecting row 2 empties it.
    onNote = [this](UINT code, int key) {
        if (code == LN_COMMAND || (code == LN_SELCHANGED && key == 2)) {
            list.DeleteAll();
            AddRows(code == LN_COMMAND ? 2 : 0);
        }
    };
    Play({{WM_LBUTTONDOWN, 0, 20, 20}});
    ClickAt({origin.x + 305, origin.y + 120}); // row 3's 卸载, hovered first
    Pump();
    EXPECT_EQ(Play({}), (Notes{{LN_COMMAND, 3, 105}, {LN_SELCHANGED, 0, 0}}));
    EXPECT_EQ(std::make_tuple(BuriedCount(), list.Body()->RowCount(), list.HotRow(), list.Host().HoverElement(),
                  GetCapture()),
        std::make_tuple(4u, 2, nullptr, nullptr, nullptr));
    // Space on the selected row's button, then a press on row 2, then what a session goes on doing.
    EXPECT_EQ(Play({{WM_KEYDOWN, VK_DOWN}, {WM_KEYDOWN, VK_SPACE}, {WM_KEYUP, VK_SPACE}, {WM_LBUTTONDOWN, 0, 20, 60}}),
        (Notes{{LN_SELCHANGED, 1, 0}, {LN_COMMAND, 1, 105}, {LN_SELCHANGED, 0, 0}, {LN_SELCHANGED, 2, 0},
            {LN_SELCHANGED, 0, 0}}));
    Play({{WM_MOUSEMOVE, 0, 300, 125}, {WM_MOUSELEAVE}, {WM_KEYDOWN, VK_DOWN}});
    RedrawWindow(list.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    onNote = [](UINT, int) {};
    AddRows(11, {1});                             // hidden, and so never hit, where row 2 is
    ClickAt({origin.x + 300, origin.y + 125}, 2); // row 4's 卸载
    ClickAt({origin.x + 20, origin.y + 125}, 2);
    Pump();
    EXPECT_EQ(Play({{WM_LBUTTONDOWN, 0, 20, 20}}),
        (Notes{{LN_COMMAND, 4, 105}, {LN_COMMAND, 4, 105}, {LN_SELCHANGED, 4, 0}, {NM_CLICK, 4, 0}, {NM_DBLCLK, 4, 0},
            {NM_CLICK, 4, 0}, {LN_SELCHANGED, 2, 0}}));
    EXPECT_EQ(Play({{WM_LBUTTONUP, 0, 20, 20}, {WM_RBUTTONDOWN, 0, 20, 60}, {WM_RBUTTONUP, 0, 20, 60},
                  {WM_RBUTTONDOWN, 0, 20, 60}, {WM_RBUTTONUP, 0, 20, 60}, {WM_VSCROLL, SB_PAGEDOWN},
                  {WM_VSCROLL, SB_LINEUP}, {WM_LBUTTONDOWN, 0, 20, 5}}), // row 5 begins 40 pixels above the top
        (Notes{{NM_CLICK, 2, 0}, {LN_SELCHANGED, 3, 0}, {NM_RCLICK, 3, 0}, {NM_RCLICK, 3, 0}, {LN_SELCHANGED, 5, 0}}));
    EXPECT_EQ(std::make_tuple(Row(5)->Selected(), Row(3)->Selected(), Position()), std::make_tuple(true, false, 150));
    list.DeleteAll();
    EXPECT_EQ(std::make_tuple(list.Body()->RowCount(), Position(), list.Host().OriginY()), std::make_tuple(0, 0, 0));
    list.DeleteAll(); // nothing selected: nothing more to report
    EXPECT_EQ(Play({{WM_LBUTTONUP, 0, 20, 70}, {WM_LBUTTONDBLCLK, 0, 20, 70}, {WM_RBUTTONUP, 0, 20, 70}}),
        (Notes{{LN_SELCHANGED, 0, 0}, {NM_CLICK, 0, 0}, {NM_DBLCLK, 0, 0}, {NM_RCLICK, 0, 0}}));
    // Any press, left, double or right, gives the list the keyboard focus.
    for (const UINT press : {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN}) {
        SetFocus(parent.Handle());
        Play({{press, 0, 20, 70}});
        EXPECT_EQ(GetFocus(), list.Handle()) << press;
    }
    // A press above the list is on no row, however many lie below.
    AddRows(1320);
    EXPECT_EQ(Play({{WM_LBUTTONDOWN, 0, 20, -5}, {WM_RBUTTONDOWN, 0, 20, -5}}), Notes{});
}

// What painting creates and selects, seen where the list hands it to the platform: the objects created, and per
// DC and kind of object what the DC held before its first selection and what it holds now.
struct {
    std::vector<HGDIOBJ> created;
    std::map<std::pair<HDC, DWORD>, std::pair<HGDIOBJ, HGDIOBJ>> held;
    std::deque<ImportHook> hooks; // kept in place: a hook cannot move
} g_gdi;

// Stands in for the creating function hooked N-th.
template <size_t N, typename Handle, typename... Arguments>
Handle WINAPI Create(Arguments... arguments)
{
    g_gdi.created.push_back(g_gdi.hooks[N].Original<Handle(WINAPI*)(Arguments...)>()(arguments...));
    return static_cast<Handle>(g_gdi.created.back());
}

HGDIOBJ WINAPI Select(HDC dc, HGDIOBJ object)
{
    const HGDIOBJ previous = g_gdi.hooks[0].Original<decltype(&SelectObject)>()(dc, object);
    g_gdi.held.try_emplace({dc, GetObjectType(object)}, previous, object).first->second.second = object;
    return previous;
}

TEST_F(ListTest, EveryPaintPutsBackWhatItSelectsAndDeletesWhatItCreates)
{
    // Fonts and icons are made once, by the first paints: empty, then with rows.
    RedrawWindow(list.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    AddRows(8, {}, ModuleDirectory() + L"\\sized_icon.ico");
    SetFocus(list.Handle());
    Play({{WM_KEYDOWN, VK_DOWN}, {WM_KEYDOWN, VK_DOWN}});
    RedrawWindow(list.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    g_gdi = {};
    // The list's GDI calls go through the ledger till the hooks are cleared.
    g_gdi.hooks.emplace_back("gdi32.dll", "SelectObject", &Select);
    g_gdi.hooks.emplace_back("gdi32.dll", "CreatePen", &Create<1, HPEN, int, int, COLORREF>);
    g_gdi.hooks.emplace_back("gdi32.dll", "CreateFontIndirectW", &Create<2, HFONT, const LOGFONTW*>);
    g_gdi.hooks.emplace_back("gdi32.dll", "CreateCompatibleDC", &Create<3, HDC, HDC>);
    g_gdi.hooks.emplace_back("gdi32.dll", "CreateCompatibleBitmap", &Create<4, HBITMAP, HDC, int, int>);
    g_gdi.hooks.emplace_back("gdi32.dll", "CreateRectRgnIndirect", &Create<5, HRGN, const RECT*>);
    // Scrolled a line down or up with each press, released and emptied: every look the list has, twenty times over.
    for (int i = 0; i < 40; ++i) {
        Play({{i % 2 ? UINT{WM_NULL} : UINT{WM_VSCROLL}, static_cast<WPARAM>(i % 4 ? SB_LINEUP : SB_LINEDOWN)},
            {i % 2 ? UINT{WM_KEYUP} : UINT{WM_KEYDOWN}, VK_SPACE}});
        RedrawWindow(list.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    list.DeleteAll();
    RedrawWindow(list.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    g_gdi.hooks.clear();
    EXPECT_GT(g_gdi.created.size(), 20u) << "the ledger saw no painting";
    EXPECT_EQ(std::count_if(g_gdi.created.begin(), g_gdi.created.end(), GetObjectType), 0)
        << "objects created by painting and never deleted";
    for (const auto& [place, objects] : g_gdi.held) {
        EXPECT_EQ(objects.second, objects.first) << "a DC left holding an object of kind " << place.second;
    }
}

// What a screen reader reads of an object: name, role, state and place on the screen.
using Reading = std::tuple<std::wstring, LONG, LONG, std::vector<LONG>>;
constexpr LONG kSelf = CHILDID_SELF, kButton = 1; // a row itself and its button

Reading Read(const Accessible& object, LONG child = kSelf)
{
    BSTR name = nullptr;
    VARIANT role = {}, state = {};
    LONG left = 0, top = 0, width = 0, height = 0;
    if (object.Get()) {
        object.Get()->get_accName(Child(child), &name);
        object.Get()->get_accRole(Child(child), &role);
        object.Get()->get_accState(Child(child), &state);
        object.Get()->accLocation(&left, &top, &width, &height, Child(child));
    }
    const std::wstring text = name ? name : L"";
    SysFreeString(name);
    return {text, role.lVal, state.lVal, {left, top, left + width, top + height}};
}

// The WinEvents of the list's client object: event and child.
std::vector<std::pair<DWORD, LONG>> events;
void CALLBACK RecordEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD)
{
    if (GetDlgCtrlID(window) == 7 && object == OBJID_CLIENT) {
        events.emplace_back(event, child);
    }
}

TEST_F(ListTest, RowsAndTheirButtonsAreObjectsThatActAsTheMouseDoesSaveUnderAModalBoxAndFailSafelyOnceGone)
{
    ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    AddRows(6);
    SetFocus(list.Handle());
    const HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_REORDER, EVENT_OBJECT_SELECTION, nullptr, RecordEvent,
        GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    VARIANT answer = {};
    const Accessible all = ListObject(list.Handle());
    ASSERT_NE(nullptr, all.Get());
    LONG count = 0;
    EXPECT_EQ((std::tuple<HRESULT, LONG, LONG>{all.Get()->get_accChildCount(&count), count, std::get<1>(Read(all))}),
        std::make_tuple(S_OK, 6, ROLE_SYSTEM_LIST));
    // Each row, with its button as its one simple child.
    const LONG rowState = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
    for (LONG n = 1; n <= 6; ++n) {
        const LONG top = origin.y + (n - 1) * 50, offscreen = n > 4 ? STATE_SYSTEM_OFFSCREEN : 0;
        const Accessible row = RowObject(all, n);
        EXPECT_EQ(Read(row),
            Reading(L"Velmo " + std::to_wstring(n), ROLE_SYSTEM_LISTITEM, rowState | offscreen,
                {origin.x, top, origin.x + list.ClientWidth(), top + 50}));
        EXPECT_EQ(Read(row, kButton),
            Reading(L"卸载", ROLE_SYSTEM_PUSHBUTTON, offscreen, {origin.x + 267, top + 13, origin.x + 330, top + 36}));
    }
    const auto named = [&](HRESULT result) { // nothing, a simple child by its number or an object by its name
        return result != S_OK
            ? std::wstring(result == S_FALSE && answer.vt == VT_EMPTY ? L"nothing" : L"failed")
            : (answer.vt == VT_I4 ? L"child " + std::to_wstring(answer.lVal) : std::get<0>(Read(ObjectOf(answer))));
    };
    // Navigation among the rows and into one; a point on row 3's button finds the row, and in the row the button.
    all.Get()->accHitTest(origin.x + 300, origin.y + 125, &answer);
    const Accessible first = RowObject(all, 1), second = RowObject(all, 2), third = ObjectOf(answer);
    const auto go = [&](const Accessible& from, LONG direction, LONG start = kSelf) {
        return named(from.Get()->accNavigate(direction, Child(start), &answer));
    };
    EXPECT_EQ((std::vector<std::wstring>{go(all, NAVDIR_FIRSTCHILD), go(all, NAVDIR_LASTCHILD), go(all, NAVDIR_NEXT, 2),
                  go(second, NAVDIR_PREVIOUS), go(first, NAVDIR_PREVIOUS), go(second, NAVDIR_FIRSTCHILD),
                  go(second, NAVDIR_LEFT), go(second, NAVDIR_UP), go(second, NAVDIR_DOWN), std::get<0>(Read(third)),
                  named(third.Get()->accHitTest(origin.x + 300, origin.y + 125, &answer))}),
        (std::vector<std::wstring>{L"Velmo 1", L"Velmo 6", L"Velmo 3", L"Velmo 1", L"nothing", L"child 1", L"nothing",
            L"Velmo 1", L"Velmo 3", L"Velmo 3", L"child 1"}));

    // Selected as a screen reader does it when scrolled away, then by the keyboard: told to all, and in view.
    Play({{WM_VSCROLL, SB_PAGEDOWN}});
    EXPECT_EQ(S_OK, first.Get()->accSelect(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION, Child(kSelf)));
    EXPECT_EQ(std::make_tuple(Position(), std::get<2>(Read(first))),
        std::make_tuple(0, rowState | STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED));
    EXPECT_EQ(Play({{WM_KEYDOWN, VK_DOWN}}), (Notes{{LN_SELCHANGED, 1, 0}, {LN_SELCHANGED, 2, 0}}));
    Pump();
    EXPECT_EQ(std::exchange(events, {}),
        (decltype(events){{EVENT_OBJECT_FOCUS, 1}, {EVENT_OBJECT_SELECTION, 1}, {EVENT_OBJECT_FOCUS, 2},
            {EVENT_OBJECT_SELECTION, 2}}));
    SetFocus(parent.Handle()); // the selected row has the focus only while the list has it
    const std::wstring unfocused = named(all.Get()->get_accFocus(&answer));
    SetFocus(list.Handle());
    EXPECT_EQ(std::make_pair(unfocused, named(all.Get()->get_accFocus(&answer))),
        std::make_pair(std::wstring(L"nothing"), std::wstring(L"Velmo 2")));
    // A modal box owned by the dialog shuts out every press and selection, one asked for before it came up too.
    // Otherwise the button's default action is the mouse's click, once the caller has its answer.
    const auto press = [&] { return third.Get()->accDoDefaultAction(Child(kButton)); };
    const auto states = [&] { return std::make_pair(std::get<2>(Read(third)), std::get<2>(Read(third, kButton))); };
    EXPECT_EQ(S_OK, press());
    EnableWindow(parent.Handle(), FALSE);
    EXPECT_EQ(states(), std::make_pair(rowState | STATE_SYSTEM_UNAVAILABLE, LONG{STATE_SYSTEM_UNAVAILABLE}));
    EXPECT_EQ((std::vector<HRESULT>{press(), third.Get()->accSelect(SELFLAG_TAKESELECTION, Child(kSelf)),
                  all.Get()->accSelect(SELFLAG_TAKESELECTION, Child(3))}),
        std::vector<HRESULT>(3, E_ACCESSDENIED));
    Pump();
    EXPECT_EQ(Play({}), Notes{});
    EnableWindow(parent.Handle(), TRUE);
    EXPECT_EQ(states(), std::make_pair(rowState, 0L));
    EXPECT_EQ(S_OK, press());
    EXPECT_EQ(Play({}), Notes{});
    Pump();
    EXPECT_EQ(Play({}), (Notes{{LN_COMMAND, 3, 105}}));
    // The same question gets the same answer from the list, a row and a button; selecting nothing changes nothing.
    const auto answers = [&](const Accessible& object, LONG child) {
        BSTR file = nullptr;
        LONG topic = 0;
        return std::vector<HRESULT>{object.Get()->accNavigate(0, Child(child), &answer),
            object.Get()->accNavigate(NAVDIR_LASTCHILD + 1, Child(child), &answer),
            object.Get()->get_accHelpTopic(&file, Child(child), &topic),
            object.Get()->accSelect(SELFLAG_NONE, Child(child)),
            object.Get()->accSelect(SELFLAG_REMOVESELECTION << 1, Child(child))};
    };
    EXPECT_EQ((std::vector{answers(all, kSelf), answers(third, kSelf), answers(third, kButton)}),
        std::vector(3, std::vector<HRESULT>{E_INVALIDARG, E_INVALIDARG, S_FALSE, S_OK, E_INVALIDARG}));
    EXPECT_EQ(Play({}), Notes{});
    events.clear(); // what the system itself told of the focus moving

    // Rebuilt after another such click: no click, one reorder, old objects answer E_INVALIDARG.
    EXPECT_EQ(S_OK, press());
    list.DeleteAll();
    AddRows(3);
    Pump();
    EXPECT_EQ(std::exchange(events, {}), (decltype(events){{EVENT_OBJECT_REORDER, kSelf}}));
    EXPECT_EQ(Play({}), (Notes{{LN_SELCHANGED, 0, 0}}));
    const auto oldObjectsAnswer = [&] {
        return std::vector<HRESULT>{first.Get()->accSelect(SELFLAG_TAKESELECTION, Child(kSelf)), press(),
            second.Get()->accNavigate(NAVDIR_NEXT, Child(kSelf), &answer), second.Get()->accHitTest(0, 0, &answer),
            third.Get()->get_accState(Child(kButton), &answer), all.Get()->get_accRole(Child(4), &answer)};
    };
    EXPECT_EQ(oldObjectsAnswer(), std::vector<HRESULT>(6, E_INVALIDARG));
    EXPECT_EQ(L"Velmo 3", std::get<0>(Read(all, 3)));
    // The window destroyed: every object answers RPC_E_DISCONNECTED, with nothing in what it hands out.
    DestroyWindow(list.Handle());
    EXPECT_EQ(oldObjectsAnswer(), std::vector<HRESULT>(6, RPC_E_DISCONNECTED));
    VARIANT focus = Child(1), selection = Child(1);
    EXPECT_EQ((std::tuple<HRESULT, HRESULT, VARTYPE, VARTYPE>{all.Get()->get_accFocus(&focus),
                  all.Get()->get_accSelection(&selection), focus.vt, selection.vt}),
        std::make_tuple(RPC_E_DISCONNECTED, RPC_E_DISCONNECTED, VT_EMPTY, VT_EMPTY));
    UnhookWinEvent(hook);
    CoUninitialize();
}

} // namespace
