#include "cli/ConsoleText.h"

#include <algorithm>

namespace {

// The console of Windows 7 takes at most about 64 KB per write.
constexpr size_t kConsoleChunk = 8192;

} // namespace

ConsoleText::ConsoleText(DWORD standardHandle) : handle_(GetStdHandle(standardHandle))
{
    DWORD mode = 0;
    console_ = GetConsoleMode(handle_, &mode) != FALSE;
}

void ConsoleText::Write(const std::wstring& text) const
{
    if (console_) {
        for (size_t at = 0; at < text.size();) {
            DWORD written = 0;
            const auto count = static_cast<DWORD>(std::min(kConsoleChunk, text.size() - at));
            if (!WriteConsoleW(handle_, text.data() + at, count, &written, nullptr) || written == 0) {
                return;
            }
            at += written;
        }
        return;
    }
    const std::string bytes = Utf8(text);
    for (size_t at = 0; at < bytes.size();) {
        DWORD written = 0;
        const auto count = static_cast<DWORD>(bytes.size() - at);
        if (!WriteFile(handle_, bytes.data() + at, count, &written, nullptr) || written == 0) {
            return;
        }
        at += written;
    }
}

std::string Utf8(const std::wstring& text)
{
    const int length = static_cast<int>(text.size());
    std::string bytes(WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, bytes.data(), static_cast<int>(bytes.size()), nullptr,
        nullptr);
    return bytes;
}
