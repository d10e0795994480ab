#include "cli/JsonText.h"

namespace {

constexpr const wchar_t* kHexDigits = L"0123456789ABCDEF";

bool IsHighSurrogate(wchar_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(wchar_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

// A code unit that UTF-8 can carry: anything but half of a surrogate pair alone.
bool Encodable(const std::wstring& text, size_t at)
{
    const wchar_t c = text[at];
    if (IsHighSurrogate(c)) {
        return at + 1 < text.size() && IsLowSurrogate(text[at + 1]);
    }
    return !IsLowSurrogate(c) || (at > 0 && IsHighSurrogate(text[at - 1]));
}

} // namespace

std::wstring JsonString(const std::wstring& text)
{
    std::wstring json = L"\"";
    for (size_t at = 0; at < text.size(); ++at) {
        const wchar_t c = text[at];
        if (c == L'"' || c == L'\\') {
            json += L'\\';
            json += c;
        } else if (c < 0x20 || !Encodable(text, at)) {
            json += L"\\u";
            for (int shift = 12; shift >= 0; shift -= 4) {
                json += kHexDigits[(c >> shift) & 0xF];
            }
        } else {
            json += c;
        }
    }
    return json + L"\"";
}
