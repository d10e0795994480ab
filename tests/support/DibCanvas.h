#pragma once

#include "base/ScopedHandle.h"
#include "base/ScopedSelectObject.h"

#include <windows.h>

#include <vector>

// A 32-bit top-down DIB section selected into a memory DC, so that what is drawn on the DC can be read back.
class DibCanvas {
public:
    DibCanvas(int width, int height, COLORREF background = RGB(0, 0, 0));

    HDC Dc() const { return dc_.Get(); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Each pixel as 0x00RRGGBB, row by row (the fourth byte, which an icon drawn with alpha sets, cleared).
    std::vector<DWORD> Bits() const;
    // The pixels of a rectangle, row by row.
    std::vector<COLORREF> Pixels(const RECT& area) const;
    int CountPixels(COLORREF colour) const;

private:
    const int width_, height_;
    DWORD* bits_ = nullptr;
    ScopedMemoryDC dc_;
    ScopedBitmap bitmap_;
    ScopedSelectObject select_;
};
