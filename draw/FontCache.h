#pragma once

#include <windows.h>

#include <memory>

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

    // face: non-zero "Tahoma", 0 "宋体"; size: character height in pixels
    // (negative: cell height); bold: weight 600 instead of 400.
    HFONT GetFont(int face, int size, int bold, int underline);

private:
    struct Entry {
        wchar_t key[64] = {};
        HFONT font = nullptr;
        std::unique_ptr<Entry> next;
    };

    std::unique_ptr<Entry> head_;  // most recently created first
};

// The process-wide cache's font for these values.
inline HFONT GetFont(int face, int size, int bold, int underline)
{
    return FontCache::Instance().GetFont(face, size, bold, underline);
}
