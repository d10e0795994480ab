#pragma once

#include "elements/Element.h"

#include <list>
#include <memory>
#include <string_view>
#include <type_traits>
#include <utility>

class ButtonElement;
class TextElement;

// An element made of child elements, which it owns. Children are painted in
// insertion order (later ones over earlier ones) and hit-tested in the same
// order (earlier ones win). The container paints nothing of its own.
class ContainerElement : public Element {
public:
    using ChildList = std::list<std::unique_ptr<Element>>;

    explicit ContainerElement(UINT id = 0) : Element(id) {}
    ~ContainerElement() override;

    // Moves the container and all its children with it.
    void MoveBy(int dx, int dy, bool invalidate) override;
    void Paint(HDC dc, const RECT* clip) override;
    // The first child that takes the point; never the container itself.
    Element* HitTest(POINT point) override;
    // Passes the message up the containers; the topmost sends it to the window.
    virtual LRESULT BubbleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    // Adopts child, whose Rect is relative to the container, and returns it.
    template <typename T>
    T* AddChild(std::unique_ptr<T> child)
    {
        static_assert(std::is_base_of<Element, T>::value, "children are elements");
        T* const added = child.get();
        Adopt(std::move(child));
        return added;
    }
    // Hands child back to the caller; null when it is not a child of this container.
    std::unique_ptr<Element> RemoveChild(Element* child, bool invalidate);
    // A new child button / text at (x, y, width, height) relative to the container.
    ButtonElement* CreateButton(std::wstring_view text, int x, int y, int width, int height, UINT id);
    TextElement* CreateText(std::wstring_view text, int x, int y, int width, int height, UINT id);
    Element* FirstVisibleChild() const;

    const ChildList& Children() const { return children_; }

private:
    void Adopt(std::unique_ptr<Element> child);

    ChildList children_;
};
