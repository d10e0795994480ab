#pragma once

#include <windows.h>

#include <memory>

// The two faces the program draws with; the number is part of the cache key.
enum class FontFace { SimSun = 0, Tahoma = 1 };

// Every font the program draws its own texts with, created once per distinct
// request and shared. Users never delete a font they get from here; the cache
// deletes them all when it is destroyed (for the process-wide one: at exit).
class FontCache {
public:
    FontCache() = default;
    ~FontCache();
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;

    // The process-wide cache, created on first use.
    static FontCache& Instance();

    // size: character height in pixels (negative: cell height); bold: weight
    // 600 instead of 400.
    HFONT GetFont(FontFace face, int size, bool bold, bool underline);

private:
    struct Entry {
        wchar_t key[64] = {};
        HFONT font = nullptr;
        std::unique_ptr<Entry> next;
    };

    std::unique_ptr<Entry> head_; // most recently created first
};

// The process-wide cache's font for these values.
inline HFONT GetFont(FontFace face, int size, bool bold, bool underline)
{
    return FontCache::Instance().GetFont(face, size, bold, underline);
}
