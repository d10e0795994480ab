// The real program as its user meets it: its file, and the program running as its own process.
#include "base/ComApartment.h"
#include "catalogue/UninstallScan.h"
#include "listctrl/ListControl.h"
#include "tests/support/AccessibleObjects.h"
#include "tests/support/StubRuns.h"
#include "tests/support/SyntheticInput.h"
#include "tests/support/TestFolders.h"

#include <gtest/gtest.h>

#include <process.h>

namespace {

using Texts = std::vector<std::wstring>;
constexpr unsigned kWaitMs = 30000; // generous for a loaded machine; not a timing goal

template <typename Condition>
bool WaitUntil(Condition condition)
{
    for (const ULONGLONG deadline = GetTickCount64() + kWaitMs; !condition() && GetTickCount64() < deadline;) {
        Sleep(100);
    }
    return condition();
}

Texts RowNames(const Accessible& list)
{
    LONG count = 0;
    list.Get()->get_accChildCount(&count);
    Texts names;
    for (BSTR name = nullptr; static_cast<LONG>(names.size()) < count; SysFreeString(name)) {
        list.Get()->get_accName(Child(static_cast<LONG>(names.size()) + 1), &name);
        names.emplace_back(name ? name : L"");
    }
    return names;
}

// Clicks (2: double-clicks) the middle of a row's "卸载" (its child 1) where the screen shows it.
void ClickUninstall(const Accessible& list, LONG position, int clicks = 1)
{
    const Accessible row = RowObject(list, position);
    LONG left = 0, top = 0, width = 0, height = 0;
    ASSERT_TRUE(row && row.Get()->accLocation(&left, &top, &width, &height, Child(1)) == S_OK);
    ClickAt({left + width / 2, top + height / 2}, clicks);
}

// The sample package's product code, and its installed registration.
constexpr const wchar_t* kSampleCode = L"{6A1C0B2E-3D4F-4A5B-8C9D-0E1F2A3B4C5D}";
const std::wstring kSampleKey = kUninstallKeyPath + (L"\\" + std::wstring(kSampleCode));

// Runs Windows Installer to its end with these options and the package or product; its exit code.
intptr_t RunInstaller(const wchar_t* options, const std::wstring& target)
{
    return _wspawnlp(_P_WAIT, L"msiexec.exe", L"msiexec", options, (L"\"" + target + L"\"").c_str(), L"/qn", nullptr);
}

bool Registered(const std::wstring& key)
{
    return RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), L"DisplayName", RRF_RT_REG_SZ, nullptr, nullptr, nullptr)
        == ERROR_SUCCESS;
}

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override { TearDown(); } // a run cut short leaves nothing behind
    void TearDown() override
    {
        TerminateProcess(process_.Get(), 1);
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, Key(L"one").c_str());
        RegDeleteTreeW(HKEY_CURRENT_USER, Key(L"two").c_str());
        if (Registered(kSampleKey)) {
            RunInstaller(L"/x", kSampleCode);
        }
    }
    static std::wstring Key(const std::wstring& tag) { return kUninstallKeyPath + (L"\\FarrowgateE2E." + tag); }

    // A product whose uninstaller, the stub, records its tag; stored expandable, the program taking the stub's
    // place and the records' folder from the environment it has from this one.
    void AddProduct(HKEY root, const std::wstring& name, const std::wstring& tag, const std::wstring& options = L"")
    {
        const std::wstring command = runs_.ExpandableCommand(L"tag:" + tag + options);
        RegSetKeyValueW(root, Key(tag).c_str(), L"DisplayName", REG_SZ, name.c_str(),
            (name.size() + 1) * sizeof(wchar_t));
        RegSetKeyValueW(root, Key(tag).c_str(), L"UninstallString", REG_EXPAND_SZ, command.c_str(),
            (command.size() + 1) * sizeof(wchar_t));
    }

    StubRuns runs_;
    ScopedKernelHandle process_;
};

TEST_F(ProgramTest, ListsTheProductsUninstallsTheClickedRowsOwnAndInstallerProductsDropsThemAndTheCloseBoxEndsIt)
{
    AddProduct(HKEY_LOCAL_MACHINE, L"Velmo One", L"one");
    AddProduct(HKEY_CURRENT_USER, L"Quellmar Two", L"two", L" --remove HKCU FarrowgateE2E.two"); // as a real one does
    // Installed silently, as a deployment would; its registration opens maintenance mode, which removes nothing.
    ASSERT_EQ(RunInstaller(L"/i", ModuleDirectory() + L"\\installer_sample.msi"), 0);
    ASSERT_TRUE(Registered(kSampleKey));
    const ComApartment apartment;
    process_.Reset(reinterpret_cast<HANDLE>(
        _wspawnl(_P_NOWAIT, (ModuleDirectory() + L"\\farrowgate.exe").c_str(), L"farrowgate", nullptr)));
    HWND window = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(window = FindWindowW(L"#32770", L"Farrowgate (1.0 Beta)")); }));
    const Accessible list = ListObject(FindWindowExW(window, nullptr, kListClassName, nullptr));
    ASSERT_TRUE(list.Get()); // read from this process as a screen reader does
    ASSERT_TRUE(WaitUntil([&] {
        return RowNames(list) == Texts{L"Quellmar Two", L"Velmo Installer Sample", L"Velmo One"};
    }));

    // A double-click on "卸载" is two clicks; the product its uninstaller removed leaves the list.
    ClickUninstall(list, 1, 2);
    EXPECT_EQ((Texts{L"two", L"two"}), runs_.TakeTags(2, kWaitMs));
    ASSERT_TRUE(WaitUntil([&] { return RowNames(list) == Texts{L"Velmo Installer Sample", L"Velmo One"}; }));
    ClickUninstall(list, 1);
    ASSERT_TRUE(WaitUntil([&] { return RowNames(list) == Texts{L"Velmo One"}; }));
    EXPECT_FALSE(Registered(kSampleKey));
    Sleep(1500); // time for a wrong start to show
    EXPECT_TRUE(runs_.Take().empty());

    RECT frame = {};
    GetWindowRect(window, &frame);
    ClickAt({frame.right - GetSystemMetrics(SM_CXDLGFRAME) - GetSystemMetrics(SM_CXSIZE) / 2,
        frame.top + GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYSIZE) / 2});
    DWORD exitCode = STILL_ACTIVE;
    EXPECT_TRUE(WaitUntil([&] { return GetExitCodeProcess(process_.Get(), &exitCode) && exitCode == 0; })) << exitCode;
}

// The version information as Explorer's properties page reads it from each program's file.
class VersionResource : public ::testing::TestWithParam<const wchar_t*> {};
INSTANTIATE_TEST_SUITE_P(BothPrograms, VersionResource, ::testing::Values(L"farrowgate.exe", L"farrowgate-cli.exe"));

TEST_P(VersionResource, ChineseAndNeutralBlocksNameTheProductAndItsFileVersion)
{
    const std::wstring program = ModuleDirectory() + L"\\" + GetParam();
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
            L"Farrowgate " + version + L" " + version + L" " + GetParam())
            << block.c_str();
        EXPECT_NE(text(L"FileDescription"), L"(missing)");
    }
}

} // namespace
