#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A copy of what the screen shows inside a rectangle, taken at construction
// from the desktop's device context.
class ScreenCapture {
public:
    explicit ScreenCapture(const RECT& screenRect);

    int Width() const { return width_; }
    int Height() const { return height_; }
    // (x, y) relative to the rectangle's top-left corner; black outside it.
    COLORREF Pixel(int x, int y) const;
    // Writes the picture as a 32-bit .bmp file.
    bool Save(const std::wstring& path) const;

private:
    int width_;
    int height_;
    std::vector<COLORREF> pixels_; // top row first
};
