#pragma once

#include "catalogue/InstalledEntry.h"
#include "catalogue/UninstallLocations.h"

// Empties list, scans every uninstall location (HKEY_LOCAL_MACHINE's 32-bit
// view, its 64-bit view where there is one, then HKEY_CURRENT_USER), sorts by
// display name and drops duplicate names. Always true.
bool ScanInstalledEntries(InstalledEntryList& list);

// The same without dropping duplicate names: every registration, sorted by
// display name, each name's in scan order.
void ScanRegistrations(InstalledEntryList& list);

// Appends the accepted subkeys of one location's Uninstall key in enumeration
// order. Always true, also when the key cannot be opened.
bool ScanUninstallRoot(InstalledEntryList& list, const UninstallLocation& location);

// Stable ascending sort by lstrcmpiW of the display names.
void SortByDisplayName(InstalledEntryList& list);

// Whether two display names name one product: equal apart from ASCII letter
// case (_wcsicmp), the rule by which duplicates are dropped.
bool SameDisplayName(const std::wstring& a, const std::wstring& b);

// Drops every entry whose name is the last surviving one's (SameDisplayName).
void RemoveDuplicateNames(InstalledEntryList& list);
