#pragma once

#include "base/ScopedHandle.h"

#include <windows.h>

#include <utility>
#include <vector>

// Destroys a test window at the end of its scope. Declared after the object
// bound to the window, so the window goes first, as the framework requires.
struct WindowTraits {
    using Handle = HWND;
    static bool IsValid(HWND window) { return window != nullptr; }
    static void Close(HWND window) { DestroyWindow(window); }
};
using ScopedWindow = ScopedHandle<WindowTraits>;

// A window class whose own procedure answers WM_DRAWITEM and every WM_APP
// message with a value of its own and remembers them, so that tests can see
// what reaches a subclassed window's previous procedure.
constexpr LRESULT kOriginalResult = 0x5EED;
constexpr wchar_t kOriginalClass[] = L"FrameworkTestOriginal";

struct OriginalCall {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const OriginalCall& other) const
    {
        return message == other.message && wParam == other.wParam && lParam == other.lParam;
    }
};

inline std::vector<OriginalCall>& OriginalCalls()
{
    static std::vector<OriginalCall> calls;
    return calls;
}

inline LRESULT CALLBACK OriginalProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DRAWITEM || message >= WM_APP) {
        OriginalCalls().push_back({message, wParam, lParam});
        return kOriginalResult;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// A top-level or child window of the class above, not bound to any object.
inline HWND CreateOriginalWindow(HWND parent = nullptr)
{
    static const ATOM registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = OriginalProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kOriginalClass;
        return RegisterClassExW(&windowClass);
    }();
    (void)registered;
    const DWORD style = parent ? WS_CHILD : WS_OVERLAPPEDWINDOW;
    return CreateWindowExW(0, kOriginalClass, L"", style, 10, 10, 300, 200, parent, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}
