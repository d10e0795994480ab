#include "tests/e2e/ProgramRun.h"

#include "tests/support/ModuleDirectory.h"

namespace {

constexpr const wchar_t* kWindowTitle = L"Farrowgate (1.0 Beta)";
constexpr const wchar_t* kDialogClass = L"#32770";
constexpr const wchar_t* kListClass = L"ATL:115D5F49";
constexpr const wchar_t* kExitText = L"退出";
constexpr DWORD kPollMs = 50;
constexpr DWORD kForcedEndWaitMs = 5000;

PROCESS_INFORMATION StartProgram(const std::wstring& arguments)
{
    std::wstring commandLine = L"\"" + ModuleDirectory() + L"\\farrowgate.exe\"";
    if (!arguments.empty()) {
        commandLine += L" " + arguments;
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started = {};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
        return PROCESS_INFORMATION{};
    }
    return started;
}

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchMainWindow(HWND window, LPARAM lParam)
{
    auto& search = *reinterpret_cast<WindowSearch*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t className[64] = {};
    wchar_t title[64] = {};
    GetClassNameW(window, className, 64);
    GetWindowTextW(window, title, 64);
    if (owner == search.processId && IsWindowVisible(window) && wcscmp(className, kDialogClass) == 0
        && wcscmp(title, kWindowTitle) == 0) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

ProgramRun::ProgramRun(const std::wstring& arguments) : ProgramRun(StartProgram(arguments)) {}

ProgramRun::ProgramRun(const PROCESS_INFORMATION& started)
    : process_(started.hProcess), thread_(started.hThread), processId_(started.dwProcessId)
{
}

ProgramRun::~ProgramRun()
{
    if (Started() && WaitForSingleObject(process_.Get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.Get(), 1);
        WaitForSingleObject(process_.Get(), kForcedEndWaitMs);
    }
}

bool ProgramRun::WaitForWindow(unsigned timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (Started()) {
        WindowSearch search{processId_, nullptr};
        EnumWindows(MatchMainWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            window_ = search.found;
            list_ = FindWindowExW(window_, nullptr, kListClass, nullptr);
            exitButton_ = FindWindowExW(window_, nullptr, L"Button", kExitText);
            return list_ && exitButton_;
        }
        if (GetTickCount64() >= deadline) {
            break;
        }
        Sleep(kPollMs);
    }
    return false;
}

RECT ProgramRun::WindowRect() const
{
    RECT rect = {};
    GetWindowRect(window_, &rect);
    return rect;
}

RECT ProgramRun::ExitButtonRect() const
{
    RECT rect = {};
    GetWindowRect(exitButton_, &rect);
    return rect;
}

RECT ProgramRun::ListClientRect() const
{
    RECT rect = {};
    GetClientRect(list_, &rect);
    MapWindowPoints(list_, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

bool ProgramRun::WaitForExit(unsigned timeoutMs, DWORD& exitCode)
{
    if (!Started() || WaitForSingleObject(process_.Get(), timeoutMs) != WAIT_OBJECT_0) {
        return false;
    }
    return GetExitCodeProcess(process_.Get(), &exitCode) != FALSE;
}
