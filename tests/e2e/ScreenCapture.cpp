#include "tests/e2e/ScreenCapture.h"

#include "catalogue/ScopedHandle.h"
#include "draw/GdiHandles.h"
#include "tests/support/DibCanvas.h"

ScreenCapture::ScreenCapture(const RECT& screenRect)
    : width_(screenRect.right - screenRect.left), height_(screenRect.bottom - screenRect.top)
{
    const DibCanvas canvas(width_, height_);
    {
        const ScopedWindowDC screen(nullptr);
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
    const int rowBytes = (width_ * 3 + 3) & ~3;
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = width_;
    header.biHeight = height_;  // bottom row first
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(rowBytes) * height_;
    BITMAPFILEHEADER fileHeader = {};
    fileHeader.bfType = 0x4D42;  // "BM"
    fileHeader.bfOffBits = sizeof(fileHeader) + sizeof(header);
    fileHeader.bfSize = fileHeader.bfOffBits + header.biSizeImage;

    std::vector<BYTE> data(header.biSizeImage);
    for (int y = 0; y < height_; ++y) {
        BYTE* row = data.data() + static_cast<size_t>(height_ - 1 - y) * rowBytes;
        for (int x = 0; x < width_; ++x) {
            const COLORREF colour = pixels_[static_cast<size_t>(y) * width_ + x];
            row[x * 3] = GetBValue(colour);
            row[x * 3 + 1] = GetGValue(colour);
            row[x * 3 + 2] = GetRValue(colour);
        }
    }

    HANDLE opened = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        return false;
    }
    ScopedHandle file(opened);
    DWORD written = 0;
    return WriteFile(file.Get(), &fileHeader, sizeof(fileHeader), &written, nullptr)
        && WriteFile(file.Get(), &header, sizeof(header), &written, nullptr)
        && WriteFile(file.Get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
}
