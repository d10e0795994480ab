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
    EXPECT_EQ(window_.host.LastPoint().x, 60);
    EXPECT_EQ(window_.host.LastPoint().y, 15);
}

TEST_F(ElementTreeTest, TextNeverTakesTheMouseAndLaterSiblingsGetIt)
{
    Add<TextElement>(root_, {0, 0, 100, 40}, L"label");
    EXPECT_EQ(window_.host.HitTest({10, 10}), nullptr);
    auto* below = Add<Recording<ClickableElement>>(root_, {0, 0, 50, 40}, log_, "below");
    window_.host.OnMouseMove({10, 10});
    EXPECT_EQ(window_.host.HoverElement(), below);
    EXPECT_FALSE(window_.host.TrackPress({70, 10}));
    EXPECT_EQ(log_, EventLog{"below enter"});
    EXPECT_EQ(window_.host.HoverElement(), below) << "a press on nothing changes nothing";
    EXPECT_EQ(window_.host.LastPoint().x, 70);
}

TEST_F(ElementTreeTest, HiddenOrDisabledElementsAreNotHit)
{
    auto* button = Add<ClickableElement>(root_, {0, 0, 50, 40});
    EXPECT_EQ(window_.host.HitTest({10, 10}), button);
    button->SetEnabled(false);
    EXPECT_EQ(window_.host.HitTest({10, 10}), nullptr);
    button->SetEnabled(true);
    button->SetVisible(false, false);
    EXPECT_EQ(window_.host.HitTest({10, 10}), nullptr);
    button->SetVisible(true, false);
    root_->SetVisible(false, false);
    EXPECT_EQ(window_.host.HitTest({10, 10}), nullptr);
}

TEST_F(ElementTreeTest, FirstAddedIsHitLastAddedIsPaintedOnTop)
{
    auto* first = Add<Swatch>(root_, {10, 10, 60, 40}, RGB(200, 0, 0));
    auto* second = Add<Swatch>(root_, {30, 20, 80, 50}, RGB(0, 0, 200));
    EXPECT_EQ(window_.host.HitTest({40, 30}), first);
    EXPECT_EQ(window_.host.HitTest({70, 45}), second);

    DibCanvas canvas(100, 60, RGB(255, 255, 255));
    window_.host.Paint(canvas.Dc(), nullptr);
    EXPECT_EQ(canvas.Pixel(40, 30), RGB(0, 0, 200));
    EXPECT_EQ(canvas.Pixel(15, 15), RGB(200, 0, 0));
}

TEST_F(ElementTreeTest, PaintingSkipsHiddenChildrenAndThoseOutsideTheClip)
{
    Add<Swatch>(root_, {0, 0, 20, 20}, RGB(200, 0, 0));
    Add<Swatch>(root_, {40, 0, 60, 20}, RGB(0, 200, 0))->SetVisible(false, false);
    Add<Swatch>(root_, {70, 0, 90, 20}, RGB(0, 0, 200));

    DibCanvas canvas(100, 20, RGB(255, 255, 255));
    const RECT clip = {50, 0, 100, 20};
    window_.host.Paint(canvas.Dc(), &clip);
    EXPECT_EQ(canvas.Pixel(5, 5), RGB(255, 255, 255)) << "outside the clip";
    EXPECT_EQ(canvas.Pixel(45, 5), RGB(255, 255, 255)) << "hidden";
    EXPECT_EQ(canvas.Pixel(75, 5), RGB(0, 0, 200));
}

TEST_F(ElementTreeTest, ChildrenArePlacedRelativeToTheirContainerAndMoveWithIt)
{
    auto* row = Add<ContainerElement>(root_, {10, 100, 190, 150});
    ButtonElement* const button = row->CreateButton(L"Remove", 20, 5, 63, 23, 7);
    TextElement* const label = row->CreateText(L"Velmo", 1, 2, 3, 4, 0);
    EXPECT_TRUE(SameRect(button->Rect(), {30, 105, 93, 128}));
    EXPECT_TRUE(SameRect(label->Rect(), {11, 102, 14, 106}));
    EXPECT_EQ(button->Host(), &window_.host);
    EXPECT_EQ(button->Parent(), row);
    EXPECT_EQ(button->Id(), 7u);
    EXPECT_EQ(row->FirstVisibleChild(), button);
    button->SetVisible(false, false);
    EXPECT_EQ(row->FirstVisibleChild(), label);

    row->MoveTo(0, 40, false);
    EXPECT_TRUE(SameRect(row->Rect(), {0, 40, 180, 90}));
    EXPECT_TRUE(SameRect(button->Rect(), {20, 45, 83, 68}));
    button->MoveTo(0, 0, false);
    EXPECT_TRUE(SameRect(button->Rect(), {0, 40, 63, 63}));
    EXPECT_TRUE(SameRect(label->Rect(), {1, 42, 4, 46}));
}

TEST_F(ElementTreeTest, ChildrenOfAFreeContainerHaveNoHostUntilItJoins)
{
    auto row = std::make_unique<ContainerElement>();
    ButtonElement* const early = row->CreateButton(L"a", 0, 0, 10, 10, 1);
    EXPECT_EQ(early->Host(), nullptr);
    ContainerElement* const joined = root_->AddChild(std::move(row));
    EXPECT_EQ(joined->Host(), &window_.host);
    EXPECT_EQ(joined->CreateButton(L"b", 0, 0, 10, 10, 2)->Host(), &window_.host);
}

TEST_F(ElementTreeTest, MovingWithInvalidationRepaintsOldAndNewArea)
{
    auto* swatch = Add<Swatch>(root_, {10, 10, 20, 20}, RGB(1, 1, 1));
    ValidateRect(window_.Handle(), nullptr);
    swatch->MoveBy(30, 0, false);
    EXPECT_FALSE(GetUpdateRect(window_.Handle(), nullptr, FALSE));
    EXPECT_TRUE(SameRect(swatch->Rect(), {40, 10, 50, 20}));
    swatch->MoveBy(0, 20, true);
    EXPECT_TRUE(SameRect(UpdateArea(window_.Handle()), {40, 10, 50, 40}));
}

TEST_F(ElementTreeTest, SetOriginMovesTheRowsButNotTheRoot)
{
    auto* first = Add<ContainerElement>(root_, {0, 0, 200, 50});
    auto* second = Add<ContainerElement>(root_, {0, 50, 200, 100});
    ButtonElement* const button = second->CreateButton(L"Remove", 100, 10, 60, 20, 1);
    const RECT rootRect = root_->Rect();
    ValidateRect(window_.Handle(), nullptr);

    window_.host.SetOrigin(0, -20, false);
    EXPECT_TRUE(SameRect(first->Rect(), {0, -20, 200, 30}));
    EXPECT_TRUE(SameRect(second->Rect(), {0, 30, 200, 80}));
    EXPECT_TRUE(SameRect(button->Rect(), {100, 40, 160, 60}));
    EXPECT_TRUE(SameRect(root_->Rect(), rootRect));
    EXPECT_EQ(window_.host.OriginY(), -20);
    EXPECT_FALSE(GetUpdateRect(window_.Handle(), nullptr, FALSE)) << "no repaint without invalidate";

    window_.host.SetOrigin(0, -20, true);  // the current origin: nothing happens
    EXPECT_TRUE(SameRect(first->Rect(), {0, -20, 200, 30}));
    EXPECT_FALSE(GetUpdateRect(window_.Handle(), nullptr, FALSE));

    window_.host.SetOrigin(5, 0, true);
    EXPECT_TRUE(SameRect(first->Rect(), {5, 0, 205, 50}));
    EXPECT_TRUE(SameRect(button->Rect(), {105, 60, 165, 80}));
    EXPECT_EQ(window_.host.OriginX(), 5);
    EXPECT_TRUE(GetUpdateRect(window_.Handle(), nullptr, FALSE));
}

TEST_F(ElementTreeTest, SetSizeCallsOnSizeOnlyForAChange)
{
    auto* element = Add<Recording<Element>>(root_, {10, 10, 40, 30}, log_, "e");
    element->SetSize(30, 20);
    EXPECT_TRUE(log_.empty());
    element->SetSize(50, 20);
    EXPECT_EQ(log_, EventLog{"e size"});
    EXPECT_TRUE(SameRect(element->Rect(), {10, 10, 60, 30}));

    auto root = std::make_unique<Recording<ContainerElement>>(log_, "root");
    root->SetRect({0, 0, 100, 100});
    window_.host.SetRoot(std::move(root));
    window_.host.ResizeRoot(100, 100);
    window_.host.ResizeRoot(120, 80);
    EXPECT_EQ(log_, (EventLog{"e size", "root size"}));
    EXPECT_TRUE(SameRect(window_.host.Root()->Rect(), {0, 0, 120, 80}));
}

TEST_F(ElementTreeTest, RemovingTheHoveredElementMakesItLeaveFirst)
{
    auto* a = Add<Recording<ClickableElement>>(root_, {0, 0, 50, 50}, log_, "a");
    auto* b = Add<Recording<ClickableElement>>(root_, {50, 0, 100, 50}, log_, "b");
    window_.host.OnMouseMove({10, 10});

    std::unique_ptr<Element> removedB = root_->RemoveChild(b, true);
    EXPECT_EQ(removedB.get(), b);
    EXPECT_EQ(window_.host.HoverElement(), a) << "b was not hovered";

    std::unique_ptr<Element> removedA = root_->RemoveChild(a, false);
    EXPECT_EQ(removedA.get(), a);
    EXPECT_EQ(log_, (EventLog{"a enter", "a leave"})) << "the leave comes while a is still in the tree";
    EXPECT_EQ(window_.host.HoverElement(), nullptr);
    EXPECT_EQ(a->Parent(), nullptr);
    EXPECT_TRUE(root_->Children().empty());

    EXPECT_EQ(root_->RemoveChild(a, true), nullptr) << "not a child any more";
}

TEST_F(ElementTreeTest, RemovingTheContainerOfTheHoveredElementMakesItLeave)
{
    auto* row = Add<ContainerElement>(root_, {0, 0, 100, 50});
    auto* button = Add<Recording<ClickableElement>>(row, {0, 0, 30, 30}, log_, "button");
    window_.host.OnMouseMove({10, 10});
    ASSERT_EQ(window_.host.HoverElement(), button);

    std::unique_ptr<Element> removed = root_->RemoveChild(row, true);
    EXPECT_EQ(removed.get(), row);
    EXPECT_EQ(log_, (EventLog{"button enter", "button leave"}));
    EXPECT_EQ(window_.host.HoverElement(), nullptr);
    EXPECT_FALSE(button->Hover());
}

TEST_F(ElementTreeTest, RemovalRepaintsTheChildsAreaOnlyWhenAsked)
{
    auto* a = Add<Swatch>(root_, {10, 10, 30, 30}, RGB(1, 1, 1));
    auto* b = Add<Swatch>(root_, {40, 10, 60, 30}, RGB(1, 1, 1));
    ValidateRect(window_.Handle(), nullptr);
    const std::unique_ptr<Element> quiet = root_->RemoveChild(a, false);
    EXPECT_FALSE(GetUpdateRect(window_.Handle(), nullptr, FALSE));
    const std::unique_ptr<Element> repainted = root_->RemoveChild(b, true);
    EXPECT_TRUE(SameRect(UpdateArea(window_.Handle()), {40, 10, 60, 30}));
}

} // namespace
