#include "catalogue/UninstallCommand.h"
#include "catalogue/UninstallerLaunch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::wstring> g_started; // the command lines handed to process creation
std::vector<HANDLE> g_handedOut;     // the handles each start handed back, process and thread

BOOL WINAPI RecordingCreateProcess(LPCWSTR, LPWSTR commandLine, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL,
    DWORD, LPVOID, LPCWSTR, LPSTARTUPINFOW, LPPROCESS_INFORMATION process)
{
    g_started.push_back(commandLine);
    *process = {CreateEventW(nullptr, FALSE, FALSE, nullptr), CreateEventW(nullptr, FALSE, FALSE, nullptr), 1, 1};
    g_handedOut.insert(g_handedOut.end(), {process->hProcess, process->hThread});
    return TRUE;
}

// What "卸载" starts for an entry, through the process-start seam.
std::wstring Started(bool windowsInstaller, const std::wstring& stored)
{
    InstalledEntry entry;
    entry.UninstallString = stored;
    entry.WindowsInstaller = windowsInstaller;
    g_started.clear();
    EXPECT_EQ(LaunchUninstaller(UninstallCommand(entry), false, {&RecordingCreateProcess, nullptr}),
        LaunchResult::Started);
    return g_started.size() == 1 ? g_started[0] : L"(" + std::to_wstring(g_started.size()) + L" starts)";
}

TEST(UninstallCommand, AWindowsInstallerMaintenanceCommandBecomesItsRemovalAndEveryOtherStartsAsStored)
{
    const std::wstring code = L"{6A1C0B2E-3D4F-4a5b-8C9D-0E1F2A3B4C5D}";
    const std::wstring removal = L"MsiExec.exe /X" + code;
    // Whether the key has WindowsInstaller = 1, its stored command, and what starts ("" for the stored command).
    const std::tuple<bool, std::wstring, std::wstring> cases[] = {
        {true, L"MsiExec.exe /I" + code, removal},
        {true, L"msiexec /i " + code, removal},
        {true, L"MSIEXEC.EXE /I" + code, removal},
        {true, L"MsiExec.exe /I{6a1c0b2e-3d4f-4a5b-8c9d-0e1f2a3b4c5d}",
            L"MsiExec.exe /X{6a1c0b2e-3d4f-4a5b-8c9d-0e1f2a3b4c5d}"},
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
    for (const auto& [flag, stored, expected] : cases) {
        EXPECT_EQ(Started(flag, stored), expected.empty() ? stored : expected)
            << stored << (flag ? L" (Installer)" : L"");
    }
}

TEST(UninstallerLaunch, AnExpansionIsHandedOverWholeUpToTheCommandLineLimitOfProcessCreation)
{
    // 32,767 characters, the terminator included, is the most process creation takes.
    for (const size_t length : {32766u, 32767u}) {
        ASSERT_TRUE(SetEnvironmentVariableW(L"FG_LONG", std::wstring(length - 2, L'x').c_str()));
        g_started.clear();
        const LaunchResult result = LaunchUninstaller(L"u %FG_LONG%", true, {&RecordingCreateProcess, nullptr});
        EXPECT_EQ(result, length < 32767 ? LaunchResult::Started : LaunchResult::Failed) << length;
        EXPECT_EQ(g_started,
            length < 32767 ? std::vector<std::wstring>{L"u " + std::wstring(length - 2, L'x')}
                           : std::vector<std::wstring>{})
            << length;
    }
}

TEST(UninstallerLaunch, KeepsNoHandleOfTheProcessItStarted)
{
    g_handedOut.clear();
    ASSERT_EQ(LaunchUninstaller(L"u.exe", false, {&RecordingCreateProcess, nullptr}), LaunchResult::Started);
    ASSERT_EQ(g_handedOut.size(), 2u);
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(g_handedOut[0], &flags)) << "the process's handle is still open";
    EXPECT_FALSE(GetHandleInformation(g_handedOut[1], &flags)) << "the thread's handle is still open";
}

BOOL WINAPI ElevationRequired(LPCWSTR, LPWSTR, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID,
    LPCWSTR, LPSTARTUPINFOW, LPPROCESS_INFORMATION)
{
    SetLastError(740); // ERROR_ELEVATION_REQUIRED
    return FALSE;
}

HANDLE g_shellProcess; // what the stand-in for the shell gives as the process it started, when asked for it

BOOL WINAPI ShellStartingProcess(SHELLEXECUTEINFOW* execute)
{
    execute->hProcess = (execute->fMask & SEE_MASK_NOCLOSEPROCESS) ? g_shellProcess : nullptr;
    return TRUE;
}

TEST(UninstallerLaunch, AStartToWaitForKeepsTheProcessThatTheConsentPromptStarted)
{
    g_shellProcess = CreateEventW(nullptr, TRUE, FALSE, nullptr); // a handle to stand for the process; kept, closed
    ScopedKernelHandle process;
    EXPECT_EQ(StartUninstaller(L"\"C:\\u.exe\" /S", false, process, {&ElevationRequired, &ShellStartingProcess}),
        LaunchResult::Started);
    EXPECT_EQ(process.Get(), g_shellProcess);
}

} // namespace
