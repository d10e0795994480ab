#pragma once

#include "base/ScopedHandle.h"
#include "base/ScopedSelectObject.h"

#include <windows.h>

#include <vector>

// A 32-bit top-down DIB section selected into a memory DC, so that whatever is
// drawn on the DC can be read back pixel by pixel. Link gdi32.
class DibCanvas {
public:
    DibCanvas(int width, int height)
        : width_(width),
          height_(height),
          dc_(CreateCompatibleDC(nullptr)),
          bitmap_(CreateBitmap(width, height, &bits_)),
          select_(dc_.Get(), bitmap_.Get())
    {
    }

    // A canvas painted all in background.
    DibCanvas(int width, int height, COLORREF background) : DibCanvas(width, height) { Fill(background); }

    HDC Dc() const { return dc_.Get(); }
    int Width() const { return width_; }
    int Height() const { return height_; }

    // Paints every pixel in colour, bypassing GDI.
    void Fill(COLORREF colour)
    {
        GdiFlush();
        for (int i = 0; i < width_ * height_; ++i) {
            bits_[i] = RGB(GetBValue(colour), GetGValue(colour), GetRValue(colour));
        }
    }

    // The pixel's colour as a COLORREF; the unused top byte is dropped.
    COLORREF Pixel(int x, int y) const
    {
        GdiFlush();
        const DWORD pixel = bits_[y * width_ + x];
        return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    }

    // How many pixels of the canvas have colour.
    int CountPixels(COLORREF colour) const
    {
        int count = 0;
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                count += Pixel(x, y) == colour;
            }
        }
        return count;
    }

    // Pixels of a rectangle, row by row.
    std::vector<COLORREF> Pixels(const RECT& area) const
    {
        std::vector<COLORREF> pixels;
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                pixels.push_back(Pixel(x, y));
            }
        }
        return pixels;
    }

    // The smallest rectangle holding every pixel of the area darker than the threshold
    // in each channel; empty when there is none.
    RECT DarkBounds(const RECT& area, int threshold = 96) const
    {
        RECT bounds = {};
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                const COLORREF c = Pixel(x, y);
                if (GetRValue(c) < threshold && GetGValue(c) < threshold && GetBValue(c) < threshold) {
                    const RECT dot = {x, y, x + 1, y + 1};
                    UnionRect(&bounds, &bounds, &dot);
                }
            }
        }
        return bounds;
    }

private:
    HBITMAP CreateBitmap(int width, int height, DWORD** bits) const
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height; // top-down: row 0 first in memory
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* memory = nullptr;
        const HBITMAP bitmap = CreateDIBSection(dc_.Get(), &info, DIB_RGB_COLORS, &memory, nullptr, 0);
        *bits = static_cast<DWORD*>(memory);
        return bitmap;
    }

    const int width_;
    const int height_;
    DWORD* bits_ = nullptr;
    ScopedMemoryDC dc_;
    ScopedBitmap bitmap_;
    ScopedSelectObject select_;
};
