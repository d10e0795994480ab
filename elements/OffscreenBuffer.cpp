#include "elements/OffscreenBuffer.h"

namespace {

RECT BufferRect(HDC target, const RECT* rect)
{
    if (rect) {
        return *rect;
    }
    RECT clipBox = {};
    GetClipBox(target, &clipBox);
    return clipBox;
}

} // namespace

OffscreenBuffer::OffscreenBuffer(HDC target, const RECT* rect)
    : target_(target),
      rect_(BufferRect(target, rect)),
      memoryDC_(CreateCompatibleDC(target)),
      bitmap_(CreateCompatibleBitmap(target, rect_.right - rect_.left, rect_.bottom - rect_.top)),
      selectBitmap_(memoryDC_.Get(), bitmap_.Get())
{
    // The bitmap starts at the rectangle's corner: paint in the target's coordinates.
    SetWindowOrgEx(memoryDC_.Get(), rect_.left, rect_.top, nullptr);
    BitBlt(memoryDC_.Get(), rect_.left, rect_.top, rect_.right - rect_.left, rect_.bottom - rect_.top, target_,
        rect_.left, rect_.top, SRCCOPY);
}

OffscreenBuffer::~OffscreenBuffer()
{
    // The members then put the previous bitmap back and delete bitmap and DC.
    BitBlt(target_, rect_.left, rect_.top, rect_.right - rect_.left, rect_.bottom - rect_.top, memoryDC_.Get(),
        rect_.left, rect_.top, SRCCOPY);
}
