#include "elements/Gradient.h"

#include "draw/DrawRoutines.h"

namespace {

int BlendChannel(int a, int b, int total, int step)
{
    return a + (b - a) * step / total;
}

} // namespace

COLORREF BlendColour(COLORREF a, COLORREF b, int total, int step)
{
    if (total == 0) {
        return a; // nothing to blend over
    }
    return RGB(BlendChannel(GetRValue(a), GetRValue(b), total, step),
        BlendChannel(GetGValue(a), GetGValue(b), total, step), BlendChannel(GetBValue(a), GetBValue(b), total, step));
}

void FillVerticalGradient(HDC dc, const RECT& rect, COLORREF topColour, COLORREF bottomColour)
{
    const int height = rect.bottom - rect.top;
    for (int y = rect.top; y < rect.bottom; ++y) {
        DrawLine(dc, rect.left, y, rect.right, y, BlendColour(topColour, bottomColour, height, y - rect.top), 1);
    }
}

void FillGradientStops(HDC dc, const RECT& rect, int count, const double positions[], const COLORREF colours[])
{
    const int height = rect.bottom - rect.top;
    const auto boundary = [&](int stop) { return static_cast<int>(height * positions[stop] + rect.top); };
    for (int stop = 1; stop < count; ++stop) {
        const RECT band = {rect.left, boundary(stop - 1), rect.right, boundary(stop)};
        FillVerticalGradient(dc, band, colours[stop - 1], colours[stop]);
    }
}
