#include "catalogue/EntryIcon.h"
#include "tests/support/DibCanvas.h"
#include "tests/support/ModuleDirectory.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

struct Parsed {
    bool ok;
    std::wstring path;
    int index;
};

Parsed Parse(const std::wstring& spec)
{
    wchar_t path[kIconPathLength];
    int index = 12345;
    const bool ok = ParseIconSpec(spec.c_str(), path, index);
    return {ok, path, index};
}

void ExpectParsed(const std::wstring& spec, const std::wstring& path, int index)
{
    const Parsed parsed = Parse(spec);
    EXPECT_TRUE(parsed.ok) << spec;
    EXPECT_EQ(parsed.path, path) << spec;
    EXPECT_EQ(parsed.index, index) << spec;
}

void ExpectRejected(const std::wstring& spec)
{
    const Parsed parsed = Parse(spec);
    EXPECT_FALSE(parsed.ok) << spec.size() << " characters";
    EXPECT_EQ(parsed.path, L"");
    EXPECT_EQ(parsed.index, 0);
}

TEST(ParseIconSpecTest, QuotedPathWithIndex)
{
    ExpectParsed(L"\"C:\\Program Files\\Velmo\\velmo.exe\",0", L"C:\\Program Files\\Velmo\\velmo.exe", 0);
    ExpectParsed(L"\"C:\\Velmo\\velmo.exe\", -101", L"C:\\Velmo\\velmo.exe", -101);
    ExpectParsed(L"'C:\\Velmo\\velmo.exe',3", L"C:\\Velmo\\velmo.exe", 3);
    ExpectParsed(L"C:\\Velmo\\velmo.ico", L"C:\\Velmo\\velmo.ico", 0);
}

TEST(ParseIconSpecTest, IndexReadsLikeWtoiAfterSkippingOtherCharacters)
{
    ExpectParsed(L"C:\\a.exe,", L"C:\\a.exe", 0);
    ExpectParsed(L"C:\\a.exe,abc", L"C:\\a.exe", 0);
    ExpectParsed(L"C:\\a.exe,+7", L"C:\\a.exe", 7);
    ExpectParsed(L"C:\\a.exe,-", L"C:\\a.exe", 0);
    ExpectParsed(L"C:\\a.exe,+x5", L"C:\\a.exe", 0);
    ExpectParsed(L"C:\\a.exe,12ab34", L"C:\\a.exe", 12);
    ExpectParsed(L"C:\\a.exe,icon #-4", L"C:\\a.exe", -4);
    ExpectParsed(L"C:\\a.exe,--4", L"C:\\a.exe", 0);
    // Only the first comma splits.
    ExpectParsed(L"C:\\a,b.exe,2", L"C:\\a", 2);
    ExpectParsed(L"C:\\a,2.exe", L"C:\\a", 2);
}

TEST(ParseIconSpecTest, OnlyQuotesAtTheEndsAreTrimmed)
{
    ExpectParsed(L"\"C:\\a.exe\" ,1", L"C:\\a.exe\" ", 1);
    ExpectParsed(L" \"C:\\a.exe\",1", L" \"C:\\a.exe", 1);
    ExpectParsed(L"\"'C:\\it's.exe'\"", L"C:\\it's.exe", 0);
    ExpectParsed(L"  C:\\a.exe  ", L"  C:\\a.exe  ", 0);
}

TEST(ParseIconSpecTest, EmptySpecIsAnEmptyPath)
{
    ExpectParsed(L"", L"", 0);
    ExpectParsed(L",5", L"", 5);
    ExpectParsed(L"\"\"", L"", 0);
}

TEST(ParseIconSpecTest, PathsThatDoNotFitAreRejected)
{
    ExpectParsed(std::wstring(259, L'a'), std::wstring(259, L'a'), 0);
    ExpectRejected(std::wstring(260, L'a'));
    ExpectRejected(std::wstring(400, L'a'));

    ExpectParsed(std::wstring(258, L'a') + L",1", std::wstring(258, L'a'), 1);
    ExpectRejected(std::wstring(259, L'a') + L",1");
    ExpectRejected(std::wstring(300, L'a') + L",1");
    // The limit counts up to the first comma only.
    ExpectParsed(L"a," + std::wstring(300, L'9'), L"a", _wtoi(std::wstring(300, L'9').c_str()));
}

bool IsLiveIcon(HICON icon)
{
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info)) {
        return false;
    }
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return true;
}

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kBackground = RGB(0x12, 0x34, 0x56);
constexpr int kIconSize = 32;
constexpr int kCanvasSize = 48;
constexpr int kIconLeft = 12;
constexpr int kIconTop = 10;

// Icons from icon_sample.exe (red: first group, identifier 5; blue: second
// group, identifier 7), drawn where a row draws them onto a canvas.
class EntryIconTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        canvas_.Fill(kBackground);
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        textFile_ = std::wstring(temp) + L"fg-icon-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
        HANDLE file = CreateFileW(textFile_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        const char text[] = "not an icon, not an executable\r\n";
        DWORD written = 0;
        WriteFile(file, text, sizeof(text) - 1, &written, nullptr);
        CloseHandle(file);
    }

    void TearDown() override { DeleteFileW(textFile_.c_str()); }

    // The colour every pixel of the icon's square has, or CLR_INVALID when
    // they differ; everything outside the square must stay untouched.
    COLORREF DrawnColour(const EntryIcon& icon)
    {
        canvas_.Fill(kBackground);
        icon.Draw(canvas_.Dc(), kIconLeft, kIconTop, kIconSize, kIconSize);
        const COLORREF colour = canvas_.Pixel(kIconLeft, kIconTop);
        for (int y = 0; y < kCanvasSize; ++y) {
            for (int x = 0; x < kCanvasSize; ++x) {
                const bool inside = x >= kIconLeft && x < kIconLeft + kIconSize && y >= kIconTop
                    && y < kIconTop + kIconSize;
                const COLORREF expected = inside ? colour : kBackground;
                if (canvas_.Pixel(x, y) != expected) {
                    ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << canvas_.Pixel(x, y);
                    return CLR_INVALID;
                }
            }
        }
        return colour;
    }

    // After a load that must find no icon: none is held, nothing is drawn,
    // and the icon held before is destroyed.
    void ExpectNoIconFrom(const std::wstring& path, int index)
    {
        EntryIcon icon;
        ASSERT_TRUE(icon.LoadFromFile(sample_.c_str(), 0));
        const HICON before = icon.Icon();

        EXPECT_FALSE(icon.LoadFromFile(path.c_str(), index)) << "index " << index;
        EXPECT_EQ(icon.Icon(), nullptr) << "index " << index;
        EXPECT_FALSE(IsLiveIcon(before));
        EXPECT_EQ(DrawnColour(icon), kBackground) << "index " << index;
        EXPECT_EQ(canvas_.CountPixels(kBackground), kCanvasSize * kCanvasSize);
    }

    const std::wstring sample_ = ModuleDirectory() + L"\\icon_sample.exe";
    std::wstring textFile_;
    DibCanvas canvas_{kCanvasSize, kCanvasSize};
};

TEST_F(EntryIconTest, LoadsByPositionAndByResourceIdentifier)
{
    const std::pair<int, COLORREF> cases[] = {{0, kRed}, {1, kBlue}, {-5, kRed}, {-7, kBlue}};
    for (const auto& [index, colour] : cases) {
        EntryIcon icon;
        EXPECT_TRUE(icon.LoadFromFile(sample_.c_str(), index)) << "index " << index;
        EXPECT_EQ(DrawnColour(icon), colour) << "index " << index;
    }
}

TEST_F(EntryIconTest, LoadsFromAnIconFile)
{
    EntryIcon icon;
    EXPECT_TRUE(icon.LoadFromFile((ModuleDirectory() + L"\\sample_blue.ico").c_str(), 0));
    EXPECT_EQ(DrawnColour(icon), kBlue);
}

TEST_F(EntryIconTest, LoadsFromSpec)
{
    EntryIcon icon;
    EXPECT_TRUE(icon.LoadFromSpec(L"\"" + sample_ + L"\", -7"));
    EXPECT_EQ(DrawnColour(icon), kBlue);
    EXPECT_TRUE(icon.LoadFromSpec(L"'" + sample_ + L"'"));
    EXPECT_EQ(DrawnColour(icon), kRed);
}

TEST_F(EntryIconTest, ReplacingReleasingAndDestroyingDestroyTheIcon)
{
    HICON first = nullptr;
    {
        EntryIcon icon;
        ASSERT_TRUE(icon.LoadFromFile(sample_.c_str(), 0));
        first = icon.Icon();
        ASSERT_TRUE(icon.LoadFromFile(sample_.c_str(), 1));
        EXPECT_FALSE(IsLiveIcon(first));
        const HICON second = icon.Icon();
        EXPECT_TRUE(IsLiveIcon(second));
        EXPECT_TRUE(icon.Release());
        EXPECT_EQ(icon.Icon(), nullptr);
        EXPECT_FALSE(IsLiveIcon(second));
        EXPECT_EQ(DrawnColour(icon), kBackground);
        EXPECT_TRUE(icon.Release());

        ASSERT_TRUE(icon.LoadFromFile(sample_.c_str(), 1));
        first = icon.Icon();
    }
    EXPECT_FALSE(IsLiveIcon(first));
}

TEST_F(EntryIconTest, MovingHandsTheIconOver)
{
    EntryIcon source;
    ASSERT_TRUE(source.LoadFromFile(sample_.c_str(), -7));
    const HICON held = source.Icon();
    EntryIcon target = std::move(source);
    EXPECT_EQ(target.Icon(), held);
    EXPECT_EQ(DrawnColour(target), kBlue);

    EntryIcon other;
    ASSERT_TRUE(other.LoadFromFile(sample_.c_str(), 0));
    const HICON replaced = other.Icon();
    other = std::move(target);
    EXPECT_EQ(other.Icon(), held);
    EXPECT_FALSE(IsLiveIcon(replaced));
    EXPECT_TRUE(IsLiveIcon(held));
}

TEST_F(EntryIconTest, FilesWithoutThatIconGiveNone)
{
    ExpectNoIconFrom(ModuleDirectory() + L"\\no-such-file.exe", 0);
    ExpectNoIconFrom(ModulePath(), 0);  // an executable without icon resources
    ExpectNoIconFrom(textFile_, 0);
    ExpectNoIconFrom(sample_, 2);    // past the last group
    ExpectNoIconFrom(sample_, -6);   // no group with this identifier
    ExpectNoIconFrom(L"", 0);
}

TEST_F(EntryIconTest, IconCountIsNeverTakenForAnIcon)
{
    // Index -1 asks for the number of icons: 2 here, 1 for an icon file, and
    // neither is an icon handle.
    ExpectNoIconFrom(sample_, -1);
    ExpectNoIconFrom(ModuleDirectory() + L"\\sample_red.ico", -1);
    ExpectNoIconFrom(textFile_, -1);
}

TEST_F(EntryIconTest, UnparsableSpecKeepsTheHeldIcon)
{
    EntryIcon icon;
    ASSERT_TRUE(icon.LoadFromSpec(sample_ + L",1"));
    const HICON held = icon.Icon();
    EXPECT_FALSE(icon.LoadFromSpec(std::wstring(300, L'a')));
    EXPECT_EQ(icon.Icon(), held);
    EXPECT_EQ(DrawnColour(icon), kBlue);
}

TEST_F(EntryIconTest, SpecsThatNameNoIconGiveNone)
{
    EntryIcon icon;
    // The quote and space before the comma stay in the path, which names no file.
    EXPECT_FALSE(icon.LoadFromSpec(L"\"" + sample_ + L"\" ,0"));
    EXPECT_EQ(icon.Icon(), nullptr);
    EXPECT_FALSE(icon.LoadFromSpec(L""));
    EXPECT_EQ(icon.Icon(), nullptr);
    EXPECT_FALSE(icon.LoadFromSpec(sample_ + L",-1"));
    EXPECT_EQ(icon.Icon(), nullptr);
    EXPECT_EQ(DrawnColour(icon), kBackground);
}

} // namespace
