#include "tests/support/TestWindow.h"

namespace {

constexpr wchar_t kClassName[] = L"FarrowgateTestWindow";
constexpr int kLeft = 40;
constexpr int kTop = 40;

} // namespace

TestWindow::TestWindow(int width, int height)
{
    [[maybe_unused]] static const ATOM registered = [] {
        const WNDCLASSW windowClass = {0, Procedure, 0, 0, GetModuleHandleW(nullptr), nullptr,
            LoadCursorW(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), nullptr, kClassName};
        return RegisterClassW(&windowClass);
    }();
    window_ = CreateWindowExW(0, kClassName, L"test", WS_POPUP | WS_VISIBLE, kLeft, kTop, width, height, nullptr,
        nullptr, GetModuleHandleW(nullptr), this);
    SetForegroundWindow(window_);
    UpdateWindow(window_);
}

TestWindow::~TestWindow()
{
    DestroyWindow(window_);
}

LRESULT CALLBACK TestWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    const auto* self = reinterpret_cast<const TestWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && self->onChildMessage && (message == WM_COMMAND || message == WM_NOTIFY)) {
        self->onChildMessage(message, wParam, lParam);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void Pump()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}
