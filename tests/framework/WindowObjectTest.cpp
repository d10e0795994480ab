#include "framework/WindowObject.h"

#include "tests/framework/TestWindows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

constexpr UINT WM_FIRST = WM_APP + 1;
constexpr UINT WM_SECOND = WM_APP + 2;
constexpr UINT WM_THIRD = WM_APP + 3;
constexpr UINT WM_VIRTUAL = WM_APP + 4;
constexpr UINT WM_RETURNS_ZERO = WM_APP + 5;
constexpr UINT WM_UNMAPPED = WM_APP + 9;
constexpr UINT IDC_MAPPED = 7;
constexpr UINT IDC_LIKE_A_MESSAGE = WM_RETURNS_ZERO; // a command identifier equal to a mapped message

// A handler call: which handler (named by its result) and the message's parameters.
using HandlerCall = std::tuple<LRESULT, WPARAM, LPARAM>;

// Three levels of window classes whose tables overlap. Each handler answers
// with its own number: the tens name the level (1 root, 2 middle, 3 leaf).
// The middle class maps WM_SECOND again, the leaf maps WM_THIRD again (twice)
// and overrides the virtual handler that the root class maps.
class RoutingBase : public WindowObject {
public:
    MESSAGE_MAP_DECLARATION();

    std::vector<HandlerCall> calls;

protected:
    template <LRESULT Result>
    LRESULT Answer(WPARAM wParam, LPARAM lParam)
    {
        calls.emplace_back(Result, wParam, lParam);
        return Result;
    }
    virtual LRESULT OnVirtual(WPARAM wParam, LPARAM lParam) { return Answer<14>(wParam, lParam); }
};

MESSAGE_MAP(RoutingBase, WindowObject,
    MessageEntry(WM_FIRST, &RoutingBase::Answer<11>),
    MessageEntry(WM_SECOND, &RoutingBase::Answer<12>),
    MessageEntry(WM_THIRD, &RoutingBase::Answer<13>),
    MessageEntry(WM_VIRTUAL, &RoutingBase::OnVirtual),
    MessageEntry(WM_RETURNS_ZERO, &RoutingBase::Answer<0>))

class RoutingMiddle : public RoutingBase {
public:
    MESSAGE_MAP_DECLARATION();
};

class RoutingLeaf : public RoutingMiddle {
public:
    MESSAGE_MAP_DECLARATION();

protected:
    LRESULT OnVirtual(WPARAM wParam, LPARAM lParam) override { return Answer<34>(wParam, lParam); }
};

MESSAGE_MAP(RoutingMiddle, RoutingBase,
    MessageEntry(WM_SECOND, &RoutingMiddle::Answer<22>),
    // Never found: WM_COMMAND is looked up among command entries only.
    MessageEntry(WM_COMMAND, &RoutingMiddle::Answer<23>),
    CommandEntry(IDC_LIKE_A_MESSAGE, &RoutingMiddle::Answer<24>))

MESSAGE_MAP(RoutingLeaf, RoutingMiddle,
    MessageEntry(WM_THIRD, &RoutingLeaf::Answer<33>),
    MessageEntry(WM_THIRD, &RoutingLeaf::Answer<35>),
    CommandEntry(IDC_MAPPED, &RoutingLeaf::Answer<36>))

class RoutingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        OriginalCalls().clear();
        window_ = ScopedWindow(CreateOriginalWindow());
        ASSERT_NE(window_.Get(), nullptr);
    }
    HWND Window() const { return window_.Get(); }

private:
    ScopedWindow window_;
};

TEST_F(RoutingTest, MostDerivedEntryWinsAlongTheChain)
{
    RoutingLeaf leaf;
    ASSERT_TRUE(leaf.Subclass(Window()));

    EXPECT_EQ(SendMessageW(Window(), WM_FIRST, 1, 2), 11);
    EXPECT_EQ(SendMessageW(Window(), WM_SECOND, 3, 4), 22);
    EXPECT_EQ(SendMessageW(Window(), WM_THIRD, 5, 6), 33);
    EXPECT_EQ(SendMessageW(Window(), WM_VIRTUAL, 7, 8), 34);
    EXPECT_EQ(leaf.calls, (std::vector<HandlerCall>{{11, 1, 2}, {22, 3, 4}, {33, 5, 6}, {34, 7, 8}}));
    EXPECT_TRUE(OriginalCalls().empty());
}

TEST_F(RoutingTest, EachLevelSeesOnlyItsOwnAndItsBasesTables)
{
    RoutingMiddle middle;
    ASSERT_TRUE(middle.Subclass(Window()));

    EXPECT_EQ(SendMessageW(Window(), WM_SECOND, 0, 0), 22);
    EXPECT_EQ(SendMessageW(Window(), WM_THIRD, 0, 0), 13);
    EXPECT_EQ(SendMessageW(Window(), WM_VIRTUAL, 0, 0), 14);
    // The leaf's command entry is not in this object's chain.
    EXPECT_EQ(SendMessageW(Window(), WM_COMMAND, IDC_MAPPED, 0), 0);
    EXPECT_EQ(middle.calls, (std::vector<HandlerCall>{{22, 0, 0}, {13, 0, 0}, {14, 0, 0}}));
}

TEST_F(RoutingTest, CommandEntriesMatchEveryNotificationCodeAndOnlyCommands)
{
    RoutingLeaf leaf;
    ASSERT_TRUE(leaf.Subclass(Window()));
    const LPARAM control = reinterpret_cast<LPARAM>(Window());

    std::vector<HandlerCall> expected;
    for (const WORD code : {WORD{0}, WORD{1}, WORD{EN_CHANGE}, WORD{0x1234}, WORD{0xFFFF}}) {
        const WPARAM wParam = MAKEWPARAM(IDC_MAPPED, code);
        EXPECT_EQ(SendMessageW(Window(), WM_COMMAND, wParam, control), 36) << "notification code " << code;
        expected.emplace_back(36, wParam, control);
    }

    // An unmapped command identifier does not fall back to the message entry keyed WM_COMMAND,
    // nor to the message entry whose number equals the identifier.
    EXPECT_EQ(SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(IDC_MAPPED + 1, 0), 0), 0);
    EXPECT_EQ(SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(WM_FIRST, 0), 0), 0);
    // The message whose number equals a command identifier reaches its message entry.
    EXPECT_EQ(SendMessageW(Window(), IDC_LIKE_A_MESSAGE, 0, 0), 0);
    EXPECT_EQ(SendMessageW(Window(), WM_COMMAND, IDC_LIKE_A_MESSAGE, 0), 24);

    expected.emplace_back(0, 0, 0);
    expected.emplace_back(24, IDC_LIKE_A_MESSAGE, 0);
    EXPECT_EQ(leaf.calls, expected);
}

TEST_F(RoutingTest, UnmappedMessagesReachThePreviousProcedureUnchanged)
{
    RoutingLeaf leaf;
    ASSERT_TRUE(leaf.Subclass(Window()));

    EXPECT_EQ(SendMessageW(Window(), WM_UNMAPPED, 0x1234, 0x56789A), kOriginalResult);
    // Mapped, with a handler that returns 0: still handled, the previous procedure never sees it.
    EXPECT_EQ(SendMessageW(Window(), WM_RETURNS_ZERO, 1, 1), 0);

    const std::vector<OriginalCall> expected = {{WM_UNMAPPED, 0x1234, 0x56789A}};
    EXPECT_EQ(OriginalCalls(), expected);
}

TEST(BindingTest, ObjectDestroyedBeforeItsWindowLetsGoOfIt)
{
    OriginalCalls().clear();
    ScopedWindow window(CreateOriginalWindow());
    ASSERT_NE(window.Get(), nullptr);
    const LONG_PTR originalProc = GetWindowLongPtrW(window.Get(), GWLP_WNDPROC);
    {
        auto leaf = std::make_unique<RoutingLeaf>();
        ASSERT_TRUE(leaf->Subclass(window.Get()));
        EXPECT_EQ(SendMessageW(window.Get(), WM_FIRST, 0, 0), 11);
    }
    EXPECT_EQ(WindowObject::FromHandle(window.Get()), nullptr);
    EXPECT_EQ(GetWindowLongPtrW(window.Get(), GWLP_WNDPROC), originalProc);
    EXPECT_EQ(SendMessageW(window.Get(), WM_FIRST, 0, 0), kOriginalResult);
}

// ---- Creation through the hook --------------------------------------------

constexpr wchar_t kRecorderClass[] = L"FrameworkTestRecorder";

// Message names, so that a differing sequence reads at a glance.
std::vector<std::string> Names(const std::vector<UINT>& messages)
{
    static const std::pair<UINT, const char*> known[] = {{WM_CREATE, "WM_CREATE"}, {WM_MOVE, "WM_MOVE"},
        {WM_SIZE, "WM_SIZE"}, {WM_GETMINMAXINFO, "WM_GETMINMAXINFO"}, {WM_NCCREATE, "WM_NCCREATE"},
        {WM_NCCALCSIZE, "WM_NCCALCSIZE"}};
    std::vector<std::string> names;
    for (const UINT message : messages) {
        const auto* found = std::find_if(std::begin(known), std::end(known),
            [message](const auto& entry) { return entry.first == message; });
        names.push_back(found != std::end(known) ? found->second : std::to_string(message));
    }
    return names;
}

// Logs every message its window procedure sees; optionally creates a plain
// child window, or a child bound to an object of its own, while handling WM_CREATE.
class RecordingWindow : public WindowObject {
public:
    MESSAGE_MAP_DECLARATION();

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        messages.push_back(message);
        return WindowObject::WindowProc(message, wParam, lParam);
    }

    std::vector<UINT> messages;
    bool createsPlainChild = false;
    RecordingWindow* boundChild = nullptr;
    HWND plainChild = nullptr;

private:
    LRESULT OnCreate(WPARAM, LPARAM)
    {
        if (createsPlainChild) {
            plainChild = CreateWindowExW(0, kRecorderClass, L"", WS_CHILD, 0, 0, 10, 10, Handle(), nullptr,
                                         GetModuleHandleW(nullptr), nullptr);
        }
        if (boundChild) {
            boundChild->Create(0, kRecorderClass, L"", WS_CHILD, 0, 0, 10, 10, Handle(), nullptr);
        }
        return 0;
    }
};

MESSAGE_MAP(RecordingWindow, WindowObject,
    MessageEntry(WM_CREATE, &RecordingWindow::OnCreate))

class CreationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        host_ = ScopedWindow(CreateOriginalWindow());
        ASSERT_NE(host_.Get(), nullptr);
    }
    HWND Host() const { return host_.Get(); }

private:
    ScopedWindow host_;
};

TEST_F(CreationTest, WindowIsBoundBeforeItsFirstMessage)
{
    RecordingWindow child;
    ASSERT_TRUE(child.Create(0, kRecorderClass, L"", WS_CHILD, 5, 5, 50, 40, Host(), nullptr));
    ScopedWindow childWindow(child.Handle());
    EXPECT_EQ(Names(child.messages), Names({WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE}));
    EXPECT_EQ(WindowObject::FromHandle(child.Handle()), &child);
    EXPECT_EQ(GetParent(child.Handle()), Host());

    RecordingWindow topLevel;
    ASSERT_TRUE(topLevel.Create(0, kRecorderClass, L"", WS_OVERLAPPEDWINDOW, 20, 20, 200, 150, nullptr, nullptr));
    ScopedWindow topLevelWindow(topLevel.Handle());
    // A hidden overlapped window gets WM_SIZE and WM_MOVE only when first shown.
    EXPECT_EQ(Names(topLevel.messages), Names({WM_GETMINMAXINFO, WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE}));
}

TEST_F(CreationTest, OnlyTheRequestedWindowsAreBoundEvenWhenNested)
{
    RecordingWindow inner;
    RecordingWindow outer;
    outer.createsPlainChild = true;
    outer.boundChild = &inner;
    ASSERT_TRUE(outer.Create(0, kRecorderClass, L"", WS_CHILD, 0, 0, 100, 100, Host(), nullptr));
    ScopedWindow window(outer.Handle());

    ASSERT_NE(outer.plainChild, nullptr);
    EXPECT_EQ(WindowObject::FromHandle(outer.plainChild), nullptr);
    EXPECT_NE(GetWindowLongPtrW(outer.plainChild, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&ObjectWindowProc));
    ASSERT_NE(inner.Handle(), nullptr);
    EXPECT_EQ(GetParent(inner.Handle()), outer.Handle());
    EXPECT_EQ(WindowObject::FromHandle(outer.Handle()), &outer);
    EXPECT_EQ(WindowObject::FromHandle(inner.Handle()), &inner);
    EXPECT_EQ(Names(inner.messages), Names({WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE}));
}

TEST_F(CreationTest, FailedCreationBindsNothingAndLeavesNothingPending)
{
    RecordingWindow failed;
    EXPECT_FALSE(failed.Create(0, L"FrameworkTestNoSuchParent", L"", WS_CHILD, 0, 0, 10, 10,
                               reinterpret_cast<HWND>(static_cast<INT_PTR>(0xDEAD0)), nullptr));
    EXPECT_TRUE(failed.messages.empty());

    RecordingWindow next;
    ASSERT_TRUE(next.Create(0, kRecorderClass, L"", WS_CHILD, 0, 0, 10, 10, Host(), nullptr));
    ScopedWindow window(next.Handle());
    EXPECT_EQ(WindowObject::FromHandle(next.Handle()), &next);
    EXPECT_TRUE(failed.messages.empty());
}

// ---- Class registration ----------------------------------------------------

constexpr wchar_t kRegisteredClass[] = L"FrameworkTestRegistered";

// Counts PreRegisterClass calls, keeps the description it was offered and
// changes it the way its style asks.
class RegisteringWindow : public WindowObject {
public:
    explicit RegisteringWindow(UINT classStyle) : classStyle_(classStyle) {}

    void PreRegisterClass(WNDCLASSEXW& windowClass) override
    {
        ++preRegisterCalls;
        offered = windowClass;
        windowClass.style = classStyle_;
        windowClass.hbrBackground = nullptr;
    }

    int preRegisterCalls = 0;
    WNDCLASSEXW offered{};

private:
    const UINT classStyle_;
};

TEST_F(CreationTest, ClassIsRegisteredOnceWithTheClassesChanges)
{
    RegisteringWindow first(CS_DBLCLKS);
    ASSERT_TRUE(first.Create(0, kRegisteredClass, L"", WS_CHILD, 0, 0, 10, 10, Host(), nullptr));
    ScopedWindow firstWindow(first.Handle());

    ASSERT_EQ(first.preRegisterCalls, 1);
    EXPECT_EQ(first.offered.cbSize, sizeof(WNDCLASSEXW));
    EXPECT_EQ(first.offered.style, 0u);
    EXPECT_EQ(first.offered.lpfnWndProc, &DefWindowProcW);
    EXPECT_EQ(first.offered.cbClsExtra, 0);
    EXPECT_EQ(first.offered.cbWndExtra, 0);
    EXPECT_EQ(first.offered.hInstance, GetModuleHandleW(nullptr));
    EXPECT_EQ(first.offered.hIcon, nullptr);
    EXPECT_EQ(first.offered.hCursor, LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_EQ(first.offered.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    EXPECT_EQ(first.offered.lpszMenuName, nullptr);
    EXPECT_STREQ(first.offered.lpszClassName, kRegisteredClass);
    EXPECT_EQ(first.offered.hIconSm, nullptr);

    RegisteringWindow second(CS_HREDRAW);
    ASSERT_TRUE(second.Create(0, kRegisteredClass, L"", WS_CHILD, 0, 0, 10, 10, Host(), nullptr));
    ScopedWindow secondWindow(second.Handle());

    EXPECT_EQ(second.preRegisterCalls, 0);
    EXPECT_EQ(GetClassLongPtrW(second.Handle(), GCL_STYLE), static_cast<ULONG_PTR>(CS_DBLCLKS));
    EXPECT_EQ(GetClassLongPtrW(second.Handle(), GCLP_HBRBACKGROUND), 0u);
    EXPECT_EQ(WindowObject::FromHandle(second.Handle()), &second);
}

// ---- WM_DRAWITEM reflection ------------------------------------------------

// A control that answers (or declines) the drawing requests its parent hands back.
class DrawingControl : public WindowObject {
public:
    bool OnReflectedMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override
    {
        reflected.push_back({message, wParam, lParam});
        resultPointerGiven = resultPointerGiven || result != nullptr;
        return draws;
    }

    bool draws = true;
    std::vector<OriginalCall> reflected;
    bool resultPointerGiven = false;
};

// A parent bound to an object of the base class (whose table reflects
// WM_DRAWITEM), a child bound to a DrawingControl and a child without object.
class ReflectionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        OriginalCalls().clear();
        parentWindow_ = ScopedWindow(CreateOriginalWindow());
        ASSERT_TRUE(parent_.Subclass(parentWindow_.Get()));
        childWindow_ = ScopedWindow(CreateOriginalWindow(parentWindow_.Get()));
        ASSERT_TRUE(control_.Subclass(childWindow_.Get()));
        plainChildWindow_ = ScopedWindow(CreateOriginalWindow(parentWindow_.Get()));
        ASSERT_NE(plainChildWindow_.Get(), nullptr);
    }

    LRESULT SendDrawItem(UINT controlType, HWND item)
    {
        item_ = DRAWITEMSTRUCT{};
        item_.CtlType = controlType;
        item_.CtlID = 42;
        item_.hwndItem = item;
        return SendMessageW(parentWindow_.Get(), WM_DRAWITEM, 42, ItemParam());
    }
    LPARAM ItemParam() const { return reinterpret_cast<LPARAM>(&item_); }

    WindowObject parent_;
    DrawingControl control_;
    ScopedWindow parentWindow_;
    ScopedWindow childWindow_;
    ScopedWindow plainChildWindow_;
    DRAWITEMSTRUCT item_{};
};

TEST_F(ReflectionTest, ChildObjectDrawsItsOwnItemButNeverAMenuItem)
{
    EXPECT_EQ(SendDrawItem(ODT_MENU, childWindow_.Get()), 0);
    EXPECT_TRUE(control_.reflected.empty());

    EXPECT_EQ(SendDrawItem(ODT_BUTTON, childWindow_.Get()), TRUE);
    const std::vector<OriginalCall> expected = {{WM_DRAWITEM, 42, ItemParam()}};
    EXPECT_EQ(control_.reflected, expected);
    EXPECT_FALSE(control_.resultPointerGiven);
    EXPECT_TRUE(OriginalCalls().empty());
}

TEST_F(ReflectionTest, UndrawnItemsGetTheParentsDefaultProcessing)
{
    control_.draws = false;
    EXPECT_EQ(SendDrawItem(ODT_BUTTON, childWindow_.Get()), kOriginalResult);
    EXPECT_EQ(control_.reflected.size(), 1u);

    EXPECT_EQ(SendDrawItem(ODT_STATIC, plainChildWindow_.Get()), kOriginalResult);

    const std::vector<OriginalCall> expected = {{WM_DRAWITEM, 42, ItemParam()}, {WM_DRAWITEM, 42, ItemParam()}};
    EXPECT_EQ(OriginalCalls(), expected);
}

// ---- Shared utilities ------------------------------------------------------

TEST(UtilitiesTest, PointFromLParamWidensEachHalfWithItsSign)
{
    const struct {
        LPARAM lParam;
        LONG x, y;
    } cases[] = {{MAKELPARAM(0xFFFF, 0xFFFE), -1, -2}, {MAKELPARAM(10, 20), 10, 20},
        {MAKELPARAM(0x7FFF, 0x8000), 32767, -32768}};
    for (const auto& c : cases) {
        const POINT point = PointFromLParam(c.lParam);
        EXPECT_EQ(std::make_pair(point.x, point.y), std::make_pair(c.x, c.y)) << std::hex << c.lParam;
    }
}

} // namespace
