#pragma once

#include "elements/Element.h"

#include <string>
#include <string_view>

// One line of text, vertically centred and cut with an ellipsis. It never
// takes the mouse: hit-testing passes it over.
class TextElement : public Element {
public:
    // Longer texts are cut to this many UTF-16 units.
    static constexpr std::size_t kMaxTextLength = 254;

    explicit TextElement(std::wstring_view text, UINT id = 0);

    void Paint(HDC dc, const RECT* clip) override;
    Element* HitTest(POINT point) override;

    const std::wstring& Text() const { return text_; }
    COLORREF TextColour() const { return textColour_; }
    void SetTextColour(COLORREF colour) { textColour_ = colour; }
    // Not owned: fonts come from the shared font cache (or the stock font).
    HFONT Font() const { return font_; }
    void SetFont(HFONT font) { font_ = font; }
    // DrawTextW flags, combined with DT_VCENTER | DT_SINGLELINE when painting.
    UINT Format() const { return format_; }
    void SetFormat(UINT format) { format_ = format; }

private:
    std::wstring text_;
    COLORREF textColour_ = RGB(0, 0, 0);
    HFONT font_;
    UINT format_ = DT_END_ELLIPSIS;
};
