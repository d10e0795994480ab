#include "listctrl/ProductRow.h"

#include "base/DisplayScale.h"
#include "draw/DrawRoutines.h"
#include "draw/FontCache.h"
#include "elements/ButtonElement.h"
#include "elements/Gradient.h"
#include "elements/TextElement.h"
#include "listctrl/ListBody.h"

namespace {

// Places relative to the row's top-left corner at the default DPI; every
// length is scaled on its own, as the system scales a dialog's.
struct Place {
    int left, top, width, height;
};
constexpr Place kIcon = {12, 10, kEntryIconSize, kEntryIconSize};
constexpr Place kNameLabel = {53, 17, 207, 16};
constexpr Place kUninstallButton = {267, 13, 63, 23};
// Font heights and the thickness of the separator and highlight lines at the default DPI.
constexpr int kNameFontSize = 11;
constexpr int kButtonFontSize = 12;
constexpr int kLineWidth = 1;

constexpr wchar_t kUninstallText[] = L"卸载";
constexpr COLORREF kNameColour = RGB(0, 0, 0);

// The selected row's light-blue gradient, top to bottom.
constexpr int kSelectedStops = 4;
constexpr double kSelectedPositions[kSelectedStops] = {0.0, 0.3, 0.7, 1.0};
constexpr COLORREF kSelectedColours[kSelectedStops] = {RGB(240, 251, 255), RGB(232, 249, 255), RGB(213, 243, 255),
    RGB(203, 240, 255)};
// Drawn one line below the top edge of the selected row.
constexpr COLORREF kHighlightColour = RGB(228, 243, 249);
// Along the top edge of every row but the first visible one.
constexpr COLORREF kSeparatorColour = RGB(230, 230, 230);

HFONT Font(int size, int dpi)
{
    return GetFont(FontFace::Tahoma, Scaled(size, dpi), /*bold=*/false, /*underline=*/false);
}

// A place at dpi, in the coordinates of a row whose top-left corner is origin.
RECT PlaceAt(const Place& place, int dpi, const RECT& origin)
{
    const int left = origin.left + Scaled(place.left, dpi);
    const int top = origin.top + Scaled(place.top, dpi);
    return {left, top, left + Scaled(place.width, dpi), top + Scaled(place.height, dpi)};
}

// A horizontal line of the row, scaled in thickness, from its top edge down.
void FillLine(HDC dc, const RECT& row, int top, int dpi, COLORREF colour)
{
    FillSolidRect(dc, {row.left, top, row.right, top + Scaled(kLineWidth, dpi)}, colour);
}

} // namespace

ProductRow::ProductRow(const InstalledEntry& entry) : ListRow(entry.Sequence), entry_(entry) {}

void ProductRow::OnAttached()
{
    // Placed by FitToDpi.
    nameLabel_ = CreateText(entry_.DisplayName, 0, 0, 0, 0, 0);
    nameLabel_->SetTextColour(kNameColour);
    uninstallButton_ = CreateButton(kUninstallText, 0, 0, 0, 0, UninstallButtonId(Key()));
    FitToDpi();
}

void ProductRow::OnDpiChanged()
{
    FitToDpi();
    // Loaded again at the new size on the next paint.
    icon_.reset();
}

void ProductRow::FitToDpi()
{
    const int dpi = Dpi();
    SetSize(Rect().right - Rect().left, Scaled(kProductRowHeight, dpi));
    nameLabel_->SetRect(PlaceAt(kNameLabel, dpi, Rect()));
    nameLabel_->SetFont(Font(kNameFontSize, dpi));
    uninstallButton_->SetRect(PlaceAt(kUninstallButton, dpi, Rect()));
    uninstallButton_->SetFont(Font(kButtonFontSize, dpi));
    uninstallButton_->SetDpi(dpi);
}

void ProductRow::Paint(HDC dc, const RECT* clip)
{
    if (!Visible()) {
        return;
    }
    PaintBackground(dc);
    PaintIcon(dc);
    ListRow::Paint(dc, clip);
    const RECT& row = Rect();
    if (Parent() && Parent()->FirstVisibleChild() != this) {
        FillLine(dc, row, row.top, Dpi(), kSeparatorColour);
    }
}

void ProductRow::PaintBackground(HDC dc) const
{
    const RECT& row = Rect();
    if (!Selected()) {
        FillSolidRect(dc, row, kListBackgroundColour);
        return;
    }
    FillGradientStops(dc, row, kSelectedStops, kSelectedPositions, kSelectedColours);
    FillLine(dc, row, row.top + Scaled(kLineWidth, Dpi()), Dpi(), kHighlightColour);
}

void ProductRow::PreparePaint()
{
    LoadIcon();
}

void ProductRow::LoadIcon()
{
    // Loaded on the first paint only: a failed load, even one that never
    // returned, is not tried again.
    if (!icon_) {
        icon_ = std::make_unique<EntryIcon>();
        icon_->LoadFromSpec(entry_.DisplayIcon, entry_.DisplayIconExpandable, Scaled(kIcon.width, Dpi()));
    }
}

void ProductRow::PaintIcon(HDC dc)
{
    LoadIcon();
    const RECT place = PlaceAt(kIcon, Dpi(), Rect());
    icon_->Draw(dc, place.left, place.top, place.right - place.left, place.bottom - place.top);
}
