#pragma once

#include "elements/Element.h"

// An element that follows the mouse: normal (not hovered), hot (hovered) and
// pressed (hovered with the left button down on it). A release over the element
// clicks it.
class ClickableElement : public Element {
public:
    explicit ClickableElement(UINT id = 0) : Element(id) {}

    void OnMouseEnter() override;
    void OnMouseLeave() override;
    void OnMouseDown() override;
    // Clears Pressed and, when the release came over the element, clicks it.
    // Nothing touches the element after OnClick: a click may delete it.
    void OnMouseUp() override;
    void OnPressCancelled() override;

    // A key held on the element's behalf (Space on the list): the pressed
    // look until ReleaseByKey, which clicks the element when click is set and
    // no mouse press ended the key's press in between.
    void PressByKey();
    void ReleaseByKey(bool click);
    // What a release over the element does, for callers that act without the
    // mouse (assistive technology). The element may be deleted by it.
    void Click() { OnClick(); }

    bool Hover() const { return hover_; }
    bool Pressed() const { return pressed_; }

protected:
    // A click may end in the element's deletion: an override must not touch
    // the element after notifying anyone.
    virtual void OnClick() {}

private:
    bool hover_ = false;
    bool pressed_ = false;
};
