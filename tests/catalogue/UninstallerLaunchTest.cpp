#include "catalogue/UninstallerLaunch.h"
#include "base/ScopedHandle.h"
#include "tests/support/ScratchFolder.h"
#include "tests/support/StubRuns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

std::wstring CurrentDirectory()
{
    wchar_t path[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, path);
    return path;
}

BOOL CALLBACK CollectVisible(HWND window, LPARAM found)
{
    if (IsWindowVisible(window)) {
        reinterpret_cast<std::set<HWND>*>(found)->insert(window);
    }
    return TRUE;
}

std::set<HWND> VisibleTopLevelWindows()
{
    std::set<HWND> windows;
    EnumWindows(CollectVisible, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// Copies of the stub uninstaller placed where a test wants them, and the runs they record.
class UninstallerLaunchTest : public ::testing::Test {
protected:
    std::wstring PlaceStub(const std::wstring& relativePath)
    {
        const std::wstring target = scratch_ / relativePath;
        std::filesystem::create_directories(std::filesystem::path(target).parent_path());
        EXPECT_TRUE(CopyFileW(StubUninstallerPath().c_str(), target.c_str(), FALSE));
        return target;
    }

    ScratchFolder scratch_{L"fg-launch"};
    StubRuns runs_;
    const std::wstring records_ = runs_.Folder();
};

TEST_F(UninstallerLaunchTest, QuotedPathWithArgumentsArrivesUnchanged)
{
    const std::wstring program = PlaceStub(L"Velmo Guard\\uninst.exe");
    const std::wstring command = L"\"" + program + L"\" /uninstall  \"two words\" %TEMP% " + records_;

    ASSERT_EQ(LaunchUninstaller(command, false), LaunchResult::Started);
    const std::vector<StubRun> records = runs_.TakeAtLeast(1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].commandLine, command);
    EXPECT_EQ(records[0].directory, CurrentDirectory());
    EXPECT_EQ(lstrcmpiW(records[0].module.c_str(), program.c_str()), 0) << records[0].module;
}

TEST_F(UninstallerLaunchTest, ExpandableCommandStartsTheProgramItsReferencesName)
{
    const std::wstring program = PlaceStub(L"Velmo Guard\\uninst.exe");
    ASSERT_TRUE(SetEnvironmentVariableW(L"FG_LAUNCH_ROOT", scratch_.Path().c_str()));
    const std::wstring stored = L"\"%FG_LAUNCH_ROOT%\\Velmo Guard\\uninst.exe\" /S %SystemRoot% " + records_;
    wchar_t systemRoot[MAX_PATH] = {};
    GetEnvironmentVariableW(L"SystemRoot", systemRoot, MAX_PATH);

    ASSERT_EQ(LaunchUninstaller(stored, true), LaunchResult::Started);
    const std::vector<StubRun> records = runs_.TakeAtLeast(1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].commandLine, L"\"" + program + L"\" /S " + systemRoot + L" " + records_);
    EXPECT_EQ(lstrcmpiW(records[0].module.c_str(), program.c_str()), 0) << records[0].module;
    SetEnvironmentVariableW(L"FG_LAUNCH_ROOT", nullptr);
}

TEST_F(UninstallerLaunchTest, NoHandleOfOursReachesTheUninstaller)
{
    SECURITY_ATTRIBUTES inheritable = {};
    inheritable.nLength = sizeof inheritable;
    inheritable.bInheritHandle = TRUE;
    const ScopedKernelHandle event(CreateEventW(&inheritable, TRUE, FALSE, nullptr));
    ASSERT_TRUE(event);
    const std::wstring command = L"\"" + PlaceStub(L"u.exe") + L"\" --check-handle "
        + std::to_wstring(reinterpret_cast<ULONG_PTR>(event.Get())) + L" " + records_;

    ASSERT_EQ(LaunchUninstaller(command, false), LaunchResult::Started);
    // The same start with inheritance on, to show that the recorder would see the handle.
    std::wstring writable = command;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(
        CreateProcessW(nullptr, writable.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process));
    const ScopedKernelHandle inheritedProcess(process.hProcess);
    const ScopedKernelHandle inheritedThread(process.hThread);

    std::vector<std::wstring> states;
    for (const StubRun& record : runs_.TakeAtLeast(2)) {
        states.push_back(record.handleState);
    }
    std::sort(states.begin(), states.end());
    EXPECT_EQ(states, (std::vector<std::wstring>{L"not open", L"open"}));
}

TEST_F(UninstallerLaunchTest, UnquotedPathWithSpacesIsResolvedByThePlatform)
{
    const std::wstring program = PlaceStub(L"my app\\uninst.exe");
    const std::wstring command = program + L" " + records_;

    ASSERT_EQ(LaunchUninstaller(command, false), LaunchResult::Started);
    const std::vector<StubRun> records = runs_.TakeAtLeast(1);
    ASSERT_EQ(records.size(), 1u);
    // Wine quotes the program it found; Windows passes the line as it is. The
    // arguments arrive unchanged either way.
    const std::wstring arguments = L" " + records_;
    ASSERT_GE(records[0].commandLine.size(), arguments.size());
    EXPECT_EQ(records[0].commandLine.substr(records[0].commandLine.size() - arguments.size()), arguments);
    EXPECT_EQ(lstrcmpiW(records[0].module.c_str(), program.c_str()), 0) << records[0].module;
}

TEST_F(UninstallerLaunchTest, TwoCallsStartTwoProcesses)
{
    const std::wstring command = L"\"" + PlaceStub(L"u.exe") + L"\" " + records_;
    ASSERT_EQ(LaunchUninstaller(command, false), LaunchResult::Started);
    ASSERT_EQ(LaunchUninstaller(command, false), LaunchResult::Started);
    EXPECT_EQ(runs_.TakeAtLeast(2).size(), 2u);
}

TEST_F(UninstallerLaunchTest, ReturnsWithoutWaitingForTheProcess)
{
    const std::wstring eventName = L"FarrowgateLaunchHold" + std::to_wstring(GetCurrentProcessId());
    const ScopedKernelHandle hold(CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
    ASSERT_NE(hold.Get(), nullptr);
    const std::wstring command = L"\"" + PlaceStub(L"u.exe") + L"\" --hold " + eventName + L" " + records_;

    ASSERT_EQ(LaunchUninstaller(command, false), LaunchResult::Started);
    // The recorder cannot have finished: it is still waiting for the event.
    EXPECT_TRUE(runs_.Take().empty());
    SetEvent(hold.Get());
    EXPECT_EQ(runs_.TakeAtLeast(1).size(), 1u);
}

TEST_F(UninstallerLaunchTest, FailedStartsReturnFalseAndShowNothing)
{
    const std::set<HWND> before = VisibleTopLevelWindows();
    EXPECT_EQ(LaunchUninstaller(L"", false), LaunchResult::Failed);
    EXPECT_EQ(LaunchUninstaller(scratch_ / L"missing.exe /x", false), LaunchResult::Failed);
    EXPECT_EQ(LaunchUninstaller(L"\"" + scratch_ / L"no such folder\\u.exe\" /x", false), LaunchResult::Failed);
    Sleep(200);
    EXPECT_EQ(VisibleTopLevelWindows(), before);
}

// What the shell was asked to start, for the launches that fall back to it.
struct ShellRequest {
    int calls = 0;
    std::wstring verb;
    std::wstring file;
    std::wstring parameters;
    ULONG mask = 0;
};

ShellRequest shellRequest;
DWORD createProcessError = 0;
BOOL shellResult = TRUE;
DWORD shellError = 0;

BOOL WINAPI FailingCreateProcess(LPCWSTR, LPWSTR, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID,
    LPCWSTR, LPSTARTUPINFOW, LPPROCESS_INFORMATION)
{
    SetLastError(createProcessError);
    return FALSE;
}

BOOL WINAPI RecordingShellExecute(SHELLEXECUTEINFOW* execute)
{
    ++shellRequest.calls;
    shellRequest.verb = execute->lpVerb ? execute->lpVerb : L"";
    shellRequest.file = execute->lpFile ? execute->lpFile : L"";
    shellRequest.parameters = execute->lpParameters ? execute->lpParameters : L"";
    shellRequest.mask = execute->fMask;
    SetLastError(shellError);
    return shellResult;
}

class ElevationFallbackTest : public UninstallerLaunchTest {
protected:
    void SetUp() override
    {
        UninstallerLaunchTest::SetUp();
        shellRequest = ShellRequest{};
        shellResult = TRUE;
        shellError = 0;
    }
    static LaunchResult Launch(const std::wstring& command, DWORD error, bool expandable = false)
    {
        createProcessError = error;
        return LaunchUninstaller(command, expandable, ProcessStarter{&FailingCreateProcess, &RecordingShellExecute});
    }
};

TEST_F(ElevationFallbackTest, ElevationRequiredAsksTheShellToRunAsAdministrator)
{
    const std::wstring program = PlaceStub(L"Velmo Guard\\unins000.exe");
    EXPECT_EQ(Launch(L"\"" + program + L"\" /SILENT  /LOG=\"a b.txt\"", kErrorElevationRequired),
        LaunchResult::Started);
    EXPECT_EQ(shellRequest.calls, 1);
    EXPECT_EQ(shellRequest.verb, L"runas");
    EXPECT_EQ(shellRequest.file, program);
    EXPECT_EQ(shellRequest.parameters, L"/SILENT  /LOG=\"a b.txt\"");
    EXPECT_EQ(shellRequest.mask & SEE_MASK_NOCLOSEPROCESS, 0u);

    // An expandable command is expanded for the elevated start too.
    ASSERT_TRUE(SetEnvironmentVariableW(L"FG_LAUNCH_ROOT", scratch_.Path().c_str()));
    EXPECT_EQ(Launch(L"%FG_LAUNCH_ROOT%\\Velmo Guard\\unins000.exe /S", kErrorElevationRequired, true),
        LaunchResult::Started);
    SetEnvironmentVariableW(L"FG_LAUNCH_ROOT", nullptr);
    EXPECT_EQ(shellRequest.file, program);
    EXPECT_EQ(shellRequest.parameters, L"/S");

    shellResult = FALSE;
    shellError = ERROR_FILE_NOT_FOUND;
    EXPECT_EQ(Launch(L"\"" + program + L"\"", kErrorElevationRequired), LaunchResult::Failed);
    EXPECT_EQ(shellRequest.calls, 3);
    EXPECT_EQ(shellRequest.parameters, L"");
    // The user said no to the consent prompt.
    shellError = ERROR_CANCELLED;
    EXPECT_EQ(Launch(L"\"" + program + L"\"", kErrorElevationRequired), LaunchResult::Declined);
}

TEST_F(ElevationFallbackTest, OtherFailuresStaySilent)
{
    const std::wstring command = L"\"" + PlaceStub(L"u.exe") + L"\" /x";
    for (const DWORD error :
        {ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_BAD_EXE_FORMAT, ERROR_CANCELLED}) {
        EXPECT_EQ(Launch(command, error), LaunchResult::Failed) << error;
    }
    EXPECT_EQ(Launch(L"", kErrorElevationRequired), LaunchResult::Failed);
    EXPECT_EQ(shellRequest.calls, 0);
}

std::pair<std::wstring, std::wstring> Split(const std::wstring& command)
{
    std::wstring program;
    std::wstring parameters;
    SplitCommandLine(command, program, parameters);
    return {program, parameters};
}

// Paths compare without regard to case, as the file system does.
void ExpectSplit(const std::wstring& command, const std::wstring& program, const std::wstring& parameters)
{
    const auto [foundProgram, foundParameters] = Split(command);
    EXPECT_EQ(lstrcmpiW(foundProgram.c_str(), program.c_str()), 0) << foundProgram;
    EXPECT_EQ(foundParameters, parameters) << command;
}

TEST_F(ElevationFallbackTest, SplitsQuotedProgramsAndProgramsOnTheSearchPath)
{
    EXPECT_EQ(Split(L"\"C:\\Program Files\\Velmo\\uninst.exe\" /S /D=\"C:\\x y\""),
        std::make_pair(std::wstring(L"C:\\Program Files\\Velmo\\uninst.exe"), std::wstring(L"/S /D=\"C:\\x y\"")));
    EXPECT_EQ(Split(L"\"C:\\only.exe\""), std::make_pair(std::wstring(L"C:\\only.exe"), std::wstring()));

    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    ExpectSplit(L"MsiExec.exe /X{6A1C3F2E-0B7D-4E8A-9C55-1D2E3F405162}", std::wstring(system) + L"\\msiexec.exe",
        L"/X{6A1C3F2E-0B7D-4E8A-9C55-1D2E3F405162}");
}

TEST_F(ElevationFallbackTest, SplitsUnquotedProgramsAtTheFirstPrefixThatExists)
{
    const std::wstring program = PlaceStub(L"my app\\setup tool.exe");
    ExpectSplit(program + L" /uninstall \"x y\"", program, L"/uninstall \"x y\"");
    // Without its extension the name is found with ".exe", as the platform does.
    ExpectSplit(program.substr(0, program.size() - 4) + L" /x", program, L"/x");
    // Once an earlier prefix names a program, that one is it.
    const std::wstring early = PlaceStub(L"my.exe");
    ExpectSplit(program + L" /uninstall", early, L"app\\setup tool.exe /uninstall");
}

} // namespace
