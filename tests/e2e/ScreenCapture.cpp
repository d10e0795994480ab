#include "tests/e2e/ScreenCapture.h"

#include "catalogue/ScopedHandle.h"
#include "draw/GdiHandles.h"

#include <cstring>

ScreenCapture::ScreenCapture(const RECT& screenRect)
    : width_(screenRect.right - screenRect.left), height_(screenRect.bottom - screenRect.top),
      pixels_(static_cast<size_t>(width_) * height_)
{
    ScopedWindowDC screen(nullptr);
    ScopedMemoryDC memory(screen.Get());
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    ScopedBitmap bitmap(CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap.Get()) {
        return;
    }
    {
        ScopedSelectObject select(memory.Get(), bitmap.Get());
        BitBlt(memory.Get(), 0, 0, width_, height_, screen.Get(), screenRect.left, screenRect.top, SRCCOPY);
        GdiFlush();
    }
    std::memcpy(pixels_.data(), bits, pixels_.size() * sizeof(std::uint32_t));
}

COLORREF ScreenCapture::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return RGB(0, 0, 0);
    }
    const std::uint32_t value = pixels_[static_cast<size_t>(y) * width_ + x];
    return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
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
            const std::uint32_t value = pixels_[static_cast<size_t>(y) * width_ + x];
            row[x * 3] = value & 0xFF;
            row[x * 3 + 1] = (value >> 8) & 0xFF;
            row[x * 3 + 2] = (value >> 16) & 0xFF;
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
