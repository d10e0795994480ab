// The program's version information, read back from its file as Explorer's
// properties page reads it.
#include "tests/support/ModuleDirectory.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

std::wstring Text(const std::vector<BYTE>& info, const wchar_t* block, const wchar_t* name)
{
    void* text = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\") + block + L"\\" + name;
    if (!VerQueryValueW(info.data(), path.c_str(), &text, &length) || length == 0) {
        return L"(missing)";
    }
    return static_cast<const wchar_t*>(text);
}

} // namespace

TEST(VersionResource, ChineseAndNeutralBlocksMatchTheFileVersion)
{
    const std::wstring program = ModuleDirectory() + L"\\farrowgate.exe";
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(program.c_str(), &ignored);
    ASSERT_NE(size, 0u);
    std::vector<BYTE> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(program.c_str(), 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    EXPECT_EQ(fixed->dwSignature, VS_FFI_SIGNATURE);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
    const std::wstring version = std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"."
        + std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." + std::to_wstring(HIWORD(fixed->dwFileVersionLS))
        + L"." + std::to_wstring(LOWORD(fixed->dwFileVersionLS));

    // The languages Explorer picks a block by: Chinese (PRC), then neutral, both UTF-16.
    WORD* translations = nullptr;
    ASSERT_TRUE(
        VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations), &length));
    ASSERT_EQ(length, 4 * sizeof(WORD));
    EXPECT_EQ(std::vector<WORD>(translations, translations + 4), (std::vector<WORD>{0x0804, 1200, 0x0000, 1200}));

    for (const wchar_t* block : {L"080404b0", L"000004b0"}) {
        SCOPED_TRACE(block);
        EXPECT_EQ(Text(info, block, L"ProductName"), L"Farrowgate");
        EXPECT_EQ(Text(info, block, L"FileVersion"), version);
        EXPECT_EQ(Text(info, block, L"ProductVersion"), version);
        EXPECT_EQ(Text(info, block, L"OriginalFilename"), L"farrowgate.exe");
        EXPECT_NE(Text(info, block, L"FileDescription"), L"(missing)");
    }
}
