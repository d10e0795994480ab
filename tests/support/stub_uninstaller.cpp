// Stands in for a product's uninstaller: records how it was started. A window
// program, so that starting it shows nothing on the screen.
//
//   stub_uninstaller.exe [ARGUMENTS ...] RECORD_FOLDER
//
// Any arguments may come before the folder; these also act:
//   --hold EVENT           first waits (30 s at most) for the named event, so
//                          a test can tell whether its launcher waited
//   --check-handle N       records whether the handle value N is open here,
//                          so a test can tell whether its launcher passed handles on
//   --remove HKLM|HKCU KEY deletes that product's Uninstall subkey first, as
//                          a finished uninstaller does
// Then it writes "<process id>.rec" into RECORD_FOLDER (see StubRuns).
#include <windows.h>
#include <shellapi.h>

#include "base/ScopedHandle.h"

#include <memory>
#include <string>

namespace {

constexpr const wchar_t* kUninstallKeyPath = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

void RemoveProductKey(const wchar_t* root, const wchar_t* keyName)
{
    const HKEY rootKey = wcscmp(root, L"HKLM") == 0 ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    RegDeleteTreeW(rootKey, (std::wstring(kUninstallKeyPath) + L"\\" + keyName).c_str());
}

std::wstring HandleState(const wchar_t* value)
{
    DWORD flags = 0;
    const auto handle = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(wcstoul(value, nullptr, 10)));
    return GetHandleInformation(handle, &flags) ? L"open" : L"not open";
}

std::wstring CurrentDirectory()
{
    wchar_t directory[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, directory);
    return directory;
}

std::wstring ModulePath()
{
    wchar_t module[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    return module;
}

bool WriteRecord(const std::wstring& folder, const std::wstring& record)
{
    const std::wstring target = folder + L"\\" + std::to_wstring(GetCurrentProcessId()) + L".rec";
    const std::wstring partial = target + L".partial";
    {
        const ScopedKernelHandle file(
            CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        DWORD written = 0;
        if (!file
            || !WriteFile(file.Get(), record.data(), static_cast<DWORD>(record.size() * sizeof(wchar_t)), &written,
                nullptr)) {
            return false;
        }
    }
    // Renamed into place, so a reader never sees half a record.
    return MoveFileExW(partial.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    int argc = 0;
    const std::unique_ptr<wchar_t*, decltype(&LocalFree)> args(CommandLineToArgvW(GetCommandLineW(), &argc),
        &LocalFree);
    wchar_t** argv = args.get();
    if (!argv || argc < 2) {
        return 2;
    }
    std::wstring handleState;
    for (int i = 1; i + 1 < argc; ++i) {
        if (wcscmp(argv[i], L"--hold") == 0) {
            const ScopedKernelHandle event(OpenEventW(SYNCHRONIZE, FALSE, argv[i + 1]));
            WaitForSingleObject(event.Get(), 30000);
        } else if (wcscmp(argv[i], L"--check-handle") == 0) {
            handleState = HandleState(argv[i + 1]);
        } else if (wcscmp(argv[i], L"--remove") == 0 && i + 2 < argc) {
            RemoveProductKey(argv[i + 1], argv[i + 2]);
        }
    }
    const std::wstring record = std::wstring(GetCommandLineW()) + L"\n" + CurrentDirectory() + L"\n" + ModulePath()
        + L"\n" + handleState + L"\n";
    return WriteRecord(argv[argc - 1], record) ? 0 : 4;
}
