#include "tests/support/DibCanvas.h"

#include <algorithm>
#include <iterator>

DibCanvas::DibCanvas(int width, int height, COLORREF background)
    : width_(width),
      height_(height),
      dc_(CreateCompatibleDC(nullptr)),
      bitmap_([&] {
          BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}}; // top-down
          return CreateDIBSection(dc_.Get(), &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
      }()),
      select_(dc_.Get(), bitmap_.Get())
{
    std::fill(bits_, bits_ + width * height, RGB(GetBValue(background), GetGValue(background), GetRValue(background)));
}

std::vector<DWORD> DibCanvas::Bits() const
{
    GdiFlush();
    std::vector<DWORD> bits(bits_, bits_ + width_ * height_);
    std::transform(bits.begin(), bits.end(), bits.begin(), [](DWORD pixel) { return pixel & 0xFFFFFF; });
    return bits;
}

std::vector<COLORREF> DibCanvas::Pixels(const RECT& area) const
{
    const std::vector<DWORD> bits = Bits();
    std::vector<COLORREF> pixels;
    for (auto row = bits.begin() + area.top * width_; row < bits.begin() + area.bottom * width_; row += width_) {
        std::transform(row + area.left, row + area.right, std::back_inserter(pixels),
            [](DWORD pixel) { return RGB(pixel >> 16, pixel >> 8, pixel); }); // RGB takes each one's low byte
    }
    return pixels;
}

int DibCanvas::CountPixels(COLORREF colour) const
{
    const std::vector<COLORREF> all = Pixels({0, 0, width_, height_});
    return static_cast<int>(std::count(all.begin(), all.end(), colour));
}
