#include "tests/support/StubRuns.h"

#include <windows.h>

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

std::vector<std::wstring> StubRuns::Take(size_t count, unsigned timeoutMs)
{
    // The stub moves each record in once written, so every file here is whole.
    const auto records = [this] { return std::vector<fs::path>(fs::directory_iterator(folder_.Path()), {}); };
    for (const ULONGLONG deadline = GetTickCount64() + timeoutMs;
         records().size() < count && GetTickCount64() < deadline;) {
        Sleep(50);
    }
    std::vector<std::wstring> runs;
    for (const fs::path& path : records()) {
        const std::string bytes = ReadModuleFile(path.wstring()); // UTF-16
        runs.emplace_back(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
        fs::remove(path);
    }
    return runs;
}

std::wstring StubRuns::ExpandableCommand(const std::wstring& arguments) const
{
    SetEnvironmentVariableW(L"FG_STUB", StubUninstallerPath().c_str());
    SetEnvironmentVariableW(L"FG_RUNS", Folder().c_str());
    return L"\"%FG_STUB%\" " + (arguments.empty() ? L"" : arguments + L" ") + L"\"%FG_RUNS%\"";
}

std::vector<std::wstring> StubRuns::TakeTags(size_t count, unsigned timeoutMs)
{
    std::vector<std::wstring> tags;
    for (const std::wstring& run : Take(count, timeoutMs)) {
        const size_t start = run.find(L"tag:") + 4;
        tags.push_back(run.substr(start, run.find_first_of(L" \"", start) - start));
    }
    std::sort(tags.begin(), tags.end());
    return tags;
}
