#include "cli/ProductListing.h"

#include "catalogue/UninstallCommand.h"
#include "cli/JsonText.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <vector>

namespace {

constexpr size_t kColumnCount = 7;
using Row = std::array<std::wstring, kColumnCount>;

const Row kHeader = {L"NAME", L"REGISTRY", L"KEY", L"WINDOWS INSTALLER", L"PRODUCT CODE", L"UNINSTALL COMMAND",
    L"QUIET UNINSTALL COMMAND"};
constexpr const wchar_t* kNoValue = L"-";
constexpr size_t kColumnGap = 2;

std::wstring OrNoValue(const std::wstring& text)
{
    return text.empty() ? kNoValue : text;
}

Row TableRow(const InstalledEntry& entry)
{
    std::wstring code;
    InstallerProductCode(entry, code);
    return {entry.DisplayName, RegistryPlace(entry), entry.KeyName, entry.WindowsInstaller ? L"yes" : L"no",
        OrNoValue(code), UninstallCommand(entry), OrNoValue(entry.QuietUninstallString)};
}

std::wstring JsonObject(const InstalledEntry& entry)
{
    std::wstring code;
    const bool hasCode = InstallerProductCode(entry, code);
    const std::wstring& quiet = entry.QuietUninstallString;
    return L"{\"displayName\": " + JsonString(entry.DisplayName) + L", \"registry\": "
        + JsonString(RegistryPlace(entry)) + L", \"keyName\": " + JsonString(entry.KeyName)
        + L", \"windowsInstaller\": " + (entry.WindowsInstaller ? L"true" : L"false") + L", \"productCode\": "
        + (hasCode ? JsonString(code) : L"null") + L", \"uninstallCommand\": " + JsonString(UninstallCommand(entry))
        + L", \"quietUninstallCommand\": " + (quiet.empty() ? L"null" : JsonString(quiet)) + L"}";
}

} // namespace

std::wstring RegistryPlace(const InstalledEntry& entry)
{
    if (!entry.FromMachine) {
        return L"HKCU";
    }
    return entry.From64BitView ? L"HKLM 64-bit" : L"HKLM 32-bit";
}

void PrintProductTable(const InstalledEntryList& products, const ConsoleText& out)
{
    std::vector<Row> rows = {kHeader};
    std::transform(products.begin(), products.end(), std::back_inserter(rows), TableRow);
    std::array<size_t, kColumnCount> widths = {};
    for (const Row& row : rows) {
        for (size_t column = 0; column < kColumnCount; ++column) {
            widths[column] = std::max(widths[column], row[column].size());
        }
    }
    for (const Row& row : rows) {
        std::wstring line;
        for (size_t column = 0; column + 1 < kColumnCount; ++column) {
            line += row[column] + std::wstring(widths[column] - row[column].size() + kColumnGap, L' ');
        }
        out.WriteLine(line + row[kColumnCount - 1]);
    }
}

void PrintProductJson(const InstalledEntryList& products, const ConsoleText& out)
{
    std::wstring json = L"{\"products\": [";
    for (auto it = products.begin(); it != products.end(); ++it) {
        json += (it == products.begin() ? L"\r\n  " : L",\r\n  ") + JsonObject(*it);
    }
    out.WriteLine(json + (products.empty() ? L"]}" : L"\r\n]}"));
}
