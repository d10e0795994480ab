#include "elements/ClickableElement.h"

#include "elements/ElementHost.h"

void ClickableElement::OnMouseEnter()
{
    hover_ = true;
    Invalidate(true);
}

void ClickableElement::OnMouseLeave()
{
    hover_ = false;
    Invalidate(true);
}

void ClickableElement::OnMouseDown()
{
    pressed_ = true;
    hover_ = true;
    Invalidate(true);
    // The pressed look must be on the screen before the press loop starts.
    if (Host()) {
        UpdateWindow(Host()->Window());
    }
}

void ClickableElement::OnMouseUp()
{
    pressed_ = false;
    if (hover_) {
        OnClick();
    }
}

void ClickableElement::OnPressCancelled()
{
    ReleaseByKey(false);
}

void ClickableElement::PressByKey()
{
    pressed_ = true;
    hover_ = true;
    Invalidate(true);
}

void ClickableElement::ReleaseByKey(bool click)
{
    if (!pressed_) {
        return;
    }
    pressed_ = false;
    // The pointer decides the hover state again.
    hover_ = Host() && Host()->HoverElement() == this;
    Invalidate(true);
    if (click) {
        OnClick();
    }
}
