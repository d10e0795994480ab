#pragma once

#include <list>
#include <string>

// Characters of a key name and its path the catalogue takes, terminator
// included.
constexpr unsigned kStoredTextCapacity = 260;
// The longest command line process creation takes, terminator included; also
// the most a registry text value is read to.
constexpr unsigned kCommandLineCapacity = 32767;

// One product from the registry's uninstall list. Copied by value: every list
// row keeps its own copy.
struct InstalledEntry {
    int Sequence = 0; // 1-based position once shown; the row's key
    std::wstring DisplayName;
    std::wstring DisplayIcon;     // "path[,index]", may be empty
    std::wstring UninstallString; // exactly as stored
    // Stored as REG_EXPAND_SZ: environment references are expanded where the
    // value is used, never in the entry itself.
    bool DisplayIconExpandable = false;
    bool UninstallStringExpandable = false;
    std::wstring KeyName;     // subkey name under the Uninstall key
    bool FromMachine = false; // from HKEY_LOCAL_MACHINE, else HKEY_CURRENT_USER
    // Registered by Windows Installer (WindowsInstaller = 1 as a REG_DWORD).
    bool WindowsInstaller = false;
    // From the machine root's 64-bit view, which 64-bit Windows has besides
    // the 32-bit one.
    bool From64BitView = false;
    // As stored, empty when the key has none. Initialised like the fields
    // before it, so that a brace list may end before it.
    std::wstring QuietUninstallString{};
    bool QuietUninstallStringExpandable = false;
};

// Ordered, owns its entries; appending, erasing and a stable sort are cheap.
using InstalledEntryList = std::list<InstalledEntry>;
