#include "tests/support/TestFolders.h"

#include "base/ScopedHandle.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>

namespace fs = std::filesystem;

std::wstring ModuleDirectory()
{
    wchar_t path[MAX_PATH] = {};
    const std::wstring file(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
    return file.substr(0, file.find_last_of(L'\\'));
}

std::string ReadModuleFile(const std::wstring& name)
{
    std::ifstream file(fs::path(ModuleDirectory()) / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

std::wstring FromUtf8(const std::string& bytes)
{
    std::wstring text(bytes.size(), L'\0'); // never more UTF-16 units than bytes
    text.resize(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
        text.data(), static_cast<int>(text.size())));
    return bytes.empty() || !text.empty() ? text : L"(not UTF-8)";
}

ScratchFolder::ScratchFolder(const std::wstring& prefix)
{
    static int counter = 0;
    const std::wstring name =
        prefix + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++counter);
    path_ = (fs::temp_directory_path() / name).wstring();
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

ProgramRun RunProgram(const std::wstring& commandLine)
{
    // The output goes into a file: not a pipe, which under Wine stays open as long as any program it starts runs.
    wchar_t folder[MAX_PATH], path[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"fgr", 0, path);
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    const ScopedKernelHandle file(CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
        &inheritable, CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = file.Get();
    PROCESS_INFORMATION child = {};
    CreateProcessW(nullptr, std::wstring(commandLine).data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
        &child);
    const ScopedKernelHandle process(child.hProcess), thread(child.hThread);
    WaitForSingleObject(process.Get(), INFINITE);
    DWORD exitCode = ERROR_PROCESS_ABORTED;
    GetExitCodeProcess(process.Get(), &exitCode);
    std::string output(GetFileSize(file.Get(), nullptr), '\0');
    OVERLAPPED start = {}; // read from the file's beginning
    ReadFile(file.Get(), output.data(), static_cast<DWORD>(output.size()), nullptr, &start);
    return {exitCode, std::regex_replace(FromUtf8(output), std::wregex(L"\r\n"), L"\n")};
}
