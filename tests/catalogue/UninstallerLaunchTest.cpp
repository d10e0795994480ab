#include "catalogue/ScopedHandle.h"
#include "catalogue/UninstallerLaunch.h"
#include "tests/support/ModuleDirectory.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

std::wstring CurrentDirectory()
{
    wchar_t path[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, path);
    return path;
}

struct Record {
    std::wstring commandLine;
    std::wstring directory;
    std::wstring module;
};

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

// A scratch folder with copies of the recorder where a test wants them and a
// folder the recorder writes its records into.
class UninstallerLaunchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        static int counter = 0;
        root_ = std::wstring(temp) + L"fg-launch-" + std::to_wstring(GetCurrentProcessId()) + L"-"
            + std::to_wstring(++counter);
        records_ = root_ + L"\\records";
        ASSERT_TRUE(CreateDirectoryW(root_.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW(records_.c_str(), nullptr));
    }

    void TearDown() override
    {
        // Every started recorder has written its record by now.
        RemoveTree(root_);
    }

    std::wstring PlaceRecorder(const std::wstring& relativePath)
    {
        const std::wstring target = root_ + L"\\" + relativePath;
        const std::wstring folder = target.substr(0, target.find_last_of(L'\\'));
        CreateDirectoryW(folder.c_str(), nullptr);
        EXPECT_TRUE(CopyFileW((ModuleDirectory() + L"\\launch_recorder.exe").c_str(), target.c_str(), FALSE));
        return target;
    }

    std::vector<std::wstring> RecordFiles() const
    {
        std::vector<std::wstring> files;
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((records_ + L"\\*.rec").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                files.push_back(records_ + L"\\" + found.cFileName);
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        return files;
    }

    // Waits (bounded) until count records exist, and reads them.
    std::vector<Record> WaitForRecords(size_t count) const
    {
        for (int i = 0; i < 200 && RecordFiles().size() < count; ++i) {
            Sleep(50);
        }
        std::vector<Record> records;
        for (const std::wstring& file : RecordFiles()) {
            records.push_back(ReadRecord(file));
        }
        return records;
    }

    static Record ReadRecord(const std::wstring& file)
    {
        HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        std::wstring text(4096, L'\0');
        DWORD read = 0;
        ReadFile(handle, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &read, nullptr);
        CloseHandle(handle);
        text.resize(read / sizeof(wchar_t));
        Record record;
        size_t first = text.find(L'\n');
        size_t second = text.find(L'\n', first + 1);
        size_t third = text.find(L'\n', second + 1);
        record.commandLine = text.substr(0, first);
        record.directory = text.substr(first + 1, second - first - 1);
        record.module = text.substr(second + 1, third - second - 1);
        return record;
    }

    static void RemoveTree(const std::wstring& folder)
    {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = found.cFileName;
                if (name == L"." || name == L"..") {
                    continue;
                }
                const std::wstring path = folder + L"\\" + name;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    RemoveTree(path);
                } else {
                    DeleteFileW(path.c_str());
                }
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(folder.c_str());
    }

    std::wstring root_;
    std::wstring records_;
};

TEST_F(UninstallerLaunchTest, QuotedPathWithArgumentsArrivesUnchanged)
{
    const std::wstring program = PlaceRecorder(L"Velmo Guard\\uninst.exe");
    const std::wstring command = L"\"" + program + L"\" /uninstall  \"two words\" %TEMP% " + records_;

    ASSERT_TRUE(LaunchUninstaller(command));
    const std::vector<Record> records = WaitForRecords(1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].commandLine, command);
    EXPECT_EQ(records[0].directory, CurrentDirectory());
    EXPECT_EQ(lstrcmpiW(records[0].module.c_str(), program.c_str()), 0) << records[0].module;
}

TEST_F(UninstallerLaunchTest, UnquotedPathWithSpacesIsResolvedByThePlatform)
{
    const std::wstring program = PlaceRecorder(L"my app\\uninst.exe");
    const std::wstring command = program + L" " + records_;

    ASSERT_TRUE(LaunchUninstaller(command));
    std::vector<Record> records = WaitForRecords(1);
    ASSERT_EQ(records.size(), 1u);
    // Wine quotes the program it found; Windows passes the line as it is. The
    // arguments arrive unchanged either way.
    const std::wstring arguments = L" " + records_;
    ASSERT_GE(records[0].commandLine.size(), arguments.size());
    EXPECT_EQ(records[0].commandLine.substr(records[0].commandLine.size() - arguments.size()), arguments);
    EXPECT_EQ(lstrcmpiW(records[0].module.c_str(), program.c_str()), 0) << records[0].module;

    // An earlier prefix that names a program wins, as the platform's rules say.
    const std::wstring shorter = PlaceRecorder(L"my.exe");
    ASSERT_TRUE(LaunchUninstaller(command));
    records = WaitForRecords(2);
    ASSERT_EQ(records.size(), 2u);
    int byShorter = 0;
    for (const Record& record : records) {
        byShorter += lstrcmpiW(record.module.c_str(), shorter.c_str()) == 0;
    }
    EXPECT_EQ(byShorter, 1);
}

TEST_F(UninstallerLaunchTest, TwoCallsStartTwoProcesses)
{
    const std::wstring command = L"\"" + PlaceRecorder(L"u.exe") + L"\" " + records_;
    ASSERT_TRUE(LaunchUninstaller(command));
    ASSERT_TRUE(LaunchUninstaller(command));
    EXPECT_EQ(WaitForRecords(2).size(), 2u);
}

TEST_F(UninstallerLaunchTest, ReturnsWithoutWaitingForTheProcess)
{
    const std::wstring eventName = L"FarrowgateLaunchHold" + std::to_wstring(GetCurrentProcessId());
    const ScopedHandle hold(CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()));
    ASSERT_NE(hold.Get(), nullptr);
    const std::wstring command = L"\"" + PlaceRecorder(L"u.exe") + L"\" --hold " + eventName + L" " + records_;

    ASSERT_TRUE(LaunchUninstaller(command));
    // The recorder cannot have finished: it is still waiting for the event.
    EXPECT_TRUE(RecordFiles().empty());
    SetEvent(hold.Get());
    EXPECT_EQ(WaitForRecords(1).size(), 1u);
}

TEST_F(UninstallerLaunchTest, FailedStartsReturnFalseAndShowNothing)
{
    const std::set<HWND> before = VisibleTopLevelWindows();
    EXPECT_FALSE(LaunchUninstaller(L""));
    EXPECT_FALSE(LaunchUninstaller(root_ + L"\\missing.exe /x"));
    EXPECT_FALSE(LaunchUninstaller(L"\"" + root_ + L"\\no such folder\\u.exe\" /x"));
    Sleep(200);
    EXPECT_EQ(VisibleTopLevelWindows(), before);
}

} // namespace

namespace {

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
    return shellResult;
}

std::wstring SystemProgram(const wchar_t* name)
{
    wchar_t folder[MAX_PATH] = {};
    GetSystemDirectoryW(folder, MAX_PATH);
    return std::wstring(folder) + L"\\" + name;
}

class ElevationFallbackTest : public UninstallerLaunchTest {
protected:
    void SetUp() override
    {
        UninstallerLaunchTest::SetUp();
        shellRequest = ShellRequest{};
        shellResult = TRUE;
    }
    static bool Launch(const std::wstring& command, DWORD error)
    {
        createProcessError = error;
        return LaunchUninstaller(command, ProcessStarter{&FailingCreateProcess, &RecordingShellExecute});
    }
};

TEST_F(ElevationFallbackTest, ElevationRequiredAsksTheShellToRunAsAdministrator)
{
    const std::wstring program = PlaceRecorder(L"Velmo Guard\\unins000.exe");
    EXPECT_TRUE(Launch(L"\"" + program + L"\" /SILENT  /LOG=\"a b.txt\"", kErrorElevationRequired));
    EXPECT_EQ(shellRequest.calls, 1);
    EXPECT_EQ(shellRequest.verb, L"runas");
    EXPECT_EQ(shellRequest.file, program);
    EXPECT_EQ(shellRequest.parameters, L"/SILENT  /LOG=\"a b.txt\"");
    EXPECT_EQ(shellRequest.mask & SEE_MASK_NOCLOSEPROCESS, 0u);

    shellResult = FALSE;
    EXPECT_FALSE(Launch(L"\"" + program + L"\"", kErrorElevationRequired));
    EXPECT_EQ(shellRequest.calls, 2);
    EXPECT_EQ(shellRequest.parameters, L"");
}

TEST_F(ElevationFallbackTest, OtherFailuresStaySilent)
{
    const std::wstring command = L"\"" + PlaceRecorder(L"u.exe") + L"\" /x";
    const DWORD otherErrors[] = {
        ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_BAD_EXE_FORMAT, ERROR_CANCELLED};
    for (DWORD error : otherErrors) {
        EXPECT_FALSE(Launch(command, error)) << error;
    }
    EXPECT_EQ(shellRequest.calls, 0);
    EXPECT_FALSE(Launch(L"", kErrorElevationRequired));
    EXPECT_EQ(shellRequest.calls, 0);
}

TEST_F(ElevationFallbackTest, ShellStartsTheProgramWithItsParameters)
{
    createProcessError = kErrorElevationRequired;
    const std::wstring program = PlaceRecorder(L"Quellmar Tools\\uninst.exe");
    ASSERT_TRUE(LaunchUninstaller(
        program + L" /quiet " + records_, ProcessStarter{&FailingCreateProcess, &ShellExecuteExW}));
    const std::vector<Record> records = WaitForRecords(1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(lstrcmpiW(records[0].module.c_str(), program.c_str()), 0) << records[0].module;
    const std::wstring arguments = L" /quiet " + records_;
    EXPECT_EQ(records[0].commandLine.substr(records[0].commandLine.size() - arguments.size()), arguments);
}

TEST_F(ElevationFallbackTest, SplitsQuotedPrograms)
{
    std::wstring program;
    std::wstring parameters;
    SplitCommandLine(L"\"C:\\Program Files\\Velmo\\uninst.exe\" /S /D=\"C:\\x y\"", program, parameters);
    EXPECT_EQ(program, L"C:\\Program Files\\Velmo\\uninst.exe");
    EXPECT_EQ(parameters, L"/S /D=\"C:\\x y\"");
    SplitCommandLine(L"\"C:\\only.exe\"", program, parameters);
    EXPECT_EQ(program, L"C:\\only.exe");
    EXPECT_EQ(parameters, L"");
}

TEST_F(ElevationFallbackTest, SplitsUnquotedProgramsAtTheFirstPrefixThatExists)
{
    const std::wstring program = PlaceRecorder(L"my app\\setup tool.exe");
    std::wstring found;
    std::wstring parameters;
    SplitCommandLine(program + L" /uninstall \"x y\"", found, parameters);
    EXPECT_EQ(lstrcmpiW(found.c_str(), program.c_str()), 0) << found;
    EXPECT_EQ(parameters, L"/uninstall \"x y\"");

    // Without its extension the name is found with ".exe", as the platform does.
    const std::wstring bare = program.substr(0, program.size() - 4);
    SplitCommandLine(bare + L" /x", found, parameters);
    EXPECT_EQ(lstrcmpiW(found.c_str(), program.c_str()), 0) << found;
    EXPECT_EQ(parameters, L"/x");

    // Once an earlier prefix names a program, that one is it.
    const std::wstring early = PlaceRecorder(L"my.exe");
    SplitCommandLine(program + L" /uninstall", found, parameters);
    EXPECT_EQ(lstrcmpiW(found.c_str(), early.c_str()), 0) << found;
    EXPECT_EQ(parameters, L"app\\setup tool.exe /uninstall");
}

TEST_F(ElevationFallbackTest, SplitsProgramsFoundOnTheSearchPath)
{
    std::wstring program;
    std::wstring parameters;
    SplitCommandLine(L"MsiExec.exe /X{6A1C3F2E-0B7D-4E8A-9C55-1D2E3F405162}", program, parameters);
    EXPECT_EQ(lstrcmpiW(program.c_str(), SystemProgram(L"msiexec.exe").c_str()), 0) << program;
    EXPECT_EQ(parameters, L"/X{6A1C3F2E-0B7D-4E8A-9C55-1D2E3F405162}");
    SplitCommandLine(L"cmd /c exit", program, parameters);
    EXPECT_EQ(lstrcmpiW(program.c_str(), SystemProgram(L"cmd.exe").c_str()), 0) << program;
    EXPECT_EQ(parameters, L"/c exit");
}

} // namespace
