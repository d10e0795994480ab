#pragma once

#include "catalogue/ScopedHandle.h"

#include <windows.h>

#include <string>

// One run of farrowgate.exe (the copy next to the test program) as a process
// of its own. The program is ended by force on destruction if it still runs,
// so that a failed test leaves nothing behind.
class ProgramRun {
public:
    explicit ProgramRun(const std::wstring& arguments = L"");
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    bool Started() const { return process_.Get() != nullptr; }
    // Waits until the program's main window is on the screen.
    bool WaitForWindow(unsigned timeoutMs);
    // Screen rectangles of the main window, of the product list's client area
    // and of the "退出" button.
    RECT WindowRect() const;
    RECT ListClientRect() const;
    RECT ExitButtonRect() const;
    // True when the process has ended within the time; its exit code then goes to exitCode.
    bool WaitForExit(unsigned timeoutMs, DWORD& exitCode);

private:
    explicit ProgramRun(const PROCESS_INFORMATION& started);

    ScopedHandle process_;
    ScopedHandle thread_;
    DWORD processId_;
    HWND window_ = nullptr;
    HWND list_ = nullptr;
    HWND exitButton_ = nullptr;
};
