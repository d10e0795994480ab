#pragma once

#include <windows.h>

// Fills rect with colour via the DC's background colour, which stays set.
void FillSolidRect(HDC dc, const RECT& rect, COLORREF colour);

// A solid line from (x1, y1) to (x2, y2); the end point is not drawn.
void DrawLine(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour, int width);

// A 1-pixel rounded-rectangle outline; the inside gets whatever brush the DC holds.
void RoundRectFrame(HDC dc, int left, int top, int right, int bottom, int cornerWidth, int cornerHeight,
    COLORREF colour);
