#include "listctrl/ProductRow.h"

#include "draw/DrawRoutines.h"
#include "draw/FontCache.h"
#include "elements/ButtonElement.h"
#include "elements/Gradient.h"
#include "elements/TextElement.h"
#include "listctrl/ListBody.h"

namespace {

// Places relative to the row's top-left corner.
constexpr int kIconLeft = 12;
constexpr int kIconTop = 10;
constexpr int kIconSize = 32;
constexpr RECT kNameLabel = {53, 17, 53 + 207, 17 + 16};
constexpr RECT kUninstallButton = {267, 13, 267 + 63, 13 + 23};

constexpr wchar_t kUninstallText[] = L"卸载";
constexpr COLORREF kNameColour = RGB(0, 0, 0);

// The selected row's light-blue gradient, top to bottom.
constexpr int kSelectedStops = 4;
constexpr double kSelectedPositions[kSelectedStops] = {0.0, 0.3, 0.7, 1.0};
constexpr COLORREF kSelectedColours[kSelectedStops] = {RGB(240, 251, 255), RGB(232, 249, 255), RGB(213, 243, 255),
    RGB(203, 240, 255)};
// Drawn one pixel below the top edge of the selected row.
constexpr COLORREF kHighlightColour = RGB(228, 243, 249);
// Along the top edge of every row but the first visible one.
constexpr COLORREF kSeparatorColour = RGB(230, 230, 230);

HFONT NameFont()
{
    return GetFont(FontFace::Tahoma, 11, /*bold=*/false, /*underline=*/false);
}

HFONT ButtonFont()
{
    return GetFont(FontFace::Tahoma, 12, /*bold=*/false, /*underline=*/false);
}

} // namespace

ProductRow::ProductRow(const InstalledEntry& entry) : ListRow(entry.Sequence), entry_(entry) {}

void ProductRow::OnAttached()
{
    nameLabel_ = CreateText(entry_.DisplayName, kNameLabel.left, kNameLabel.top, kNameLabel.right - kNameLabel.left,
        kNameLabel.bottom - kNameLabel.top, 0);
    nameLabel_->SetTextColour(kNameColour);
    nameLabel_->SetFont(NameFont());
    uninstallButton_ = CreateButton(kUninstallText, kUninstallButton.left, kUninstallButton.top,
        kUninstallButton.right - kUninstallButton.left, kUninstallButton.bottom - kUninstallButton.top,
        UninstallButtonId(Key()));
    uninstallButton_->SetFont(ButtonFont());
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
        DrawLine(dc, row.left, row.top, row.right, row.top, kSeparatorColour, 1);
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
    DrawLine(dc, row.left, row.top + 1, row.right, row.top + 1, kHighlightColour, 1);
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
        icon_->LoadFromSpec(entry_.DisplayIcon, entry_.DisplayIconExpandable);
    }
}

void ProductRow::PaintIcon(HDC dc)
{
    LoadIcon();
    icon_->Draw(dc, Rect().left + kIconLeft, Rect().top + kIconTop, kIconSize, kIconSize);
}
