#include "tests/support/DibCanvas.h"

#include <algorithm>

namespace {

HBITMAP CreateDib(HDC dc, int width, int height, DWORD** bits)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down: row 0 first in memory
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(bits), nullptr, 0);
}

} // namespace

DibCanvas::DibCanvas(int width, int height, COLORREF background)
    : width_(width),
      height_(height),
      dc_(CreateCompatibleDC(nullptr)),
      bitmap_(CreateDib(dc_.Get(), width, height, &bits_)),
      select_(dc_.Get(), bitmap_.Get())
{
    std::fill(bits_, bits_ + width * height, RGB(GetBValue(background), GetGValue(background), GetRValue(background)));
}

COLORREF DibCanvas::Pixel(int x, int y) const
{
    GdiFlush();
    const DWORD pixel = bits_[y * width_ + x];
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
}

std::vector<COLORREF> DibCanvas::Pixels(const RECT& area) const
{
    std::vector<COLORREF> pixels;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            pixels.push_back(Pixel(x, y));
        }
    }
    return pixels;
}

int DibCanvas::CountPixels(COLORREF colour) const
{
    const std::vector<COLORREF> all = Pixels({0, 0, width_, height_});
    return static_cast<int>(std::count(all.begin(), all.end(), colour));
}
