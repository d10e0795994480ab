#include "elements/ContainerElement.h"

#include "elements/ButtonElement.h"
#include "elements/ElementHost.h"
#include "elements/TextElement.h"

#include <algorithm>

ContainerElement::~ContainerElement()
{
    // Children go first to last, as they were added.
    while (!children_.empty()) {
        children_.pop_front();
    }
}

void ContainerElement::MoveBy(int dx, int dy, bool invalidate)
{
    Element::MoveBy(dx, dy, invalidate);
    for (const auto& child : children_) {
        child->MoveBy(dx, dy, false);
    }
}

void ContainerElement::Paint(HDC dc, const RECT* clip)
{
    if (!Visible()) {
        return;
    }
    for (const auto& child : children_) {
        RECT overlap;
        if (child->Visible() && (!clip || IntersectRect(&overlap, &child->Rect(), clip))) {
            child->Paint(dc, clip);
        }
    }
}

Element* ContainerElement::HitTest(POINT point)
{
    if (!Visible() || !PtInRect(&Rect(), point)) {
        return nullptr;
    }
    for (const auto& child : children_) {
        if (Element* const hit = child->HitTest(point)) {
            return hit;
        }
    }
    return nullptr;
}

LRESULT ContainerElement::BubbleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (Parent()) {
        return Parent()->BubbleMessage(message, wParam, lParam);
    }
    return Host() ? Host()->SendToWindow(message, wParam, lParam) : 0;
}

void ContainerElement::Adopt(std::unique_ptr<Element> child)
{
    child->host_ = Host();
    child->parent_ = this;
    // The child's rectangle was given relative to the container.
    child->MoveBy(Rect().left, Rect().top, false);
    child->OnAttached();
    children_.push_back(std::move(child));
}

std::unique_ptr<Element> ContainerElement::RemoveChild(Element* child, bool invalidate)
{
    const auto found = std::find_if(children_.begin(), children_.end(),
        [child](const std::unique_ptr<Element>& candidate) { return candidate.get() == child; });
    if (found == children_.end()) {
        return nullptr;
    }
    if (Host()) {
        Host()->OnElementRemoved(child);
    }
    std::unique_ptr<Element> removed = std::move(*found);
    children_.erase(found);
    removed->parent_ = nullptr;
    if (invalidate && Host()) {
        Host()->Invalidate(&removed->Rect(), true);
    }
    return removed;
}

ButtonElement* ContainerElement::CreateButton(std::wstring_view text, int x, int y, int width, int height, UINT id)
{
    auto button = std::make_unique<ButtonElement>(text, id);
    button->SetRect({x, y, x + width, y + height});
    return AddChild(std::move(button));
}

TextElement* ContainerElement::CreateText(std::wstring_view text, int x, int y, int width, int height, UINT id)
{
    auto label = std::make_unique<TextElement>(text, id);
    label->SetRect({x, y, x + width, y + height});
    return AddChild(std::move(label));
}

Element* ContainerElement::FirstVisibleChild() const
{
    for (const auto& child : children_) {
        if (child->Visible()) {
            return child.get();
        }
    }
    return nullptr;
}
