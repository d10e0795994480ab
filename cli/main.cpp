#include "base/ComApartment.h"
#include "cli/FarrowgateCli.h"

#include <string>
#include <vector>

int wmain(int argc, wchar_t** argv)
{
    const ComApartment apartment;
    return RunFarrowgateCli(std::vector<std::wstring>(argv + 1, argv + argc));
}
