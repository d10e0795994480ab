#include "tests/e2e/UninstallRecords.h"

#include "catalogue/ScopedHandle.h"

#include <windows.h>

#include <memory>

namespace {

constexpr DWORD kPollMs = 50;

std::wstring ReadRecord(const std::wstring& path)
{
    HANDLE opened = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        return L"";
    }
    ScopedHandle file(opened);
    wchar_t text[512] = {};
    DWORD read = 0;
    ReadFile(file.Get(), text, sizeof(text) - sizeof(wchar_t), &read, nullptr);
    return std::wstring(text, read / sizeof(wchar_t));
}

} // namespace

UninstallRecords::UninstallRecords()
{
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    folder_ = std::wstring(temp) + L"farrowgate-e2e-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder_.c_str(), nullptr);
}

UninstallRecords::~UninstallRecords()
{
    Take();
    RemoveDirectoryW(folder_.c_str());
}

std::vector<std::wstring> UninstallRecords::RecordFiles() const
{
    std::vector<std::wstring> files;
    WIN32_FIND_DATAW found = {};
    HANDLE opened = FindFirstFileW((folder_ + L"\\*.rec").c_str(), &found);
    if (opened == INVALID_HANDLE_VALUE) {
        return files;
    }
    const std::unique_ptr<void, decltype(&FindClose)> search(opened, &FindClose);
    do {
        files.push_back(folder_ + L"\\" + found.cFileName);
    } while (FindNextFileW(search.get(), &found));
    return files;
}

std::vector<std::wstring> UninstallRecords::Take()
{
    std::vector<std::wstring> tags;
    for (const std::wstring& path : RecordFiles()) {
        tags.push_back(ReadRecord(path));
        DeleteFileW(path.c_str());
    }
    return tags;
}

std::vector<std::wstring> UninstallRecords::TakeAtLeast(size_t count, unsigned timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (RecordFiles().size() < count && GetTickCount64() < deadline) {
        Sleep(kPollMs);
    }
    return Take();
}
