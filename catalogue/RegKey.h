#pragma once

#include <windows.h>

// Owns one open registry key and closes it on every path. Move-only, so a key
// is never closed twice.
class RegKey {
public:
    RegKey() = default;
    explicit RegKey(HKEY key) : key_(key) {}
    ~RegKey() { Close(); }
    RegKey(RegKey&& other) noexcept : key_(other.key_) { other.key_ = nullptr; }
    RegKey& operator=(RegKey&& other) noexcept
    {
        if (this != &other) {
            Close();
            key_ = other.key_;
            other.key_ = nullptr;
        }
        return *this;
    }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    // Opens path under root; any key held before is closed first.
    bool Open(HKEY root, const wchar_t* path, REGSAM access)
    {
        Close();
        return RegOpenKeyExW(root, path, 0, access, &key_) == ERROR_SUCCESS;
    }
    HKEY Get() const { return key_; }

private:
    void Close()
    {
        if (key_) {
            RegCloseKey(key_);
            key_ = nullptr;
        }
    }

    HKEY key_ = nullptr;
};
