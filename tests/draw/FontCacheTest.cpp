#include "draw/FontCache.h"

#include <gtest/gtest.h>

#include <string>

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
    const LOGFONTW description = Describe(font);
    EXPECT_EQ(std::wstring(description.lfFaceName), face);
    EXPECT_EQ(description.lfHeight, height);
    EXPECT_EQ(description.lfWeight, weight);
    EXPECT_EQ(description.lfUnderline, underline);
    EXPECT_EQ(description.lfCharSet, DEFAULT_CHARSET);
    EXPECT_EQ(description.lfWidth, 0);
    EXPECT_EQ(description.lfEscapement, 0);
    EXPECT_EQ(description.lfOrientation, 0);
    EXPECT_EQ(description.lfItalic, 0);
    EXPECT_EQ(description.lfStrikeOut, 0);
    EXPECT_EQ(description.lfOutPrecision, 0);
    EXPECT_EQ(description.lfClipPrecision, 0);
    EXPECT_EQ(description.lfQuality, 0);
    EXPECT_EQ(description.lfPitchAndFamily, 0);
}

bool SameDescription(HFONT first, HFONT second)
{
    const LOGFONTW a = Describe(first);
    const LOGFONTW b = Describe(second);
    return a.lfHeight == b.lfHeight && a.lfWeight == b.lfWeight && a.lfUnderline == b.lfUnderline
        && a.lfCharSet == b.lfCharSet && std::wstring(a.lfFaceName) == b.lfFaceName;
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
    EXPECT_NE(cache.GetFont(1, 11, 1, 0), cache.GetFont(1, 11, 0, 0));
    EXPECT_NE(cache.GetFont(1, 12, 0, 1), cache.GetFont(1, 12, 0, 0));
    EXPECT_NE(cache.GetFont(0, 12, 0, 0), cache.GetFont(1, 12, 0, 0));
}

TEST(FontCacheTest, EqualFontsUnderDifferentKeysAreCachedApart)
{
    FontCache cache;
    const HFONT one = cache.GetFont(1, 12, 0, 0);
    const HFONT two = cache.GetFont(2, 12, 0, 0);
    EXPECT_NE(one, two);
    EXPECT_TRUE(SameDescription(one, two));
    EXPECT_EQ(cache.GetFont(2, 12, 0, 0), two);
    EXPECT_EQ(cache.GetFont(1, 12, 0, 0), one);
}

TEST(FontCacheTest, NegativeSizeMatchesCellHeightUnderItsOwnKey)
{
    FontCache cache;
    const HFONT cell = cache.GetFont(1, -12, 0, 0);
    ExpectFont(cell, L"Tahoma", 12, 400, 0);
    EXPECT_NE(cell, cache.GetFont(1, 12, 0, 0));
    EXPECT_EQ(cache.GetFont(1, -12, 0, 0), cell);
}

TEST(FontCacheTest, DestroyingTheCacheDeletesItsFonts)
{
    HFONT fonts[3] = {};
    {
        FontCache cache;
        fonts[0] = cache.GetFont(1, 11, 0, 0);
        fonts[1] = cache.GetFont(0, 12, 1, 0);
        fonts[2] = cache.GetFont(1, 13, 0, 1);
        for (const HFONT font : fonts) {
            EXPECT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
        }
    }
    for (const HFONT font : fonts) {
        EXPECT_EQ(GetObjectType(font), 0u);
    }
}

TEST(FontCacheTest, ProcessWideCacheIsSharedAndKeepsItsFonts)
{
    EXPECT_EQ(&FontCache::Instance(), &FontCache::Instance());
    const HFONT font = GetFont(1, 12, 0, 0);
    EXPECT_EQ(FontCache::Instance().GetFont(1, 12, 0, 0), font);
    {
        FontCache local;
        EXPECT_NE(local.GetFont(1, 12, 0, 0), font);
    }
    EXPECT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
    ExpectFont(font, L"Tahoma", -12, 400, 0);
}

} // namespace
