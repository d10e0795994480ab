#pragma once

#include "base/ScopedHandle.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

// ERROR_ELEVATION_REQUIRED; not every SDK's headers define it.
constexpr DWORD kErrorElevationRequired = 740;
// The longest command line process creation takes, terminator included.
constexpr unsigned kCommandLineCapacity = 32767;

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
// one that cannot be expanded, or grows past kCommandLineCapacity, fails.
// Shows nothing itself.
LaunchResult LaunchUninstaller(const std::wstring& commandLine, bool expandable,
    const ProcessStarter& starter = PlatformProcessStarter());

// Starts the command line as LaunchUninstaller does, but keeps the new
// process's handle in process, so that the caller can wait for it to end. The
// elevated start asks the shell for the handle too; process holds nothing
// when the shell gives none, and after any failure. Given a job of the
// caller's, the process is put into it before it runs, so that the processes
// it starts belong to the job too; where the job cannot take it (IsProcessInJob
// tells), it runs outside.
LaunchResult StartUninstaller(const std::wstring& commandLine, bool expandable, ScopedKernelHandle& process,
    const ProcessStarter& starter = PlatformProcessStarter(), HANDLE job = nullptr);

// Splits a command line into program and parameters as process creation
// does without an application name: a quoted first token is the program, as
// written; otherwise the shortest prefix ending at a space (or the whole
// line) that names an existing file, ".exe" tried where the name has none,
// looked for where the platform looks, and given back as the path found.
void SplitCommandLine(const std::wstring& commandLine, std::wstring& program, std::wstring& parameters);
