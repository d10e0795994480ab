#include "base/ScopedHandle.h"
#include "elements/Gradient.h"

#include "tests/support/DibCanvas.h"

#include <gtest/gtest.h>

#include <set>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

COLORREF Grey(int level)
{
    return RGB(level, level, level);
}

TEST(BlendColourTest, BlendsEachChannelTruncatingTowardZero)
{
    EXPECT_EQ(BlendColour(RGB(255, 255, 255), RGB(0, 0, 0), 2, 1), RGB(128, 128, 128));
    EXPECT_EQ(BlendColour(RGB(0, 0, 0), RGB(255, 255, 255), 2, 1), RGB(127, 127, 127));
    EXPECT_EQ(BlendColour(RGB(10, 200, 0), RGB(20, 100, 7), 3, 1), RGB(13, 167, 2));
    EXPECT_EQ(BlendColour(RGB(1, 2, 3), RGB(200, 100, 50), 5, 0), RGB(1, 2, 3));
    EXPECT_EQ(BlendColour(RGB(1, 2, 3), RGB(200, 100, 50), 5, 5), RGB(200, 100, 50));
    EXPECT_EQ(BlendColour(RGB(1, 2, 3), RGB(200, 100, 50), 0, 0), RGB(1, 2, 3));
}

TEST(FillVerticalGradientTest, TenRowsOfGreyStopShortOfTheBottomColourAndEmptyAreasDrawNothing)
{
    DibCanvas canvas(20, 14, kWhite);
    FillVerticalGradient(canvas.Dc(), {3, 2, 13, 12}, Grey(0), Grey(100));
    // Empty, upside-down and single-stop areas over the gradient must leave it alone.
    FillVerticalGradient(canvas.Dc(), {2, 5, 8, 5}, Grey(255), Grey(255));
    FillVerticalGradient(canvas.Dc(), {2, 8, 8, 3}, Grey(255), Grey(255));
    const double positions[] = {0.0};
    const COLORREF colours[] = {Grey(255)};
    FillGradientStops(canvas.Dc(), {0, 0, 20, 14}, 1, positions, colours);
    for (int row = 0; row < 10; ++row) {
        for (int x = 3; x < 13; ++x) {
            ASSERT_EQ(canvas.Pixel(x, 2 + row), Grey(row * 10)) << "x " << x << ", row " << row;
        }
        EXPECT_EQ(canvas.Pixel(2, 2 + row), kWhite);
        EXPECT_EQ(canvas.Pixel(13, 2 + row), kWhite);
    }
    EXPECT_EQ(canvas.Pixel(5, 1), kWhite);
    EXPECT_EQ(canvas.Pixel(5, 12), kWhite);
}

TEST(FillGradientStopsTest, ThreeStopsMakeTwoBandsSplitAtTheMiddle)
{
    DibCanvas canvas(10, 50, kWhite);
    const double positions[] = {0.0, 0.5, 1.0};
    const COLORREF colours[] = {RGB(0, 0, 0), RGB(100, 200, 50), RGB(250, 0, 150)};
    FillGradientStops(canvas.Dc(), {0, 0, 10, 50}, 3, positions, colours);
    for (int y = 0; y < 25; ++y) {
        EXPECT_EQ(canvas.Pixel(4, y), BlendColour(colours[0], colours[1], 25, y)) << "row " << y;
    }
    for (int y = 25; y < 50; ++y) {
        EXPECT_EQ(canvas.Pixel(4, y), BlendColour(colours[1], colours[2], 25, y - 25)) << "row " << y;
    }
    EXPECT_EQ(canvas.Pixel(4, 25), colours[1]);
}

TEST(FillGradientStopsTest, BoundariesAreTruncatedAndOffsetByTheTop)
{
    // Four stops over 50 rows from row 10: bands 10-24, 25-44, 45-59.
    DibCanvas canvas(4, 70, kWhite);
    const double positions[] = {0.0, 0.3, 0.7, 1.0};
    const COLORREF colours[] = {Grey(0), Grey(150), Grey(30), Grey(200)};
    FillGradientStops(canvas.Dc(), {0, 10, 4, 60}, 4, positions, colours);
    EXPECT_EQ(canvas.Pixel(1, 9), kWhite);
    EXPECT_EQ(canvas.Pixel(1, 10), Grey(0));
    EXPECT_EQ(canvas.Pixel(1, 24), BlendColour(Grey(0), Grey(150), 15, 14));
    EXPECT_EQ(canvas.Pixel(1, 25), Grey(150));
    EXPECT_EQ(canvas.Pixel(1, 44), BlendColour(Grey(150), Grey(30), 20, 19));
    EXPECT_EQ(canvas.Pixel(1, 45), Grey(30));
    EXPECT_EQ(canvas.Pixel(1, 59), BlendColour(Grey(30), Grey(200), 15, 14));
    EXPECT_EQ(canvas.Pixel(1, 60), kWhite);
}

// What a recorded enhanced metafile says about the pens its drawing used.
struct PenAudit {
    std::set<DWORD> livePens;  // created and not deleted
    DWORD selectedPen = 0;     // the last pen selected
    int pensCreated = 0;

    static int CALLBACK Record(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM data)
    {
        auto* audit = reinterpret_cast<PenAudit*>(data);
        switch (record->iType) {
        case EMR_CREATEPEN:
            audit->livePens.insert(reinterpret_cast<const EMRCREATEPEN*>(record)->ihPen);
            ++audit->pensCreated;
            break;
        case EMR_SELECTOBJECT: {
            const DWORD object = reinterpret_cast<const EMRSELECTOBJECT*>(record)->ihObject;
            if (audit->livePens.count(object) || object == (ENHMETA_STOCK_OBJECT | BLACK_PEN)) {
                audit->selectedPen = object;
            }
            break;
        }
        case EMR_DELETEOBJECT:
            audit->livePens.erase(reinterpret_cast<const EMRDELETEOBJECT*>(record)->ihObject);
            break;
        default:
            break;
        }
        return 1;
    }
};

// Records drawing into a metafile while the caller's own pen is selected, and
// audits the pens: the routine's pens must all be deleted again and the
// caller's pen selected at the end.
template <typename Drawing>
void ExpectPensCleanedUp(Drawing draw, int expectedPens)
{
    const HDC recorder = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(recorder, nullptr);
    const ScopedPen callerPen(CreatePen(PS_DASH, 1, RGB(1, 2, 3)));
    SelectObject(recorder, callerPen.Get());
    draw(recorder);
    EXPECT_EQ(GetCurrentObject(recorder, OBJ_PEN), callerPen.Get());
    SelectObject(recorder, GetStockObject(BLACK_PEN));
    const HENHMETAFILE recording = CloseEnhMetaFile(recorder);
    ASSERT_NE(recording, nullptr);

    PenAudit audit;
    EnumEnhMetaFile(nullptr, recording, PenAudit::Record, &audit, nullptr);
    DeleteEnhMetaFile(recording);
    EXPECT_EQ(audit.pensCreated, expectedPens + 1);  // with the caller's pen
    EXPECT_EQ(audit.livePens.size(), 1u) << "only the caller's pen may stay alive";
    EXPECT_EQ(audit.selectedPen, ENHMETA_STOCK_OBJECT | BLACK_PEN);
}

TEST(GradientPensTest, EveryRowPenIsDeletedAndThePreviousPenRestored)
{
    ExpectPensCleanedUp([](HDC dc) { FillVerticalGradient(dc, {0, 0, 10, 7}, Grey(0), Grey(70)); }, 7);
    const double positions[] = {0.0, 0.5, 1.0};
    const COLORREF colours[] = {Grey(0), Grey(100), Grey(200)};
    ExpectPensCleanedUp([&](HDC dc) { FillGradientStops(dc, {0, 0, 10, 8}, 3, positions, colours); }, 8);
}

} // namespace
