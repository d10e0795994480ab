#include "catalogue/UninstallLocations.h"

std::vector<UninstallLocation> UninstallLocations()
{
    std::vector<UninstallLocation> locations{{HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY, true, false}};
    if (SystemHas64BitView()) {
        locations.push_back({HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, true, true});
    }
    locations.push_back({HKEY_CURRENT_USER, 0, false, false});
    return locations;
}

bool SystemHas64BitView()
{
    if (sizeof(void*) == 8) {
        return true;
    }
    // Looked up at run time: systems without WOW64 have no IsWow64Process.
    using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);
    const auto isWow64Process = reinterpret_cast<IsWow64ProcessFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "IsWow64Process")));
    BOOL wow64 = FALSE;
    return isWow64Process && isWow64Process(GetCurrentProcess(), &wow64) && wow64;
}
