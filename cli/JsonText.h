#pragma once

#include <string>

// text as a JSON string, quotes included: the quote, the backslash and the
// control characters escaped, and so is a surrogate without its pair, which
// no UTF-8 can carry; everything else as it is.
std::wstring JsonString(const std::wstring& text);
