#include "tests/e2e/UserInput.h"

namespace {

// Long enough for the program to see press and release as separate events.
constexpr DWORD kEventGapMs = 60;

void SendMouse(DWORD flags, LONG dx = 0, LONG dy = 0)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = dx;
    input.mi.dy = dy;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof(input));
    Sleep(kEventGapMs);
}

void SendKey(WORD virtualKey, DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = flags;
    SendInput(1, &input, sizeof(input));
    Sleep(kEventGapMs);
}

// Absolute mouse coordinates run from 0 to 65535 across the primary screen;
// rounding up lands on the wanted pixel, not the one before it.
LONG Normalised(LONG position, int screenSize)
{
    return static_cast<LONG>((static_cast<long long>(position) * 65536 + screenSize - 1) / screenSize);
}

} // namespace

void MovePointer(POINT screen)
{
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, Normalised(screen.x, GetSystemMetrics(SM_CXSCREEN)),
        Normalised(screen.y, GetSystemMetrics(SM_CYSCREEN)));
}

void LeftClick(POINT screen)
{
    MovePointer(screen);
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    SendMouse(MOUSEEVENTF_LEFTUP);
}

void PressKey(WORD virtualKey)
{
    SendKey(virtualKey, 0);
    SendKey(virtualKey, KEYEVENTF_KEYUP);
}
