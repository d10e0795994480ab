#include "draw/FontCache.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

namespace {

TEST(FontCacheTest, EachDistinctRequestGetsOneFontOfItsOwnUntilItsCacheGoes)
{
    const std::tuple<FontFace, int, bool, bool> requests[] = {{FontFace::Tahoma, 12, false, false},
        {FontFace::Tahoma, -12, false, false}, {FontFace::Tahoma, 12, true, false}, {FontFace::Tahoma, 12, false, true},
        {FontFace::SimSun, 12, false, false}};
    std::set<HFONT> fonts;
    {
        FontCache cache;
        for (const auto& [face, size, bold, underline] : requests) {
            const HFONT font = cache.GetFont(face, size, bold, underline);
            EXPECT_EQ(cache.GetFont(face, size, bold, underline), font) << "asked again";
            EXPECT_TRUE(fonts.insert(font).second) << "a font of its own";
            LOGFONTW d = {};
            GetObjectW(font, sizeof d, &d);
            EXPECT_EQ(std::make_tuple(d.lfHeight, d.lfWeight > FW_NORMAL, d.lfUnderline != 0),
                std::make_tuple(-size, bold, underline));
        }
    }
    for (const HFONT font : fonts) {
        EXPECT_EQ(GetObjectType(font), 0u) << "deleted with its cache";
    }
}

} // namespace
