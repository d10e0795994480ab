#pragma once

#include "base/ScopedHandle.h"

#include <windows.h>

#include <string>

// Capacity of the path parsed out of a DisplayIcon value, terminator included.
constexpr int kIconPathLength = 260;
// The side of a product's icon at the default DPI, in pixels.
constexpr int kEntryIconSize = 32;

// Splits a DisplayIcon value, "path[,index]", into its path (quotes trimmed
// from both ends) and icon index. False when the path would not fit.
bool ParseIconSpec(const wchar_t* spec, wchar_t (&path)[kIconPathLength], int& index);

// A product's icon, loaded from its DisplayIcon value and drawn on its row.
// Holds at most one icon and destroys it when replaced, released or destroyed.
class EntryIcon {
public:
    EntryIcon() = default;
    virtual ~EntryIcon() = default;
    EntryIcon(EntryIcon&&) = default;
    EntryIcon& operator=(EntryIcon&&) = default;
    EntryIcon(const EntryIcon&) = delete;
    EntryIcon& operator=(const EntryIcon&) = delete;

    // False, with the held icon untouched, when spec does not parse. An
    // expandable spec (stored as REG_EXPAND_SZ) is expanded first; one that
    // cannot be expanded leaves no icon. size: the icon's side in pixels.
    bool LoadFromSpec(const std::wstring& spec, bool expandable, int size = kEntryIconSize);
    // index >= 0: position in the file; index < 0: resource identifier -index.
    // The file's image nearest to size is taken, so that no icon is drawn
    // stretched from a smaller one the file does not need. An icon file whose
    // directory does not match the file gives no icon. True when an icon is
    // held afterwards.
    bool LoadFromFile(const wchar_t* path, int index, int size = kEntryIconSize);
    // Draws nothing when no icon is held.
    void Draw(HDC dc, int x, int y, int width, int height) const;
    bool Release();

    HICON Icon() const { return icon_.Get(); }

private:
    ScopedIcon icon_;
};
