#include "elements/Element.h"

#include "elements/ContainerElement.h"
#include "elements/ElementHost.h"

void Element::MoveBy(int dx, int dy, bool invalidate)
{
    if (invalidate) {
        Invalidate(true);
    }
    OffsetRect(&rect_, dx, dy);
    if (invalidate) {
        Invalidate(true);
    }
}

void Element::Paint(HDC, const RECT*) {}

void Element::OnVisibleChanged(bool) {}

Element* Element::HitTest(POINT point)
{
    return visible_ && enabled_ && PtInRect(&rect_, point) ? this : nullptr;
}

void Element::MoveTo(int x, int y, bool invalidate)
{
    if (!parent_) {
        return;
    }
    const RECT& origin = parent_->Rect();
    const int dx = origin.left + x - rect_.left;
    const int dy = origin.top + y - rect_.top;
    if (dx != 0 || dy != 0) {
        MoveBy(dx, dy, invalidate);
    }
}

void Element::SetSize(int width, int height)
{
    if (rect_.right - rect_.left == width && rect_.bottom - rect_.top == height) {
        return;
    }
    rect_.right = rect_.left + width;
    rect_.bottom = rect_.top + height;
    OnSize();
}

void Element::SetVisible(bool visible, bool invalidate)
{
    if (visible_ == visible) {
        return;
    }
    visible_ = visible;
    OnVisibleChanged(visible);
    if (invalidate) {
        Invalidate(true);
    }
}

LRESULT Element::NotifyParent(UINT message, WPARAM wParam, LPARAM lParam)
{
    return parent_ ? parent_->BubbleMessage(message, wParam, lParam) : 0;
}

void Element::Invalidate(bool erase) const
{
    if (host_) {
        host_->Invalidate(&rect_, erase);
    }
}
