#include "tests/support/TestFolders.h"

#include <windows.h>

#include <filesystem>

namespace fs = std::filesystem;

std::wstring ModuleDirectory()
{
    wchar_t path[MAX_PATH] = {};
    const std::wstring file(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
    return file.substr(0, file.find_last_of(L'\\'));
}

ScratchFolder::ScratchFolder(const std::wstring& prefix)
{
    static int counter = 0;
    path_ = (fs::temp_directory_path()
        / (prefix + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter)))
                .wstring();
    fs::create_directories(path_);
}

ScratchFolder::~ScratchFolder()
{
    // A program started from here may still be exiting, which keeps its file in use for a moment.
    std::error_code error;
    for (int i = 0; i < 100 && fs::remove_all(path_, error) == static_cast<std::uintmax_t>(-1); ++i) {
        Sleep(50);
    }
}
