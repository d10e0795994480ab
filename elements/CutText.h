#pragma once

#include <algorithm>
#include <string>
#include <string_view>

// An element's copy of a text: up to its first terminator, at most maxLength units.
inline std::wstring CutText(std::wstring_view text, std::size_t maxLength)
{
    return std::wstring(text.substr(0, std::min(text.find(L'\0'), maxLength)));
}
