#pragma once

#include <windows.h>

#include <string>

// Text written to a standard handle: as UTF-16 through WriteConsoleW when the
// handle is a console, so that every script shows, and as UTF-8 when it is
// redirected to a file or a pipe.
class ConsoleText {
public:
    explicit ConsoleText(DWORD standardHandle);

    void Write(const std::wstring& text) const;
    void WriteLine(const std::wstring& line) const { Write(line + L"\r\n"); }

private:
    HANDLE handle_;
    bool console_;
};

// text as UTF-8; a surrogate without its pair becomes U+FFFD.
std::string Utf8(const std::wstring& text);
