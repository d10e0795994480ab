#include "draw/FontCache.h"
#include "base/ScopedHandle.h"
#include "base/ScopedSelectObject.h"
#include "elements/ButtonElement.h"
#include "elements/Gradient.h"
#include "elements/TextElement.h"

#include "tests/elements/ElementTestSupport.h"
#include "tests/support/DibCanvas.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBorder = RGB(107, 140, 165);
constexpr COLORREF kNormalTop = RGB(254, 255, 255);
constexpr COLORREF kNormalBottom = RGB(182, 214, 232);
constexpr COLORREF kNormalInnerEdge = RGB(227, 240, 246);
constexpr COLORREF kPressedTop = RGB(167, 202, 224);
constexpr COLORREF kPressedBottom = RGB(213, 230, 240);
constexpr COLORREF kPressedInnerEdge = RGB(222, 235, 244);

// A 63 × 23 button at (10, 10) in a host that has a window, so that it can be
// hovered and pressed as in a row.
class ButtonLookTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ContainerElement* const root = window_.MakeRoot();
        button_ = root->CreateButton(L"Remove", 10, 10, 63, 23, 105);
        button_->SetFont(GetFont(FontFace::Tahoma, 12, /*bold=*/false, /*underline=*/false));
    }

    // Paints into a canvas holding the caller's own pen, brush and font, which
    // must be selected again afterwards.
    std::unique_ptr<DibCanvas> PaintButton() const
    {
        auto canvas = std::make_unique<DibCanvas>(90, 50, kWhite);
        const HDC dc = canvas->Dc();
        const ScopedBrush brush(CreateSolidBrush(RGB(1, 2, 3)));
        const ScopedPen pen(CreatePen(PS_SOLID, 2, RGB(4, 5, 6)));
        const HFONT font = GetFont(FontFace::SimSun, 14, /*bold=*/true, /*underline=*/false);
        const ScopedSelectObject selectBrush(dc, brush.Get()), selectPen(dc, pen.Get()), selectFont(dc, font);
        button_->Paint(dc, nullptr);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush.Get());
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen.Get());
        EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
        return canvas;
    }

    void ExpectFrame(const DibCanvas& canvas, COLORREF innerEdge) const
    {
        // Border along R = (10, 10, 73, 33), away from the rounded corners.
        EXPECT_EQ(canvas.Pixel(40, 10), kBorder);
        EXPECT_EQ(canvas.Pixel(10, 21), kBorder);
        EXPECT_EQ(canvas.Pixel(72, 21), kBorder);
        EXPECT_EQ(canvas.Pixel(40, 32), kBorder);
        EXPECT_EQ(canvas.Pixel(73, 21), kWhite);
        EXPECT_EQ(canvas.Pixel(40, 33), kWhite);
        // Inner edge along I = (11, 11, 72, 32), a plain rectangle.
        EXPECT_EQ(canvas.Pixel(11, 11), innerEdge);
        EXPECT_EQ(canvas.Pixel(40, 11), innerEdge);
        EXPECT_EQ(canvas.Pixel(11, 21), innerEdge);
        EXPECT_EQ(canvas.Pixel(71, 21), innerEdge);
        EXPECT_EQ(canvas.Pixel(71, 31), innerEdge);
    }

    void ExpectGradient(const DibCanvas& canvas, COLORREF top, COLORREF bottom) const
    {
        // The fill over I shows between the inner edges, left of the centred text.
        for (int y = 12; y < 31; ++y) {
            EXPECT_EQ(canvas.Pixel(13, y), BlendColour(top, bottom, 21, y - 11)) << "row " << y;
        }
    }

    HostWindow window_;
    ButtonElement* button_ = nullptr;
};

TEST_F(ButtonLookTest, NormalAndHotLookAlikePressedIsDarkerWithTheTextTwoPixelsDown)
{
    const auto normal = PaintButton();
    ExpectGradient(*normal, kNormalTop, kNormalBottom);
    ExpectFrame(*normal, kNormalInnerEdge);
    const RECT area = {12, 12, 71, 31};
    RECT normalText = normal->DarkBounds(area);
    ASSERT_FALSE(IsRectEmpty(&normalText)) << "the text is drawn in black";

    const RECT all = {0, 0, 90, 50};
    button_->OnMouseEnter();
    ASSERT_TRUE(button_->Hover());
    EXPECT_EQ(PaintButton()->Pixels(all), normal->Pixels(all));

    button_->OnMouseDown();
    ASSERT_TRUE(button_->Pressed());
    const auto pressed = PaintButton();
    ExpectGradient(*pressed, kPressedTop, kPressedBottom);
    ExpectFrame(*pressed, kPressedInnerEdge);
    const RECT pressedText = pressed->DarkBounds(area);
    OffsetRect(&normalText, 2, 2);
    EXPECT_TRUE(EqualRect(&normalText, &pressedText));

    // Dragged off while pressed it looks normal, and pressed again on return.
    button_->OnMouseLeave();
    EXPECT_TRUE(button_->Pressed());
    EXPECT_EQ(PaintButton()->Pixels(all), normal->Pixels(all));
    button_->OnMouseEnter();
    EXPECT_EQ(PaintButton()->Pixels(all), pressed->Pixels(all));
}

TEST(TextElementTest, DrawsLeftAlignedAndCentredVerticallyRestoringTheFont)
{
    TextElement label(L"Velmo Studio 2024");
    label.SetRect({5, 4, 150, 36});
    label.SetFont(GetFont(FontFace::Tahoma, 11, /*bold=*/false, /*underline=*/false));

    DibCanvas canvas(160, 40, kWhite);
    const HGDIOBJ previousFont = GetCurrentObject(canvas.Dc(), OBJ_FONT);
    label.Paint(canvas.Dc(), nullptr);
    EXPECT_EQ(GetCurrentObject(canvas.Dc(), OBJ_FONT), previousFont);

    const RECT text = canvas.DarkBounds({0, 0, 160, 40});
    ASSERT_FALSE(IsRectEmpty(&text));
    EXPECT_GE(text.left, 5);
    EXPECT_LE(text.left, 7) << "left-aligned";
    EXPECT_LE(std::abs((text.top - 4) - (36 - text.bottom)), 3) << "vertically centred";
}

TEST(ElementTextTest, TextsAreCutToTheirCapacity)
{
    EXPECT_EQ(TextElement(std::wstring(300, L'a')).Text(), std::wstring(254, L'a'));
    EXPECT_EQ(TextElement(std::wstring(254, L'b')).Text(), std::wstring(254, L'b'));
    EXPECT_EQ(ButtonElement(std::wstring(300, L'c')).Text(), std::wstring(126, L'c'));
    EXPECT_EQ(ButtonElement(std::wstring(126, L'd')).Text(), std::wstring(126, L'd'));
    EXPECT_EQ(ButtonElement(std::wstring_view(L"ab\0cd", 5)).Text(), L"ab");
}

} // namespace
