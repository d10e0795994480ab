#include "tests/support/StubRuns.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// The stub renames a finished record into place, so every ".rec" is whole.
std::vector<fs::path> RecordFiles(const fs::path& folder)
{
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() == L".rec") {
            files.push_back(entry.path());
        }
    }
    return files;
}

} // namespace

std::vector<StubRun> StubRuns::Take(size_t count, unsigned timeoutMs)
{
    for (const ULONGLONG deadline = GetTickCount64() + timeoutMs;
         RecordFiles(folder_.Path()).size() < count && GetTickCount64() < deadline;) {
        Sleep(50);
    }
    std::vector<StubRun> runs;
    for (const fs::path& path : RecordFiles(folder_.Path())) {
        // Two lines of UTF-16: command line, handle state.
        std::ifstream file(path, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        std::wistringstream lines(
            std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t)));
        StubRun run;
        std::getline(std::getline(lines, run.commandLine), run.handleState);
        runs.push_back(run);
        file.close();
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
    return tags;
}

std::wstring StubUninstallerPath()
{
    return ModuleDirectory() + L"\\stub_uninstaller.exe";
}
