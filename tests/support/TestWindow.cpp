#include "tests/support/TestWindow.h"

TestWindow::TestWindow(int width, int height)
{
    static constexpr wchar_t kClassName[] = L"FarrowgateTestWindow";
    constexpr int kCorner = 40; // its top left corner's distance from the screen's, both ways
    [[maybe_unused]] static const ATOM registered = [] {
        const WNDCLASSW windowClass = {0, Procedure, 0, 0, GetModuleHandleW(nullptr), nullptr,
            LoadCursorW(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), nullptr, kClassName};
        return RegisterClassW(&windowClass);
    }();
    window_ = CreateWindowExW(0, kClassName, L"test", WS_POPUP | WS_VISIBLE, kCorner, kCorner, width, height, nullptr,
        nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetForegroundWindow(window_);
    UpdateWindow(window_);
}

LRESULT CALLBACK TestWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    const auto* self = reinterpret_cast<const TestWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && self->onChildMessage && (message == WM_COMMAND || message == WM_NOTIFY)) {
        self->onChildMessage(message, wParam, lParam);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void Pump()
{
    for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}
