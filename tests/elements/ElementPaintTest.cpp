#include "draw/FontCache.h"
#include "draw/GdiHandles.h"
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

// A 63 × 23 button at (10, 10) with its text in the cached Tahoma, in a host
// that has a window, so that it can be hovered and pressed as in a row.
class ButtonLookTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ContainerElement* const root = window_.MakeRoot();
        button_ = root->CreateButton(L"Remove", 10, 10, 63, 23, 105);
        button_->SetFont(GetFont(1, 12, 0, 0));
    }

    std::unique_ptr<DibCanvas> PaintButton() const
    {
        auto canvas = std::make_unique<DibCanvas>(90, 50, kWhite);
        button_->Paint(canvas->Dc(), nullptr);
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

TEST_F(ButtonLookTest, NormalButtonHasTheLightGradientBorderAndInnerEdge)
{
    const auto canvas = PaintButton();
    ExpectGradient(*canvas, kNormalTop, kNormalBottom);
    ExpectFrame(*canvas, kNormalInnerEdge);
    const RECT text = canvas->DarkBounds({12, 12, 71, 31});
    EXPECT_FALSE(IsRectEmpty(&text)) << "the text is drawn in black";
}

TEST_F(ButtonLookTest, HotButtonLooksLikeANormalOne)
{
    const std::vector<COLORREF> normal = PaintButton()->Pixels({0, 0, 90, 50});
    button_->OnMouseEnter();
    ASSERT_TRUE(button_->Hover());
    EXPECT_EQ(PaintButton()->Pixels({0, 0, 90, 50}), normal);
}

TEST_F(ButtonLookTest, PressedButtonIsDarkerAndItsTextSinksTwoPixels)
{
    const auto normal = PaintButton();
    button_->OnMouseDown();
    ASSERT_TRUE(button_->Pressed());
    const auto pressed = PaintButton();
    ExpectGradient(*pressed, kPressedTop, kPressedBottom);
    ExpectFrame(*pressed, kPressedInnerEdge);

    const RECT area = {12, 12, 71, 31};
    RECT normalText = normal->DarkBounds(area);
    const RECT pressedText = pressed->DarkBounds(area);
    ASSERT_FALSE(IsRectEmpty(&normalText));
    OffsetRect(&normalText, 2, 2);
    EXPECT_TRUE(EqualRect(&normalText, &pressedText));
}

TEST_F(ButtonLookTest, PressedButtonDraggedOffPaintsNormalAndPressedAgainOnReturn)
{
    const std::vector<COLORREF> normal = PaintButton()->Pixels({0, 0, 90, 50});
    button_->OnMouseDown();
    const std::vector<COLORREF> pressed = PaintButton()->Pixels({0, 0, 90, 50});
    button_->OnMouseLeave();
    EXPECT_TRUE(button_->Pressed());
    EXPECT_EQ(PaintButton()->Pixels({0, 0, 90, 50}), normal);
    button_->OnMouseEnter();
    EXPECT_EQ(PaintButton()->Pixels({0, 0, 90, 50}), pressed);
}

TEST_F(ButtonLookTest, PaintingLeavesTheDeviceContextsObjectsSelected)
{
    DibCanvas canvas(90, 50, kWhite);
    const ScopedBrush brush(CreateSolidBrush(RGB(1, 2, 3)));
    const ScopedPen pen(CreatePen(PS_SOLID, 2, RGB(4, 5, 6)));
    const HFONT font = GetFont(0, 14, 1, 0);
    const ScopedSelectObject selectBrush(canvas.Dc(), brush.Get());
    const ScopedSelectObject selectPen(canvas.Dc(), pen.Get());
    const ScopedSelectObject selectFont(canvas.Dc(), font);
    button_->OnMouseDown();
    button_->Paint(canvas.Dc(), nullptr);
    EXPECT_EQ(GetCurrentObject(canvas.Dc(), OBJ_BRUSH), brush.Get());
    EXPECT_EQ(GetCurrentObject(canvas.Dc(), OBJ_PEN), pen.Get());
    EXPECT_EQ(GetCurrentObject(canvas.Dc(), OBJ_FONT), font);
}

TEST_F(ButtonLookTest, HiddenButtonPaintsNothing)
{
    button_->SetVisible(false, false);
    EXPECT_EQ(PaintButton()->Pixels({0, 0, 90, 50}), std::vector<COLORREF>(90 * 50, kWhite));
}

TEST(TextElementTest, DrawsOneLineCentredVerticallyInItsColourAndFont)
{
    TextElement label(L"Velmo Studio 2024");
    EXPECT_EQ(label.TextColour(), RGB(0, 0, 0));
    EXPECT_EQ(label.Font(), GetStockObject(SYSTEM_FONT));
    EXPECT_EQ(label.Format(), static_cast<UINT>(DT_END_ELLIPSIS));
    label.SetRect({5, 4, 150, 36});
    label.SetFont(GetFont(1, 11, 0, 0));
    label.SetTextColour(RGB(0, 0, 0));

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

TEST(TextElementTest, HiddenTextPaintsNothingAndTextNeverTakesTheMouse)
{
    TextElement label(L"Velmo");
    label.SetRect({0, 0, 60, 20});
    EXPECT_EQ(label.HitTest({10, 10}), nullptr);
    label.SetVisible(false, false);
    DibCanvas canvas(60, 20, kWhite);
    label.Paint(canvas.Dc(), nullptr);
    EXPECT_EQ(canvas.Pixels({0, 0, 60, 20}), std::vector<COLORREF>(60 * 20, kWhite));
}

TEST(ElementTextTest, TextsAreCutToTheirCapacity)
{
    EXPECT_EQ(TextElement(std::wstring(300, L'a')).Text(), std::wstring(254, L'a'));
    EXPECT_EQ(TextElement(std::wstring(254, L'b')).Text(), std::wstring(254, L'b'));
    EXPECT_EQ(ButtonElement(std::wstring(300, L'c')).Text(), std::wstring(126, L'c'));
    EXPECT_EQ(ButtonElement(std::wstring(126, L'd')).Text(), std::wstring(126, L'd'));
    EXPECT_EQ(ButtonElement(std::wstring_view(L"ab\0cd", 5)).Text(), L"ab");
    EXPECT_EQ(TextElement(L"卸载").Text(), L"卸载");
}

} // namespace
