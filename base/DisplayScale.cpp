#include "base/DisplayScale.h"

#include "base/ScopedHandle.h"

int WindowDpi(HWND window)
{
    // Looked up, not imported: the program must start where it is missing.
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow) {
        if (const UINT dpi = getDpiForWindow(window)) {
            return static_cast<int>(dpi);
        }
    }
    const ScopedWindowDC dc(GetDC(window));
    const int dpi = dc ? GetDeviceCaps(dc.Get(), LOGPIXELSX) : 0;
    return dpi > 0 ? dpi : kDefaultDpi;
}
