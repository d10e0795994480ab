#pragma once

#include <windows.h>

#include <functional>

// A visible top-level window, in the foreground, for a test to put the windows under test in; destroyed at the end of
// its scope. What its children tell it (WM_COMMAND, WM_NOTIFY) goes to onChildMessage, while it is set.
class TestWindow {
public:
    explicit TestWindow(int width = 480, int height = 400);
    ~TestWindow() { DestroyWindow(window_); }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND Handle() const { return window_; }

    std::function<void(UINT message, WPARAM wParam, LPARAM lParam)> onChildMessage;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
};

// Dispatches everything queued for this thread, paints included.
void Pump();
