#include "tests/support/ModuleDirectory.h"

#include <windows.h>

std::wstring ModuleDirectory()
{
    wchar_t path[MAX_PATH] = {};
    const std::wstring file(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
    return file.substr(0, file.find_last_of(L'\\'));
}
