#pragma once

#include <windows.h>

// a + (b − a) × step ÷ total per channel, truncated toward zero.
COLORREF BlendColour(COLORREF a, COLORREF b, int total, int step);

// One 1-pixel line per row from topColour towards bottomColour; the last row
// stops one step short of bottomColour.
void FillVerticalGradient(HDC dc, const RECT& rect, COLORREF topColour, COLORREF bottomColour);

// count stops at fractions positions[i] of the height; each band between two
// stops is a FillVerticalGradient from colours[i − 1] to colours[i].
void FillGradientStops(HDC dc, const RECT& rect, int count, const double positions[], const COLORREF colours[]);
