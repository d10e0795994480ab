#include "tests/support/Golden.h"

#include "tests/support/TestFolders.h"

#include <objidl.h> // GDI+ takes property identifiers from it

#include <gdiplus.h>

#include <vector>

namespace {

// GDI+ for as long as the object lives.
struct GdiPlus {
    ULONG_PTR token = 0;
    GdiPlus()
    {
        const Gdiplus::GdiplusStartupInput input;
        Gdiplus::GdiplusStartup(&token, &input, nullptr);
    }
    ~GdiPlus() { Gdiplus::GdiplusShutdown(token); }
};

// The PNG encoder GDI+ has built in.
constexpr CLSID kPngEncoder = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};

// Pixels as 0x00RRGGBB, row by row.
void SavePng(std::vector<DWORD> pixels, int width, int height, const std::wstring& path)
{
    Gdiplus::Bitmap image(width, height, width * 4, PixelFormat32bppRGB, reinterpret_cast<BYTE*>(pixels.data()));
    image.Save(path.c_str(), &kPngEncoder, nullptr);
}

} // namespace

::testing::AssertionResult LooksLike(const DibCanvas& canvas, const std::wstring& name)
{
    const GdiPlus gdiPlus;
    const int width = canvas.Width(), height = canvas.Height();
    const std::vector<DWORD> actual = canvas.Bits();
    wchar_t rewrite[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"FARROWGATE_REWRITE_GOLDEN", rewrite, MAX_PATH)) {
        SavePng(actual, width, height, std::wstring(rewrite) + L"\\" + name + L".png");
        return ::testing::AssertionSuccess();
    }
    const std::wstring stem = ModuleDirectory() + L"\\" + name;
    std::vector<DWORD> diff(actual.size(), 0xFF0000); // a differing pixel red, an equal one faded
    size_t differing = 0;
    {
        Gdiplus::Bitmap golden((stem + L".png").c_str());
        const bool sized = golden.GetLastStatus() == Gdiplus::Ok && golden.GetWidth() == UINT(width)
            && golden.GetHeight() == UINT(height);
        for (int i = 0; i < width * height; ++i) {
            Gdiplus::Color colour;
            const bool same = sized && golden.GetPixel(i % width, i / width, &colour) == Gdiplus::Ok
                && (colour.GetValue() & 0xFFFFFF) == actual[i];
            diff[i] = same ? 0xC0C0C0 | (actual[i] >> 2 & 0x3F3F3F) : diff[i];
            differing += !same;
        }
    }
    if (differing == 0) {
        return ::testing::AssertionSuccess();
    }
    SavePng(actual, width, height, stem + L".actual.png");
    SavePng(diff, width, height, stem + L".diff.png");
    return ::testing::AssertionFailure() << differing << " of " << width << " x " << height << " pixels differ from "
                                         << std::string(stem.begin(), stem.end())
                                         << ".png; see .actual.png and .diff.png beside it";
}
