#include "catalogue/UninstallCommand.h"
#include "tests/support/FakeStarts.h"
#include "tests/support/StubRuns.h"
#include "tests/support/TestFolders.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(UninstallCommand, AWindowsInstallerMaintenanceCommandBecomesItsRemovalAndEveryOtherStartsAsStored)
{
    const std::wstring code = L"{6A1C0B2E-3D4F-4a5b-8C9D-0E1F2A3B4C5D}";
    // The system folder's Installer, by its full path.
    const std::wstring removal = L"\"" + SystemFolder(false) + L"\\msiexec.exe\" /X" + code;
    // Whether the key has WindowsInstaller = 1, its stored command, and what starts ("" for the stored command).
    const std::tuple<bool, std::wstring, std::wstring> cases[] = {
        {true, L"MsiExec.exe /I" + code, removal},
        {true, L"msiexec /i " + code, removal},
        {true, L"MSIEXEC.EXE /I" + code, removal},
        {true, L"MsiExec.exe /I{6a1c0b2e-3d4f-4a5b-8c9d-0e1f2a3b4c5d}",
            removal.substr(0, removal.size() - code.size()) + L"{6a1c0b2e-3d4f-4a5b-8c9d-0e1f2a3b4c5d}"},
        {false, L"MsiExec.exe /I" + code, L""},
        {true, L"MsiExec.exe /X" + code, L""},
        {true, L"MsiExec.exe /I" + code + L" /qn", L""},
        {true, L"MsiExec.exe /I" + code + L" ", L""},
        {true, L"MsiExec.exe /I  " + code, L""},
        {true, L" MsiExec.exe /I" + code, L""},
        {true, L"MsiExec.exe  /I" + code, L""},
        {true, L"\"MsiExec.exe\" /I" + code, L""},
        {true, L"C:\\Windows\\System32\\MsiExec.exe /I" + code, L""},
        {true, L"MsiExec.exe /Ifoo" + code, L""},
        {true, L"MsiExec.com /I" + code, L""},
        {true, L"MsiExec.exe /I" + code.substr(0, 37), L""},
        {true, L"MsiExec.exe /I{6A1C0B2E-3D4F-4a5b-8C9D-0E1F2A3B4C5G}", L""},
        {true, L"MsiExec.exe /I{6A1C0B2E-3D4F-4a5b-8C9D0-E1F2A3B4C5D}", L""},
        {true, L"MsiExec.exe /I6A1C0B2E-3D4F-4a5b-8C9D-0E1F2A3B4C5D", L""},
        {true, L"MsiExec.exe /I{６A1C0B2E-3D4F-4a5b-8C9D-0E1F2A3B4C5D}", L""},
        {true, L"uninst.exe /I" + code, L""},
    };
    for (const auto& [flag, stored, expected] : cases) { // what "卸载" hands the launch for such an entry
        InstalledEntry entry;
        entry.UninstallString = stored;
        entry.WindowsInstaller = flag;
        EXPECT_EQ(UninstallCommand(entry), expected.empty() ? stored : expected) << stored << flag;
    }
}

TEST(UninstallerLaunch, AProgramGivenByABareNameStartsFromTheSystemOrPathFoldersNeverFromOursOrTheCurrentOne)
{
    // One name in this program's folder, the current folder and an absolute folder of PATH, behind relative ones.
    const ScratchFolder current(L"fg-current"), onPath(L"fg-path");
    const std::wstring name = L"fg-planted.exe", ours = ModuleDirectory() + L"\\" + name;
    for (const std::wstring& copy : {ours, current / name, onPath / name}) {
        ASSERT_TRUE(CopyFileW(StubUninstallerPath().c_str(), copy.c_str(), FALSE));
    }
    wchar_t path[4096], folder[MAX_PATH];
    GetEnvironmentVariableW(L"PATH", path, 4096);
    GetCurrentDirectoryW(MAX_PATH, folder);
    SetEnvironmentVariableW(L"PATH", (L".;fg-path;" + onPath.Path() + L";" + path).c_str());
    SetCurrentDirectoryW(current.Path().c_str());
    const std::wstring planted = L"\"" + (onPath / name) + L"\"";
    const std::wstring system = L"\"" + SystemFolder(false) + L"\\MsiExec.exe\"";
    const std::pair<std::wstring, std::wstring> cases[] = {{L"fg-planted.exe /x", planted + L" /x"},
        {L"fg-planted", planted}, {L"\"fg-planted.exe\" /x", planted + L" /x"},
        {L"MsiExec.exe /X{6A1C}", system + L" /X{6A1C}"}, {L"C:\\fg\\u.exe /x", L"C:\\fg\\u.exe /x"},
        {L"fg-nowhere.exe /x", L""}};
    for (const auto& [stored, started] : cases) {
        EXPECT_EQ(LaunchUninstaller(stored, false, false, FakeStarter()),
            started.empty() ? LaunchResult::Failed : LaunchResult::Started);
        EXPECT_EQ(g_fakes.created, started.empty() ? std::vector<std::wstring>{} : std::vector<std::wstring>{started})
            << stored;
    }
    SetCurrentDirectoryW(folder);
    SetEnvironmentVariableW(L"PATH", path);
    DeleteFileW(ours.c_str());
}

TEST(UninstallerLaunch, AnExpansionIsHandedOverWholeUpToTheCommandLineLimitOfProcessCreation)
{
    // 32,767 characters, the terminator included, is the most process creation takes.
    for (const size_t length : {32766u, 32767u}) {
        ASSERT_TRUE(SetEnvironmentVariableW(L"FG_LONG", std::wstring(length - 5, L'x').c_str()));
        const LaunchResult result = LaunchUninstaller(L"C:\\u %FG_LONG%", true, false, FakeStarter());
        EXPECT_EQ(result, length < 32767 ? LaunchResult::Started : LaunchResult::Failed) << length;
        EXPECT_EQ(g_fakes.created,
            length < 32767 ? std::vector<std::wstring>{L"C:\\u " + std::wstring(length - 5, L'x')}
                           : std::vector<std::wstring>{})
            << length;
    }
}

// A detached start keeps no handle of the process; a start to wait for keeps the one the consent prompt started.
TEST(UninstallerLaunch, KeepsNoHandleOfTheProcessItStartedUnlessItIsToWaitForIt)
{
    ASSERT_EQ(LaunchUninstaller(L"C:\\u.exe", false, false, FakeStarter()), LaunchResult::Started);
    ASSERT_EQ(g_fakes.handedOut.size(), 2u);
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(g_fakes.handedOut[0], &flags)) << "the process's handle is still open";
    EXPECT_FALSE(GetHandleInformation(g_fakes.handedOut[1], &flags)) << "the thread's handle is still open";
    const HANDLE shellProcess = CreateEventW(nullptr, TRUE, FALSE, nullptr); // stands for the process; kept, closed
    ScopedKernelHandle process;
    EXPECT_EQ(StartUninstaller(L"\"C:\\u.exe\" /S", false, false, process, FakeStarter(740, 0, shellProcess)),
        LaunchResult::Started);
    EXPECT_EQ(process.Get(), shellProcess);
}

} // namespace
