#pragma once

#include "base/ScopedHandle.h"

#include <windows.h>

// An open registry key, closed on every path, that can open itself.
class RegKey : public ScopedRegistryKey {
public:
    using ScopedRegistryKey::ScopedRegistryKey;

    // Opens path under root. The key held before is closed either way; on
    // failure nothing is held.
    bool Open(HKEY root, const wchar_t* path, REGSAM access)
    {
        HKEY opened = nullptr;
        const bool ok = RegOpenKeyExW(root, path, 0, access, &opened) == ERROR_SUCCESS;
        Reset(ok ? opened : nullptr);
        return ok;
    }
};
