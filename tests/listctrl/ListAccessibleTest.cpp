// The list as assistive technology sees it, through the same calls a screen
// reader makes: AccessibleObjectFromWindow, IAccessible and WinEvents.
#include "base/ScopedHandle.h"
#include "listctrl/ProductRow.h"
#include "listctrl/SoftwareListView.h"
#include "tests/listctrl/ListTestSupport.h"
#include "tests/support/DibCanvas.h"
#include "tests/support/Graveyard.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <oleacc.h>

#include <string>
#include <tuple>
#include <vector>

namespace {

using Accessible = ScopedComReference<IAccessible>;

constexpr int kWidth = 360;
constexpr int kHeight = 200;
constexpr int kRows = 6;
// Where a row draws its uninstall button, relative to the row.
constexpr RECT kButton = {267, 13, 267 + 63, 13 + 23};
constexpr LONG kButtonChild = 1;
constexpr COLORREF kButtonBorder = RGB(107, 140, 165);
// The button's inner edge, normal and pressed.
constexpr COLORREF kNormalEdge = RGB(227, 240, 246);
constexpr COLORREF kPressedEdge = RGB(222, 235, 244);

VARIANT Child(LONG id)
{
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

const VARIANT kSelf = Child(CHILDID_SELF);

std::wstring TakeText(BSTR text)
{
    std::wstring taken = text ? std::wstring(text, SysStringLen(text)) : L"";
    SysFreeString(text);
    return taken;
}

std::wstring Name(IAccessible* object, LONG child = CHILDID_SELF)
{
    BSTR name = nullptr;
    object->get_accName(Child(child), &name);
    return TakeText(name);
}

LONG IntegerOf(HRESULT (STDMETHODCALLTYPE IAccessible::*property)(VARIANT, VARIANT*), IAccessible* object, LONG child)
{
    VARIANT value;
    VariantInit(&value);
    EXPECT_EQ(S_OK, (object->*property)(Child(child), &value));
    EXPECT_EQ(VT_I4, value.vt);
    return value.lVal;
}

LONG Role(IAccessible* object, LONG child = CHILDID_SELF)
{
    return IntegerOf(&IAccessible::get_accRole, object, child);
}

LONG State(IAccessible* object, LONG child = CHILDID_SELF)
{
    return IntegerOf(&IAccessible::get_accState, object, child);
}

// Left, top, right, bottom: comparable and printable.
using Corners = std::vector<LONG>;

Corners CornersOf(const RECT& rect)
{
    return {rect.left, rect.top, rect.right, rect.bottom};
}

Corners Location(IAccessible* object, LONG child = CHILDID_SELF)
{
    LONG left = 0, top = 0, width = 0, height = 0;
    EXPECT_EQ(S_OK, object->accLocation(&left, &top, &width, &height, Child(child)));
    return {left, top, left + width, top + height};
}

// The object a VARIANT answer hands out (VT_DISPATCH), taking its reference.
Accessible ObjectOf(VARIANT& answer)
{
    Accessible object;
    if (answer.vt == VT_DISPATCH && answer.pdispVal) {
        IAccessible* accessible = nullptr;
        answer.pdispVal->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&accessible));
        object.Reset(accessible);
    }
    VariantClear(&answer);
    return object;
}

Accessible ChildObject(IAccessible* list, LONG child)
{
    IDispatch* dispatch = nullptr;
    EXPECT_EQ(S_OK, list->get_accChild(Child(child), &dispatch));
    VARIANT answer;
    answer.vt = VT_DISPATCH;
    answer.pdispVal = dispatch;
    return ObjectOf(answer);
}

Accessible Navigate(IAccessible* object, LONG direction, LONG start = CHILDID_SELF)
{
    VARIANT end;
    VariantInit(&end);
    object->accNavigate(direction, Child(start), &end);
    return ObjectOf(end);
}

// Every WinEvent of one window, as a hook outside the window's context gets
// them once the thread takes its messages.
class WinEventRecorder {
public:
    using Event = std::tuple<DWORD, LONG, LONG>; // event, object, child

    explicit WinEventRecorder(HWND window)
    {
        window_ = window;
        events_.clear();
        hook_ = SetWinEventHook(EVENT_OBJECT_REORDER, EVENT_OBJECT_SELECTION, nullptr, Record, GetCurrentProcessId(), 0,
            WINEVENT_OUTOFCONTEXT);
    }
    ~WinEventRecorder() { UnhookWinEvent(hook_); }
    WinEventRecorder(const WinEventRecorder&) = delete;
    WinEventRecorder& operator=(const WinEventRecorder&) = delete;

    std::vector<Event> Take()
    {
        Pump();
        return std::exchange(events_, {});
    }

private:
    static void CALLBACK Record(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD)
    {
        if (window == window_) {
            events_.emplace_back(event, object, child);
        }
    }

    static inline HWND window_ = nullptr;
    static inline std::vector<Event> events_;
    HWINEVENTHOOK hook_ = nullptr;
};

WinEventRecorder::Event Focus(LONG child)
{
    return {EVENT_OBJECT_FOCUS, OBJID_CLIENT, child};
}

WinEventRecorder::Event Selection(LONG child)
{
    return {EVENT_OBJECT_SELECTION, OBJID_CLIENT, child};
}

const WinEventRecorder::Event kReorder = {EVENT_OBJECT_REORDER, OBJID_CLIENT, CHILDID_SELF};

class ListAccessibleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        Graveyard::Instance().Clear();
        ASSERT_TRUE(CreateList(list, parent, kWidth, kHeight));
        // Rows whose memory is poisoned once deleted.
        for (int sequence = 1; sequence <= kRows; ++sequence) {
            InstalledEntry entry;
            entry.Sequence = sequence;
            entry.DisplayName = L"Velmo " + std::to_wstring(sequence);
            list.Body()->AddRow(std::make_unique<Poisoned<ProductRow>>(entry), list.ClientWidth(), kProductRowHeight);
        }
        list.Relayout();
        SetFocus(list.Handle());
    }

    void TearDown() override
    {
        Graveyard::Instance().Clear();
        CoUninitialize();
    }

    Accessible ListObject() const
    {
        IAccessible* object = nullptr;
        EXPECT_EQ(S_OK,
            AccessibleObjectFromWindow(list.Handle(), OBJID_CLIENT, IID_IAccessible,
                reinterpret_cast<void**>(&object)));
        return Accessible(object);
    }

    // A rectangle of the list's client area on the screen.
    RECT OnScreen(RECT rect) const
    {
        MapWindowPoints(list.Handle(), nullptr, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }

    // Where row number n (from 1) and its button are drawn, at the current scroll position.
    RECT RowPlace(int n) const
    {
        const int top = (n - 1) * kProductRowHeight - VerticalPosition(list);
        return OnScreen({0, top, list.ClientWidth(), top + kProductRowHeight});
    }

    RECT ButtonPlace(int n) const
    {
        const RECT row = RowPlace(n);
        return {row.left + kButton.left, row.top + kButton.top, row.left + kButton.right, row.top + kButton.bottom};
    }

    std::vector<Notification> Received() { return std::exchange(parent.notifications, {}); }

    SoftwareListView list;
    TestParent parent;
};

TEST_F(ListAccessibleTest, RowsAndTheirButtonsAreObjectsThatActAsTheMouseDoesAndFailSafelyOnceGone)
{
    const Accessible listObject = ListObject();
    IAccessible* const all = listObject.Get();
    ASSERT_NE(nullptr, all);
    EXPECT_EQ(ROLE_SYSTEM_LIST, Role(all));
    LONG count = 0;
    EXPECT_EQ(S_OK, all->get_accChildCount(&count));
    EXPECT_EQ(kRows, count);

    // Every row: its name, role, state and the place where it is drawn; its
    // button as its one child. Rows 5 and 6 lie below the visible part.
    DibCanvas canvas(list.ClientWidth(), list.ClientHeight());
    const RECT client = {0, 0, list.ClientWidth(), list.ClientHeight()};
    list.Host().Paint(canvas.Dc(), &client);
    const POINT origin = {OnScreen(client).left, OnScreen(client).top};
    for (int n = 1; n <= kRows; ++n) {
        SCOPED_TRACE(n);
        const Accessible row = ChildObject(all, n);
        ASSERT_NE(nullptr, row.Get());
        EXPECT_EQ(L"Velmo " + std::to_wstring(n), Name(row.Get()));
        EXPECT_EQ(L"Velmo " + std::to_wstring(n), Name(all, n));
        EXPECT_EQ(ROLE_SYSTEM_LISTITEM, Role(row.Get()));
        const LONG offscreen = n > 4 ? STATE_SYSTEM_OFFSCREEN : 0;
        EXPECT_EQ(STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE | offscreen, State(row.Get()));
        EXPECT_EQ(CornersOf(RowPlace(n)), Location(row.Get()));

        LONG buttons = 0;
        EXPECT_EQ(S_OK, row.Get()->get_accChildCount(&buttons));
        EXPECT_EQ(1, buttons);
        IDispatch* simple = reinterpret_cast<IDispatch*>(1);
        EXPECT_EQ(S_FALSE, row.Get()->get_accChild(Child(kButtonChild), &simple));
        EXPECT_EQ(nullptr, simple);
        EXPECT_EQ(L"卸载", Name(row.Get(), kButtonChild));
        EXPECT_EQ(ROLE_SYSTEM_PUSHBUTTON, Role(row.Get(), kButtonChild));
        BSTR action = nullptr;
        EXPECT_EQ(S_OK, row.Get()->get_accDefaultAction(Child(kButtonChild), &action));
        EXPECT_EQ(L"按下", TakeText(action));
        const Corners button = Location(row.Get(), kButtonChild);
        EXPECT_EQ(CornersOf(ButtonPlace(n)), button);
        if (n <= 4) {
            // The reported left edge is where the button's border is drawn.
            EXPECT_EQ(kButtonBorder, canvas.Pixel(button[0] - origin.x, (button[1] + button[3]) / 2 - origin.y));
        }
    }

    // Navigation among the rows and into a row.
    EXPECT_EQ(L"Velmo 1", Name(Navigate(all, NAVDIR_FIRSTCHILD).Get()));
    EXPECT_EQ(L"Velmo 6", Name(Navigate(all, NAVDIR_LASTCHILD).Get()));
    EXPECT_EQ(L"Velmo 3", Name(Navigate(all, NAVDIR_NEXT, 2).Get()));
    const Accessible second = ChildObject(all, 2);
    EXPECT_EQ(L"Velmo 1", Name(Navigate(second.Get(), NAVDIR_PREVIOUS).Get()));
    EXPECT_EQ(nullptr, Navigate(Navigate(second.Get(), NAVDIR_PREVIOUS).Get(), NAVDIR_PREVIOUS).Get());
    VARIANT inside;
    VariantInit(&inside);
    EXPECT_EQ(S_OK, second.Get()->accNavigate(NAVDIR_FIRSTCHILD, kSelf, &inside));
    EXPECT_EQ(VT_I4, inside.vt);
    EXPECT_EQ(kButtonChild, inside.lVal);

    // A point on the third row's button: the list finds the row, the row its button.
    const RECT third = ButtonPlace(3);
    const POINT centre = {(third.left + third.right) / 2, (third.top + third.bottom) / 2};
    VARIANT hit;
    VariantInit(&hit);
    EXPECT_EQ(S_OK, all->accHitTest(centre.x, centre.y, &hit));
    const Accessible hitRow = ObjectOf(hit);
    ASSERT_NE(nullptr, hitRow.Get());
    EXPECT_EQ(L"Velmo 3", Name(hitRow.Get()));
    EXPECT_EQ(S_OK, hitRow.Get()->accHitTest(centre.x, centre.y, &hit));
    EXPECT_EQ(VT_I4, hit.vt);
    EXPECT_EQ(kButtonChild, hit.lVal);

    // Scrolled down: the first row is off the screen, the fifth on it and
    // drawn where its object says.
    SendMessageW(list.Handle(), WM_VSCROLL, SB_PAGEDOWN, 0);
    ASSERT_GT(VerticalPosition(list), kProductRowHeight);
    const Accessible first = ChildObject(all, 1);
    const Accessible fifth = ChildObject(all, 5);
    EXPECT_EQ(STATE_SYSTEM_OFFSCREEN, State(first.Get()) & STATE_SYSTEM_OFFSCREEN);
    EXPECT_EQ(0, State(fifth.Get()) & STATE_SYSTEM_OFFSCREEN);
    EXPECT_EQ(CornersOf(RowPlace(5)), Location(fifth.Get()));

    // Selecting the first row as a screen reader does: selected, told to the
    // parent and to assistive technology, scrolled back into view.
    VARIANT selection;
    EXPECT_EQ(S_FALSE, all->get_accSelection(&selection));
    EXPECT_EQ(VT_EMPTY, selection.vt);
    WinEventRecorder events(list.Handle());
    Received();
    EXPECT_EQ(S_OK, first.Get()->accSelect(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION, kSelf));
    ASSERT_NE(nullptr, list.SelectedRow());
    EXPECT_EQ(1, list.SelectedRow()->Key());
    EXPECT_EQ(0, VerticalPosition(list));
    EXPECT_EQ(Received(), (std::vector<Notification>{Expected(list, LN_SELCHANGED, 1)}));
    EXPECT_EQ(events.Take(), (std::vector<WinEventRecorder::Event>{Focus(1), Selection(1)}));
    EXPECT_EQ(STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED,
        State(first.Get()));
    EXPECT_EQ(S_OK, all->get_accSelection(&selection));
    EXPECT_EQ(L"Velmo 1", Name(ObjectOf(selection).Get()));
    VARIANT focus;
    EXPECT_EQ(S_OK, all->get_accFocus(&focus));
    EXPECT_EQ(L"Velmo 1", Name(ObjectOf(focus).Get()));

    // The button's default action is a click: the same LN_COMMAND as the
    // mouse's, once the caller has its answer; the selection stays.
    EXPECT_EQ(S_OK, hitRow.Get()->accDoDefaultAction(Child(kButtonChild)));
    EXPECT_EQ(Received(), std::vector<Notification>{});
    Pump();
    EXPECT_EQ(Received(), (std::vector<Notification>{Expected(list, LN_COMMAND, 3, IDC_ROW_UNINSTALL)}));
    EXPECT_EQ(1, list.SelectedRow()->Key());

    // Rows rebuilt (with a click requested just before): the old objects
    // answer E_INVALIDARG without touching the deleted rows, the request is
    // void, the list object serves the new rows.
    EXPECT_EQ(S_OK, hitRow.Get()->accDoDefaultAction(Child(kButtonChild)));
    list.DeleteAll();
    InstalledEntry entry;
    entry.Sequence = 3;
    entry.DisplayName = L"Quellmar 3";
    list.AddEntry(entry, true);
    list.Relayout();
    Pump();
    EXPECT_EQ(Received(), (std::vector<Notification>{Expected(list, LN_SELCHANGED, 0)}));
    EXPECT_EQ(Graveyard::Instance().Count(), static_cast<size_t>(kRows));
    BSTR name = nullptr;
    LONG left = 0, top = 0, width = 0, height = 0;
    VARIANT answer;
    EXPECT_EQ(E_INVALIDARG, hitRow.Get()->get_accName(kSelf, &name));
    EXPECT_EQ(E_INVALIDARG, hitRow.Get()->get_accState(Child(kButtonChild), &answer));
    EXPECT_EQ(E_INVALIDARG, hitRow.Get()->accLocation(&left, &top, &width, &height, kSelf));
    EXPECT_EQ(E_INVALIDARG, hitRow.Get()->accDoDefaultAction(Child(kButtonChild)));
    EXPECT_EQ(E_INVALIDARG, first.Get()->accSelect(SELFLAG_TAKESELECTION, kSelf));
    EXPECT_EQ(E_INVALIDARG, second.Get()->accNavigate(NAVDIR_NEXT, kSelf, &answer));
    EXPECT_EQ(E_INVALIDARG, all->get_accName(Child(2), &name));
    EXPECT_EQ(S_OK, all->get_accChildCount(&count));
    EXPECT_EQ(1, count);
    EXPECT_EQ(L"Quellmar 3", Name(all, 1));
    EXPECT_TRUE(Graveyard::Instance().Untouched());

    // The window destroyed: every object answers RPC_E_DISCONNECTED.
    const Accessible fresh = ChildObject(all, 1);
    DestroyWindow(list.Handle());
    EXPECT_EQ(RPC_E_DISCONNECTED, all->get_accChildCount(&count));
    EXPECT_EQ(RPC_E_DISCONNECTED, all->accHitTest(centre.x, centre.y, &answer));
    EXPECT_EQ(RPC_E_DISCONNECTED, fresh.Get()->get_accName(kSelf, &name));
    EXPECT_EQ(RPC_E_DISCONNECTED, fresh.Get()->accDoDefaultAction(Child(kButtonChild)));
    EXPECT_EQ(RPC_E_DISCONNECTED, hitRow.Get()->get_accRole(kSelf, &answer));
    Pump();
    EXPECT_EQ(Received(), std::vector<Notification>{});
    EXPECT_TRUE(Graveyard::Instance().Untouched());
}

TEST_F(ListAccessibleTest, KeyboardSelectionAndRebuildsAreAnnouncedAndSpacePressesTheSelectedRowsButton)
{
    const LPARAM kFirstPress = 1;
    const LPARAM kRepeat = 1 | 1 << 30;
    const LPARAM kRelease = 1 | 3 << 30;
    const auto key = [this](UINT message, WPARAM code, LPARAM flags) {
        SendMessageW(list.Handle(), message, code, flags);
    };
    // The inner edge of the button of row n (from 1), as the list paints it now.
    const auto buttonEdge = [this](int n) {
        DibCanvas canvas(list.ClientWidth(), list.ClientHeight());
        const RECT client = {0, 0, list.ClientWidth(), list.ClientHeight()};
        list.Host().Paint(canvas.Dc(), &client);
        const RECT& row = list.FindByKey(n)->Rect();
        return canvas.Pixel(row.left + kButton.left + 1, row.top + kButton.top + 1);
    };
    WinEventRecorder events(list.Handle());

    // Without a selection Space does nothing.
    key(WM_KEYDOWN, VK_SPACE, kFirstPress);
    key(WM_KEYUP, VK_SPACE, kRelease);
    EXPECT_EQ(Received(), std::vector<Notification>{});

    key(WM_KEYDOWN, VK_DOWN, kFirstPress);
    key(WM_KEYDOWN, VK_DOWN, kFirstPress);
    EXPECT_EQ(events.Take(), (std::vector<WinEventRecorder::Event>{Focus(1), Selection(1), Focus(2), Selection(2)}));
    Received();

    // Held: pressed, repeated: nothing more, released: one command.
    ASSERT_EQ(kNormalEdge, buttonEdge(2));
    key(WM_KEYDOWN, VK_SPACE, kFirstPress);
    key(WM_KEYDOWN, VK_SPACE, kRepeat);
    EXPECT_EQ(kPressedEdge, buttonEdge(2));
    EXPECT_EQ(Received(), std::vector<Notification>{});
    key(WM_KEYUP, VK_SPACE, kRelease);
    EXPECT_EQ(kNormalEdge, buttonEdge(2));
    EXPECT_EQ(Received(), (std::vector<Notification>{Expected(list, LN_COMMAND, 2, IDC_ROW_UNINSTALL)}));

    // The focus lost while Space is held lets go of the button without a command.
    key(WM_KEYDOWN, VK_SPACE, kFirstPress);
    SetFocus(parent.Handle());
    EXPECT_EQ(kNormalEdge, buttonEdge(2));
    key(WM_KEYUP, VK_SPACE, kRelease);
    EXPECT_EQ(Received(), std::vector<Notification>{});

    // A rebuild is one reorder, announced when the new rows are laid out.
    events.Take();
    list.DeleteAll();
    EXPECT_EQ(events.Take(), std::vector<WinEventRecorder::Event>{});
    InstalledEntry entry;
    entry.Sequence = 1;
    entry.DisplayName = L"Velmo 1";
    list.AddEntry(entry, true);
    list.Relayout();
    list.Relayout();
    EXPECT_EQ(events.Take(), std::vector<WinEventRecorder::Event>{kReorder});
}

} // namespace
