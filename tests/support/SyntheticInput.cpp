#include "tests/support/SyntheticInput.h"

#include <cstdlib>
#include <vector>

namespace {

INPUT Mouse(DWORD flags, POINT screen = {}, DWORD data = 0)
{
    // Absolute coordinates run from 0 to 65535 across the primary screen; rounding up lands on the wanted pixel.
    const auto normalised = [](LONG position, int size) {
        return static_cast<LONG>((static_cast<long long>(position) * 65536 + size - 1) / size);
    };
    return {INPUT_MOUSE,
        {{normalised(screen.x, GetSystemMetrics(SM_CXSCREEN)), normalised(screen.y, GetSystemMetrics(SM_CYSCREEN)),
            data, flags, 0, 0}}};
}

void Send(std::vector<INPUT> inputs)
{
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

} // namespace

void ClickAt(POINT screen, int count)
{
    std::vector<INPUT> inputs = {Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, screen)};
    for (int i = 0; i < count; ++i) {
        inputs.insert(inputs.end(), {Mouse(MOUSEEVENTF_LEFTDOWN), Mouse(MOUSEEVENTF_LEFTUP)});
    }
    Send(inputs);
}

void TurnWheel(int notches)
{
    const DWORD delta = static_cast<DWORD>(notches < 0 ? -WHEEL_DELTA : WHEEL_DELTA);
    Send(std::vector<INPUT>(static_cast<size_t>(std::abs(notches)), Mouse(MOUSEEVENTF_WHEEL, {}, delta)));
}
