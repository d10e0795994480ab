#pragma once

#include "catalogue/UninstallerLaunch.h"

#include <string>
#include <vector>

// How the stand-ins for process creation and the shell fail (0: they succeed), and what they were asked for.
struct FakeStarts {
    DWORD createError = 0, shellError = 0;
    HANDLE shellProcess = nullptr;     // the process the shell hands out when asked for one
    std::vector<std::wstring> created; // the command lines handed to process creation
    std::vector<HANDLE> handedOut;     // a successful creation's two fresh events, as process and thread
    std::wstring request;              // the shell's: "verb file|parameters", "attached " first when not detached
};
inline FakeStarts g_fakes;

inline BOOL WINAPI FakeCreateProcess(LPCWSTR, LPWSTR commandLine, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL,
    DWORD, LPVOID, LPCWSTR, LPSTARTUPINFOW, LPPROCESS_INFORMATION process)
{
    g_fakes.created.push_back(commandLine);
    SetLastError(g_fakes.createError);
    if (g_fakes.createError == 0) {
        *process = {CreateEventW(nullptr, FALSE, FALSE, nullptr), CreateEventW(nullptr, FALSE, FALSE, nullptr), 1, 1};
        g_fakes.handedOut.insert(g_fakes.handedOut.end(), {process->hProcess, process->hThread});
    }
    return g_fakes.createError == 0;
}

inline BOOL WINAPI FakeShellExecute(SHELLEXECUTEINFOW* execute)
{
    // Detached: no process handle kept, no error box of the shell's own.
    const bool detached = (execute->fMask & (SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI)) == SEE_MASK_FLAG_NO_UI;
    g_fakes.request = std::wstring(detached ? L"" : L"attached ") + execute->lpVerb + L" " + execute->lpFile + L"|"
        + (execute->lpParameters ? execute->lpParameters : L"");
    execute->hProcess = (execute->fMask & SEE_MASK_NOCLOSEPROCESS) ? g_fakes.shellProcess : nullptr;
    SetLastError(g_fakes.shellError);
    return g_fakes.shellError == 0;
}

// The stand-ins as a launch takes them, set to fail as told and with nothing asked for yet.
inline ProcessStarter FakeStarter(DWORD createError = 0, DWORD shellError = 0, HANDLE shellProcess = nullptr)
{
    g_fakes = {createError, shellError, shellProcess, {}, {}, {}};
    return {&FakeCreateProcess, &FakeShellExecute};
}
