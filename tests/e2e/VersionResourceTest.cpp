// The program's version information, read back from its file as Explorer's
// properties page reads it.
#include "tests/support/ModuleDirectory.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

TEST(VersionResource, ChineseAndNeutralBlocksNameTheProductAndItsFileVersion)
{
    const std::wstring program = ModuleDirectory() + L"\\farrowgate.exe";
    std::vector<BYTE> info(GetFileVersionInfoSizeW(program.c_str(), nullptr));
    ASSERT_TRUE(!info.empty() && GetFileVersionInfoW(program.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
    const auto query = [&info](const std::wstring& path) {
        void* value = nullptr;
        UINT length = 0;
        return VerQueryValueW(info.data(), path.c_str(), &value, &length) ? value : nullptr;
    };
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(query(L"\\"));
    // The languages Explorer picks a block by: Chinese (PRC), then neutral, both UTF-16.
    const auto* translations = static_cast<const WORD*>(query(L"\\VarFileInfo\\Translation"));
    ASSERT_TRUE(fixed && translations);
    EXPECT_EQ(std::vector<WORD>(translations, translations + 4), (std::vector<WORD>{0x0804, 1200, 0x0000, 1200}));
    const std::wstring version = std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"."
        + std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." + std::to_wstring(HIWORD(fixed->dwFileVersionLS))
        + L"." + std::to_wstring(LOWORD(fixed->dwFileVersionLS));
    for (const std::wstring block : {L"080404b0", L"000004b0"}) {
        const auto text = [&](const wchar_t* name) {
            const auto* value = static_cast<const wchar_t*>(query(L"\\StringFileInfo\\" + block + L"\\" + name));
            return value ? std::wstring(value) : L"(missing)";
        };
        EXPECT_EQ(text(L"ProductName") + L" " + text(L"FileVersion") + L" " + text(L"ProductVersion") + L" "
                + text(L"OriginalFilename"),
            L"Farrowgate " + version + L" " + version + L" farrowgate.exe")
            << block.c_str();
        EXPECT_NE(text(L"FileDescription"), L"(missing)");
    }
}
