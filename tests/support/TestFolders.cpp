#include "tests/support/TestFolders.h"

#include "base/ScopedHandle.h"

#include <filesystem>
#include <fstream>
#include <iterator>

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
    const int size = static_cast<int>(bytes.size());
    std::wstring text(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), size, text.data(), static_cast<int>(text.size()));
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
    ProgramRun run;
    GetExitCodeProcess(process.Get(), &run.exitCode);
    run.output.resize(GetFileSize(file.Get(), nullptr));
    DWORD got = 0;
    SetFilePointer(file.Get(), 0, nullptr, FILE_BEGIN);
    ReadFile(file.Get(), run.output.data(), static_cast<DWORD>(run.output.size()), &got, nullptr);
    return run;
}
