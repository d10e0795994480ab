#include "listctrl/ProductListBody.h"

#include "base/ScopedSelectObject.h"
#include "draw/FontCache.h"
#include "listctrl/ListControl.h"

namespace {

constexpr wchar_t kEmptyListText[] = L"您的电脑没有安装任何velmo软件。";
constexpr COLORREF kEmptyListTextColour = RGB(0, 0, 0);
constexpr int kEmptyListFontSize = 13; // at the default DPI

} // namespace

void ProductListBody::Paint(HDC dc, const RECT* clip)
{
    ListBody::Paint(dc, clip);
    if (FirstVisible()) {
        return;
    }
    const int size = Scaled(kEmptyListFontSize, Owner().Dpi());
    const ScopedSelectObject font(dc, GetFont(FontFace::Tahoma, size, /*bold=*/false, /*underline=*/false));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kEmptyListTextColour);
    RECT area = Rect();
    DrawTextW(dc, kEmptyListText, -1, &area, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
}
