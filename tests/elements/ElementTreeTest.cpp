#include "draw/DrawRoutines.h"
#include "elements/ButtonElement.h"
#include "elements/ClickableElement.h"
#include "elements/TextElement.h"

#include "tests/elements/ElementTestSupport.h"
#include "tests/support/DibCanvas.h"

#include <gtest/gtest.h>

namespace {

bool SameRect(const RECT& a, const RECT& b)
{
    return EqualRect(&a, &b) != FALSE;
}

// An element that fills its rectangle with one colour.
class Swatch : public Element {
public:
    explicit Swatch(COLORREF colour) : colour_(colour) {}
    void Paint(HDC dc, const RECT*) override { FillSolidRect(dc, Rect(), colour_); }

private:
    const COLORREF colour_;
};

template <typename T, typename... Args>
T* Add(ContainerElement* parent, const RECT& rect, Args&&... args)
{
    auto element = std::make_unique<T>(std::forward<Args>(args)...);
    element->SetRect(rect);
    return parent->AddChild(std::move(element));
}

// The window's pending update area; empty when nothing is invalid.
RECT UpdateArea(HWND window)
{
    RECT area = {};
    GetUpdateRect(window, &area, FALSE);
    return area;
}

class ElementTreeTest : public ::testing::Test {
protected:
    HostWindow window_;
    ContainerElement* root_ = window_.MakeRoot();
    EventLog log_;
};

TEST_F(ElementTreeTest, HoverFollowsTheMouseLeavingBeforeEntering)
{
    auto* a = Add<Recording<ClickableElement>>(root_, {10, 10, 50, 30}, log_, "a");
    auto* b = Add<Recording<ClickableElement>>(root_, {50, 10, 90, 30}, log_, "b");

    window_.host.OnMouseMove({20, 20});
    window_.host.OnMouseMove({30, 25});  // still a: no event
    EXPECT_EQ(window_.host.HoverElement(), a);
    EXPECT_TRUE(a->Hover());
    window_.host.OnMouseMove({50, 20});  // the left edge belongs to b
    EXPECT_EQ(window_.host.HoverElement(), b);
    EXPECT_FALSE(a->Hover());
    window_.host.OnMouseMove({90, 20});  // the right edge does not
    EXPECT_EQ(window_.host.HoverElement(), nullptr);
    window_.host.OnMouseMove({60, 15});
    window_.host.OnMouseLeave();
    window_.host.OnMouseLeave();

    EXPECT_EQ(log_, (EventLog{"a enter", "a leave", "b enter", "b leave", "b enter", "b leave"}));
    EXPECT_EQ(window_.host.HoverElement(), nullptr);
    EXPECT_FALSE(b->Hover());
}

TEST_F(ElementTreeTest, TextHiddenAndDisabledElementsAreNotHit)
{
    Add<TextElement>(root_, {0, 0, 100, 40}, L"label");
    EXPECT_EQ(window_.host.HitTest({10, 10}), nullptr);
    auto* button = Add<Recording<ClickableElement>>(root_, {0, 0, 50, 40}, log_, "below");
    window_.host.OnMouseMove({10, 10});
    EXPECT_EQ(window_.host.HoverElement(), button) << "the text lets the mouse through";
    EXPECT_FALSE(window_.host.TrackPress({70, 10}));
    EXPECT_EQ(log_, EventLog{"below enter"});
    EXPECT_EQ(window_.host.HoverElement(), button) << "a press on nothing changes nothing";

    button->SetEnabled(false);
    EXPECT_EQ(window_.host.HitTest({10, 10}), nullptr);
    button->SetEnabled(true);
    button->SetVisible(false, false);
    EXPECT_EQ(window_.host.HitTest({10, 10}), nullptr);
    button->SetVisible(true, false);
    root_->SetVisible(false, false);
    EXPECT_EQ(window_.host.HitTest({10, 10}), nullptr);
}

TEST_F(ElementTreeTest, FirstAddedIsHitLastVisibleAddedIsPaintedOnTop)
{
    auto* first = Add<Swatch>(root_, {10, 10, 60, 40}, RGB(200, 0, 0));
    auto* second = Add<Swatch>(root_, {30, 20, 80, 50}, RGB(0, 0, 200));
    Add<Swatch>(root_, {0, 0, 100, 60}, RGB(0, 200, 0))->SetVisible(false, false);
    EXPECT_EQ(window_.host.HitTest({40, 30}), first);
    EXPECT_EQ(window_.host.HitTest({70, 45}), second);

    DibCanvas canvas(100, 60, RGB(255, 255, 255));
    window_.host.Paint(canvas.Dc(), nullptr);
    EXPECT_EQ(canvas.Pixel(40, 30), RGB(0, 0, 200));
    EXPECT_EQ(canvas.Pixel(15, 15), RGB(200, 0, 0));
    EXPECT_EQ(canvas.Pixel(5, 5), RGB(255, 255, 255));
}

TEST_F(ElementTreeTest, ChildrenArePlacedRelativeToTheirContainerAndMoveWithIt)
{
    auto detached = std::make_unique<ContainerElement>();
    detached->SetRect({10, 100, 190, 150});
    ButtonElement* const button = detached->CreateButton(L"Remove", 20, 5, 63, 23, 7);
    EXPECT_EQ(button->Host(), nullptr);
    ContainerElement* const row = root_->AddChild(std::move(detached));
    EXPECT_EQ(row->Host(), &window_.host);
    TextElement* const label = row->CreateText(L"Velmo", 1, 2, 3, 4, 0);
    EXPECT_EQ(label->Host(), &window_.host);
    EXPECT_TRUE(SameRect(button->Rect(), {30, 105, 93, 128}));
    EXPECT_TRUE(SameRect(label->Rect(), {11, 102, 14, 106}));

    row->MoveTo(0, 40, false);
    EXPECT_TRUE(SameRect(button->Rect(), {20, 45, 83, 68}));
    button->MoveTo(0, 0, false);
    EXPECT_TRUE(SameRect(button->Rect(), {0, 40, 63, 63}));
    EXPECT_TRUE(SameRect(label->Rect(), {1, 42, 4, 46}));
}

TEST_F(ElementTreeTest, MovingAndRemovingRepaintOnlyWhenAsked)
{
    auto* a = Add<Swatch>(root_, {10, 10, 20, 20}, RGB(1, 1, 1));
    auto* b = Add<Swatch>(root_, {40, 10, 60, 30}, RGB(1, 1, 1));
    ValidateRect(window_.Handle(), nullptr);
    a->MoveBy(30, 0, false);
    EXPECT_FALSE(GetUpdateRect(window_.Handle(), nullptr, FALSE));
    EXPECT_TRUE(SameRect(a->Rect(), {40, 10, 50, 20}));
    a->MoveBy(0, 20, true);
    EXPECT_TRUE(SameRect(UpdateArea(window_.Handle()), {40, 10, 50, 40})) << "old and new area";

    ValidateRect(window_.Handle(), nullptr);
    const std::unique_ptr<Element> quiet = root_->RemoveChild(a, false);
    EXPECT_FALSE(GetUpdateRect(window_.Handle(), nullptr, FALSE));
    const std::unique_ptr<Element> repainted = root_->RemoveChild(b, true);
    EXPECT_TRUE(SameRect(UpdateArea(window_.Handle()), {40, 10, 60, 30}));
}

TEST_F(ElementTreeTest, RemovingTheHoveredElementMakesItLeaveFirst)
{
    auto* a = Add<Recording<ClickableElement>>(root_, {0, 0, 50, 50}, log_, "a");
    auto* b = Add<Recording<ClickableElement>>(root_, {50, 0, 100, 50}, log_, "b");
    window_.host.OnMouseMove({10, 10});

    const std::unique_ptr<Element> removedB = root_->RemoveChild(b, true);
    EXPECT_EQ(window_.host.HoverElement(), a) << "b was not hovered";

    const std::unique_ptr<Element> removedA = root_->RemoveChild(a, false);
    EXPECT_EQ(removedA.get(), a);
    EXPECT_EQ(log_, (EventLog{"a enter", "a leave"})) << "the leave comes while a is still in the tree";
    EXPECT_EQ(window_.host.HoverElement(), nullptr);
    EXPECT_EQ(root_->RemoveChild(a, true), nullptr) << "not a child any more";
}

TEST_F(ElementTreeTest, RemovingTheContainerOfTheHoveredElementMakesItLeave)
{
    auto* row = Add<ContainerElement>(root_, {0, 0, 100, 50});
    auto* button = Add<Recording<ClickableElement>>(row, {0, 0, 30, 30}, log_, "button");
    window_.host.OnMouseMove({10, 10});
    ASSERT_EQ(window_.host.HoverElement(), button);

    const std::unique_ptr<Element> removed = root_->RemoveChild(row, true);
    EXPECT_EQ(log_, (EventLog{"button enter", "button leave"}));
    EXPECT_EQ(window_.host.HoverElement(), nullptr);
    EXPECT_FALSE(button->Hover());
}

} // namespace
