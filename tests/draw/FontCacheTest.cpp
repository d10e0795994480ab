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
            EXPECT_TRUE(cache.GetFont(face, size, bold, underline) == font && fonts.insert(font).second);
            LOGFONTW d = {};
            GetObjectW(font, sizeof d, &d);
            EXPECT_TRUE(d.lfHeight == -size && (d.lfWeight > FW_NORMAL) == bold && (d.lfUnderline != 0) == underline);
        }
    }
    for (const HFONT font : fonts) {
        EXPECT_EQ(GetObjectType(font), 0u) << "deleted with its cache";
    }
}

} // namespace
