// Stands in for a product's uninstaller and records how it was started; a window program, so starting it shows
// nothing. stub_uninstaller.exe [ARGUMENTS ...] RECORD_FOLDER takes any arguments before the folder; these also act:
//   --hold EVENT            first waits (30 s at most) for the named event
//   --check-handle N        records whether the handle value N is, here, the test's section holding "inherited"
//   --registry PATH         acts on the test's scratch registry at PATH (given before --remove)
//   --remove HKLM|HKCU KEY  deletes that product's Uninstall subkey first, as a finished uninstaller does
//   --exit CODE             ends with CODE once the record is written
//   --handover              starts the stub again without this option and ends at once, as uninstallers that run
//                           a copy of themselves do; the copy does the rest
// Then it writes its command line into RECORD_FOLDER (read by StubRuns), after what --check-handle found.
#include <windows.h>

#include "base/ScopedHandle.h"
#include "catalogue/UninstallScan.h"
#include "tests/support/ScratchRegistry.h"

#include <filesystem>
#include <fstream>
#include <string>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        return 2;
    }
    std::wstring record = GetCommandLineW();
    if (const size_t handover = record.find(L" --handover "); handover != std::wstring::npos) {
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION copy = {};
        const BOOL started = CreateProcessW(nullptr, record.erase(handover, wcslen(L" --handover")).data(), nullptr,
            nullptr, FALSE, 0, nullptr, nullptr, &startup, &copy);
        const ScopedKernelHandle process(copy.hProcess), thread(copy.hThread);
        return started ? 0 : 5;
    }
    int exitCode = 0;
    for (int i = 1; i + 1 < argc; ++i) {
        const std::wstring option = argv[i];
        if (option == L"--hold") {
            WaitForSingleObject(ScopedKernelHandle(OpenEventW(SYNCHRONIZE, FALSE, argv[i + 1])).Get(), 30000);
        } else if (option == L"--check-handle") {
            // Whether the value is open says nothing: this process may hold a handle of its own there.
            const auto handle = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(wcstoul(argv[i + 1], nullptr, 10)));
            const auto* view = static_cast<const wchar_t*>(MapViewOfFile(handle, FILE_MAP_READ, 0, 0, 0));
            record.insert(0, view && wcscmp(view, L"inherited") == 0 ? L"inherited: " : L"not inherited: ");
        } else if (option == L"--remove" && i + 2 < argc) {
            RegDeleteTreeW(wcscmp(argv[i + 1], L"HKLM") == 0 ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER,
                (std::wstring(kUninstallKeyPath) + L"\\" + argv[i + 2]).c_str());
        } else if (option == L"--registry") {
            UseScratchRegistry(argv[i + 1]);
        } else if (option == L"--exit") {
            exitCode = _wtoi(argv[i + 1]);
        }
    }
    // Written beside the folder and moved in, so a reader never sees half a record.
    const std::wstring folder = argv[argc - 1], name = std::to_wstring(GetCurrentProcessId()),
                       partial = folder + L"-" + name;
    if (!std::ofstream(std::filesystem::path(partial), std::ios::binary)
             .write(reinterpret_cast<const char*>(record.data()),
                 static_cast<std::streamsize>(record.size() * sizeof(wchar_t)))) {
        return 3;
    }
    return MoveFileExW(partial.c_str(), (folder + L"\\" + name).c_str(), 0) ? exitCode : 4;
}
