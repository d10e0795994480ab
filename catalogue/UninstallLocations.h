#pragma once

#include <windows.h>

#include <vector>

// The uninstall registry key of both roots, relative to the root.
constexpr const wchar_t* kUninstallKeyPath = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// One place products are registered: a root, the registry view it is read
// through (added to every access mask) and what its entries are labelled.
struct UninstallLocation {
    HKEY root;
    REGSAM view;
    bool machine;      // HKEY_LOCAL_MACHINE, else HKEY_CURRENT_USER
    bool sixtyFourBit; // the machine root's 64-bit view
};

// Every place a scan reads, in its order: the machine root's 32-bit view,
// then its 64-bit view where the system has one, then the user root (one
// view for both kinds of program). Each view is named explicitly, so that a
// 32-bit and a 64-bit build read the same keys in the same order.
std::vector<UninstallLocation> UninstallLocations();

// True where the machine root has a 64-bit view besides the 32-bit one: in a
// 64-bit process, and in a 32-bit process on 64-bit Windows (WOW64).
bool SystemHas64BitView();
