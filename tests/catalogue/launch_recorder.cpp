// Stands in for an uninstaller: records how it was started. The last
// argument names a folder, into which each run writes "<process id>.rec";
// "--hold EVENT" first waits for a named event, so a test can tell whether
// its launcher waited; "--check-handle N" records whether the handle value N
// is open in this process, so a test can tell whether its launcher passed
// handles on.
#include <windows.h>

#include <cwchar>
#include <string>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        return 2;
    }
    std::wstring handleState;
    for (int i = 1; i + 1 < argc; ++i) {
        if (wcscmp(argv[i], L"--check-handle") == 0) {
            DWORD flags = 0;
            const auto value = static_cast<ULONG_PTR>(wcstoul(argv[i + 1], nullptr, 10));
            handleState = GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags) ? L"open" : L"not open";
        }
        if (wcscmp(argv[i], L"--hold") == 0) {
            HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, argv[i + 1]);
            if (event) {
                WaitForSingleObject(event, 30000);
                CloseHandle(event);
            }
        }
    }
    wchar_t directory[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, directory);
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    const std::wstring record =
        std::wstring(GetCommandLineW()) + L"\n" + directory + L"\n" + module + L"\n" + handleState + L"\n";

    // Written aside and renamed, so a reader never sees half a record.
    const std::wstring target = std::wstring(argv[argc - 1]) + L"\\" + std::to_wstring(GetCurrentProcessId()) + L".rec";
    const std::wstring partial = target + L".partial";
    HANDLE file = CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 3;
    }
    DWORD written = 0;
    WriteFile(file, record.data(), static_cast<DWORD>(record.size() * sizeof(wchar_t)), &written, nullptr);
    CloseHandle(file);
    return MoveFileExW(partial.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 4;
}
