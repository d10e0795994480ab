#include "tests/e2e/ProgramRun.h"

#include "listctrl/ListControl.h"

#include "tests/support/ModuleDirectory.h"

namespace {

constexpr const wchar_t* kWindowTitle = L"Farrowgate (1.0 Beta)";
constexpr const wchar_t* kDialogClass = L"#32770";
constexpr const wchar_t* kExitText = L"退出";
constexpr DWORD kPollMs = 50;
constexpr DWORD kForcedEndWaitMs = 5000;

// Zeroed when the program cannot be started.
PROCESS_INFORMATION StartProgram(const std::wstring& arguments)
{
    std::wstring commandLine = L"\"" + ModuleDirectory() + L"\\farrowgate.exe\" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
        return PROCESS_INFORMATION{};
    }
    return started;
}

// A visible main window of the given process, or null.
HWND FindMainWindow(DWORD processId)
{
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, kDialogClass, kWindowTitle)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && IsWindowVisible(window)) {
            return window;
        }
    }
    return nullptr;
}

RECT ScreenRect(HWND window)
{
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

} // namespace

ProgramRun::ProgramRun(const std::wstring& arguments) : ProgramRun(StartProgram(arguments)) {}

ProgramRun::ProgramRun(const PROCESS_INFORMATION& started)
    : process_(started.hProcess), thread_(started.hThread), processId_(started.dwProcessId)
{
}

ProgramRun::~ProgramRun()
{
    if (process_.Get() && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.Get(), 1);
        WaitForSingleObject(process_.Get(), kForcedEndWaitMs);
    }
}

bool ProgramRun::WaitForWindow(unsigned timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!(window_ = FindMainWindow(processId_))) {
        if (!process_.Get() || GetTickCount64() >= deadline) {
            return false;
        }
        Sleep(kPollMs);
    }
    list_ = FindWindowExW(window_, nullptr, kListClassName, nullptr);
    exitButton_ = FindWindowExW(window_, nullptr, L"Button", kExitText);
    return list_ && exitButton_;
}

RECT ProgramRun::WindowRect() const
{
    return ScreenRect(window_);
}

RECT ProgramRun::ExitButtonRect() const
{
    return ScreenRect(exitButton_);
}

RECT ProgramRun::ListClientRect() const
{
    RECT rect = {};
    GetClientRect(list_, &rect);
    MapWindowPoints(list_, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::optional<DWORD> ProgramRun::WaitForExit(unsigned timeoutMs)
{
    DWORD exitCode = 0;
    if (!process_.Get() || WaitForSingleObject(process_.Get(), timeoutMs) != WAIT_OBJECT_0
        || !GetExitCodeProcess(process_.Get(), &exitCode)) {
        return std::nullopt;
    }
    return exitCode;
}
