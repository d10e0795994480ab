#include "tests/support/SyntheticInput.h"

#include <vector>

namespace {

void Send(std::vector<INPUT> inputs)
{
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

INPUT Mouse(DWORD flags, LONG dx = 0, LONG dy = 0, DWORD data = 0)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    input.mi.dx = dx;
    input.mi.dy = dy;
    input.mi.mouseData = data;
    return input;
}

// Absolute coordinates run from 0 to 65535 across the primary screen;
// rounding up lands on the wanted pixel, not the one before it.
LONG Normalised(LONG position, int screenSize)
{
    return static_cast<LONG>((static_cast<long long>(position) * 65536 + screenSize - 1) / screenSize);
}

INPUT MoveTo(POINT screen)
{
    return Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, Normalised(screen.x, GetSystemMetrics(SM_CXSCREEN)),
        Normalised(screen.y, GetSystemMetrics(SM_CYSCREEN)));
}

} // namespace

void MovePointer(POINT screen)
{
    Send({MoveTo(screen)});
}

void ClickAt(POINT screen, int count)
{
    std::vector<INPUT> inputs = {MoveTo(screen)};
    for (int i = 0; i < count; ++i) {
        inputs.push_back(Mouse(MOUSEEVENTF_LEFTDOWN));
        inputs.push_back(Mouse(MOUSEEVENTF_LEFTUP));
    }
    Send(inputs);
}

void TurnWheel(int notches)
{
    const DWORD delta = static_cast<DWORD>(notches < 0 ? -WHEEL_DELTA : WHEEL_DELTA);
    Send(std::vector<INPUT>(static_cast<size_t>(notches < 0 ? -notches : notches),
        Mouse(MOUSEEVENTF_WHEEL, 0, 0, delta)));
}
