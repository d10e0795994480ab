#include "tests/support/StubRuns.h"

#include "tests/support/ModuleDirectory.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace fs = std::filesystem;

namespace {

constexpr DWORD kPollMs = 50;

// The records' paths; the stub renames a finished record into place, so each is whole.
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

// A record is four lines of UTF-16: command line, current directory, module, handle state.
StubRun ReadRecord(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::wistringstream lines(
        std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t)));
    StubRun run;
    std::getline(lines, run.commandLine);
    std::getline(lines, run.directory);
    std::getline(lines, run.module);
    std::getline(lines, run.handleState);
    return run;
}

} // namespace

std::wstring StubRun::Tag() const
{
    const size_t start = commandLine.find(L"tag:");
    if (start == std::wstring::npos) {
        return L"";
    }
    const size_t end = commandLine.find_first_of(L" \"", start);
    return commandLine.substr(start + 4, end == std::wstring::npos ? std::wstring::npos : end - start - 4);
}

StubRuns::StubRuns() : folder_(L"farrowgate-runs") {}

std::vector<StubRun> StubRuns::Take()
{
    std::vector<StubRun> runs;
    std::error_code ignored;
    for (const fs::path& path : RecordFiles(folder_.Path())) {
        runs.push_back(ReadRecord(path));
        fs::remove(path, ignored);
    }
    return runs;
}

std::vector<StubRun> StubRuns::TakeAtLeast(size_t count, unsigned timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (RecordFiles(folder_.Path()).size() < count && GetTickCount64() < deadline) {
        Sleep(kPollMs);
    }
    return Take();
}

std::vector<std::wstring> StubRuns::TakeTags(size_t count, unsigned timeoutMs)
{
    std::vector<std::wstring> tags;
    for (const StubRun& run : TakeAtLeast(count, timeoutMs)) {
        tags.push_back(run.Tag());
    }
    return tags;
}

std::wstring StubUninstallerPath()
{
    return ModuleDirectory() + L"\\stub_uninstaller.exe";
}
