#pragma once

#include <string>

// The folder the test program runs from, without a trailing backslash: the
// build puts the files and helper programs the tests use next to it.
std::wstring ModuleDirectory();

// A fresh folder under the temporary folder, removed with everything in it
// at the end of its scope.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::wstring& prefix);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::wstring& Path() const { return path_; }
    // path relative to the folder, made absolute.
    std::wstring operator/(const std::wstring& relative) const { return path_ + L"\\" + relative; }

private:
    std::wstring path_;
};
