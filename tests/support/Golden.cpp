#include "tests/support/Golden.h"

#include "tests/support/TestFolders.h"

#include <objidl.h> // GDI+ takes property identifiers from it

#include <gdiplus.h>

#include <algorithm>
#include <vector>

namespace {

// GDI+ for as long as the object lives.
struct GdiPlus {
    const Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    GdiPlus() { Gdiplus::GdiplusStartup(&token, &input, nullptr); }
    ~GdiPlus() { Gdiplus::GdiplusShutdown(token); }
};

// The PNG encoder GDI+ has built in.
constexpr CLSID kPngEncoder = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
constexpr DWORD kRed = 0xFF0000;

} // namespace

::testing::AssertionResult LooksLike(const DibCanvas& canvas, const std::wstring& name)
{
    const GdiPlus gdiPlus;
    const int width = canvas.Width(), height = canvas.Height();
    const std::vector<DWORD> actual = canvas.Bits();
    const auto save = [&](std::vector<DWORD> pixels, const std::wstring& path) { // pixels as 0x00RRGGBB, row by row
        Gdiplus::Bitmap(width, height, width * 4, PixelFormat32bppRGB, reinterpret_cast<BYTE*>(pixels.data()))
            .Save(path.c_str(), &kPngEncoder, nullptr);
    };
    if (const wchar_t* rewrite = _wgetenv(L"FARROWGATE_REWRITE_GOLDEN")) {
        save(actual, std::wstring(rewrite) + L"\\" + name + L".png");
        return ::testing::AssertionSuccess();
    }
    const std::wstring stem = ModuleDirectory() + L"\\" + name;
    std::vector<DWORD> diff(actual.size(), kRed); // a differing pixel red, an equal one faded
    Gdiplus::Bitmap golden((stem + L".png").c_str());
    const bool sized =
        golden.GetLastStatus() == Gdiplus::Ok && golden.GetWidth() == UINT(width) && golden.GetHeight() == UINT(height);
    for (int i = 0; sized && i < width * height; ++i) {
        Gdiplus::Color colour;
        if (golden.GetPixel(i % width, i / width, &colour) == Gdiplus::Ok
            && (colour.GetValue() & 0xFFFFFF) == actual[i]) {
            diff[i] = 0xC0C0C0 | (actual[i] >> 2 & 0x3F3F3F);
        }
    }
    const auto differing = std::count(diff.begin(), diff.end(), kRed);
    if (differing == 0) {
        return ::testing::AssertionSuccess();
    }
    save(actual, stem + L".actual.png");
    save(diff, stem + L".diff.png");
    return ::testing::AssertionFailure() << differing << " of " << width << " x " << height << " pixels differ from "
                                         << std::string(stem.begin(), stem.end())
                                         << ".png; see .actual.png and .diff.png beside it";
}
