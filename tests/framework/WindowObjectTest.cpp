#include "framework/WindowObject.h"

#include "tests/support/TestWindow.h"

#include <gtest/gtest.h>

namespace {

constexpr UINT WM_FIRST = WM_APP + 1, WM_SECOND = WM_APP + 2, WM_THIRD = WM_APP + 3, WM_VIRTUAL = WM_APP + 4;
HWND CreateStatic(HWND parent)
{
    return CreateWindowExW(0, L"STATIC", L"abc", WS_CHILD, 0, 0, 9, 9, parent, 0, 0, 0);
}

// Two levels of tables over the base's. A handler answers with its level (tens) and entry (units) plus lParam.
// Its WM_CREATE creates a plain static child and then the inner object's window, when given.
struct Root : WindowObject {
    MESSAGE_MAP_DECLARATION();
    template <LRESULT Result>
    LRESULT Answer(WPARAM, LPARAM lParam)
    {
        return Result + lParam;
    }
    virtual LRESULT OnVirtual(WPARAM, LPARAM) { return 14; }
    bool Create(HWND parent) { return WindowObject::Create(0, L"TestRoot", L"", WS_CHILD, 0, 0, 9, 9, parent, 0); }
    LRESULT OnCreate(WPARAM, LPARAM)
    {
        plain = CreateStatic(Handle());
        return inner && !inner->Create(Handle()) ? -1 : 0;
    }
    Root* inner = nullptr;
    HWND plain = nullptr;
};
struct Leaf : Root {
    MESSAGE_MAP_DECLARATION();
    LRESULT OnVirtual(WPARAM, LPARAM) override { return 24; }
};

// The command identifier is also a message number that a static control answers.
// clang-format off
MESSAGE_MAP(Root, WindowObject,
    MessageEntry(WM_FIRST, &Root::Answer<11>),
    MessageEntry(WM_SECOND, &Root::Answer<12>),
    MessageEntry(WM_VIRTUAL, &Root::OnVirtual),
    MessageEntry(WM_CREATE, &Root::OnCreate))
MESSAGE_MAP(Leaf, Root,
    MessageEntry(WM_SECOND, &Leaf::Answer<22>),
    CommandEntry(WM_GETTEXTLENGTH, &Leaf::Answer<23>),
    MessageEntry(WM_THIRD, &Leaf::Answer<24>))
// clang-format on

TEST(MessageMapTest, TablesRouteMessagesUntilTheObjectIsDestroyed)
{
    const TestWindow window;
    const HWND label = CreateStatic(window.Handle());
    const LONG_PTR ownProcedure = GetWindowLongPtrW(label, GWLP_WNDPROC);
    {
        Leaf leaf;
        ASSERT_TRUE(leaf.Subclass(label));
        // The entry nearest the leaf answers; a command entry takes any notification code but no
        // message; what no entry takes gets the static's own answer (3, its text's length, or 0).
        const struct {
            UINT message;
            WPARAM wParam;
            LRESULT result;
        } cases[] = {{WM_FIRST, 0, 1011}, {WM_SECOND, 0, 1022}, {WM_THIRD, 0, 1024}, {WM_VIRTUAL, 0, 24},
            {WM_COMMAND, MAKEWPARAM(WM_GETTEXTLENGTH, 0xFFFF), 1023}, {WM_GETTEXTLENGTH, 0, 3},
            {WM_COMMAND, WM_FIRST, 0}};
        for (const auto& c : cases) {
            EXPECT_EQ(SendMessageW(label, c.message, c.wParam, 1000), c.result) << std::hex << c.message;
        }
    }
    // Destroyed before its window, the object has let go of it.
    EXPECT_EQ(WindowObject::FromHandle(label), nullptr);
    EXPECT_EQ(GetWindowLongPtrW(label, GWLP_WNDPROC), ownProcedure);
    EXPECT_EQ(SendMessageW(label, WM_THIRD, 0, 0), 0);
}

TEST(BindingTest, CreateBindsOnlyItsOwnWindowBeforeItsCreationEvenWhenNested)
{
    const TestWindow window;
    Root inner, outer;
    outer.inner = &inner;
    ASSERT_TRUE(outer.Create(window.Handle()));
    EXPECT_EQ(WindowObject::FromHandle(outer.Handle()), &outer);
    EXPECT_EQ(WindowObject::FromHandle(inner.Handle()), &inner);
    EXPECT_EQ(WindowObject::FromHandle(outer.plain), nullptr);
    EXPECT_NE(inner.plain, nullptr) << "the inner object saw its own WM_CREATE";
}

} // namespace
