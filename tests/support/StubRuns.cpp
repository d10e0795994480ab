#include "tests/support/StubRuns.h"

#include <windows.h>

#include <algorithm>
#include <filesystem>

namespace fs = std::filesystem;

std::vector<StubRun> StubRuns::Take(size_t count, unsigned timeoutMs)
{
    // The stub renames a finished record into place, so every ".rec" is whole.
    const auto records = [this] {
        std::vector<fs::path> files;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder_.Path())) {
            if (entry.path().extension() == L".rec") {
                files.push_back(entry.path());
            }
        }
        return files;
    };
    for (const ULONGLONG deadline = GetTickCount64() + timeoutMs;
         records().size() < count && GetTickCount64() < deadline;) {
        Sleep(50);
    }
    std::vector<StubRun> runs;
    for (const fs::path& path : records()) {
        // UTF-16: the command line, a line break, the handle state.
        const std::string bytes = ReadModuleFile(path.wstring());
        const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
        const size_t lineEnd = text.find(L'\n');
        runs.push_back({text.substr(0, lineEnd), text.substr(lineEnd + 1)});
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
    for (const StubRun& run : Take(count, timeoutMs)) {
        const size_t start = run.commandLine.find(L"tag:") + 4;
        tags.push_back(run.commandLine.substr(start, run.commandLine.find_first_of(L" \"", start) - start));
    }
    std::sort(tags.begin(), tags.end());
    return tags;
}
