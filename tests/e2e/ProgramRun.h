#pragma once

#include "base/ScopedHandle.h"

#include <windows.h>

#include <optional>
#include <string>

// One run of farrowgate.exe (the copy next to the test program) as a process
// of its own, ended by force on destruction if it still runs, so that a
// failed test leaves nothing behind.
class ProgramRun {
public:
    explicit ProgramRun(const std::wstring& arguments = L"");
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    // Waits until the program's main window, with its list and "退出" button, is on the screen.
    bool WaitForWindow(unsigned timeoutMs);
    HWND Window() const { return window_; }
    HWND List() const { return list_; }
    // Screen rectangles.
    RECT WindowRect() const;
    RECT ListClientRect() const;
    RECT ExitButtonRect() const;
    // The exit code, when the process has ended within the time.
    std::optional<DWORD> WaitForExit(unsigned timeoutMs);

private:
    explicit ProgramRun(const PROCESS_INFORMATION& started);

    ScopedKernelHandle process_;
    ScopedKernelHandle thread_;
    DWORD processId_;
    HWND window_ = nullptr;
    HWND list_ = nullptr;
    HWND exitButton_ = nullptr;
};
