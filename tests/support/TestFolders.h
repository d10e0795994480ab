#pragma once

#include <windows.h>

#include <string>
#include <utility>

// The folder the test program runs from, without a trailing backslash: the build puts the files and helper
// programs the tests use next to it.
std::wstring ModuleDirectory();

// The bytes of a file, a relative name taken from the test program's folder.
std::string ReadModuleFile(const std::wstring& name);

// UTF-8 as text; "(not UTF-8)" for bytes that are not.
std::wstring FromUtf8(const std::string& bytes);

// A fresh folder under the temporary folder, removed with everything in it at the end of its scope.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::wstring& prefix);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::wstring& Path() const { return path_; }
    std::wstring operator/(const std::wstring& relative) const { return path_ + L"\\" + relative; }

private:
    std::wstring path_;
};

// A program run to its end: its exit code, and its standard output and error together as UTF-8 text, its line ends
// read as "\n".
using ProgramRun = std::pair<DWORD, std::wstring>;
ProgramRun RunProgram(const std::wstring& commandLine);
