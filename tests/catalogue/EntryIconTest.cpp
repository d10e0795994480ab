#include "catalogue/EntryIcon.h"
#include "tests/support/DibCanvas.h"
#include "tests/support/ModuleDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

namespace {

struct ParseCase {
    std::wstring spec;
    bool ok;
    std::wstring path;
    int index;
};

TEST(ParseIconSpecTest, SplitsTrimsAndRejectsLikeTheShell)
{
    const std::wstring nines(300, L'9');
    const ParseCase cases[] = {
        {L"\"C:\\Program Files\\Velmo\\velmo.exe\",0", true, L"C:\\Program Files\\Velmo\\velmo.exe", 0},
        {L"\"C:\\Velmo\\velmo.exe\", -101", true, L"C:\\Velmo\\velmo.exe", -101},
        {L"'C:\\Velmo\\velmo.exe',3", true, L"C:\\Velmo\\velmo.exe", 3},
        {L"C:\\Velmo\\velmo.ico", true, L"C:\\Velmo\\velmo.ico", 0},
        // The index reads like _wtoi after skipping other characters.
        {L"C:\\a.exe,", true, L"C:\\a.exe", 0},
        {L"C:\\a.exe,+7", true, L"C:\\a.exe", 7},
        {L"C:\\a.exe,+x5", true, L"C:\\a.exe", 0},
        {L"C:\\a.exe,12ab34", true, L"C:\\a.exe", 12},
        {L"C:\\a.exe,icon #-4", true, L"C:\\a.exe", -4},
        {L"C:\\a.exe,--4", true, L"C:\\a.exe", 0},
        // Only the first comma splits.
        {L"C:\\a,b.exe,2", true, L"C:\\a", 2},
        // Only quotes at the ends are trimmed.
        {L"\"C:\\a.exe\" ,1", true, L"C:\\a.exe\" ", 1},
        {L" \"C:\\a.exe\",1", true, L" \"C:\\a.exe", 1},
        {L"\"'C:\\it's.exe'\"", true, L"C:\\it's.exe", 0},
        {L"  C:\\a.exe  ", true, L"  C:\\a.exe  ", 0},
        {L"", true, L"", 0},
        {L",5", true, L"", 5},
        {L"\"\"", true, L"", 0},
        // Paths that do not fit are rejected; the limit counts up to the first comma only.
        {std::wstring(259, L'a'), true, std::wstring(259, L'a'), 0},
        {std::wstring(260, L'a'), false, L"", 0},
        {std::wstring(258, L'a') + L",1", true, std::wstring(258, L'a'), 1},
        {std::wstring(259, L'a') + L",1", false, L"", 0},
        {std::wstring(300, L'a') + L",1", false, L"", 0},
        {L"a," + nines, true, L"a", _wtoi(nines.c_str())},
    };
    for (const ParseCase& c : cases) {
        wchar_t path[kIconPathLength];
        int index = 12345;
        EXPECT_EQ(ParseIconSpec(c.spec.c_str(), path, index), c.ok) << c.spec.size() << " characters: " << c.spec;
        EXPECT_EQ(path, c.path) << c.spec;
        EXPECT_EQ(index, c.index) << c.spec;
    }
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
        std::ofstream(std::filesystem::path(textFile_)) << "not an icon, not an executable\r\n";
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
                const bool inside =
                    x >= kIconLeft && x < kIconLeft + kIconSize && y >= kIconTop && y < kIconTop + kIconSize;
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

TEST_F(EntryIconTest, LoadsByPositionByResourceIdentifierAndFromIconFiles)
{
    const std::pair<int, COLORREF> cases[] = {{0, kRed}, {1, kBlue}, {-5, kRed}, {-7, kBlue}};
    for (const auto& [index, colour] : cases) {
        EntryIcon icon;
        EXPECT_TRUE(icon.LoadFromFile(sample_.c_str(), index)) << "index " << index;
        EXPECT_EQ(DrawnColour(icon), colour) << "index " << index;
    }
    EntryIcon icon;
    EXPECT_TRUE(icon.LoadFromFile((ModuleDirectory() + L"\\sample_blue.ico").c_str(), 0));
    EXPECT_EQ(DrawnColour(icon), kBlue);
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
    ExpectNoIconFrom(ModulePath(), 0); // an executable without icon resources
    ExpectNoIconFrom(textFile_, 0);
    ExpectNoIconFrom(sample_, 2);  // past the last group
    ExpectNoIconFrom(sample_, -6); // no group with this identifier
    ExpectNoIconFrom(L"", 0);
    // Index -1 asks for the number of icons: 2 here, 1 for an icon file, and
    // neither is an icon handle.
    ExpectNoIconFrom(sample_, -1);
    ExpectNoIconFrom(ModuleDirectory() + L"\\sample_red.ico", -1);
    ExpectNoIconFrom(textFile_, -1);
}

TEST_F(EntryIconTest, LoadsFromSpecAndKeepsTheIconWhenTheSpecIsUnparsable)
{
    EntryIcon icon;
    EXPECT_TRUE(icon.LoadFromSpec(L"'" + sample_ + L"'", false));
    EXPECT_EQ(DrawnColour(icon), kRed);
    EXPECT_TRUE(icon.LoadFromSpec(L"\"" + sample_ + L"\", -7", false));
    EXPECT_EQ(DrawnColour(icon), kBlue);
    const HICON held = icon.Icon();
    EXPECT_FALSE(icon.LoadFromSpec(std::wstring(300, L'a'), false));
    EXPECT_EQ(icon.Icon(), held);
    EXPECT_EQ(DrawnColour(icon), kBlue);

    // Parsable specs that name no icon let go of it. The quote and space
    // before the comma stay in the path, which names no file.
    for (const std::wstring& spec : {L"\"" + sample_ + L"\" ,0", std::wstring(), sample_ + L",-1"}) {
        ASSERT_TRUE(icon.LoadFromSpec(sample_, false));
        EXPECT_FALSE(icon.LoadFromSpec(spec, false)) << spec;
        EXPECT_EQ(icon.Icon(), nullptr) << spec;
        EXPECT_EQ(DrawnColour(icon), kBackground);
    }
}

std::string ReadBytes(const std::wstring& path)
{
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

TEST_F(EntryIconTest, IconFilesWhoseDirectoryDoesNotMatchTheFileGiveNone)
{
    const std::string good = ReadBytes(ModuleDirectory() + L"\\sample_red.ico");
    ASSERT_GT(good.size(), 22u);
    // Claims 65,535 images in 70 bytes; its entries point far past the end.
    std::string claimsTooMany("\x00\x00\x01\x00\xFF\xFF", 6);
    for (int i = 0; i < 4; ++i) {
        claimsTooMany += std::string("\x00\x00\x00\x00\x01\x00\x20\x00\xFF\xFF\xFF\x7F\xF0\xFF\xFF\x7F", 16);
    }
    std::string pastTheEnd = good;
    pastTheEnd[21] = '\x7F'; // the first image's offset, far beyond the file
    std::string zeroCount = good;
    zeroCount[4] = zeroCount[5] = '\0';
    const std::string broken[] = {claimsTooMany, good.substr(0, 14), pastTheEnd, zeroCount};
    const std::wstring path = textFile_ + L".ico";
    for (const std::string& bytes : broken) {
        std::ofstream(std::filesystem::path(path), std::ios::binary) << bytes;
        ExpectNoIconFrom(path, 0);
    }
    std::ofstream(std::filesystem::path(path), std::ios::binary) << good;
    EntryIcon icon;
    EXPECT_TRUE(icon.LoadFromFile(path.c_str(), 0));
    EXPECT_EQ(DrawnColour(icon), kRed);
    DeleteFileW(path.c_str());
}

TEST_F(EntryIconTest, ExpandableSpecsAreExpandedAndOthersTakenAsWritten)
{
    ASSERT_TRUE(SetEnvironmentVariableW(L"FG_ICON_FOLDER", ModuleDirectory().c_str()));
    const std::wstring spec = L"%FG_ICON_FOLDER%\\icon_sample.exe,1";
    EntryIcon icon;
    EXPECT_TRUE(icon.LoadFromSpec(spec, true));
    EXPECT_EQ(DrawnColour(icon), kBlue);
    EXPECT_FALSE(icon.LoadFromSpec(spec, false));
    // An expansion too long for the path is no icon.
    ASSERT_TRUE(SetEnvironmentVariableW(L"FG_ICON_FOLDER", std::wstring(300, L'x').c_str()));
    ASSERT_TRUE(icon.LoadFromFile(sample_.c_str(), 0));
    EXPECT_FALSE(icon.LoadFromSpec(spec, true));
    EXPECT_EQ(icon.Icon(), nullptr);
    SetEnvironmentVariableW(L"FG_ICON_FOLDER", nullptr);
}

} // namespace
