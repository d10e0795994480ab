#include "draw/DrawRoutines.h"

#include "base/ScopedHandle.h"
#include "base/ScopedSelectObject.h"

void FillSolidRect(HDC dc, const RECT& rect, COLORREF colour)
{
    SetBkColor(dc, colour);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

void DrawLine(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour, int width)
{
    const ScopedPen pen(CreatePen(PS_SOLID, width, colour));
    const ScopedSelectObject select(dc, pen.Get());
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

void RoundRectFrame(HDC dc, int left, int top, int right, int bottom, int cornerWidth, int cornerHeight,
    COLORREF colour)
{
    const ScopedPen pen(CreatePen(PS_SOLID, 1, colour));
    const ScopedSelectObject select(dc, pen.Get());
    RoundRect(dc, left, top, right, bottom, cornerWidth, cornerHeight);
}
