#include "elements/ElementHost.h"

#include <windowsx.h>

#include <utility>

void ElementHost::SetRoot(std::unique_ptr<ContainerElement> root)
{
    // Nothing of the old tree may be called once it is gone.
    hoverElement_ = nullptr;
    pressedElement_ = nullptr;
    if (root) {
        root->host_ = this;
        root->OnAttached();
    }
    // The old root dies after the swap, when the host no longer refers to it.
    std::unique_ptr<ContainerElement> old = std::exchange(root_, std::move(root));
}

Element* ElementHost::HitTest(POINT point) const
{
    return root_ ? root_->HitTest(point) : nullptr;
}

void ElementHost::SetOrigin(int x, int y, bool invalidate)
{
    const int dx = x - originX_;
    const int dy = y - originY_;
    if (dx == 0 && dy == 0) {
        return;
    }
    if (root_) {
        for (const auto& child : root_->Children()) {
            child->MoveBy(dx, dy, false);
        }
    }
    originX_ = x;
    originY_ = y;
    if (invalidate) {
        Invalidate(nullptr, true);
    }
}

void ElementHost::OnElementRemoved(Element* element)
{
    if (element == root_.get()) {
        return;
    }
    if (Holds(element, pressedElement_)) {
        pressedElement_ = nullptr;
    }
    if (Holds(element, hoverElement_)) {
        std::exchange(hoverElement_, nullptr)->OnMouseLeave();
    }
}

// Whether element is ancestor itself or lies inside it, below the root.
bool ElementHost::Holds(const Element* ancestor, const Element* element) const
{
    for (const Element* walk = element; walk && walk != root_.get(); walk = walk->Parent()) {
        if (walk == ancestor) {
            return true;
        }
    }
    return false;
}

bool ElementHost::TrackPress(POINT point)
{
    lastPoint_ = point;
    Element* const target = HitTest(point);
    if (!target) {
        return false;
    }
    if (hoverElement_ && hoverElement_ != target) {
        std::exchange(hoverElement_, nullptr)->OnMouseLeave();
    }
    hoverElement_ = target;
    pressedElement_ = target;
    target->OnMouseDown();
    if (pressedElement_ != target) {
        return true; // left the tree while its pressed look was painted
    }

    const HWND capture = ::GetCapture();
    if (capture && capture != window_) {
        // Another window has the mouse: no loop, the element stays pressed.
        pressedElement_ = nullptr;
        return true;
    }
    if (!capture) {
        SetCapture(window_);
    }
    return RunPressLoop(target);
}

bool ElementHost::RunPressLoop(Element* target)
{
    bool inside = true;
    MSG message;
    for (;;) {
        const BOOL got = GetMessageW(&message, window_, 0, 0);
        if (got == 0 || got == -1 || ::GetCapture() != window_) {
            // The application quits, the window is gone or it lost the mouse:
            // the press ends without a release, and the target must not keep
            // its pressed look.
            if (pressedElement_ == target) {
                pressedElement_ = nullptr;
                target->OnPressCancelled();
            }
            if (got == 0) {
                ReleaseCapture();
                // The application's own loop must end as well.
                PostQuitMessage(0);
            }
            return true;
        }
        switch (message.message) {
        case WM_MOUSEMOVE: {
            lastPoint_ = {GET_X_LPARAM(message.lParam), GET_Y_LPARAM(message.lParam)};
            target->OnMouseDrag();
            if (pressedElement_ != target) {
                break;
            }
            const bool over = target->HitTest(lastPoint_) == target;
            if (over && !inside) {
                target->OnMouseEnter();
                inside = true;
            } else if (!over && inside) {
                target->OnMouseLeave();
                inside = false;
            }
            break;
        }
        case WM_LBUTTONUP:
            ReleaseCapture();
            if (pressedElement_ == target) {
                // The release may click the target into its deletion: the host
                // forgets it first and touches nothing afterwards.
                pressedElement_ = nullptr;
                target->OnMouseUp();
            }
            return true;
        default:
            DispatchMessageW(&message);
            break;
        }
        if (pressedElement_ != target) {
            // The target left the tree while the press ran.
            if (::GetCapture() == window_) {
                ReleaseCapture();
            }
            return true;
        }
    }
}

void ElementHost::OnMouseMove(POINT point)
{
    lastPoint_ = point;
    Element* const target = HitTest(point);
    if (target == hoverElement_) {
        return;
    }
    if (hoverElement_) {
        std::exchange(hoverElement_, nullptr)->OnMouseLeave();
    }
    hoverElement_ = target;
    if (target) {
        target->OnMouseEnter();
    }
}

void ElementHost::OnMouseLeave()
{
    if (hoverElement_) {
        std::exchange(hoverElement_, nullptr)->OnMouseLeave();
    }
}

void ElementHost::ResizeRoot(int width, int height)
{
    if (root_) {
        root_->SetSize(width, height);
    }
}

HCURSOR ElementHost::GetCursor() const
{
    return hoverElement_ ? hoverElement_->GetCursor() : nullptr;
}

void ElementHost::Paint(HDC dc, const RECT* clip)
{
    if (root_) {
        root_->Paint(dc, clip);
    }
}

void ElementHost::Invalidate(const RECT* rect, bool erase) const
{
    // Without a window InvalidateRect would repaint every window on the desktop.
    if (window_) {
        InvalidateRect(window_, rect, erase);
    }
}

LRESULT ElementHost::SendToWindow(UINT message, WPARAM wParam, LPARAM lParam) const
{
    return SendMessageW(window_, message, wParam, lParam);
}
