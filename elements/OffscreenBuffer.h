#pragma once

#include "base/ScopedHandle.h"
#include "base/ScopedSelectObject.h"

#include <windows.h>

// Double buffer for painting: a memory DC over a rectangle of the target DC,
// starting with the target's current pixels so that untouched parts keep their
// look. Destruction copies the rectangle back to the target and frees the
// buffer, on every path out of the painting code.
class OffscreenBuffer {
public:
    // rect: in the target's coordinates; null takes the target's clipping box.
    explicit OffscreenBuffer(HDC target, const RECT* rect = nullptr);
    ~OffscreenBuffer();
    OffscreenBuffer(const OffscreenBuffer&) = delete;
    OffscreenBuffer& operator=(const OffscreenBuffer&) = delete;

    // Paint here, in the target's coordinates.
    HDC Get() const { return memoryDC_.Get(); }
    const RECT& Rect() const { return rect_; }

private:
    const HDC target_;
    const RECT rect_;
    const ScopedMemoryDC memoryDC_;
    const ScopedBitmap bitmap_;
    const ScopedSelectObject selectBitmap_;
};
