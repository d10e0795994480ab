#include "draw/FontCache.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>

namespace {

TEST(FontCacheTest, EachDistinctRequestGetsOneFontOfItsValuesUntilItsCacheGoes)
{
    // A request, and the face name and weight of its font.
    const std::tuple<FontFace, int, bool, bool, std::wstring, LONG> requests[] = {
        {FontFace::Tahoma, 12, false, false, L"Tahoma", 400}, {FontFace::Tahoma, -12, false, false, L"Tahoma", 400},
        {FontFace::Tahoma, 12, true, false, L"Tahoma", 600}, {FontFace::Tahoma, 12, false, true, L"Tahoma", 400},
        {FontFace::SimSun, 12, false, false, L"宋体", 400}};
    std::set<HFONT> fonts;
    {
        FontCache cache;
        for (const auto& [face, size, bold, underline, name, weight] : requests) {
            const HFONT font = cache.GetFont(face, size, bold, underline);
            EXPECT_TRUE(cache.GetFont(face, size, bold, underline) == font && fonts.insert(font).second);
            LOGFONTW d = {};
            GetObjectW(font, sizeof d, &d);
            EXPECT_EQ(std::make_tuple(std::wstring(d.lfFaceName), d.lfHeight, d.lfWeight, d.lfUnderline != 0),
                std::make_tuple(name, LONG{-size}, weight, underline));
        }
    }
    for (const HFONT font : fonts) {
        EXPECT_EQ(GetObjectType(font), 0u) << "deleted with its cache";
    }
}

} // namespace
