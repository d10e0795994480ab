#include "catalogue/UninstallScan.h"

#include "catalogue/RegKey.h"

#include <algorithm>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr DWORD kTextCapacity = kStoredTextCapacity;
constexpr DWORD kValueBytes = kCommandLineCapacity * sizeof(wchar_t);

// A value read as text: the read failed, or gave a non-text type, or the text.
struct TextValue {
    bool ok = false;
    bool expandable = false;
    std::wstring text;
};

bool IsTextType(DWORD type)
{
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

// Most values fit the first buffer and take one read; a longer one is read
// again at its stored size, up to what a command line holds, and fails past
// that or when it changes between the two reads. A value stored without a
// terminator is taken up to its end and never beyond.
TextValue ReadText(HKEY key, const wchar_t* name)
{
    wchar_t first[kTextCapacity];
    std::vector<wchar_t> longer;
    const wchar_t* read = first;
    DWORD type = 0;
    DWORD bytes = sizeof(first);
    LSTATUS status = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(first), &bytes);
    if (status == ERROR_MORE_DATA && bytes <= kValueBytes) {
        longer.resize(bytes / sizeof(wchar_t) + 1);
        read = longer.data();
        status = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(longer.data()), &bytes);
    }
    TextValue value;
    if (status != ERROR_SUCCESS || !IsTextType(type)) {
        return value;
    }
    value.ok = true;
    value.expandable = type == REG_EXPAND_SZ;
    value.text.assign(read, wcsnlen(read, bytes / sizeof(wchar_t)));
    return value;
}

// A REG_DWORD value; false, with number untouched, for any other outcome.
bool ReadNumber(HKEY key, const wchar_t* name, DWORD& number)
{
    DWORD read = 0;
    DWORD type = 0;
    DWORD bytes = sizeof(read);
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&read), &bytes) != ERROR_SUCCESS
        || type != REG_DWORD) {
        return false;
    }
    number = read;
    return true;
}

bool IsSystemComponent(HKEY key)
{
    DWORD number = 0;
    return ReadNumber(key, L"SystemComponent", number) && number != 0;
}

bool IsInstallerRegistration(HKEY key)
{
    DWORD number = 0;
    return ReadNumber(key, L"WindowsInstaller", number) && number == 1;
}

bool IsOperatingSystemPart(HKEY key)
{
    const TextValue parent = ReadText(key, L"ParentKeyName");
    return parent.ok
        && (_wcsicmp(parent.text.c_str(), L"ENTERPRISE") == 0
            || _wcsicmp(parent.text.c_str(), L"OperatingSystem") == 0);
}

// Windows updates are registered as "KB" followed by their number.
bool IsUpdateKeyName(const wchar_t* name)
{
    return _wcsnicmp(name, L"KB", 2) == 0 && name[2] >= L'0' && name[2] <= L'9';
}

// Security updates carry their KB number in brackets; only these two spellings count.
bool NamesUpdate(const std::wstring& displayName)
{
    return displayName.find(L"(KB") != std::wstring::npos || displayName.find(L"(kb") != std::wstring::npos;
}

// Reads one subkey into entry; false when the subkey is not a removable product.
bool ReadEntry(HKEY subkey, InstalledEntry& entry)
{
    if (IsSystemComponent(subkey) || IsOperatingSystemPart(subkey)) {
        return false;
    }
    TextValue name = ReadText(subkey, L"DisplayName");
    if (!name.ok || name.text.empty() || NamesUpdate(name.text)) {
        return false;
    }
    TextValue command = ReadText(subkey, L"UninstallString");
    if (!command.ok || command.text.empty()) {
        return false;
    }
    TextValue icon = ReadText(subkey, L"DisplayIcon");
    TextValue quiet = ReadText(subkey, L"QuietUninstallString");
    entry.DisplayName = std::move(name.text);
    entry.UninstallString = std::move(command.text);
    entry.UninstallStringExpandable = command.expandable;
    entry.DisplayIcon = std::move(icon.text);
    entry.DisplayIconExpandable = icon.expandable;
    entry.QuietUninstallString = std::move(quiet.text);
    entry.QuietUninstallStringExpandable = quiet.expandable;
    entry.WindowsInstaller = IsInstallerRegistration(subkey);
    return true;
}

// The sort key of text under lstrcmpiW's rules.
std::string SortKey(const std::wstring& text)
{
    constexpr DWORD kFlags = LCMAP_SORTKEY | NORM_IGNORECASE;
    const LCID locale = GetThreadLocale();
    const int length = static_cast<int>(text.size());
    char buffer[2048];
    int bytes = LCMapStringW(locale, kFlags, text.c_str(), length, reinterpret_cast<wchar_t*>(buffer), sizeof(buffer));
    if (bytes > 0) {
        return std::string(buffer, bytes);
    }
    std::string key(LCMapStringW(locale, kFlags, text.c_str(), length, nullptr, 0), '\0');
    bytes = LCMapStringW(locale, kFlags, text.c_str(), length, reinterpret_cast<wchar_t*>(key.data()),
        static_cast<int>(key.size()));
    key.resize(bytes > 0 ? bytes : 0);
    return key;
}

} // namespace

bool ScanUninstallRoot(InstalledEntryList& list, const UninstallLocation& location)
{
    const HKEY root = location.root;
    const REGSAM access = KEY_READ | location.view;
    RegKey uninstall;
    if (!uninstall.Open(root, kUninstallKeyPath, access)) {
        return true;
    }
    DWORD count = 0;
    if (RegQueryInfoKeyW(uninstall.Get(), nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr,
            nullptr, nullptr, nullptr)
        != ERROR_SUCCESS) {
        return true;
    }
    // The count is read once: an uninstaller removing its key meanwhile only
    // makes the last indexes fail.
    for (DWORD index = 0; index < count; ++index) {
        wchar_t name[kTextCapacity];
        DWORD nameLength = kTextCapacity;
        if (RegEnumKeyExW(uninstall.Get(), index, name, &nameLength, nullptr, nullptr, nullptr, nullptr)
                != ERROR_SUCCESS
            || IsUpdateKeyName(name)) {
            continue;
        }
        const std::wstring path = std::wstring(kUninstallKeyPath) + L'\\' + name;
        // A path cut to the 259 characters the platform's buffers take would
        // name another key (or none): skip it rather than read another product.
        if (path.size() > kTextCapacity - 1) {
            continue;
        }
        RegKey subkey;
        InstalledEntry entry;
        if (!subkey.Open(root, path.c_str(), access) || !ReadEntry(subkey.Get(), entry)) {
            continue;
        }
        entry.KeyName.assign(name, nameLength);
        entry.FromMachine = location.machine;
        entry.From64BitView = location.sixtyFourBit;
        list.push_back(std::move(entry));
    }
    return true;
}

bool ScanInstalledEntries(InstalledEntryList& list)
{
    ScanRegistrations(list);
    RemoveDuplicateNames(list);
    return true;
}

void ScanRegistrations(InstalledEntryList& list)
{
    list.clear();
    // The machine's 32-bit view is read first, so it wins where a product is
    // registered in both views.
    for (const UninstallLocation& location : UninstallLocations()) {
        ScanUninstallRoot(list, location);
    }
    SortByDisplayName(list);
}

void SortByDisplayName(InstalledEntryList& list)
{
    // lstrcmpiW compares as CompareStringW does for the thread's locale with
    // NORM_IGNORECASE, and the platform's sort keys for that locale and flag
    // compare byte-wise in the same order. One key per entry is far cheaper
    // than one locale-aware comparison per pair, and the sort runs on every
    // refresh over everything installed.
    std::vector<std::pair<std::string, InstalledEntryList::iterator>> keyed;
    keyed.reserve(list.size());
    for (auto it = list.begin(); it != list.end(); ++it) {
        keyed.emplace_back(SortKey(it->DisplayName), it);
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& entry : keyed) {
        list.splice(list.end(), list, entry.second);
    }
}

bool SameDisplayName(const std::wstring& a, const std::wstring& b)
{
    return _wcsicmp(a.c_str(), b.c_str()) == 0;
}

void RemoveDuplicateNames(InstalledEntryList& list)
{
    if (list.size() < 2) {
        return;
    }
    auto survivor = list.begin();
    for (auto it = std::next(survivor); it != list.end();) {
        if (SameDisplayName(it->DisplayName, survivor->DisplayName)) {
            it = list.erase(it);
        } else {
            survivor = it++;
        }
    }
}
