#include "UninstallerLaunch.h"

#include "ScopedHandle.h"

#include <vector>

bool LaunchUninstaller(const std::wstring& commandLine)
{
    if (commandLine.empty()) {
        return false;
    }
    // CreateProcessW may write into the command line; it gets its own copy,
    // exactly as stored: nothing quoted, nothing expanded.
    std::vector<wchar_t> writable(commandLine.begin(), commandLine.end());
    writable.push_back(L'\0');
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return false;
    }
    const ScopedHandle processHandle(process.hProcess);
    const ScopedHandle threadHandle(process.hThread);
    return true;
}
