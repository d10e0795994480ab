#pragma once

#include <windows.h>

#include <utility>

// Owns one icon and destroys it with DestroyIcon. Move-only, so an icon is
// never destroyed twice.
class ScopedIcon {
public:
    explicit ScopedIcon(HICON icon = nullptr) : icon_(icon) {}
    ~ScopedIcon() { Reset(); }
    ScopedIcon(ScopedIcon&& other) noexcept : icon_(std::exchange(other.icon_, nullptr)) {}
    ScopedIcon& operator=(ScopedIcon&& other) noexcept
    {
        if (this != &other) {
            Reset(std::exchange(other.icon_, nullptr));
        }
        return *this;
    }
    ScopedIcon(const ScopedIcon&) = delete;
    ScopedIcon& operator=(const ScopedIcon&) = delete;

    // Destroys the icon held so far and takes icon instead.
    void Reset(HICON icon = nullptr)
    {
        if (icon_) {
            DestroyIcon(icon_);
        }
        icon_ = icon;
    }
    HICON Get() const { return icon_; }

private:
    HICON icon_;
};
