// Times what 20 refresh ticks cost when nothing has changed: a scan on every
// tick, as without registry watches, against a look at the watches.
//
// 1,000 uninstall subkeys per root (a tenth of them the vendor's products).
// Prints the wall time and this process's CPU time of the 20 ticks; under
// Wine most of a scan's work happens in the wineserver, which only the wall
// time shows.
#include "catalogue/ProductMatch.h"
#include "catalogue/UninstallWatch.h"
#include "tests/support/ScratchRegistry.h"

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int kProductsPerRoot = 1000;
constexpr int kTicks = 20;

void Seed(ScratchRegistry& registry, bool machine)
{
    for (int i = 0; i < kProductsPerRoot; ++i) {
        const std::wstring number = std::to_wstring(i);
        const std::wstring folder = L"C:\\Program Files\\Vendor " + number;
        const std::wstring key = L"{" + number + L"-0A2B-4C3D}";
        registry.AddProduct(machine, key, (i % 10 == 0 ? L"Velmo Product " : L"Example Application ") + number,
            L"\"" + folder + L"\\uninstall.exe\" /remove");
        registry.Write(machine, key, L"DisplayIcon", folder + L"\\app.exe,0");
        registry.Write(machine, key, L"DisplayVersion", L"1.2." + number);
    }
}

double Seconds(const FILETIME& time)
{
    return static_cast<double>(ULARGE_INTEGER{{time.dwLowDateTime, time.dwHighDateTime}}.QuadPart) / 1e7;
}

double ProcessCpuSeconds()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    return Seconds(kernel) + Seconds(user);
}

void Time(const char* what, const std::function<void()>& tick)
{
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    const double cpuStart = ProcessCpuSeconds();
    QueryPerformanceCounter(&start);
    for (int i = 0; i < kTicks; ++i) {
        tick();
    }
    QueryPerformanceCounter(&end);
    const double wall = static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
    std::printf("%-28s wall %9.3f ms   cpu %9.3f ms\n", what, wall * 1e3,
        std::max(0.0, ProcessCpuSeconds() - cpuStart) * 1e3);
}

} // namespace

int main()
{
    ScratchRegistry registry;
    Seed(registry, true);
    Seed(registry, false);
    InstalledEntryList shown;
    CollectTargetProducts(shown);

    std::printf("%d idle ticks, %d products per root:\n", kTicks, kProductsPerRoot);
    Time("scan on every tick", [&] {
        InstalledEntryList fresh;
        CollectTargetProducts(fresh);
        SameEntries(fresh, shown);
    });
    UninstallWatch watch;
    watch.Arm();
    Time("scan when a watch fired", [&] {
        if (watch.ScanNeeded()) {
            watch.Arm();
            InstalledEntryList fresh;
            CollectTargetProducts(fresh);
            SameEntries(fresh, shown);
        }
    });
    return 0;
}
