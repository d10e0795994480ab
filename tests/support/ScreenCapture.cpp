#include "tests/support/ScreenCapture.h"

#include "base/ScopedHandle.h"
#include "tests/support/DibCanvas.h"

ScreenCapture::ScreenCapture(const RECT& screenRect)
    : width_(screenRect.right - screenRect.left), height_(screenRect.bottom - screenRect.top)
{
    const DibCanvas canvas(width_, height_);
    {
        const ScopedWindowDC screen(GetDC(nullptr));
        BitBlt(canvas.Dc(), 0, 0, width_, height_, screen.Get(), screenRect.left, screenRect.top, SRCCOPY);
    }
    pixels_ = canvas.Pixels({0, 0, width_, height_});
}

COLORREF ScreenCapture::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return RGB(0, 0, 0);
    }
    return pixels_[static_cast<size_t>(y) * width_ + x];
}

bool ScreenCapture::Save(const std::wstring& path) const
{
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = width_;
    header.biHeight = -height_; // top row first
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    BITMAPFILEHEADER fileHeader = {};
    fileHeader.bfType = 0x4D42; // "BM"
    fileHeader.bfOffBits = sizeof(fileHeader) + sizeof(header);
    std::vector<DWORD> data;
    for (const COLORREF colour : pixels_) {
        data.push_back(RGB(GetBValue(colour), GetGValue(colour), GetRValue(colour)));
    }
    const DWORD dataBytes = static_cast<DWORD>(data.size() * sizeof(DWORD));
    fileHeader.bfSize = fileHeader.bfOffBits + dataBytes;

    const ScopedKernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file) {
        return false;
    }
    DWORD written = 0;
    return WriteFile(file.Get(), &fileHeader, sizeof(fileHeader), &written, nullptr)
        && WriteFile(file.Get(), &header, sizeof(header), &written, nullptr)
        && WriteFile(file.Get(), data.data(), dataBytes, &written, nullptr);
}
