#include "catalogue/UninstallerLaunch.h"

#include "base/ScopedHandle.h"
#include "catalogue/EnvironmentText.h"

#include <utility>
#include <vector>

namespace {

constexpr const wchar_t* kElevateVerb = L"runas";

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
LaunchResult Launch(const std::wstring& commandLine, bool expandable, const ProcessStarter& starter,
    ScopedKernelHandle* keep, HANDLE job)
{
    // Nothing is quoted or changed; only a REG_EXPAND_SZ command is expanded,
    // because process creation does not expand environment references. The
    // expansion may grow far past what the registry value held, up to what
    // process creation takes.
    std::wstring command = commandLine;
    if (commandLine.empty() || (expandable && !ExpandEnvironmentText(commandLine, kCommandLineCapacity, command))) {
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

LaunchResult LaunchUninstaller(const std::wstring& commandLine, bool expandable, const ProcessStarter& starter)
{
    return Launch(commandLine, expandable, starter, nullptr, nullptr);
}

LaunchResult StartUninstaller(const std::wstring& commandLine, bool expandable, ScopedKernelHandle& process,
    const ProcessStarter& starter, HANDLE job)
{
    process.Reset();
    return Launch(commandLine, expandable, starter, &process, job);
}
