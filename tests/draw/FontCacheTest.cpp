#include "draw/FontCache.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

LOGFONTW Describe(HFONT font)
{
    LOGFONTW description = {};
    EXPECT_EQ(GetObjectW(font, sizeof(description), &description), static_cast<int>(sizeof(description)));
    return description;
}

// Everything but face, height, weight and underline is 0, the character set
// aside.
void ExpectFont(HFONT font, const wchar_t* face, LONG height, LONG weight, BYTE underline)
{
    ASSERT_NE(font, nullptr);
    const LOGFONTW d = Describe(font);
    EXPECT_EQ(std::wstring(d.lfFaceName), face);
    EXPECT_EQ(std::make_tuple(d.lfHeight, d.lfWeight, d.lfUnderline, d.lfCharSet),
        std::make_tuple(height, weight, underline, BYTE{DEFAULT_CHARSET}));
    EXPECT_EQ(std::make_tuple(d.lfWidth, d.lfEscapement, d.lfOrientation), std::make_tuple(0L, 0L, 0L));
    EXPECT_EQ(std::make_tuple(d.lfItalic, d.lfStrikeOut, d.lfOutPrecision, d.lfClipPrecision, d.lfQuality,
                  d.lfPitchAndFamily),
        std::make_tuple(0, 0, 0, 0, 0, 0));
}

TEST(FontCacheTest, SameRequestGivesTheSameFont)
{
    FontCache cache;
    const HFONT font = cache.GetFont(1, 12, 0, 0);
    EXPECT_EQ(cache.GetFont(1, 12, 0, 0), font);
    cache.GetFont(1, 11, 0, 0);
    cache.GetFont(1, 13, 0, 0);
    EXPECT_EQ(cache.GetFont(1, 12, 0, 0), font);
    ExpectFont(font, L"Tahoma", -12, 400, 0);
}

TEST(FontCacheTest, RequestValuesShapeTheFont)
{
    FontCache cache;
    ExpectFont(cache.GetFont(1, 11, 0, 0), L"Tahoma", -11, 400, 0);
    ExpectFont(cache.GetFont(1, 11, 1, 0), L"Tahoma", -11, 600, 0);
    ExpectFont(cache.GetFont(0, 13, 0, 0), L"宋体", -13, 400, 0);
    ExpectFont(cache.GetFont(1, 12, 0, 1), L"Tahoma", -12, 400, 1);
    ExpectFont(cache.GetFont(7, 12, 5, 0x102), L"Tahoma", -12, 600, 2);
}

TEST(FontCacheTest, EqualFontsUnderDifferentKeysOrSignsAreCachedApart)
{
    FontCache cache;
    const HFONT one = cache.GetFont(1, 12, 0, 0);
    const HFONT two = cache.GetFont(2, 12, 0, 0);
    EXPECT_NE(one, two);
    ExpectFont(two, L"Tahoma", -12, 400, 0);
    EXPECT_EQ(cache.GetFont(2, 12, 0, 0), two);
    EXPECT_EQ(cache.GetFont(1, 12, 0, 0), one);

    // A negative size asks for the cell height.
    const HFONT cell = cache.GetFont(1, -12, 0, 0);
    ExpectFont(cell, L"Tahoma", 12, 400, 0);
    EXPECT_NE(cell, one);
    EXPECT_EQ(cache.GetFont(1, -12, 0, 0), cell);
}

TEST(FontCacheTest, OnlyDestroyingTheOwningCacheDeletesItsFonts)
{
    const HFONT shared = GetFont(1, 12, 0, 0);
    EXPECT_EQ(FontCache::Instance().GetFont(1, 12, 0, 0), shared);
    HFONT fonts[2] = {};
    {
        FontCache cache;
        fonts[0] = cache.GetFont(1, 12, 0, 0);
        fonts[1] = cache.GetFont(0, 13, 1, 1);
        EXPECT_NE(fonts[0], shared);
        for (const HFONT font : fonts) {
            EXPECT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
        }
    }
    for (const HFONT font : fonts) {
        EXPECT_EQ(GetObjectType(font), 0u);
    }
    ExpectFont(shared, L"Tahoma", -12, 400, 0);
}

} // namespace
