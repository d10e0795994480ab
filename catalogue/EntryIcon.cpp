#include "catalogue/EntryIcon.h"

#include "catalogue/EnvironmentText.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <vector>

namespace {

constexpr const wchar_t* kQuoteCharacters = L"\"'";
constexpr const wchar_t* kIndexStart = L"-+0123456789";
// For this index the extraction answers with the number of icons in the file.
constexpr int kIconCountIndex = -1;

// An icon file starts with a directory: a header, then one entry per image
// giving where in the file the image lies.
#pragma pack(push, 1)
struct IconDirectoryHeader {
    WORD reserved; // 0
    WORD type;     // 1 for icons
    WORD count;
};
struct IconDirectoryEntry {
    BYTE width;
    BYTE height;
    BYTE colourCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    DWORD offset;
};
#pragma pack(pop)

constexpr WORD kExecutableSignature = 0x5A4D; // "MZ": programs and libraries
constexpr WORD kIconType = 1;

bool ReadAt(HANDLE file, ULONGLONG offset, void* buffer, DWORD bytes)
{
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(offset);
    DWORD read = 0;
    return SetFilePointerEx(file, position, nullptr, FILE_BEGIN) && ReadFile(file, buffer, bytes, &read, nullptr)
        && read == bytes;
}

// The icon extraction trusts an icon file's directory and reads wherever it
// points, even far past the end of the file, which faults. Programs and
// libraries are left to the system's resource loader; anything else must be an
// icon file whose every image lies inside it. A file that cannot be read is no icon.
bool IsSafeToExtract(const wchar_t* path)
{
    wchar_t found[MAX_PATH];
    // Found where the extraction itself would look for it.
    const DWORD length = SearchPathW(nullptr, path, nullptr, MAX_PATH, found, nullptr);
    if (length == 0 || length >= MAX_PATH) {
        return false;
    }
    const ScopedKernelHandle file(
        CreateFileW(found, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size = {};
    IconDirectoryHeader header = {};
    if (!file || !GetFileSizeEx(file.Get(), &size) || !ReadAt(file.Get(), 0, &header, sizeof header)) {
        return false;
    }
    if (header.reserved == kExecutableSignature) {
        return true;
    }
    const ULONGLONG fileSize = static_cast<ULONGLONG>(size.QuadPart);
    if (header.reserved != 0 || header.type != kIconType || header.count == 0
        || sizeof header + ULONGLONG{header.count} * sizeof(IconDirectoryEntry) > fileSize) {
        return false;
    }
    std::vector<IconDirectoryEntry> entries(header.count);
    const DWORD directoryBytes = header.count * DWORD{sizeof(IconDirectoryEntry)};
    if (!ReadAt(file.Get(), sizeof header, entries.data(), directoryBytes)) {
        return false;
    }
    return std::all_of(entries.begin(), entries.end(), [fileSize](const IconDirectoryEntry& entry) {
        return entry.bytes != 0 && ULONGLONG{entry.offset} + entry.bytes <= fileSize;
    });
}

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

bool EntryIcon::LoadFromSpec(const std::wstring& spec, bool expandable, int size)
{
    // The extraction does not expand environment references itself, and takes
    // no path longer than kIconPathLength.
    std::wstring usable = spec;
    if (expandable && !ExpandEnvironmentText(spec, kIconPathLength, usable)) {
        Release();
        return false;
    }
    wchar_t path[kIconPathLength] = {};
    int index = 0;
    if (!ParseIconSpec(usable.c_str(), path, index)) {
        return false;
    }
    return LoadFromFile(path, index, size);
}

bool EntryIcon::LoadFromFile(const wchar_t* path, int index, int size)
{
    Release();
    // The count of icons is no icon: never hold it, draw it or destroy it.
    if (index == kIconCountIndex || !IsSafeToExtract(path)) {
        return false;
    }
    // Only the large icon is asked for; the size goes in both halves, as the small one's is unused.
    HICON extracted = nullptr;
    const UINT sizes = MAKELONG(size, size);
    if (SHDefExtractIconW(path, index, 0, &extracted, nullptr, sizes) != S_OK) {
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
