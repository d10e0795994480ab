#pragma once

#include <windows.h>

// Owns one kernel handle (process, thread, event) and closes it. Move-only.
class ScopedHandle {
public:
    explicit ScopedHandle(HANDLE handle = nullptr) : handle_(handle) {}
    ~ScopedHandle()
    {
        if (handle_) {
            CloseHandle(handle_);
        }
    }
    ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
    ScopedHandle& operator=(ScopedHandle&&) = delete;
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;

    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};
