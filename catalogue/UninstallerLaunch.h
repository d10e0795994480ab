#pragma once

#include "base/ScopedHandle.h"
#include "catalogue/InstalledEntry.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

// ERROR_ELEVATION_REQUIRED; not every SDK's headers define it.
constexpr DWORD kErrorElevationRequired = 740;

// The two ways of starting a program that a launch may use. Tests replace
// them to see what a launch asks for; the program always uses the platform's.
struct ProcessStarter {
    decltype(&CreateProcessW) createProcess;
    decltype(&ShellExecuteExW) shellExecuteEx;
};

// The platform's own ways of starting a program.
ProcessStarter PlatformProcessStarter();

enum class LaunchResult {
    Started,
    Failed,
    Declined, // the user said no to the consent prompt of the elevated start
};

// Starts the command line as a detached process and lets it go: no waiting,
// no handle kept, none of ours inherited. A program that needs elevation is
// started through the shell's consent prompt instead. An expandable command
// (stored as REG_EXPAND_SZ) has its environment references expanded first;
// one that cannot be expanded, or grows past kCommandLineCapacity, fails. A
// program given by a bare name is started from where ProgramSearchPath finds
// it, by its full path, and fails where it finds none. A command of the
// machine's 64-bit view (sixtyFourBitView) runs in the 64-bit folders: its
// %ProgramFiles% and %CommonProgramFiles% are theirs, and a 32-bit process
// starts its system programs from the 64-bit system folder. Shows nothing
// itself.
LaunchResult LaunchUninstaller(const std::wstring& commandLine, bool expandable, bool sixtyFourBitView,
    const ProcessStarter& starter = PlatformProcessStarter());

// Starts the command line as LaunchUninstaller does, but keeps the new
// process's handle in process, so that the caller can wait for it to end. The
// elevated start asks the shell for the handle too; process holds nothing
// when the shell gives none, and after any failure. Given a job of the
// caller's, the process is put into it before it runs, so that the processes
// it starts belong to the job too; where the job cannot take it (IsProcessInJob
// tells), it runs outside.
LaunchResult StartUninstaller(const std::wstring& commandLine, bool expandable, bool sixtyFourBitView,
    ScopedKernelHandle& process, const ProcessStarter& starter = PlatformProcessStarter(), HANDLE job = nullptr);

// The system folder, as process creation names it for programs of the
// machine's 64-bit view (sixtyFourBitView) or of this process's own.
std::wstring SystemFolder(bool sixtyFourBitView);

// Where a program given by a bare name is looked for, as the system's own
// uninstall page finds one: the system folder, the Windows folder, then the
// folders of PATH that are absolute; never this program's folder or the
// current one, where anybody may have put a file of that name.
std::wstring ProgramSearchPath(bool sixtyFourBitView);

// Splits a command line into program and parameters as process creation
// does without an application name: a quoted first token is the program, as
// written; otherwise the shortest prefix ending at a space (or the whole
// line) that names an existing file, ".exe" tried where the name has none,
// looked for where the platform looks, and given back as the path found.
void SplitCommandLine(const std::wstring& commandLine, std::wstring& program, std::wstring& parameters);
