#include "draw/DrawRoutines.h"
#include "base/ScopedHandle.h"
#include "base/ScopedSelectObject.h"
#include "tests/support/DibCanvas.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr COLORREF kBackground = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kInk = RGB(0xC0, 0x20, 0x10);
constexpr COLORREF kFill = RGB(0x30, 0x90, 0xE0);
constexpr int kWidth = 16;
constexpr int kHeight = 12;

// Every pixel of the canvas: ink where inked(x, y), background elsewhere.
template <typename Predicate>
void ExpectPixels(const DibCanvas& canvas, COLORREF ink, Predicate inked)
{
    for (int y = 0; y < canvas.Height(); ++y) {
        for (int x = 0; x < canvas.Width(); ++x) {
            const COLORREF expected = inked(x, y) ? ink : kBackground;
            ASSERT_EQ(canvas.Pixel(x, y), expected) << "at (" << x << ", " << y << ")";
        }
    }
}

TEST(DrawRoutinesTest, LineLeavesOutItsEndPoint)
{
    DibCanvas canvas(kWidth, kHeight);
    canvas.Fill(kBackground);
    DrawLine(canvas.Dc(), 0, 5, 10, 5, kInk, 1);
    ExpectPixels(canvas, kInk, [](int x, int y) { return y == 5 && x < 10; });

    canvas.Fill(kBackground);
    DrawLine(canvas.Dc(), 3, 9, 3, 1, kInk, 1);
    ExpectPixels(canvas, kInk, [](int x, int y) { return x == 3 && y > 1 && y <= 9; });
}

TEST(DrawRoutinesTest, FrameWithoutCornersIsAPlainOutlineOnePixelInside)
{
    DibCanvas canvas(kWidth, kHeight);
    canvas.Fill(kBackground);
    {
        const ScopedSelectObject noFill(canvas.Dc(), GetStockObject(NULL_BRUSH));
        RoundRectFrame(canvas.Dc(), 2, 3, 12, 10, 0, 0, kInk);
    }
    ExpectPixels(canvas, kInk, [](int x, int y) {
        const bool onRows = (y == 3 || y == 9) && x >= 2 && x <= 11;
        const bool onColumns = (x == 2 || x == 11) && y >= 3 && y <= 9;
        return onRows || onColumns;
    });
}

TEST(DrawRoutinesTest, FillCoversExactlyTheRectangleAndKeepsTheBackgroundColour)
{
    DibCanvas canvas(kWidth, kHeight);
    canvas.Fill(kBackground);
    SetBkColor(canvas.Dc(), kInk);
    FillSolidRect(canvas.Dc(), RECT{3, 4, 9, 7}, kFill);
    ExpectPixels(canvas, kFill, [](int x, int y) { return x >= 3 && x < 9 && y >= 4 && y < 7; });
    EXPECT_EQ(GetBkColor(canvas.Dc()), kFill);

    // An empty rectangle draws nothing but still sets the colour.
    FillSolidRect(canvas.Dc(), RECT{5, 5, 5, 9}, kInk);
    EXPECT_EQ(GetBkColor(canvas.Dc()), kInk);
    ExpectPixels(canvas, kFill, [](int x, int y) { return x >= 3 && x < 9 && y >= 4 && y < 7; });
}

TEST(DrawRoutinesTest, PreviousPenIsSelectedAgainAfterwards)
{
    DibCanvas canvas(kWidth, kHeight);
    const ScopedPen callersPen(CreatePen(PS_SOLID, 1, kFill));
    const ScopedSelectObject select(canvas.Dc(), callersPen.Get());

    DrawLine(canvas.Dc(), 0, 0, 5, 5, kInk, 2);
    EXPECT_EQ(GetCurrentObject(canvas.Dc(), OBJ_PEN), callersPen.Get());
    RoundRectFrame(canvas.Dc(), 0, 0, 8, 8, 3, 3, kInk);
    EXPECT_EQ(GetCurrentObject(canvas.Dc(), OBJ_PEN), callersPen.Get());
    FillSolidRect(canvas.Dc(), RECT{0, 0, 4, 4}, kInk);
    EXPECT_EQ(GetCurrentObject(canvas.Dc(), OBJ_PEN), callersPen.Get());
}

// The pen calls a routine makes, as an enhanced metafile records them.
struct Recorded {
    DWORD type;
    std::vector<DWORD> parameters;
};

int CALLBACK CollectObjectCall(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM calls)
{
    if (record->iType == EMR_CREATEPEN || record->iType == EMR_SELECTOBJECT || record->iType == EMR_DELETEOBJECT) {
        const std::vector<DWORD> parameters(record->dParm, record->dParm + (record->nSize - 8) / sizeof(DWORD));
        reinterpret_cast<std::vector<Recorded>*>(calls)->push_back({record->iType, parameters});
    }
    return 1;
}

template <typename Routine>
std::vector<Recorded> RecordObjectCalls(Routine routine)
{
    const HDC recorder = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    routine(recorder);
    const HENHMETAFILE metafile = CloseEnhMetaFile(recorder);
    std::vector<Recorded> calls;
    EnumEnhMetaFile(nullptr, metafile, CollectObjectCall, &calls, nullptr);
    DeleteEnhMetaFile(metafile);
    return calls;
}

// One pen of the colour and width is created, selected, replaced by the
// recorder's original pen and deleted, in that order.
void ExpectPenCreatedAndDeleted(const std::vector<Recorded>& calls, COLORREF colour, DWORD width)
{
    ASSERT_EQ(calls.size(), 4u);
    ASSERT_EQ(calls[0].type, static_cast<DWORD>(EMR_CREATEPEN));
    const DWORD pen = calls[0].parameters[0];
    const LOGPEN* created = reinterpret_cast<const LOGPEN*>(&calls[0].parameters[1]);
    EXPECT_EQ(created->lopnStyle, static_cast<UINT>(PS_SOLID));
    EXPECT_EQ(static_cast<DWORD>(created->lopnWidth.x), width);
    EXPECT_EQ(created->lopnColor, colour);
    ASSERT_EQ(calls[1].type, static_cast<DWORD>(EMR_SELECTOBJECT));
    EXPECT_EQ(calls[1].parameters[0], pen);
    ASSERT_EQ(calls[2].type, static_cast<DWORD>(EMR_SELECTOBJECT));
    EXPECT_EQ(calls[2].parameters[0], ENHMETA_STOCK_OBJECT | BLACK_PEN);
    ASSERT_EQ(calls[3].type, static_cast<DWORD>(EMR_DELETEOBJECT));
    EXPECT_EQ(calls[3].parameters[0], pen);
}

TEST(DrawRoutinesTest, EveryPenIsDeletedBeforeReturning)
{
    ExpectPenCreatedAndDeleted(
        RecordObjectCalls([](HDC dc) { DrawLine(dc, 0, 0, 9, 9, kInk, 3); }), kInk, 3);
    ExpectPenCreatedAndDeleted(
        RecordObjectCalls([](HDC dc) { RoundRectFrame(dc, 0, 0, 9, 9, 4, 4, kFill); }), kFill, 1);
    EXPECT_TRUE(RecordObjectCalls([](HDC dc) { FillSolidRect(dc, RECT{0, 0, 4, 4}, kInk); }).empty());
}

} // namespace
