#include "catalogue/EntryIcon.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <cstdlib>
#include <cwchar>

namespace {

constexpr const wchar_t* kQuoteCharacters = L"\"'";
constexpr const wchar_t* kIndexStart = L"-+0123456789";
// For this index ExtractIconW answers with the number of icons in the file.
constexpr int kIconCountIndex = -1;
// ExtractIconW's answer for a file that is neither an executable, a library
// nor an icon file.
constexpr UINT_PTR kNotAnIconFile = 1;

} // namespace

bool ParseIconSpec(const wchar_t* spec, wchar_t (&path)[kIconPathLength], int& index)
{
    path[0] = L'\0';
    index = 0;
    const wchar_t* comma = wcschr(spec, L',');
    if (!comma) {
        if (wcslen(spec) >= static_cast<size_t>(kIconPathLength)) {
            return false;
        }
        lstrcpynW(path, spec, kIconPathLength);
        StrTrimW(path, kQuoteCharacters);
        return true;
    }
    const ptrdiff_t pathLength = comma - spec;
    if (pathLength + 1 >= kIconPathLength) {
        return false;
    }
    lstrcpynW(path, spec, static_cast<int>(pathLength + 1));
    StrTrimW(path, kQuoteCharacters);
    if (const wchar_t* number = wcspbrk(comma + 1, kIndexStart)) {
        index = _wtoi(number);
    }
    return true;
}

bool EntryIcon::LoadFromSpec(const std::wstring& spec)
{
    wchar_t path[kIconPathLength] = {};
    int index = 0;
    if (!ParseIconSpec(spec.c_str(), path, index)) {
        return false;
    }
    return LoadFromFile(path, index);
}

bool EntryIcon::LoadFromFile(const wchar_t* path, int index)
{
    Release();
    // The count of icons is no icon: never hold it, draw it or destroy it.
    if (index == kIconCountIndex) {
        return false;
    }
    const HICON extracted = ExtractIconW(GetModuleHandleW(nullptr), path, static_cast<UINT>(index));
    if (reinterpret_cast<UINT_PTR>(extracted) == kNotAnIconFile) {
        return false;
    }
    icon_.Reset(extracted);
    return icon_.Get() != nullptr;
}

void EntryIcon::Draw(HDC dc, int x, int y, int width, int height) const
{
    if (icon_.Get()) {
        DrawIconEx(dc, x, y, icon_.Get(), width, height, 0, nullptr, DI_NORMAL);
    }
}

bool EntryIcon::Release()
{
    icon_.Reset();
    return true;
}
