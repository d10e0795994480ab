// Times the product scan against the bare registry calls it cannot avoid.
//
// For N uninstall subkeys per root (a tenth of them the vendor's products),
// it measures CollectTargetProducts and a loop that makes the same registry
// calls and nothing else (the floor), and prints the medians and their ratio.
#include "catalogue/ProductMatch.h"
#include "catalogue/RegKey.h"
#include "catalogue/UninstallScan.h"
#include "tests/support/ScratchRegistry.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void Seed(ScratchRegistry& registry, bool machine, int count)
{
    for (int i = 0; i < count; ++i) {
        const std::wstring number = std::to_wstring(i);
        const bool target = i % 10 == 0;
        const std::wstring key = i % 50 == 7 ? L"KB" + std::to_wstring(100000 + i) : L"{5F1C" + number + L"-0A2B-4C3D}";
        const std::wstring name =
            target ? (i % 20 == 0 ? L"Velmo Product " : L"Quellmar Tool ") + number : L"Example Application " + number;
        const std::wstring folder = L"C:\\Program Files\\Vendor " + number + L"\\App";
        registry.AddProduct(machine, key, name, L"\"" + folder + L"\\uninstall.exe\" /remove");
        registry.Write(machine, key, L"DisplayIcon", folder + L"\\app.exe,0");
        registry.Write(machine, key, L"DisplayVersion", L"1.2." + number);
        registry.Write(machine, key, L"Publisher", L"Example Publisher");
        registry.Write(machine, key, L"InstallLocation", folder);
        registry.Write(machine, key, L"EstimatedSize", std::to_wstring(1024 + i), REG_DWORD);
        if (i % 25 == 3) {
            registry.Write(machine, key, L"SystemComponent", L"1", REG_DWORD);
        }
    }
}

bool QueryValue(HKEY key, const wchar_t* name, DWORD& type, void* buffer, DWORD bytes)
{
    return RegQueryValueExW(key, name, nullptr, &type, static_cast<BYTE*>(buffer), &bytes) == ERROR_SUCCESS;
}

// The registry calls of one location's scan, with the same early exits, and nothing else.
size_t FloorRoot(HKEY root, REGSAM view)
{
    RegKey uninstall;
    DWORD count = 0;
    if (!uninstall.Open(root, kUninstallKeyPath, KEY_READ | view)
        || RegQueryInfoKeyW(uninstall.Get(), nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr,
               nullptr, nullptr, nullptr)
            != ERROR_SUCCESS) {
        return 0;
    }
    size_t accepted = 0;
    const size_t prefix = wcslen(kUninstallKeyPath);
    wchar_t path[260];
    wcscpy(path, kUninstallKeyPath);
    path[prefix] = L'\\';
    for (DWORD index = 0; index < count; ++index) {
        wchar_t* name = path + prefix + 1;
        DWORD length = 260 - static_cast<DWORD>(prefix) - 1;
        if (RegEnumKeyExW(uninstall.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS
            || (name[0] == L'K' && name[1] == L'B')) {
            continue;
        }
        RegKey subkey;
        if (!subkey.Open(root, path, KEY_READ | view)) {
            continue;
        }
        DWORD type = 0;
        DWORD number = 0;
        wchar_t text[260] = {};
        if (QueryValue(subkey.Get(), L"SystemComponent", type, &number, sizeof(number)) && number != 0) {
            continue;
        }
        QueryValue(subkey.Get(), L"ParentKeyName", type, text, sizeof(text));
        if (QueryValue(subkey.Get(), L"DisplayName", type, text, sizeof(text))
            && QueryValue(subkey.Get(), L"UninstallString", type, text, sizeof(text))) {
            QueryValue(subkey.Get(), L"DisplayIcon", type, text, sizeof(text));
            ++accepted;
        }
    }
    return accepted;
}

} // namespace

int main()
{
    std::printf("%8s %14s %14s %8s %12s\n", "N", "scan median", "floor median", "ratio", "per subkey");
    for (int n : {100, 1000, 10000}) {
        ScratchRegistry registry;
        Seed(registry, true, n);
        Seed(registry, false, n);
        const int repetitions = n <= 100 ? 301 : n <= 1000 ? 61 : 15;
        std::vector<double> scans;
        std::vector<double> floors;
        size_t targets = 0;
        size_t accepted = 0;
        const auto timeScan = [&] {
            const double start = Now();
            InstalledEntryList list;
            CollectTargetProducts(list);
            scans.push_back(Now() - start);
            targets = list.size();
        };
        const auto timeFloor = [&] {
            const double start = Now();
            accepted = 0;
            for (const UninstallLocation& location : UninstallLocations()) {
                accepted += FloorRoot(location.root, location.view);
            }
            floors.push_back(Now() - start);
        };
        for (int r = 0; r < repetitions; ++r) {
            // Interleaved, each first in turn, so that drift of the machine
            // and what one run leaves behind affect both alike.
            if (r % 2 == 0) {
                timeScan();
                timeFloor();
            } else {
                timeFloor();
                timeScan();
            }
        }
        const double scan = Median(scans);
        const double floor = Median(floors);
        std::printf("%8d %11.3f ms %11.3f ms %8.3f %9.2f us   (%u targets of %u entries)\n", n, scan * 1e3, floor * 1e3,
            scan / floor, scan * 1e6 / (2.0 * n), static_cast<unsigned>(targets), static_cast<unsigned>(accepted));
    }
    return 0;
}
