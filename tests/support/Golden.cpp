#include "tests/support/Golden.h"

#include "base/ComApartment.h"
#include "tests/support/TestFolders.h"

#include <initguid.h>
#include <wincodec.h>

#include <vector>

namespace {

using Pixels = std::vector<DWORD>; // 0x00RRGGBB, row by row
using Factory = ScopedComReference<IWICImagingFactory>;

Factory CreateFactory()
{
    IWICImagingFactory* factory = nullptr;
    CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IWICImagingFactory),
        reinterpret_cast<void**>(&factory));
    return Factory(factory);
}

// The image of a PNG file, when it is width × height.
bool ReadPng(IWICImagingFactory& factory, const std::wstring& path, int width, int height, Pixels& pixels)
{
    IWICBitmapDecoder* d = nullptr;
    IWICBitmapFrameDecode* f = nullptr;
    IWICFormatConverter* c = nullptr;
    if (FAILED(factory.CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
            &d))) {
        return false;
    }
    const ScopedComReference<IWICBitmapDecoder> decoder(d);
    if (FAILED(d->GetFrame(0, &f))) {
        return false;
    }
    const ScopedComReference<IWICBitmapFrameDecode> frame(f);
    if (FAILED(factory.CreateFormatConverter(&c))) {
        return false;
    }
    const ScopedComReference<IWICFormatConverter> converter(c);
    UINT w = 0, h = 0;
    pixels.resize(size_t(width) * height);
    const bool read = SUCCEEDED(c->Initialize(f, GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0,
                          WICBitmapPaletteTypeCustom))
        && SUCCEEDED(c->GetSize(&w, &h)) && w == UINT(width) && h == UINT(height)
        && SUCCEEDED(
            c->CopyPixels(nullptr, width * 4, UINT(pixels.size() * 4), reinterpret_cast<BYTE*>(pixels.data())));
    for (DWORD& pixel : pixels) {
        pixel &= 0xFFFFFF; // the fourth byte is undefined
    }
    return read;
}

void WritePng(IWICImagingFactory& factory, const std::wstring& path, int width, int height, Pixels pixels)
{
    IWICStream* s = nullptr;
    IWICBitmapEncoder* e = nullptr;
    IWICBitmapFrameEncode* f = nullptr;
    factory.CreateStream(&s);
    const ScopedComReference<IWICStream> stream(s);
    factory.CreateEncoder(GUID_ContainerFormatPng, nullptr, &e);
    const ScopedComReference<IWICBitmapEncoder> encoder(e);
    if (!s || !e || FAILED(s->InitializeFromFilename(path.c_str(), GENERIC_WRITE))
        || FAILED(e->Initialize(s, WICBitmapEncoderNoCache)) || FAILED(e->CreateNewFrame(&f, nullptr))) {
        return;
    }
    const ScopedComReference<IWICBitmapFrameEncode> frame(f);
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGR;
    f->Initialize(nullptr);
    f->SetSize(width, height);
    f->SetPixelFormat(&format);
    f->WritePixels(height, width * 4, UINT(pixels.size() * 4), reinterpret_cast<BYTE*>(pixels.data()));
    f->Commit();
    e->Commit();
}

} // namespace

::testing::AssertionResult LooksLike(const DibCanvas& canvas, const std::wstring& name)
{
    const ComApartment apartment;
    const Factory factory = CreateFactory();
    if (!factory) {
        return ::testing::AssertionFailure() << "no imaging component";
    }
    const int width = canvas.Width(), height = canvas.Height();
    Pixels actual;
    for (const COLORREF colour : canvas.Pixels({0, 0, width, height})) {
        actual.push_back(DWORD{GetRValue(colour)} << 16 | DWORD{GetGValue(colour)} << 8 | GetBValue(colour));
    }
    wchar_t rewrite[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"FARROWGATE_REWRITE_GOLDEN", rewrite, MAX_PATH)) {
        WritePng(*factory.Get(), std::wstring(rewrite) + L"\\" + name + L".png", width, height, actual);
        return ::testing::AssertionSuccess();
    }
    const std::wstring stem = ModuleDirectory() + L"\\" + name;
    Pixels golden;
    if (ReadPng(*factory.Get(), stem + L".png", width, height, golden) && golden == actual) {
        return ::testing::AssertionSuccess();
    }
    Pixels diff = actual;
    size_t differing = 0;
    for (size_t i = 0; i < diff.size(); ++i) {
        const bool same = i < golden.size() && golden[i] == actual[i];
        differing += !same;
        diff[i] = same ? 0xC0C0C0 | (actual[i] >> 2 & 0x3F3F3F) : 0xFF0000;
    }
    WritePng(*factory.Get(), stem + L".actual.png", width, height, actual);
    WritePng(*factory.Get(), stem + L".diff.png", width, height, diff);
    std::string where(stem.begin(), stem.end());
    return ::testing::AssertionFailure() << differing << " pixels differ from " << where << ".png (" << width << " x "
                                         << height << "); see .actual.png and .diff.png beside it";
}
