#include "tests/support/ModuleDirectory.h"

#include <windows.h>

std::wstring ModulePath()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::wstring ModuleDirectory()
{
    const std::wstring path = ModulePath();
    return path.substr(0, path.find_last_of(L'\\'));
}
