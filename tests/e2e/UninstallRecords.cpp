#include "tests/e2e/UninstallRecords.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

constexpr DWORD kPollMs = 50;

// The records' paths; a writer renames a finished record into place, so each is whole.
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

// A record is the UTF-16 text its writer was given.
std::wstring ReadRecord(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
}

} // namespace

UninstallRecords::UninstallRecords()
    : folder_((fs::temp_directory_path() / (L"farrowgate-e2e-" + std::to_wstring(GetCurrentProcessId()))).wstring())
{
    fs::create_directory(folder_);
}

UninstallRecords::~UninstallRecords()
{
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
}

std::vector<std::wstring> UninstallRecords::Take()
{
    std::vector<std::wstring> tags;
    std::error_code ignored;
    for (const fs::path& path : RecordFiles(folder_)) {
        tags.push_back(ReadRecord(path));
        fs::remove(path, ignored);
    }
    return tags;
}

std::vector<std::wstring> UninstallRecords::TakeAtLeast(size_t count, unsigned timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (RecordFiles(folder_).size() < count && GetTickCount64() < deadline) {
        Sleep(kPollMs);
    }
    return Take();
}
