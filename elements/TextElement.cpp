#include "elements/TextElement.h"

#include "base/ScopedSelectObject.h"
#include "elements/CutText.h"

TextElement::TextElement(std::wstring_view text, UINT id)
    : Element(id), text_(CutText(text, kMaxTextLength)), font_(static_cast<HFONT>(GetStockObject(SYSTEM_FONT)))
{
}

void TextElement::Paint(HDC dc, const RECT*)
{
    if (!Visible()) {
        return;
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, textColour_);
    const ScopedSelectObject selectFont(dc, font_);
    RECT area = Rect();
    DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &area, format_ | DT_VCENTER | DT_SINGLELINE);
}

Element* TextElement::HitTest(POINT)
{
    return nullptr;
}
