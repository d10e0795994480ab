#pragma once

#include <windows.h>

class ContainerElement;
class ElementHost;

// A windowless piece of user interface inside a hosting window: a rectangle in
// the host window's client coordinates that paints itself, answers whether a
// point is its own and reacts to the mouse. The base paints nothing and ignores
// every event. An element is free after construction; it gets its host and
// parent when it joins a tree (ContainerElement::AddChild, ElementHost::SetRoot).
class Element {
public:
    explicit Element(UINT id = 0) : id_(id) {}
    virtual ~Element() = default;
    Element(const Element&) = delete;
    Element& operator=(const Element&) = delete;

    // Offsets Rect by (dx, dy); with invalidate, repaints the old and the new area.
    virtual void MoveBy(int dx, int dy, bool invalidate);
    // Runs once the element has its host and its place in the tree.
    virtual void OnAttached() {}
    virtual void OnMouseEnter() {}
    virtual void OnMouseLeave() {}
    virtual void OnMouseDown() {}
    virtual void OnMouseUp() {}
    // The press ended without a release (the mouse was taken away).
    virtual void OnPressCancelled() {}
    // Every mouse move during a press; the point is the host's LastPoint.
    virtual void OnMouseDrag() {}
    // clip: the area to repaint in host coordinates, or null for everything.
    virtual void Paint(HDC dc, const RECT* clip);
    // After SetSize changed the size.
    virtual void OnSize() {}
    virtual void OnVisibleChanged(bool visible);
    // The cursor to show over the element; null: no cursor of its own.
    virtual HCURSOR GetCursor() const { return nullptr; }
    // The element itself when it is visible, enabled and holds the point; else null.
    virtual Element* HitTest(POINT point);

    // Places the element at (x, y) relative to its parent's top-left corner.
    void MoveTo(int x, int y, bool invalidate);
    // Changes right and bottom and calls OnSize; does not repaint.
    void SetSize(int width, int height);
    void SetVisible(bool visible, bool invalidate);
    void SetEnabled(bool enabled) { enabled_ = enabled; }
    // Hands the message to the parent container, which bubbles it to the window.
    LRESULT NotifyParent(UINT message, WPARAM wParam, LPARAM lParam);

    // Host coordinates; right and bottom are exclusive.
    const RECT& Rect() const { return rect_; }
    void SetRect(const RECT& rect) { rect_ = rect; }
    bool Visible() const { return visible_; }
    bool Enabled() const { return enabled_; }
    // Command identifier sent upward when a button is clicked; 0: none.
    UINT Id() const { return id_; }
    ElementHost* Host() const { return host_; }
    ContainerElement* Parent() const { return parent_; }

protected:
    // Repaints the element's area through its host, when it has one.
    void Invalidate(bool erase) const;

private:
    friend class ContainerElement;
    friend class ElementHost;

    RECT rect_ = {};
    bool visible_ = true;
    bool enabled_ = true;
    UINT id_;
    ElementHost* host_ = nullptr;
    ContainerElement* parent_ = nullptr;
};
