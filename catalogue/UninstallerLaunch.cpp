#include "catalogue/UninstallerLaunch.h"

#include "base/ScopedHandle.h"
#include "catalogue/EnvironmentText.h"
#include "catalogue/UninstallLocations.h"

#include <shlwapi.h>

#include <algorithm>
#include <cwchar>
#include <utility>
#include <vector>

namespace {

constexpr const wchar_t* kElevateVerb = L"runas";
// How a 32-bit process names the 64-bit system folder, past the redirection
// of the system folder to its 32-bit twin.
constexpr const wchar_t* kSixtyFourBitSystemFolder = L"\\Sysnative";
// A 32-bit process's own program folders, and those of the 64-bit view.
constexpr const wchar_t* kFolderVariables[][2] = {{L"%ProgramFiles%", L"%ProgramW6432%"},
    {L"%CommonProgramFiles%", L"%CommonProgramW6432%"}};

bool RunningUnderWow64()
{
    return sizeof(void*) == 4 && SystemHas64BitView();
}

// The program's place in a command line: the text between its quotes, or up
// to the first blank.
std::pair<size_t, size_t> ProgramSpan(const std::wstring& command)
{
    if (!command.empty() && command[0] == L'"') {
        const size_t close = command.find(L'"', 1);
        return {1, close == std::wstring::npos ? command.size() : close};
    }
    const size_t blank = command.find_first_of(L" \t");
    return {0, blank == std::wstring::npos ? command.size() : blank};
}

// The command with each of the 32-bit process's folder variables replaced by
// the 64-bit view's (ASCII letter case ignored, as the environment does).
std::wstring WithSixtyFourBitFolders(std::wstring text)
{
    for (const auto& [own, sixtyFour] : kFolderVariables) {
        const size_t length = wcslen(own);
        for (size_t at = 0; at + length <= text.size(); ++at) {
            if (_wcsnicmp(text.c_str() + at, own, length) == 0) {
                text.replace(at, length, sixtyFour);
                at += wcslen(sixtyFour) - 1;
            }
        }
    }
    return text;
}

// A program given by a bare name gets the full path ProgramSearchPath finds
// for it, quoted; a path in the system folder gets the 64-bit one's where the
// command is of the 64-bit view. The rest stays as written. False when a bare
// name is found nowhere.
bool PlaceProgram(std::wstring& command, bool sixtyFourBitView)
{
    const auto [begin, end] = ProgramSpan(command);
    const std::wstring program = command.substr(begin, end - begin);
    if (program.empty()) {
        return true;
    }
    if (program.find_first_of(L"\\/:") == std::wstring::npos) {
        wchar_t found[MAX_PATH];
        const DWORD length = SearchPathW(ProgramSearchPath(sixtyFourBitView).c_str(), program.c_str(), L".exe",
            MAX_PATH, found, nullptr);
        if (length == 0 || length >= MAX_PATH) {
            return false;
        }
        const size_t restAt = begin == 0 ? end : std::min(end + 1, command.size());
        command = L"\"" + std::wstring(found, length) + L"\"" + command.substr(restAt);
        return true;
    }
    const std::wstring system = SystemFolder(false) + L"\\";
    if (sixtyFourBitView && RunningUnderWow64() && _wcsnicmp(program.c_str(), system.c_str(), system.size()) == 0) {
        command.replace(begin, system.size() - 1, SystemFolder(true));
    }
    return true;
}

std::wstring TrimLeadingSpaces(const std::wstring& text, size_t from)
{
    const size_t start = text.find_first_not_of(L" \t", from);
    return start == std::wstring::npos ? std::wstring() : text.substr(start);
}

// The platform's search for a program name: the name as given, or with ".exe"
// where it has no extension, in the folders process creation looks in.
bool FindProgram(const std::wstring& name, std::wstring& found)
{
    wchar_t path[MAX_PATH];
    const DWORD length = SearchPathW(nullptr, name.c_str(), L".exe", MAX_PATH, path, nullptr);
    if (length == 0 || length >= MAX_PATH || (GetFileAttributesW(path) & FILE_ATTRIBUTE_DIRECTORY)) {
        return false;
    }
    found.assign(path, length);
    return true;
}

// keep, when given, receives the new process's handle, and job, when given, is asked to take the process.
LaunchResult StartElevated(const std::wstring& commandLine, const ProcessStarter& starter, ScopedKernelHandle* keep,
    HANDLE job)
{
    std::wstring program;
    std::wstring parameters;
    SplitCommandLine(commandLine, program, parameters);
    SHELLEXECUTEINFOW execute = {};
    execute.cbSize = sizeof(execute);
    // A process handle is asked for only to be kept; the shell shows no error
    // box of its own, so failures stay silent.
    execute.fMask = SEE_MASK_FLAG_NO_UI | (keep ? SEE_MASK_NOCLOSEPROCESS : 0);
    execute.lpVerb = kElevateVerb;
    execute.lpFile = program.c_str();
    execute.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    execute.nShow = SW_SHOWNORMAL;
    if (starter.shellExecuteEx(&execute)) {
        if (keep) {
            // Already running, and perhaps not ours to assign: the caller sees whether the job took it.
            if (job && execute.hProcess) {
                AssignProcessToJobObject(job, execute.hProcess);
            }
            keep->Reset(execute.hProcess);
        }
        return LaunchResult::Started;
    }
    return GetLastError() == ERROR_CANCELLED ? LaunchResult::Declined : LaunchResult::Failed;
}

LaunchResult Start(const std::wstring& commandLine, const ProcessStarter& starter, ScopedKernelHandle* keep, HANDLE job)
{
    // CreateProcessW may write into the command line; it gets its own copy.
    std::vector<wchar_t> writable(commandLine.begin(), commandLine.end());
    writable.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    // No handle of ours is inherited: the uninstaller must not hold any of them.
    // Into a job suspended, so that everything it starts belongs to the job too.
    if (!starter.createProcess(nullptr, writable.data(), nullptr, nullptr, FALSE, job ? CREATE_SUSPENDED : 0, nullptr,
            nullptr, &startup, &process)) {
        // Uninstallers of per-machine products usually ask for administrator
        // rights, which a plain start cannot give them.
        return GetLastError() == kErrorElevationRequired ? StartElevated(commandLine, starter, keep, job)
                                                         : LaunchResult::Failed;
    }
    ScopedKernelHandle processHandle(process.hProcess);
    const ScopedKernelHandle threadHandle(process.hThread);
    if (job) {
        // Where the job cannot take it (Windows 7 inside a job of its own), it runs outside.
        AssignProcessToJobObject(job, process.hProcess);
        ResumeThread(process.hThread);
    }
    if (keep) {
        *keep = std::move(processHandle);
    }
    return LaunchResult::Started;
}

// keep, when given, receives the new process's handle; job, when given, is asked to take the process.
LaunchResult Launch(const std::wstring& commandLine, bool expandable, bool sixtyFourBitView,
    const ProcessStarter& starter, ScopedKernelHandle* keep, HANDLE job)
{
    // Only a REG_EXPAND_SZ command is expanded, because process creation does
    // not expand environment references. The expansion may grow far past what
    // the registry value held, up to what process creation takes.
    std::wstring command = commandLine;
    const std::wstring stored = sixtyFourBitView ? WithSixtyFourBitFolders(commandLine) : commandLine;
    if (commandLine.empty() || (expandable && !ExpandEnvironmentText(stored, kCommandLineCapacity, command))
        || !PlaceProgram(command, sixtyFourBitView) || command.size() >= kCommandLineCapacity) {
        return LaunchResult::Failed;
    }
    return Start(command, starter, keep, job);
}

} // namespace

void SplitCommandLine(const std::wstring& commandLine, std::wstring& program, std::wstring& parameters)
{
    if (!commandLine.empty() && commandLine[0] == L'"') {
        const size_t close = commandLine.find(L'"', 1);
        program = commandLine.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1);
        parameters = close == std::wstring::npos ? std::wstring() : TrimLeadingSpaces(commandLine, close + 1);
        return;
    }
    for (size_t end = commandLine.find(L' ');; end = commandLine.find(L' ', end + 1)) {
        const std::wstring candidate = commandLine.substr(0, end);
        if (FindProgram(candidate, program)) {
            parameters = end == std::wstring::npos ? std::wstring() : TrimLeadingSpaces(commandLine, end);
            return;
        }
        if (end == std::wstring::npos) {
            break;
        }
    }
    // Nothing names a file: the first word is the best guess, as the platform's error would say.
    const size_t space = commandLine.find(L' ');
    program = commandLine.substr(0, space);
    parameters = space == std::wstring::npos ? std::wstring() : TrimLeadingSpaces(commandLine, space);
}

ProcessStarter PlatformProcessStarter()
{
    return ProcessStarter{&CreateProcessW, &ShellExecuteExW};
}

LaunchResult LaunchUninstaller(const std::wstring& commandLine, bool expandable, bool sixtyFourBitView,
    const ProcessStarter& starter)
{
    return Launch(commandLine, expandable, sixtyFourBitView, starter, nullptr, nullptr);
}

LaunchResult StartUninstaller(const std::wstring& commandLine, bool expandable, bool sixtyFourBitView,
    ScopedKernelHandle& process, const ProcessStarter& starter, HANDLE job)
{
    process.Reset();
    return Launch(commandLine, expandable, sixtyFourBitView, starter, &process, job);
}

std::wstring SystemFolder(bool sixtyFourBitView)
{
    wchar_t folder[MAX_PATH];
    if (sixtyFourBitView && RunningUnderWow64()) {
        const UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
        return std::wstring(folder, length < MAX_PATH ? length : 0) + kSixtyFourBitSystemFolder;
    }
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    return std::wstring(folder, length < MAX_PATH ? length : 0);
}

std::wstring ProgramSearchPath(bool sixtyFourBitView)
{
    wchar_t windows[MAX_PATH];
    const UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
    std::wstring path = SystemFolder(sixtyFourBitView) + L";" + std::wstring(windows, length < MAX_PATH ? length : 0);
    std::vector<wchar_t> variable(GetEnvironmentVariableW(L"PATH", nullptr, 0) + 1, L'\0');
    GetEnvironmentVariableW(L"PATH", variable.data(), static_cast<DWORD>(variable.size()));
    const std::wstring folders(variable.data());
    for (size_t at = 0; at <= folders.size();) {
        const size_t end = std::min(folders.find(L';', at), folders.size());
        const std::wstring folder = folders.substr(at, end - at);
        if (!folder.empty() && !PathIsRelativeW(folder.c_str())) {
            path += L";" + folder;
        }
        at = end + 1;
    }
    return path;
}
