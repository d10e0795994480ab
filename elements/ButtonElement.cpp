#include "elements/ButtonElement.h"

#include "base/ScopedSelectObject.h"
#include "draw/DrawRoutines.h"
#include "elements/CutText.h"
#include "elements/Gradient.h"

namespace {

constexpr COLORREF kPressedTop = RGB(167, 202, 224);
constexpr COLORREF kPressedBottom = RGB(213, 230, 240);
constexpr COLORREF kPressedInnerEdge = RGB(222, 235, 244);
constexpr COLORREF kNormalTop = RGB(254, 255, 255);
constexpr COLORREF kNormalBottom = RGB(182, 214, 232);
constexpr COLORREF kNormalInnerEdge = RGB(227, 240, 246);
constexpr COLORREF kBorder = RGB(107, 140, 165);
constexpr COLORREF kTextColour = RGB(0, 0, 0);
// At the default DPI.
constexpr int kBorderCorner = 4;
constexpr int kPressedTextShift = 2;

} // namespace

ButtonElement::ButtonElement(std::wstring_view text, UINT id)
    : ClickableElement(id), text_(CutText(text, kMaxTextLength))
{
}

void ButtonElement::Paint(HDC dc, const RECT*)
{
    if (!Visible()) {
        return;
    }
    // Hover alone does not change the look: hot paints like normal.
    const bool pressed = Hover() && Pressed();
    const RECT& outer = Rect();
    RECT inner = outer;
    InflateRect(&inner, -1, -1);

    {
        const ScopedSelectObject outlineOnly(dc, GetStockObject(NULL_BRUSH));
        FillVerticalGradient(dc, inner, pressed ? kPressedTop : kNormalTop, pressed ? kPressedBottom : kNormalBottom);
        const int corner = Scaled(kBorderCorner, dpi_);
        RoundRectFrame(dc, outer.left, outer.top, outer.right, outer.bottom, corner, corner, kBorder);
        RoundRectFrame(dc, inner.left, inner.top, inner.right, inner.bottom, 0, 0,
            pressed ? kPressedInnerEdge : kNormalInnerEdge);
    }

    // The whole text area moves: moving only its top-left corner would shift
    // the centred text by half as much.
    RECT textArea = inner;
    if (pressed) {
        const int shift = Scaled(kPressedTextShift, dpi_);
        OffsetRect(&textArea, shift, shift);
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kTextColour);
    const ScopedSelectObject selectFont(dc, font_ ? font_ : GetCurrentObject(dc, OBJ_FONT));
    DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &textArea, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

void ButtonElement::OnClick()
{
    // Repaint first: the command may end with this button deleted, so nothing
    // may touch it once the command is sent.
    Invalidate(false);
    if (Id() != 0) {
        NotifyParent(WM_COMMAND, Id(), 0);
    }
}
