// Runs in a 64-bit prefix, where the machine root has two registry views for this program of either build, and (32-bit)
// in a 32-bit one with one view. Views cannot be redirected: products go into the prefix's own keys, and out again.
#include "catalogue/ProductMatch.h"
#include "catalogue/RegKey.h"
#include "catalogue/UninstallScan.h"
#include "tests/support/FakeStarts.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(Wow64Scan, ListsTheMachineProductsOfBothViewsOnceEachThe32BitViewWinningAndStartsA64BitOneFrom64BitFolders)
{
    const char* expect = std::getenv("FARROWGATE_EXPECT_VIEWS");
    const bool wow64 = expect && *expect == '2';
    EXPECT_EQ(SystemHas64BitView(), wow64);
    const std::wstring tag = L"Velmo Wow64 " + std::to_wstring(GetCurrentProcessId()) + L" ";
    const std::wstring keys = std::wstring(kUninstallKeyPath) + L"\\FarrowgateWow64Test ";
    // With one view, the second "Both" replaces the first.
    const std::tuple<REGSAM, std::wstring, std::wstring> products[] = {{KEY_WOW64_64KEY, L"Sixty", L"64"},
        {KEY_WOW64_32KEY, L"Thirty", L"32"}, {KEY_WOW64_32KEY, L"Both", L"32"}, {KEY_WOW64_64KEY, L"Both", L"64"}};
    for (const auto& [view, product, command] : products) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, (keys + product).c_str(), 0, nullptr, 0, KEY_SET_VALUE | view,
                      nullptr, &key, nullptr),
            ERROR_SUCCESS);
        const RegKey owner(key);
        for (const auto& [value, text] : {std::pair{L"DisplayName", tag + product}, {L"UninstallString", command}}) {
            RegSetKeyValueW(key, nullptr, value, REG_SZ, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
        }
    }
    InstalledEntryList list;
    CollectTargetProducts(list);
    std::vector<std::wstring> mine;
    for (const InstalledEntry& entry : list) {
        if (entry.FromMachine && entry.DisplayName.rfind(tag, 0) == 0) {
            mine.push_back(entry.DisplayName.substr(tag.size()) + L"=" + entry.UninstallString);
            EXPECT_EQ(entry.From64BitView, wow64 && entry.UninstallString == L"64") << entry.DisplayName;
        }
    }
    for (const auto& [view, product, command] : products) {
        RegDeleteKeyExW(HKEY_LOCAL_MACHINE, (keys + product).c_str(), view, 0);
    }
    EXPECT_EQ(mine, (std::vector<std::wstring>{wow64 ? L"Both=32" : L"Both=64", L"Sixty=64", L"Thirty=32"}));
    if (!wow64) {
        return;
    }
    // A 64-bit product's uninstaller runs from the 64-bit folders, also when this program is 32-bit: its program
    // folders expanded as the 64-bit view's, its system programs taken from the 64-bit system folder.
    const wchar_t* programs = _wgetenv(L"ProgramW6432");
    ASSERT_TRUE(programs);
    const std::wstring system =
        _wgetenv(L"SystemRoot") + std::wstring(sizeof(void*) == 4 ? L"\\Sysnative\\" : L"\\system32\\");
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"\"%PROGRAMFILES%\\fg\\u.exe\" /x", L"\"" + std::wstring(programs) + L"\\fg\\u.exe\" /x"},
        {L"rundll32.exe fg.dll,Remove", L"\"" + system + L"rundll32.exe\" fg.dll,Remove"},
        {L"%SystemRoot%\\system32\\rundll32.exe fg.dll", system + L"rundll32.exe fg.dll"}};
    for (const auto& [stored, started] : cases) {
        EXPECT_EQ(LaunchUninstaller(stored, true, true, FakeStarter()), LaunchResult::Started) << stored;
        EXPECT_EQ(g_fakes.created, std::vector<std::wstring>{started});
    }
}
