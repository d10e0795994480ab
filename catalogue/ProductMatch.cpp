#include "catalogue/ProductMatch.h"

#include "catalogue/UninstallScan.h"

#include <algorithm>

namespace {

constexpr const wchar_t* kProductKeyword = L"velmo";
constexpr const wchar_t* kVendorKeyword = L"quellmar";

// Only A-Z are folded: the keywords are ASCII, and other letters must not match them.
std::wstring AsciiLower(const std::wstring& text)
{
    std::wstring lower = text;
    for (wchar_t& c : lower) {
        if (c >= L'A' && c <= L'Z') {
            c = static_cast<wchar_t>(c - L'A' + L'a');
        }
    }
    return lower;
}

bool StartsWith(const std::wstring& text, const wchar_t* prefix)
{
    return text.compare(0, wcslen(prefix), prefix) == 0;
}

void KeepTargetProducts(InstalledEntryList& list)
{
    list.remove_if([](const InstalledEntry& entry) { return !IsTargetProduct(entry); });
}

// One key that both views of the machine root show, as they do where the views share it, is one registration.
bool SameRegistration(const InstalledEntry& a, const InstalledEntry& b)
{
    return a.FromMachine == b.FromMachine && a.KeyName == b.KeyName && a.DisplayName == b.DisplayName
        && a.UninstallString == b.UninstallString;
}

} // namespace

bool IsTargetProduct(const InstalledEntry& entry)
{
    const std::wstring name = AsciiLower(entry.DisplayName);
    return StartsWith(name, kProductKeyword) || StartsWith(name, kVendorKeyword);
}

void CollectTargetProducts(InstalledEntryList& list)
{
    ScanInstalledEntries(list);
    KeepTargetProducts(list);
}

void CollectTargetRegistrations(InstalledEntryList& list)
{
    ScanRegistrations(list);
    KeepTargetProducts(list);
    for (auto it = list.begin(); it != list.end(); ++it) {
        list.remove_if([&it](const InstalledEntry& later) { return &later != &*it && SameRegistration(later, *it); });
    }
}

bool SameEntries(const InstalledEntryList& fresh, const InstalledEntryList& shown)
{
    return std::equal(fresh.begin(), fresh.end(), shown.begin(), shown.end(),
        [](const InstalledEntry& a, const InstalledEntry& b) {
            return a.DisplayName == b.DisplayName && a.UninstallString == b.UninstallString
                && a.UninstallStringExpandable == b.UninstallStringExpandable
                && a.WindowsInstaller == b.WindowsInstaller;
        });
}
