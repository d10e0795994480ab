#include "base/ComApartment.h"
#include "base/ScopedHandle.h"
#include "cli/FarrowgateCli.h"

#include <string>
#include <vector>

namespace {

// Whether the process's token is elevated; when that cannot be told, it counts as elevated, so that per-user
// products are run only when asked for.
bool RunsElevated()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return true;
    }
    const ScopedKernelHandle held(token);
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    return !GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size)
        || elevation.TokenIsElevated != 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const ComApartment apartment;
    return RunFarrowgateCli(std::vector<std::wstring>(argv + 1, argv + argc), RunsElevated());
}
