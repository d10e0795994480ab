#include "cli/ProductListing.h"

#include "catalogue/UninstallCommand.h"
#include "cli/JsonText.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <numeric>
#include <utility>
#include <vector>

namespace {

constexpr size_t kColumnCount = 7;
using Row = std::array<std::wstring, kColumnCount>;

const Row kHeader = {L"NAME", L"REGISTRY", L"KEY", L"WINDOWS INSTALLER", L"PRODUCT CODE", L"UNINSTALL COMMAND",
    L"QUIET UNINSTALL COMMAND"};
constexpr const wchar_t* kNoValue = L"-";
constexpr size_t kColumnGap = 2;

// Columns a text takes in a console: the wide characters of Chinese, Japanese
// and Korean take two, as the console draws them.
size_t ColumnWidth(const std::wstring& text)
{
    constexpr std::pair<wchar_t, wchar_t> kWideRanges[] = {{0x1100, 0x115F}, {0x2E80, 0x303E}, {0x3041, 0x33FF},
        {0x3400, 0x4DBF}, {0x4E00, 0x9FFF}, {0xA000, 0xA4CF}, {0xAC00, 0xD7A3}, {0xF900, 0xFAFF}, {0xFE30, 0xFE4F},
        {0xFF00, 0xFF60}, {0xFFE0, 0xFFE6}};
    return std::accumulate(text.begin(), text.end(), size_t{0}, [&kWideRanges](size_t width, wchar_t c) {
        const bool wide = std::any_of(std::begin(kWideRanges), std::end(kWideRanges),
            [c](const auto& range) { return c >= range.first && c <= range.second; });
        return width + (wide ? 2 : 1);
    });
}

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
            widths[column] = std::max(widths[column], ColumnWidth(row[column]));
        }
    }
    for (const Row& row : rows) {
        std::wstring line;
        for (size_t column = 0; column + 1 < kColumnCount; ++column) {
            line += row[column] + std::wstring(widths[column] - ColumnWidth(row[column]) + kColumnGap, L' ');
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
