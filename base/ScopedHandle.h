#pragma once

#include <windows.h>

// Owns one Windows handle and gives it back to the system exactly once: on
// Reset, on destruction, or never when Take hands it over. Move-only, so two
// holders never close the same handle. Traits says what kind of handle it is:
//     using Handle = ...;                   // the handle type
//     static bool IsValid(Handle handle);   // false for every "no handle" value
//     static void Close(Handle handle);     // called for valid handles only
template <typename Traits>
class ScopedHandle {
public:
    using Handle = typename Traits::Handle;

    ScopedHandle() = default;
    explicit ScopedHandle(Handle handle) : handle_(handle) {}
    ~ScopedHandle() { Reset(); }
    ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.Take()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept
    {
        if (this != &other) {
            Reset(other.Take());
        }
        return *this;
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;

    // Closes the handle held so far (unless it is handle itself) and holds handle instead.
    void Reset(Handle handle = Handle())
    {
        if (handle_ != handle && Traits::IsValid(handle_)) {
            Traits::Close(handle_);
        }
        handle_ = handle;
    }
    // Gives the handle up without closing it; the caller owns it from now on.
    Handle Take()
    {
        const Handle handle = handle_;
        handle_ = Handle();
        return handle;
    }
    Handle Get() const { return handle_; }
    explicit operator bool() const { return Traits::IsValid(handle_); }

private:
    Handle handle_ = Handle();
};

// Process, thread, event and file handles. Functions that fail give null or
// INVALID_HANDLE_VALUE, depending on the function: neither is ever closed.
struct KernelHandleTraits {
    using Handle = HANDLE;
    static bool IsValid(HANDLE handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE handle);
};

struct RegistryKeyTraits {
    using Handle = HKEY;
    static bool IsValid(HKEY key) { return key != nullptr; }
    static void Close(HKEY key);
};

struct IconTraits {
    using Handle = HICON;
    static bool IsValid(HICON icon) { return icon != nullptr; }
    static void Close(HICON icon);
};

// Pens, brushes, bitmaps, regions and fonts of our own.
template <typename GdiObject>
struct GdiObjectTraits {
    using Handle = GdiObject;
    static bool IsValid(GdiObject object) { return object != nullptr; }
    static void Close(GdiObject object) { DeleteObject(object); }
};

// A DC we created (CreateCompatibleDC, CreateDC): DeleteDC, never ReleaseDC.
struct CreatedDCTraits {
    using Handle = HDC;
    static bool IsValid(HDC dc) { return dc != nullptr; }
    static void Close(HDC dc);
};

// A window's DC from GetDC: ReleaseDC to the window it belongs to, never DeleteDC.
struct WindowDCTraits {
    using Handle = HDC;
    static bool IsValid(HDC dc) { return dc != nullptr; }
    static void Close(HDC dc);
};

// One reference to a COM object, released (never deleted) by the holder: hand
// it a reference of its own, as a creating call returns one, or AddRef first.
template <typename Interface>
struct ComReferenceTraits {
    using Handle = Interface*;
    static bool IsValid(Interface* object) { return object != nullptr; }
    static void Close(Interface* object) { object->Release(); }
};

using ScopedKernelHandle = ScopedHandle<KernelHandleTraits>;
using ScopedRegistryKey = ScopedHandle<RegistryKeyTraits>;
using ScopedIcon = ScopedHandle<IconTraits>;
using ScopedPen = ScopedHandle<GdiObjectTraits<HPEN>>;
using ScopedBrush = ScopedHandle<GdiObjectTraits<HBRUSH>>;
using ScopedBitmap = ScopedHandle<GdiObjectTraits<HBITMAP>>;
using ScopedRegion = ScopedHandle<GdiObjectTraits<HRGN>>;
using ScopedMemoryDC = ScopedHandle<CreatedDCTraits>;
using ScopedWindowDC = ScopedHandle<WindowDCTraits>;
template <typename Interface>
using ScopedComReference = ScopedHandle<ComReferenceTraits<Interface>>;
