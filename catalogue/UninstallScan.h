#pragma once

#include "catalogue/InstalledEntry.h"

// The uninstall registry key of both roots, relative to the root.
constexpr const wchar_t* kUninstallKeyPath = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// Empties list, scans HKEY_LOCAL_MACHINE (under WOW64 its 32-bit view, then
// its 64-bit view) then HKEY_CURRENT_USER, sorts by display name and drops
// duplicate names. Always true.
bool ScanInstalledEntries(InstalledEntryList& list);

// Appends the accepted subkeys of one root's Uninstall key in enumeration
// order. Always true, also when the key cannot be opened.
bool ScanUninstallRoot(InstalledEntryList& list, bool machine);

// True for a 32-bit process on 64-bit Windows.
bool RunningUnderWow64();

// Stable ascending sort by lstrcmpiW of the display names.
void SortByDisplayName(InstalledEntryList& list);

// Whether two display names name one product: equal apart from ASCII letter
// case (_wcsicmp), the rule by which duplicates are dropped.
bool SameDisplayName(const std::wstring& a, const std::wstring& b);

// Drops every entry whose name is the last surviving one's (SameDisplayName).
void RemoveDuplicateNames(InstalledEntryList& list);
