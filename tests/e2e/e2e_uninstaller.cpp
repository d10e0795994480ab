// Stands in for a product's uninstaller in the end-to-end tests. A window
// program, so that starting it shows nothing on the screen.
//
//   e2e_uninstaller.exe TAG [--remove HKLM|HKCU KEYNAME] RECORD_FOLDER
//
// With --remove it first deletes its product's subkey of the Uninstall key,
// as a finished uninstaller does. Then it writes "<process id>.rec" holding
// TAG into RECORD_FOLDER, so once the record is there the key is gone.
#include <windows.h>
#include <shellapi.h>

#include "base/ScopedHandle.h"

#include <memory>
#include <string>

namespace {

constexpr const wchar_t* kUninstallKeyPath = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

bool RemoveProductKey(const wchar_t* root, const wchar_t* keyName)
{
    const HKEY rootKey = wcscmp(root, L"HKLM") == 0 ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    const std::wstring path = std::wstring(kUninstallKeyPath) + L"\\" + keyName;
    return RegDeleteTreeW(rootKey, path.c_str()) == ERROR_SUCCESS;
}

bool WriteRecord(const std::wstring& folder, const std::wstring& tag)
{
    const std::wstring target = folder + L"\\" + std::to_wstring(GetCurrentProcessId()) + L".rec";
    const std::wstring partial = target + L".partial";
    {
        const ScopedKernelHandle file(CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        if (!file) {
            return false;
        }
        DWORD written = 0;
        WriteFile(file.Get(), tag.data(), static_cast<DWORD>(tag.size() * sizeof(wchar_t)), &written, nullptr);
    }
    // Renamed into place, so a reader never sees half a record.
    return MoveFileExW(partial.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    int argc = 0;
    const std::unique_ptr<wchar_t*, decltype(&LocalFree)> args(
        CommandLineToArgvW(GetCommandLineW(), &argc), &LocalFree);
    wchar_t** argv = args.get();
    if (!argv || (argc != 3 && !(argc == 6 && wcscmp(argv[2], L"--remove") == 0))) {
        return 2;
    }
    const bool removed = argc == 3 || RemoveProductKey(argv[3], argv[4]);
    if (!WriteRecord(argv[argc - 1], argv[1])) {
        return 4;
    }
    return removed ? 0 : 3;
}
