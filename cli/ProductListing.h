#pragma once

#include "catalogue/InstalledEntry.h"
#include "cli/ConsoleText.h"

#include <string>

// Where the product's key is: "HKLM 32-bit", "HKLM 64-bit" or "HKCU".
std::wstring RegistryPlace(const InstalledEntry& entry);

// The products, in their order, as a plain table with a header row: name,
// registry place, key, Windows Installer and product code, the command that
// removing the product starts and the key's quiet uninstall command.
void PrintProductTable(const InstalledEntryList& products, const ConsoleText& out);

// The same as one JSON document: {"products": [...]}, one object a product.
void PrintProductJson(const InstalledEntryList& products, const ConsoleText& out);
