// Runs in two prefixes: a 64-bit one, where this 32-bit program runs under
// WOW64 and the machine's software has two registry views, and a 32-bit one,
// where there is one view. FARROWGATE_EXPECT_WOW64 says which this is.
//
// The registry views cannot be redirected to scratch keys, so these tests
// write to the prefix's own Uninstall keys, under names no other test uses,
// and remove what they wrote.
#include "catalogue/ProductMatch.h"
#include "catalogue/RegKey.h"
#include "catalogue/UninstallScan.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr REGSAM kView32 = KEY_WOW64_32KEY;
constexpr REGSAM kView64 = KEY_WOW64_64KEY;

bool ExpectWow64()
{
    const char* expect = std::getenv("FARROWGATE_EXPECT_WOW64");
    return expect && std::string(expect) == "1";
}

class Wow64ScanTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        for (const auto& [view, key] : written_) {
            RegDeleteKeyExW(HKEY_LOCAL_MACHINE, (std::wstring(kUninstallKeyPath) + L"\\" + key).c_str(), view, 0);
        }
    }

    // Registers a product in one view of the machine's Uninstall key.
    void Register(REGSAM view, const std::wstring& name, const std::wstring& command)
    {
        const std::wstring key = L"FarrowgateWow64Test-" + name;
        HKEY created = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, (std::wstring(kUninstallKeyPath) + L"\\" + key).c_str(), 0,
                      nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &created, nullptr),
            ERROR_SUCCESS);
        const RegKey product(created);
        const std::wstring displayName = Unique(name);
        RegSetValueExW(product.Get(), L"DisplayName", 0, REG_SZ, reinterpret_cast<const BYTE*>(displayName.c_str()),
            static_cast<DWORD>((displayName.size() + 1) * sizeof(wchar_t)));
        RegSetValueExW(product.Get(), L"UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
            static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
        written_.push_back({view, key});
    }

    static std::wstring Unique(const std::wstring& name)
    {
        return L"Velmo " + name + L" " + std::to_wstring(GetCurrentProcessId());
    }

    // The products of this test, as the program lists them.
    static std::vector<InstalledEntry> Listed()
    {
        InstalledEntryList list;
        CollectTargetProducts(list);
        std::vector<InstalledEntry> mine;
        const std::wstring suffix = L" " + std::to_wstring(GetCurrentProcessId());
        for (const InstalledEntry& entry : list) {
            if (entry.DisplayName.size() > suffix.size()
                && entry.DisplayName.compare(entry.DisplayName.size() - suffix.size(), suffix.size(), suffix) == 0) {
                mine.push_back(entry);
            }
        }
        return mine;
    }

    std::vector<std::pair<REGSAM, std::wstring>> written_;
};

TEST_F(Wow64ScanTest, RunsWhereExpected)
{
    EXPECT_EQ(RunningUnderWow64(), ExpectWow64());
}

TEST_F(Wow64ScanTest, ListsProductsOfBothViewsOnceEach)
{
    Register(kView64, L"Sixty Four", L"64only.exe");
    Register(kView32, L"Thirty Two", L"32only.exe");
    Register(kView32, L"Both Views", L"from32.exe");
    Register(kView64, L"Both Views", L"from64.exe");

    const std::vector<InstalledEntry> listed = Listed();
    if (ExpectWow64()) {
        ASSERT_EQ(listed.size(), 3u);
        EXPECT_EQ(listed[0].DisplayName, Unique(L"Both Views"));
        EXPECT_EQ(listed[0].UninstallString, L"from32.exe"); // the 32-bit view wins
        EXPECT_EQ(listed[1].DisplayName, Unique(L"Sixty Four"));
        EXPECT_EQ(listed[2].DisplayName, Unique(L"Thirty Two"));
        for (const InstalledEntry& entry : listed) {
            EXPECT_TRUE(entry.FromMachine);
        }
    } else {
        // One view: the view flags address the same keys, and the later write
        // of "Both Views" replaced the earlier one.
        ASSERT_EQ(listed.size(), 3u);
        EXPECT_EQ(listed[0].UninstallString, L"from64.exe");
    }
}

TEST_F(Wow64ScanTest, ProductOnlyInTheOtherViewIsFoundOnlyUnderWow64)
{
    Register(kView64, L"Only Sixty Four", L"64.exe");
    InstalledEntryList machine32;
    ScanUninstallRoot(machine32, true);
    bool inPlainView = false;
    for (const InstalledEntry& entry : machine32) {
        inPlainView |= entry.DisplayName == Unique(L"Only Sixty Four");
    }
    // The plain machine scan reads the 32-bit view only; the full scan adds the other.
    EXPECT_EQ(inPlainView, !ExpectWow64());
    EXPECT_EQ(Listed().size(), 1u);
}

} // namespace
