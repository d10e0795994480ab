#include "draw/DrawRoutines.h"
#include "draw/FontCache.h"

#include "tests/support/DibCanvas.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>

namespace {

constexpr COLORREF kInk = RGB(0xC0, 0x20, 0x10), kWhite = RGB(255, 255, 255);

TEST(DrawRoutinesTest, EachRoutineInksExactlyItsPixelsAndKeepsTheCallersPen)
{
    const struct {
        const char* name;
        void (*draw)(HDC);
        RECT inked, hole;
    } cases[] = {
        {"line, end point left out", [](HDC dc) { DrawLine(dc, 0, 5, 10, 5, kInk, 1); }, {0, 5, 10, 6}, {}},
        {"frame", [](HDC dc) { RoundRectFrame(dc, 2, 3, 12, 10, 0, 0, kInk); }, {2, 3, 12, 10}, {3, 4, 11, 9}},
        {"fill",
            [](HDC dc) {
                FillSolidRect(dc, {3, 4, 9, 7}, kInk);
            },
            {3, 4, 9, 7}, {}},
    };
    for (const auto& c : cases) {
        DibCanvas canvas(16, 12, kWhite);
        const HGDIOBJ pen = GetCurrentObject(canvas.Dc(), OBJ_PEN);
        c.draw(canvas.Dc());
        EXPECT_EQ(GetCurrentObject(canvas.Dc(), OBJ_PEN), pen) << c.name;
        for (int i = 0; i < 16 * 12; ++i) {
            const POINT p = {i % 16, i / 16};
            ASSERT_EQ(canvas.Pixel(p.x, p.y), PtInRect(&c.inked, p) && !PtInRect(&c.hole, p) ? kInk : kWhite) << c.name;
        }
    }
}

TEST(FontCacheTest, EachDistinctRequestGetsOneFontOfItsValuesUntilItsCacheGoes)
{
    const struct {
        FontFace face;
        int size;
        bool bold, underline;
        const wchar_t* faceName;
        LONG weight;
    } requests[] = {{FontFace::Tahoma, 12, false, false, L"Tahoma", 400},
        {FontFace::Tahoma, -12, false, false, L"Tahoma", 400}, {FontFace::Tahoma, 12, true, false, L"Tahoma", 600},
        {FontFace::Tahoma, 12, false, true, L"Tahoma", 400}, {FontFace::SimSun, 12, false, false, L"宋体", 400}};
    std::set<HFONT> fonts;
    {
        FontCache cache;
        for (const auto& r : requests) {
            const HFONT font = cache.GetFont(r.face, r.size, r.bold, r.underline);
            EXPECT_EQ(cache.GetFont(r.face, r.size, r.bold, r.underline), font);
            LOGFONTW d = {};
            GetObjectW(font, sizeof d, &d);
            EXPECT_EQ(std::make_tuple(std::wstring(d.lfFaceName), d.lfHeight, d.lfWeight, d.lfUnderline),
                std::make_tuple(std::wstring(r.faceName), LONG{-r.size}, r.weight, BYTE{r.underline}));
            EXPECT_TRUE(fonts.insert(font).second) << "a font of its own for each request";
        }
    }
    for (const HFONT font : fonts) {
        EXPECT_EQ(GetObjectType(font), 0u) << "deleted with its cache";
    }
}

} // namespace
