#pragma once

#include <list>
#include <string>

// One product from the registry's uninstall list. Copied by value: every list
// row keeps its own copy.
struct InstalledEntry {
    int Sequence = 0;              // 1-based position once shown; the row's key
    std::wstring DisplayName;
    std::wstring DisplayIcon;      // "path[,index]", may be empty
    std::wstring UninstallString;  // exactly as stored, never expanded
    std::wstring KeyName;          // subkey name under the Uninstall key
    bool FromMachine = false;      // from HKEY_LOCAL_MACHINE, else HKEY_CURRENT_USER
};

// Ordered, owns its entries; appending, erasing and a stable sort are cheap.
using InstalledEntryList = std::list<InstalledEntry>;
