#include "catalogue/EnvironmentText.h"

#include <windows.h>

#include <vector>

bool ExpandEnvironmentText(const std::wstring& text, unsigned capacity, std::wstring& expanded)
{
    // Asked with no buffer, the platform gives the size the expansion needs, terminator included.
    const DWORD needed = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    if (needed == 0 || needed > capacity) {
        return false;
    }
    std::vector<wchar_t> buffer(needed);
    const DWORD length = ExpandEnvironmentStringsW(text.c_str(), buffer.data(), needed);
    // A variable that grew between the two calls leaves the expansion cut short.
    if (length == 0 || length > needed) {
        return false;
    }
    expanded.assign(buffer.data(), length - 1);
    return true;
}
