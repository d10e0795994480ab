// The resources linked into the program (and into this test): read back from
// the module as the dialog manager and the icon loader see them.
#include "res/resource.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// A resource's bytes from this module.
std::vector<BYTE> Resource(const wchar_t* type, int id)
{
    const HMODULE module = GetModuleHandleW(nullptr);
    const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (!found) {
        return {};
    }
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    return std::vector<BYTE>(data, data + SizeofResource(module, found));
}

// Reads a dialog template field by field, as the dialog manager does.
class TemplateReader {
public:
    explicit TemplateReader(const std::vector<BYTE>& data) : data_(data) {}

    WORD Word() { return Read<WORD>(); }
    DWORD Dword() { return Read<DWORD>(); }
    short Short() { return Read<short>(); }
    BYTE Byte() { return Read<BYTE>(); }
    // A string, or an ordinal written as "#<number>".
    std::wstring StringOrOrdinal()
    {
        if (Peek() == 0xFFFF) {
            Word();
            return L"#" + std::to_wstring(Word());
        }
        return String();
    }
    std::wstring String()
    {
        std::wstring text;
        for (WORD c = Word(); c != 0; c = Word()) {
            text += static_cast<wchar_t>(c);
        }
        return text;
    }
    void AlignToDword() { offset_ = (offset_ + 3) & ~size_t(3); }

private:
    WORD Peek() const
    {
        WORD value = 0;
        std::memcpy(&value, data_.data() + offset_, sizeof(value));
        return value;
    }
    template <typename T>
    T Read()
    {
        T value{};
        if (offset_ + sizeof(T) <= data_.size()) {
            std::memcpy(&value, data_.data() + offset_, sizeof(T));
        }
        offset_ += sizeof(T);
        return value;
    }

    const std::vector<BYTE>& data_;
    size_t offset_ = 0;
};

struct Control {
    DWORD style;
    short x, y, cx, cy;
    DWORD id;
    std::wstring className;
    std::wstring text;
};

std::wstring ClassName(const std::wstring& name)
{
    if (name == L"#128") {
        return L"button";
    }
    if (name == L"#130") {
        return L"static";
    }
    std::wstring lower = name;
    CharLowerW(&lower[0]);
    return lower;
}

TEST(ResourceTest, MainDialogTemplate)
{
    const std::vector<BYTE> data = Resource(RT_DIALOG, IDD_MAIN_DIALOG);
    ASSERT_FALSE(data.empty());
    TemplateReader reader(data);
    ASSERT_EQ(1, reader.Word());
    ASSERT_EQ(0xFFFF, reader.Word());
    reader.Dword();  // help id
    EXPECT_EQ(0u, reader.Dword());
    EXPECT_EQ(0x80CA08C0u, reader.Dword());
    const WORD count = reader.Word();
    EXPECT_EQ(0, reader.Short());
    EXPECT_EQ(0, reader.Short());
    EXPECT_EQ(271, reader.Short());
    EXPECT_EQ(192, reader.Short());
    EXPECT_EQ(L"", reader.StringOrOrdinal());  // no menu
    EXPECT_EQ(L"", reader.StringOrOrdinal());  // the standard dialog class
    EXPECT_EQ(L"Farrowgate (1.0 Beta)", reader.String());
    EXPECT_EQ(9, reader.Word());
    reader.Word();  // weight
    reader.Byte();  // italic
    reader.Byte();  // character set
    EXPECT_EQ(L"宋体", reader.String());

    ASSERT_EQ(3, count);
    std::vector<Control> controls;
    for (int i = 0; i < count; ++i) {
        reader.AlignToDword();
        reader.Dword();  // help id
        EXPECT_EQ(0u, reader.Dword()) << "control " << i;
        Control control = {};
        control.style = reader.Dword();
        control.x = reader.Short();
        control.y = reader.Short();
        control.cx = reader.Short();
        control.cy = reader.Short();
        control.id = reader.Dword();
        control.className = ClassName(reader.StringOrOrdinal());
        control.text = reader.StringOrOrdinal();
        EXPECT_EQ(0, reader.Word()) << "control " << i << " has creation data";
        controls.push_back(control);
    }

    // In tab order: the placeholder, the exit button, the label.
    const Control expected[] = {
        {0x50021000, 8, 27, 255, 136, IDC_LIST_PLACEHOLDER, L"static", L"Static"},
        {0x50010000, 216, 169, 48, 16, IDC_EXIT, L"button", L"退出"},
        {0x50020000, 8, 9, 172, 8, IDC_CAPTION_LABEL, L"static", L"您的电脑上安装了以下velmo软件，建议您卸载:"},
    };
    for (int i = 0; i < count; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(expected[i].id, controls[i].id);
        EXPECT_EQ(expected[i].className, controls[i].className);
        EXPECT_EQ(expected[i].style, controls[i].style);
        EXPECT_EQ(expected[i].x, controls[i].x);
        EXPECT_EQ(expected[i].y, controls[i].y);
        EXPECT_EQ(expected[i].cx, controls[i].cx);
        EXPECT_EQ(expected[i].cy, controls[i].cy);
        EXPECT_EQ(expected[i].text, controls[i].text);
    }
}

#pragma pack(push, 2)
struct IconGroupEntry {
    BYTE width;
    BYTE height;
    BYTE colours;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST(ResourceTest, IconGroupHoldsThreeImagesOfTheirSizesAndDepths)
{
    const std::vector<BYTE> group = Resource(RT_GROUP_ICON, IDI_MAIN_ICON);
    ASSERT_GE(group.size(), 6u);
    WORD header[3];
    std::memcpy(header, group.data(), sizeof(header));
    ASSERT_EQ(1, header[1]);
    ASSERT_EQ(3, header[2]);
    ASSERT_EQ(6 + 3 * sizeof(IconGroupEntry), group.size());

    const struct {
        int size;
        int bits;
    } expected[] = {{16, 8}, {32, 32}, {48, 32}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        IconGroupEntry entry;
        std::memcpy(&entry, group.data() + 6 + i * sizeof(entry), sizeof(entry));
        EXPECT_EQ(expected[i].size, entry.width);
        EXPECT_EQ(expected[i].size, entry.height);
        EXPECT_EQ(expected[i].bits, entry.bitCount);

        // The image itself says the same.
        const std::vector<BYTE> image = Resource(RT_ICON, entry.id);
        ASSERT_EQ(entry.bytes, image.size());
        BITMAPINFOHEADER bitmap;
        std::memcpy(&bitmap, image.data(), sizeof(bitmap));
        EXPECT_EQ(expected[i].size, bitmap.biWidth);
        EXPECT_EQ(2 * expected[i].size, bitmap.biHeight);
        EXPECT_EQ(expected[i].bits, bitmap.biBitCount);
    }

    // The window's icon: the large one, as the dialog loads it.
    const HICON icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_MAIN_ICON));
    ASSERT_NE(nullptr, icon);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP colour = {};
    GetObjectW(info.hbmColor, sizeof(colour), &colour);
    EXPECT_EQ(GetSystemMetrics(SM_CXICON), colour.bmWidth);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}

TEST(ResourceTest, ManifestRunsAsInvokerOnEverySupportedWindows)
{
    const std::vector<BYTE> data = Resource(RT_MANIFEST, 1);
    ASSERT_FALSE(data.empty());
    const std::string manifest(data.begin(), data.end());
    EXPECT_NE(std::string::npos, manifest.find("level=\"asInvoker\""));
    for (const char* os : {"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
             "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}) {
        EXPECT_NE(std::string::npos, manifest.find(os)) << os;
    }
    EXPECT_EQ(std::string::npos, manifest.find("dpiAware"));
}

} // namespace
