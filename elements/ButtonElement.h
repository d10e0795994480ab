#pragma once

#include "base/DisplayScale.h"
#include "elements/ClickableElement.h"

#include <string>
#include <string_view>

// A push button painted with a vertical gradient and a rounded border. A click
// sends WM_COMMAND with the button's Id up to the hosting window.
class ButtonElement : public ClickableElement {
public:
    // Longer texts are cut to this many UTF-16 units.
    static constexpr std::size_t kMaxTextLength = 126;

    explicit ButtonElement(std::wstring_view text, UINT id = 0);

    void Paint(HDC dc, const RECT* clip) override;

    const std::wstring& Text() const { return text_; }
    // Not owned; null draws with whatever font the device context holds.
    HFONT Font() const { return font_; }
    void SetFont(HFONT font) { font_ = font; }
    // The display's DPI, by which the corners and the pressed text's shift grow.
    void SetDpi(int dpi) { dpi_ = dpi; }

protected:
    void OnClick() override;

private:
    std::wstring text_;
    HFONT font_ = nullptr;
    int dpi_ = kDefaultDpi;
};
