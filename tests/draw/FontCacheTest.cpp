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

constexpr FontFace kTahoma = FontFace::Tahoma;
constexpr FontFace kSimSun = FontFace::SimSun;

TEST(FontCacheTest, SameRequestGivesTheSameFont)
{
    FontCache cache;
    const HFONT font = cache.GetFont(kTahoma, 12, false, false);
    EXPECT_EQ(cache.GetFont(kTahoma, 12, false, false), font);
    cache.GetFont(kTahoma, 11, false, false);
    cache.GetFont(kTahoma, 13, false, false);
    EXPECT_EQ(cache.GetFont(kTahoma, 12, false, false), font);
    ExpectFont(font, L"Tahoma", -12, 400, 0);
}

TEST(FontCacheTest, RequestValuesShapeTheFont)
{
    FontCache cache;
    ExpectFont(cache.GetFont(kTahoma, 11, false, false), L"Tahoma", -11, 400, 0);
    ExpectFont(cache.GetFont(kTahoma, 11, true, false), L"Tahoma", -11, 600, 0);
    ExpectFont(cache.GetFont(kSimSun, 13, false, false), L"宋体", -13, 400, 0);
    ExpectFont(cache.GetFont(kTahoma, 12, false, true), L"Tahoma", -12, 400, 1);

    // A negative size asks for the cell height, and is a request of its own.
    const HFONT cell = cache.GetFont(kTahoma, -12, false, false);
    ExpectFont(cell, L"Tahoma", 12, 400, 0);
    EXPECT_NE(cell, cache.GetFont(kTahoma, 12, false, false));
    EXPECT_EQ(cache.GetFont(kTahoma, -12, false, false), cell);
}

TEST(FontCacheTest, OnlyDestroyingTheOwningCacheDeletesItsFonts)
{
    const HFONT shared = GetFont(kTahoma, 12, false, false);
    EXPECT_EQ(FontCache::Instance().GetFont(kTahoma, 12, false, false), shared);
    HFONT fonts[2] = {};
    {
        FontCache cache;
        fonts[0] = cache.GetFont(kTahoma, 12, false, false);
        fonts[1] = cache.GetFont(kSimSun, 13, true, true);
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
