#pragma once

#include "elements/ContainerElement.h"

#include <memory>

// Drives a tree of elements inside one window: owns the root, tracks the
// element under the mouse, runs the modal loop of a press and repaints.
// Points and rectangles are in the window's client coordinates.
class ElementHost {
public:
    ElementHost() = default;
    ~ElementHost() = default;
    ElementHost(const ElementHost&) = delete;
    ElementHost& operator=(const ElementHost&) = delete;

    void Attach(HWND window) { window_ = window; }
    // Takes the root (its Rect unchanged), gives it this host and calls its
    // OnAttached. A previous root is destroyed; null leaves the host empty.
    void SetRoot(std::unique_ptr<ContainerElement> root);
    Element* HitTest(POINT point) const;
    // Moves the root's children by the change of origin; the root stays put.
    void SetOrigin(int x, int y, bool invalidate);
    // Told by a container before element leaves the tree: forgets a hovered or
    // pressed element inside it (the hovered one gets OnMouseLeave first).
    void OnElementRemoved(Element* element);
    // Offers a press of the left button at point. When an element takes it,
    // runs a modal loop with the mouse captured until the release (or the
    // capture is lost, or the press target leaves the tree) and returns true;
    // false when no element lies under the point.
    bool TrackPress(POINT point);
    void OnMouseMove(POINT point);
    void OnMouseLeave();
    void ResizeRoot(int width, int height);
    HCURSOR GetCursor() const;
    void Paint(HDC dc, const RECT* clip);
    // rect: host coordinates, null for the whole window. Painting follows via WM_PAINT.
    void Invalidate(const RECT* rect, bool erase) const;
    LRESULT SendToWindow(UINT message, WPARAM wParam, LPARAM lParam) const;

    ContainerElement* Root() const { return root_.get(); }
    Element* HoverElement() const { return hoverElement_; }
    HWND Window() const { return window_; }
    int OriginX() const { return originX_; }
    int OriginY() const { return originY_; }
    POINT LastPoint() const { return lastPoint_; }

private:
    bool RunPressLoop(Element* target);
    bool Holds(const Element* ancestor, const Element* element) const;

    std::unique_ptr<ContainerElement> root_;
    Element* hoverElement_ = nullptr;
    // The target of the running press, cleared when it leaves the tree.
    Element* pressedElement_ = nullptr;
    HWND window_ = nullptr;
    int originX_ = 0;
    int originY_ = 0;
    POINT lastPoint_ = {};
};
